#ifndef SYSTEMCOLORS_H
#define SYSTEMCOLORS_H

#include <QColor>

// The desktop's named system colours, by their classic values; the toolkit here has no such
// palette entries of its own.
namespace SystemColors {
inline QColor inactiveCaption() { return QColor(191, 205, 219); }
} // namespace SystemColors

#endif // SYSTEMCOLORS_H
