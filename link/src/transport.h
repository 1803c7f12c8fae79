// The small function table behind which the serial line and the USB device look alike.
#pragma once

#include <cstddef>
#include <cstdint>

struct QorConnection;

namespace qor {

struct Transport {
    // Sends the whole request; 0, or the error number of a refused send.
    int32_t (*send)(QorConnection &connection, const uint8_t *data, std::size_t count);
    // Starts the wait for one reply whose longest well-formed shape is `longest` bytes. However its
    // bytes trickle in, the reply's reads end once they have had that shape's time on the line and
    // the read time-out; what has not arrived by then counts as not sent.
    void (*expect_reply)(QorConnection &connection, std::size_t longest);
    // Waits for count bytes as long as the transport allows a reply to take and returns how many
    // arrived; sets error when the device itself failed.
    std::size_t (*receive)(QorConnection &connection, uint8_t *out, std::size_t count,
                           int32_t &error);
    // 0, or the error number of a device that will not close (the connection then stays open).
    int32_t (*close)(QorConnection &connection);
    // Whether protocol-1 replies arrive framed (USB) rather than as "~...\r" lines (serial).
    bool frames_lines;
};

// The transport of a connection that is not open: nothing goes out and nothing arrives, at once.
extern const Transport kNoTransport;

} // namespace qor
