// COM ports as Linux terminal devices.
#pragma once

#include "transport.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace qor {

struct SerialLine {
    int fd = -1;
    int write_ms_per_byte = 0;  // the write time-out multiplier of the requested rate
    int bits_per_second = 9600; // the rate the line runs at
    // When the reply being read is given up, whatever its bytes do (expect_reply sets it).
    std::chrono::steady_clock::time_point reply_end = std::chrono::steady_clock::time_point::max();
    // Bytes fetched from the device but not yet handed out. Reads take whatever the device has
    // in one system call and serve single bytes from here.
    std::array<uint8_t, 512> input{};
    std::size_t input_begin = 0;
    std::size_t input_end = 0;
    // Set when a read came up short: whatever arrives later belongs to a reply already given up
    // on, and is dropped before the next request so that it cannot pass for that request's reply.
    bool stale_input = false;
};

extern const Transport kSerialTransport;

// Opens COM port `port` at `baud` (9600, 19200 or 38400; anything else gives 9600), 8N2, raw,
// exclusive. On failure leaves the connection closed and sets info_error: 263 when the device
// cannot be opened or is in use, 0 when it refuses the line settings.
bool open_serial(QorConnection &connection, int32_t port, int32_t baud, int32_t &info_error);

} // namespace qor
