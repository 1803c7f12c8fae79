#pragma once

#include <QString>

// Live values are shown with the number format "\ #0.00000;-#0.00000" (for 5 decimals): a blank
// before zero and positive values, "-" before negative ones, at least one integer digit, no
// thousands separators, exactly `decimals` digits after the point and the point kept even for 0
// decimals. Rounding is half away from zero on the value's 15-digit decimal form, as the number
// format does, so 2.5 with 0 decimals shows " 3." and 0.125 with 2 shows " 0.13".
QString formatValue(double value, int decimals);

// The number-format text for a count of decimals ("\ #0.00;-#0.00" for 2).
QString valueFormatPattern(int decimals);

// Probe and analog values always use this many decimals.
inline constexpr int ProbeDecimals = 5;

// Largest number of decimals shown; a setup asking for more is shown with this many.
inline constexpr int MaxShownDecimals = 15;
