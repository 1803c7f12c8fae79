// Monotonic deadlines for every wait of the serial transport.
#pragma once

#include <algorithm>
#include <chrono>
#include <ctime>

namespace qor {

class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds span)
        : end_(std::chrono::steady_clock::now() + span) {}
    // Whichever comes first: span from now, or limit.
    Deadline(std::chrono::milliseconds span, std::chrono::steady_clock::time_point limit)
        : end_(std::min(std::chrono::steady_clock::now() + span, limit)) {}

    // Time left, never negative, ready for ppoll().
    timespec remaining() const {
        const auto left = end_ - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            return timespec{0, 0};
        }
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    }
    bool passed() const { return std::chrono::steady_clock::now() >= end_; }

private:
    std::chrono::steady_clock::time_point end_;
};

} // namespace qor
