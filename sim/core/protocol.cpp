#include "protocol.h"

#include "commands.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace qorsim {

namespace {

constexpr std::size_t kMaxPayload = 256;

Result failed(int error) {
    Result r;
    r.error = error;
    return r;
}

// printf into a string; the attribute lets the compiler check every call's arguments.
[[gnu::format(printf, 1, 2)]] std::string format(const char *fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, fmt, measure);
    va_end(measure);
    std::string out(static_cast<std::size_t>(std::max(length, 0)), '\0');
    std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    va_end(args);
    return out;
}

// The reply text from field A on.
std::string fieldsText(const Result &r) {
    switch (r.shape) {
    case Shape::None:
    case Shape::RawList:
        return {};
    case Shape::ObjectReal:
        return format("%3d %.6f", r.object, r.real);
    case Shape::ObjectInt:
        return format("%3d %ld", r.object, r.a);
    case Shape::ObjectText:
        return format("%3d ", r.object) + r.text;
    case Shape::Gain:
        return format("%3d %03ld %03ld", r.object, r.a, r.b);
    case Shape::ValueA:
    case Shape::StatusA:
        return format("%ld", r.a);
    case Shape::StatusPair:
        return format("%3ld %3ld", r.a, r.b);
    case Shape::TextA:
        return r.text;
    }
    return {};
}

void putInt16(std::string &out, long v) {
    auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
}

std::string binaryPayload(const Result &r) {
    std::string out;
    switch (r.shape) {
    case Shape::None:
        break;
    case Shape::ObjectReal: {
        float f = static_cast<float>(r.real);
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((bits >> (8 * i)) & 0xFF);
        break;
    }
    case Shape::ObjectInt:
    case Shape::ValueA:
        putInt16(out, r.a);
        break;
    case Shape::ObjectText:
    case Shape::TextA:
        out = r.text.substr(0, kMaxPayload - 1);
        out += '\0';
        break;
    case Shape::Gain:
    case Shape::StatusPair:
        out += static_cast<char>(r.a);
        out += static_cast<char>(r.b);
        break;
    case Shape::StatusA:
        out += static_cast<char>(r.a);
        break;
    case Shape::RawList:
        for (std::int16_t v : r.raw)
            putInt16(out, v);
        break;
    }
    return out;
}

std::string frame(int error, std::string payload) {
    if (payload.empty())
        payload.assign(1, '\0');
    payload.resize(std::min(payload.size(), kMaxPayload));
    std::string out = {':', static_cast<char>(error), static_cast<char>(payload.size() & 0xFF)};
    return out + payload;
}
} // namespace

void RequestReader::feed(std::string_view bytes, double now, std::vector<Request> &out) {
    if (bytes.empty())
        return;
    if (state_ == State::Frame && now - lastByte_ >= kFrameGap)
        state_ = State::Hunt;
    lastByte_ = now;
    for (char c : bytes) {
        switch (state_) {
        case State::Hunt:
            if (c == '~' || c == ':') {
                state_ = c == '~' ? State::Line : State::Frame;
                body_.clear();
                raw_.assign(1, c);
            }
            break;
        case State::Line:
            raw_ += c;
            if (c == '~') {
                body_.clear();
                raw_.assign(1, c);
            } else if (c == '\r') {
                out.push_back(Request{false, body_, raw_});
                state_ = State::Hunt;
            } else if (static_cast<unsigned char>(c) >= 0x20 && body_.size() < kMaxLine) {
                body_ += c;
            }
            break;
        case State::Frame:
            raw_ += c;
            if (raw_.size() >= 3 &&
                raw_.size() == 3 + static_cast<std::size_t>(static_cast<unsigned char>(raw_[2]))) {
                out.push_back(Request{true, raw_.substr(1, 1) + raw_.substr(3), raw_});
                state_ = State::Hunt;
            }
            break;
        }
    }
}

namespace {

std::string reply(const Request &request, Transport transport, const Result &r) {
    if (request.framed)
        return frame(r.error, binaryPayload(r));
    std::string fields = fieldsText(r);
    if (transport == Transport::Usb)
        return frame(r.error, fields);
    std::string line = format("~%02d", r.error);
    if (!fields.empty())
        line += ' ' + fields;
    return line + '\r';
}

} // namespace

std::string answer(Unit &unit, const Request &request, Transport transport) {
    unit.advance();
    Result r = request.framed ? runFrame(unit, request.body) : runLine(unit, request.body);
    if (r.error)
        r = failed(r.error);
    return reply(request, transport, r);
}

std::string refusal(const Request &request, Transport transport, int error) {
    return reply(request, transport, failed(error));
}

std::string commandOf(const Request &request) {
    if (request.framed)
        return request.body.empty()
                   ? std::string()
                   : std::to_string(static_cast<unsigned char>(request.body.front()));
    return request.body.substr(0, 2);
}

} // namespace qorsim