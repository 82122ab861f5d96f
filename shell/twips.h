#ifndef TWIPS_H
#define TWIPS_H

#include <QtGlobal>

// Every stored position and size is in twips; the toolkit works in device-independent pixels.
namespace Twips {
constexpr float perPixel = 15.0f;

inline int toPixels(float twips) { return qRound(twips / perPixel); }
inline float fromPixels(int pixels) { return float(pixels) * perPixel; }
} // namespace Twips

#endif // TWIPS_H
