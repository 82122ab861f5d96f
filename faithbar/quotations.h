#ifndef QUOTATIONS_H
#define QUOTATIONS_H

#include <QString>

// What the faith bar shows from load until the first quotation timer fires.
extern const char OpeningQuotation[];

inline constexpr int QuotationCount = 20;

// The quotation of Timer1 to Timer20, by timer number; empty outside that range.
QString quotation(int timerNumber);

#endif // QUOTATIONS_H
