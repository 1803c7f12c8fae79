// One connection of libqorlink to the simulated unit, with a count of error-handler calls.
#pragma once

#include "qorlink.h"

#include <chrono>
#include <functional>
#include <string>

namespace qorsim {

inline int gHandlerCalls = 0;

inline int32_t QORAPI countingHandler(QorHandle) {
    ++gHandlerCalls;
    return 0;
}

class LinkSession {
public:
    LinkSession(int port, int baud, int protocol) {
        gHandlerCalls = 0;
        handle = QorOpen(QorInitInfoStructure(port, baud, protocol, countingHandler));
    }
    ~LinkSession() {
        if (handle)
            QorClose(handle);
    }
    LinkSession(const LinkSession &) = delete;
    LinkSession &operator=(const LinkSession &) = delete;

    QorHandle handle = nullptr;
};

// Calls read until it gives a value different from the first one, for at most two seconds;
// true when the value moved.
inline bool valueMoves(const std::function<float()> &read) {
    float first = read();
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
        if (read() != first)
            return true;
    }
    return false;
}

// Polls the calibration store's status as the calibration dialog does, until it is done.
inline bool calibrationStored(QorHandle h, int16_t &second) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int16_t first = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (QorGetSaveStatus(h, &first, &second) == 0 && first == 1)
            return true;
    }
    return false;
}

} // namespace qorsim
