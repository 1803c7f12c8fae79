// The unit's command set: each command of both protocols, its arguments and its result.
// Protocol-1 lines name a command by two letters, protocol-0 frames by a one-byte code; both
// lead to the same handler, and the result is laid out for the wire by the protocol layer.
#pragma once

#include "unit.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qorsim {

inline constexpr int kUnknownCommand = 18;

// How a result is laid out: which reply fields it fills in protocol 1 and which payload bytes
// in protocol 0.
enum class Shape {
    None,       // the error alone; protocol 0: one filler byte
    ObjectReal, // A number, B real; a 4-byte single
    ObjectInt,  // A number, B integer; 16 bits
    ObjectText, // A number, B text; the text and its zero byte
    Gain,       // A probe, B and C three digits each; two bytes
    ValueA,     // A integer; 16 bits
    StatusA,    // A integer; one byte
    StatusPair, // A and B three characters each; one byte each
    TextA,      // A text; the text and its zero byte
    RawList,    // protocol 0 only: 16-bit readings
};

// A command's outcome. Only the members its shape names are meaningful.
struct Result {
    int error = 0;
    Shape shape = Shape::None;
    int object = 0;
    double real = 0;
    long a = 0, b = 0;
    std::string text;
    std::vector<std::int16_t> raw;
};

// Carries out the body of a protocol-1 line (the text between "~" and the carriage return).
Result runLine(Unit &unit, std::string_view body);
// Carries out the body of a protocol-0 frame (code byte, then payload).
Result runFrame(Unit &unit, std::string_view body);

} // namespace qorsim
