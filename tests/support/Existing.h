#pragma once

#include <stdexcept>

// The object a test expects to be there (a channel, probe or group of the set, a dialog made):
// one that is missing ends the test as failed instead of crashing the test program.
template <typename T> T &existing(T *object) {
    if (!object)
        throw std::logic_error("an object the test expects is missing");
    return *object;
}
