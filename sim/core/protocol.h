// The unit's side of both command protocols: assembling requests from a byte stream, and the
// reply to each request. Pure functions of bytes and unit state; no file descriptors.
//
// Replies on a serial line: protocol 1 "~EE" then, for results, a blank and three-character
// fields separated by blanks (the last one running to the end), then a carriage return;
// protocol 0 a frame 0x3A, error, length, payload. Over USB both protocols answer with a frame;
// protocol 1 carries the reply text from field A on. A frame's length byte 0 would announce 256
// bytes, so a reply without results carries one zero byte as its payload.
#pragma once

#include "unit.h"

#include <string>
#include <string_view>
#include <vector>

namespace qorsim {

enum class Transport { Serial, Usb };

struct Request {
    bool framed = false; // protocol 0 frame, else a protocol-1 line
    std::string body;    // frame: code and payload; line: the text between "~" and the return
    std::string raw;     // the bytes as received, for the log
};

// Splits a byte stream into requests: a "~" starts a line that a carriage return ends (control
// bytes dropped, a second "~" starts over), a ":" starts a frame whose third byte gives the
// payload length; anything else between requests is ignored. A frame whose bytes stop coming
// for kFrameGap is dropped, as the unit's receiver does, so that it cannot swallow the requests
// that follow it.
class RequestReader {
public:
    static constexpr std::size_t kMaxLine = 1024;
    static constexpr double kFrameGap = 0.1; // seconds

    // Takes bytes that arrived at `now` (monotonic seconds).
    void feed(std::string_view bytes, double now, std::vector<Request> &out);
    void reset() { state_ = State::Hunt; }

private:
    enum class State { Hunt, Line, Frame };
    State state_ = State::Hunt;
    double lastByte_ = 0;
    std::string body_;
    std::string raw_;
};

// Answers one request: brings the unit up to its clock, carries out the command and returns the
// reply bytes. An unknown command answers error 18.
std::string answer(Unit &unit, const Request &request, Transport transport);

// The reply that refuses a request with `error` (no results), in the request's protocol.
std::string refusal(const Request &request, Transport transport, int error);

// The command a request names: the first two characters of a line ("PD"), the decimal code of a
// frame ("33").
std::string commandOf(const Request &request);

} // namespace qorsim
