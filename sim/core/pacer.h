// --pace: when each reply character may leave, at 11 bits a character.
#pragma once

#include <cstddef>
#include <vector>

namespace qorsim {

// Deadlines are absolute and advance by exactly one character time each, so a late wake-up for
// one character never slows the characters after it: the line's rate holds over any run.
class LinePacer {
public:
    static constexpr double kBitsPerCharacter = 11.0; // start, 8 data, 2 stop

    // Appends the due times of count characters that become ready at ready (seconds).
    void schedule(double ready, std::size_t count, int baud, std::vector<double> &due);

private:
    double nextSlot_ = 0; // when the line is free for the next character
};

} // namespace qorsim
