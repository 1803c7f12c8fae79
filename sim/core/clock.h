// The real clock of the unit: monotonic seconds. Tests give the unit a clock of their own.
#pragma once

namespace qorsim {

double monotonicSeconds();

} // namespace qorsim
