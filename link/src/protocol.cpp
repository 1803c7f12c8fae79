#include "protocol.h"

#include "qorlink.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>

namespace qor {
namespace {

constexpr uint8_t kLineStart = '~';
constexpr uint8_t kLineEnd = '\r';

std::string_view skip_blanks_and_plus(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    return text;
}

std::string_view until_zero(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

} // namespace

void Request::reset(std::size_t capacity) {
    size_ = 0;
    capacity_ = capacity;
    overflowed_ = false;
}

void Request::begin_frame(uint8_t code) {
    reset(bytes_.size());
    put_byte(kFrameStart);
    put_byte(code);
    put_byte(0);
}

bool Request::finish_frame() {
    if (overflowed_) {
        return false;
    }
    bytes_[2] = static_cast<uint8_t>(size_ - kFrameHeaderSize);
    return true;
}

void Request::begin_line(std::string_view command) {
    reset(kTransmitSize);
    put_byte(kLineStart);
    put_chars(command);
}

bool Request::finish_line() {
    put_byte(kLineEnd);
    return !overflowed_;
}

void Request::put_byte(uint8_t byte) {
    if (size_ >= capacity_) {
        overflowed_ = true;
        return;
    }
    bytes_[size_++] = byte;
}

void Request::put_le16(int32_t value) {
    put_byte(static_cast<uint8_t>(value & 0xFF));
    put_byte(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void Request::put_real_bits(float value) {
    const auto bits = std::bit_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        put_byte(static_cast<uint8_t>(bits >> shift));
    }
}

void Request::put_chars(std::string_view chars) {
    if (chars.empty()) {
        return;
    }
    if (chars.size() > capacity_ - size_) {
        overflowed_ = true;
        return;
    }
    std::memcpy(bytes_.data() + size_, chars.data(), chars.size());
    size_ += chars.size();
}

void Request::put_text_with_zero(const char *text) {
    if (text != nullptr) {
        // Bounded so that a huge or unterminated-looking text costs no more than the buffer.
        put_chars(std::string_view(text, strnlen(text, bytes_.size() + 1)));
    }
    put_byte(0);
}

void Request::put_int_argument(int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    put_byte(' ');
    put_chars(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void Request::put_real_argument(float value) {
    char digits[64];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 6);
    put_byte(' ');
    if (result.ec != std::errc()) {
        overflowed_ = true;
        return;
    }
    put_chars(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
}

void Request::put_text_argument(const char *text) {
    put_byte(' ');
    if (text != nullptr) {
        put_chars(std::string_view(text, strnlen(text, bytes_.size() + 1)));
    }
}

std::string_view Reply::field(Field which) const {
    // A line carries "NN " before field A; a frame carries the fields from payload offset 0.
    const std::size_t index = static_cast<std::size_t>(which) * 4;
    const std::size_t offset = framed ? index : index + 3;
    const char *start = reinterpret_cast<const char *>(framed ? payload() : bytes.data());
    if (offset >= length) {
        return {};
    }
    return until_zero(std::string_view(start + offset, length - offset));
}

LineAssembler::LineAssembler(Reply &reply) : reply_(reply) {
    reply_.framed = false;
    reply_.length = 0;
    reply_.bytes[0] = 0;
}

bool LineAssembler::feed(uint8_t byte) {
    if (byte == kLineStart) {
        collecting_ = true;
        reply_.length = 0;
        return false;
    }
    if (!collecting_) {
        return false;
    }
    if (byte == kLineEnd) {
        reply_.bytes[reply_.length] = 0;
        collecting_ = false;
        return true;
    }
    if (byte >= 0x20 && reply_.length < kMaxReplyText) {
        reply_.bytes[reply_.length++] = byte;
    }
    return false;
}

int32_t parse_int(std::string_view text) {
    text = skip_blanks_and_plus(text);
    int64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Digits beyond 64 bits are still a number, and as an error number anything but 0: an
        // error the unit reports must never read as success.
        value = text.front() == '-' ? std::numeric_limits<int64_t>::min()
                                    : std::numeric_limits<int64_t>::max();
    } else if (result.ec != std::errc()) {
        return 0;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

float parse_real(std::string_view text) {
    text = skip_blanks_and_plus(text);
    float value = 0.0F;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0.0F;
}

void copy_text(std::string_view text, char *out) {
    const std::size_t count = std::min(text.size(), std::size_t{QOR_TEXT_BUFFER_SIZE - 1});
    if (count > 0) { // an empty view may carry no address at all
        std::memcpy(out, text.data(), count);
    }
    out[count] = '\0';
}

float payload_real(const Reply &reply, std::size_t offset) {
    if (reply.length < offset + 4) {
        return 0.0F;
    }
    const uint8_t *bytes = reply.payload() + offset;
    const uint32_t bits = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                          uint32_t{bytes[3]} << 24;
    return std::bit_cast<float>(bits);
}

int16_t payload_le16(const Reply &reply, std::size_t offset) {
    if (reply.length < offset + 2) {
        return 0;
    }
    const uint8_t *bytes = reply.payload() + offset;
    return static_cast<int16_t>(bytes[0] | bytes[1] << 8);
}

uint8_t payload_byte(const Reply &reply, std::size_t offset) {
    return reply.length > offset ? reply.payload()[offset] : 0;
}

std::string_view payload_text(const Reply &reply) {
    return until_zero(
        std::string_view(reinterpret_cast<const char *>(reply.payload()), reply.length));
}

} // namespace qor
