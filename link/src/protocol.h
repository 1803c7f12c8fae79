// The unit's two command protocols as pure byte work: building requests, assembling and framing
// replies, and taking results out of them. No file descriptors here; the transports feed bytes in.
//
// Replies arrive in pieces of any size and may be preceded by noise left on the line by an earlier
// exchange or by the unit starting up. A protocol-1 reply on a serial line is "~text\r": bytes
// before the "~" are dropped, a second "~" restarts the reply, line feeds and other control bytes
// are dropped, and the text keeps its first 253 characters. Every other reply is a frame: a header
// byte, the error number, the payload length (0 meaning 256), then the payload.
#pragma once

#include "errors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qor {

inline constexpr std::size_t kTransmitSize = 256;    // the longest protocol-1 line, "\r" included
inline constexpr std::size_t kMaxPayload = 255;      // what the frame's length byte can announce
inline constexpr std::size_t kFrameHeaderSize = 3;   // ":", code, length / header, error, length
inline constexpr std::size_t kMaxReplyPayload = 256; // a length byte of 0
inline constexpr std::size_t kMaxReplyText = 253;    // characters a protocol-1 reply line keeps
inline constexpr uint8_t kFrameStart = 0x3A;
// The longest replies that can be well formed: a line of "~", the text the assembler keeps and
// "\r"; a frame of header and the largest payload. What the line may take to carry them bounds
// the wait for a reply.
inline constexpr std::size_t kLongestReplyLine = 1 + kMaxReplyText + 1;
inline constexpr std::size_t kLongestFrame = kFrameHeaderSize + kMaxReplyPayload;

// One request as it goes on the wire. Writers stop at the capacity and remember the overflow, so
// a request that does not fit is refused as a whole instead of being cut or overrunning.
class Request {
public:
    // Protocol 0: ":", code, then a payload written with the put_* calls; finish_frame() stores
    // the length byte.
    void begin_frame(uint8_t code);
    bool finish_frame();
    // Protocol 1: "~" and the command; arguments follow each after one blank; finish_line()
    // appends the carriage return.
    void begin_line(std::string_view command);
    bool finish_line();

    void put_byte(uint8_t byte);
    void put_le16(int32_t value);
    void put_real_bits(float value);
    void put_chars(std::string_view chars);
    void put_text_with_zero(const char *text);
    // Protocol-1 arguments: a blank, then the value in decimal or fixed-point with six decimals.
    void put_int_argument(int64_t value);
    void put_real_argument(float value);
    void put_text_argument(const char *text);

    const uint8_t *data() const { return bytes_.data(); }
    std::size_t size() const { return size_; }
    bool overflowed() const { return overflowed_; }

private:
    void reset(std::size_t capacity);

    std::array<uint8_t, kFrameHeaderSize + kMaxPayload> bytes_{};
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    bool overflowed_ = false;
};

// Where protocol-1 results sit: fixed positions of the reply text.
enum class Field : uint8_t { A, B, C };

// A reply as received: a frame (header and payload) or the text of a protocol-1 line.
struct Reply {
    std::array<uint8_t, kFrameHeaderSize + kMaxReplyPayload + 1> bytes{};
    std::size_t length = 0; // payload length of a frame, or text length of a line
    bool framed = false;

    const uint8_t *payload() const { return bytes.data() + kFrameHeaderSize; }
    // The protocol-1 field as text running to the end of the reply; empty when the reply is
    // shorter than the field's position.
    std::string_view field(Field field) const;
};

// Collects a protocol-1 reply line byte by byte.
class LineAssembler {
public:
    explicit LineAssembler(Reply &reply);
    // Takes one byte; returns true once a carriage return has ended a reply.
    bool feed(uint8_t byte);

private:
    Reply &reply_;
    bool collecting_ = false;
};

// Number reading as the unit writes them: leading blanks skipped, as far as the characters form a
// number, 0 when none is there. Independent of the process locale. An integer beyond 32 bits,
// however many digits it has, reads as the nearest 32-bit limit.
int32_t parse_int(std::string_view text);
float parse_real(std::string_view text);
// Copies text into a caller's buffer of QOR_TEXT_BUFFER_SIZE bytes, cut there, zero-terminated.
void copy_text(std::string_view text, char *out);
// Payload readers that give 0 when the payload is too short for the value.
float payload_real(const Reply &reply, std::size_t offset);
int16_t payload_le16(const Reply &reply, std::size_t offset);
uint8_t payload_byte(const Reply &reply, std::size_t offset);
std::string_view payload_text(const Reply &reply);

// Reads a reply through receive(buffer, count, error), which returns how many of count bytes
// arrived within the transport's wait and may set error (a failed device read). Returns the
// operation's error number.
template <class Receive> int32_t read_frame(Reply &reply, Receive &&receive) {
    reply.framed = true;
    reply.length = 0;
    int32_t error = kOk;
    uint8_t *header = reply.bytes.data();
    if (receive(header, kFrameHeaderSize, error) < kFrameHeaderSize) {
        return error != kOk ? error : kBadLength;
    }
    const std::size_t length = header[2] == 0 ? kMaxReplyPayload : header[2];
    // The payload is read even when the unit reports an error, so that it does not linger on the
    // line and spoil the next reply.
    const std::size_t got = receive(header + kFrameHeaderSize, length, error);
    if (error != kOk) {
        return error;
    }
    if (got < length) {
        return kBadLength;
    }
    reply.length = length;
    return header[1];
}

template <class Receive> int32_t read_line(Reply &reply, Receive &&receive) {
    LineAssembler assembler(reply);
    for (;;) {
        uint8_t byte = 0;
        int32_t error = kOk;
        if (receive(&byte, 1, error) == 0) {
            return kNoResponse;
        }
        if (assembler.feed(byte)) {
            return parse_int(
                std::string_view(reinterpret_cast<const char *>(reply.bytes.data()), reply.length));
        }
    }
}

} // namespace qor
