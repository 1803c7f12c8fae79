#include "pacer.h"

#include <algorithm>

namespace qorsim {

void LinePacer::schedule(double ready, std::size_t count, int baud, std::vector<double> &due) {
    const double perChar = kBitsPerCharacter / (baud > 0 ? baud : 9600);
    nextSlot_ = std::max(nextSlot_, ready);
    // Multiples of perChar from one origin, not a running sum, so rounding does not drift.
    const double origin = nextSlot_;
    for (std::size_t i = 0; i < count; ++i)
        due.push_back(origin + static_cast<double>(i) * perChar);
    nextSlot_ = origin + static_cast<double>(count) * perChar;
}

} // namespace qorsim
