#pragma once

#include <string>

namespace measurelog {

// Appends `value` with `decimals` digits after a "." (none, and no point, for 0), rounded as the
// gauges round what they show: the value's 15 significant digits, then half away from zero, so
// 12.0115 with 3 decimals is "12.012" as on the screen. A value that rounds to zero is written
// without a sign. Decimals beyond 15 are 15. Without allocating: an export writes millions.
void appendShownDecimal(std::string &out, double value, int decimals);

} // namespace measurelog
