#pragma once

#include <QString>

namespace zelmar {

// Decimal places with which the editor shows a min/max spec value v (port
// display and scale change): below 10: 4; below 100: 3; below 1000: 2; below 10000: 1; else 0.
// Negative values fall under the first case.
int specDecimals(double v);

// v with specDecimals(v) places in the system locale's number format (QLocale()),
// digit grouping included: 12000000 shows 12,000,000 under US English.
QString formatSpec(double v);

// The shortest decimal text that reads back as the same single-precision
// number (0.25, 1, 2.5, 0.1), without exponent, with the locale's decimal point.
QString shortestSingle(float v);

// The value stored in ohms expressed in the scale of lstsCALE list index
// `scaleIndex` (0 milli: x1000, 1 unity, 2 kilo: /1000, 3 mega: /1000000),
// computed in single precision. Any other index keeps the value.
float toScale(float ohms, int scaleIndex);

} // namespace zelmar
