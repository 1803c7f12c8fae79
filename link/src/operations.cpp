#include "operations.h"

#include "connection.h"
#include "debug_log.h"
#include "errors.h"
#include "protocol.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string_view>

namespace qor {
namespace {

// Protocol-0 payload shapes. A number is sent as its low byte, a word as two bytes, least
// significant first, a real as its four IEEE-754 bytes, least significant first.
enum class Payload : uint8_t {
    None,        // no protocol-0 form: 266
    Filler,      // one byte 0
    Number,      // number
    NumberReal,  // number, real
    Formula,     // number, text and its zero; an empty text clears the channel instead
    NumberGains, // number, second, third
    NumberWord,  // number, second as a word
    Word,        // number as a word
    Channels,    // the count of channel bytes
};

// Protocol-1 argument lists after the command; each argument follows one blank.
enum class Line : uint8_t {
    None,        // no protocol-1 form: success without traffic
    Plain,       // no arguments
    Number,      // %d number
    NumberReal,  // %d number, %f real
    NumberText,  // %d number, %s text
    NumberGains, // %d number, %u second, %u third, each taken as one byte
    NumberShort, // %d number, %d second taken as 16 bits
    NumberInt,   // %d number, %d second
    Short,       // %d number taken as 16 bits
    Text,        // %s text
};

enum class Out : uint8_t { None, Real, Int32, Int16, Byte, Text, Words };
// Where a protocol-0 result sits in the payload.
enum class From : uint8_t { Real, Word, Byte, Text };
// Where a protocol-1 result comes from: a reply field, a fixed value, or nowhere.
enum class Take : uint8_t { A, B, C, Zero, One, Nothing };

struct Result {
    Out type = Out::None;
    From from = From::Real;
    uint8_t at = 0;
    Take take = Take::Nothing;
};

struct Operation {
    Op op;
    Payload payload;
    uint8_t code;
    const char *command;
    Line line;
    Result out[2] = {};
};

constexpr Result real(Take take) {
    return {Out::Real, From::Real, 0, take};
}
constexpr Result text(Take take) {
    return {Out::Text, From::Text, 0, take};
}
constexpr Result int32(Take take) {
    return {Out::Int32, From::Word, 0, take};
}
constexpr Result int16(From from, uint8_t at, Take take) {
    return {Out::Int16, from, at, take};
}
constexpr Result int16(Take take) {
    return {Out::Int16, From::Word, 0, take};
}
constexpr Result byte(uint8_t at, Take take) {
    return {Out::Byte, From::Byte, at, take};
}
constexpr Result words() {
    return {Out::Words, From::Word, 0, Take::Nothing};
}

using enum Payload;
using P1 = Line;
using T = Take;

constexpr Operation kOperations[] = {
    {Op::DefineChannel, Formula, 3, "C4", P1::NumberText},
    {Op::ReadFormula, Number, 13, "CF", P1::Number, {text(T::B)}},
    {Op::ReadChannel, Number, 4, "C1", P1::Number, {real(T::B)}},
    {Op::ClearAllChannels, Filler, 5, "C5", P1::Plain},
    {Op::ClearChannel, Number, 6, "C6", P1::Number},
    {Op::ResetMM, Filler, 9, "C9", P1::Plain},
    {Op::SetCzero, NumberReal, 52, "CB", P1::NumberReal},
    {Op::ReadCzero, Number, 53, "CD", P1::Number, {real(T::B)}},
    {Op::SetCscale, NumberReal, 54, "CC", P1::NumberReal},
    {Op::ReadCscale, Number, 55, "CE", P1::Number, {real(T::B)}},
    {Op::SetMaster1, None, 0, "CG", P1::NumberReal},
    {Op::ReadMaster1, None, 0, "CJ", P1::Number, {real(T::B)}},
    {Op::SetMaster2, None, 0, "CH", P1::NumberReal},
    {Op::ReadMaster2, None, 0, "CK", P1::Number, {real(T::B)}},
    {Op::SetUse2Masters, None, 0, "CI", P1::NumberInt},
    {Op::ReadUse2Masters, None, 0, "CL", P1::Number, {int32(T::B)}},
    {Op::SetChannelDesc, None, 0, "CM", P1::NumberText},
    {Op::ReadChannelDesc, None, 0, "CN", P1::Number, {text(T::B)}},
    {Op::SetBarScaleTop, None, 0, "CO", P1::NumberReal},
    {Op::ReadBarScaleTop, None, 0, "CT", P1::Number, {real(T::B)}},
    {Op::SetBarScaleBottom, None, 0, "CY", P1::NumberReal},
    {Op::ReadBarScaleBottom, None, 0, "CZ", P1::Number, {real(T::B)}},
    {Op::SetHiApproach, None, 0, "CP", P1::NumberReal},
    {Op::ReadHiApproach, None, 0, "CU", P1::Number, {real(T::B)}},
    {Op::SetHiTolerance, None, 0, "CQ", P1::NumberReal},
    {Op::ReadHiTolerance, None, 0, "CV", P1::Number, {real(T::B)}},
    {Op::SetLoTolerance, None, 0, "CR", P1::NumberReal},
    {Op::ReadLoTolerance, None, 0, "CW", P1::Number, {real(T::B)}},
    {Op::SetLoApproach, None, 0, "CS", P1::NumberReal},
    {Op::ReadLoApproach, None, 0, "CX", P1::Number, {real(T::B)}},
    // In protocol 1 the unit has no direct copy; starting the scan is the nearest it offers.
    {Op::ReadDirectCopy, Channels, 2, "C7", P1::Plain, {words()}},
    {Op::ReadLvdt, Number, 11, "P1", P1::Number, {real(T::B)}},
    {Op::SetTfsv, NumberReal, 21, "PC", P1::NumberReal},
    {Op::ReadTfsv, Number, 22, "PE", P1::Number, {real(T::B)}},
    {Op::SetTzero, NumberReal, 32, "PB", P1::NumberReal},
    {Op::ReadTzero, Number, 33, "PD", P1::Number, {real(T::B)}},
    // Analog inputs have no protocol-1 commands: the start-scan line stands in, reads give fixed
    // values.
    {Op::ReadAnalog, Number, 12, "C7", P1::Plain, {real(T::Zero)}},
    {Op::SetAfsv, NumberReal, 23, "C7", P1::Plain},
    {Op::ReadAfsv, Number, 24, "C7", P1::Plain, {real(T::One)}},
    {Op::SetAzero, NumberReal, 42, "C7", P1::Plain},
    {Op::ReadAzero, Number, 43, "C7", P1::Plain, {real(T::Zero)}},
    {Op::SetLvdtGain, NumberGains, 25, "PF", P1::NumberGains},
    {Op::ReadLvdtGain, Number, 26, "PI", P1::Number, {byte(0, T::B), byte(1, T::C)}},
    {Op::SetLvdtFine, NumberWord, 27, "PG", P1::NumberShort},
    {Op::ReadLvdtFine, Number, 28, "PJ", P1::Number, {int16(From::Word, 0, T::B)}},
    {Op::SetLvdtNull, NumberWord, 34, "PH", P1::NumberShort},
    {Op::ReadLvdtNull, Number, 35, "PK", P1::Number, {int16(From::Word, 0, T::B)}},
    {Op::SaveCalibration, Filler, 92, "PW", P1::Plain, {int16(From::Byte, 0, T::A)}},
    {Op::GetSaveStatus,
     Filler,
     93,
     "PX",
     P1::Plain,
     {int16(From::Byte, 0, T::A), int16(From::Byte, 1, T::B)}},
    {Op::StartScan, Filler, 7, "C7", P1::Plain},
    {Op::StopScan, Filler, 8, "C8", P1::Plain},
    {Op::GetScanFlag, None, 0, "Y5", P1::Plain, {int16(T::A)}},
    {Op::SetScanTime, Word, 10, "Y3", P1::Short},
    {Op::GetScanTime, None, 0, "Y4", P1::Plain, {int16(T::A)}},
    {Op::SetFpIn, Number, 80, nullptr, P1::None},
    {Op::GetFpIn, Filler, 84, nullptr, P1::None, {int16(T::Nothing)}},
    {Op::SetFpOut, Number, 81, nullptr, P1::None},
    {Op::GetFpOut, Filler, 85, nullptr, P1::None, {int16(T::Nothing)}},
    {Op::SetFpPrec, Number, 83, "Y1", P1::Short},
    {Op::GetFpPrec, Filler, 87, "Y2", P1::Plain, {int16(T::A)}},
    {Op::Set_muxTime, Word, 82, nullptr, P1::None},
    {Op::SetAdcAvg, Word, 90, "Y7", P1::Short},
    {Op::GetAdcAvg, None, 0, "Y8", P1::Plain, {int16(T::A)}},
    {Op::SetRunAvg, Word, 91, "Y9", P1::Short},
    {Op::GetRunAvg, None, 0, "YA", P1::Plain, {int16(T::A)}},
    // The unit keeps one count for channels and probes alike.
    {Op::SetNumberOfChannels, None, 0, "YE", P1::Short},
    {Op::GetNumberOfChannels, None, 0, "YG", P1::Plain, {int16(T::A)}},
    {Op::SetNumberOfProbes, None, 0, "YE", P1::Short},
    {Op::GetNumberOfProbes, None, 0, "YG", P1::Plain, {int16(T::A)}},
    {Op::ReadVersion, None, 0, "Y6", P1::Plain, {text(T::A)}},
    {Op::SetFrequency, None, 0, "YC", P1::NumberInt},
    {Op::ReadFrequency, None, 0, "YB", P1::Number, {int32(T::A)}},
    {Op::StoreFrequency, None, 0, "YD", P1::NumberInt},
    {Op::SaveSetup, None, 0, "Sv", P1::Text},
    {Op::LoadSetup, None, 0, "So", P1::Text},
    {Op::ResetSetup, None, 0, "Sr", P1::Plain},
    // The unit answers a listing with the setup name in field A; callers list setups with it.
    {Op::ListFirstSetup, None, 0, "Sd", P1::Plain, {text(T::A)}},
    {Op::ListNextSetup, None, 0, "Se", P1::Plain, {text(T::A)}},
};

constexpr bool rows_in_order() {
    std::size_t index = 0;
    for (const Operation &row : kOperations) {
        if (static_cast<std::size_t>(row.op) != index++) {
            return false;
        }
    }
    return index == static_cast<std::size_t>(Op::Count);
}
static_assert(rows_in_order(), "one row per operation, in the order of Op");

constexpr int32_t kMaxDirectCopy = 255;

float real_argument(const Arguments &arguments) {
    return arguments.real != nullptr ? *arguments.real : 0.0F;
}

int16_t as_short(int32_t value) {
    return static_cast<int16_t>(value);
}

uint8_t low_byte(int32_t value) {
    return static_cast<uint8_t>(value & 0xFF);
}

// Builds the protocol-0 frame; false when it does not fit.
bool build_frame(Request &request, const Operation &row, const Arguments &arguments) {
    const bool clears =
        row.payload == Formula && (arguments.text == nullptr || arguments.text[0] == '\0');
    request.begin_frame(clears ? 6 : row.code);
    switch (row.payload) {
    case None:
        return false;
    case Filler:
        request.put_byte(0);
        break;
    case Number:
        request.put_byte(low_byte(arguments.number));
        break;
    case NumberReal:
        request.put_byte(low_byte(arguments.number));
        request.put_real_bits(real_argument(arguments));
        break;
    case Formula:
        request.put_byte(low_byte(arguments.number));
        if (!clears) {
            request.put_text_with_zero(arguments.text);
        }
        break;
    case NumberGains:
        request.put_byte(low_byte(arguments.number));
        request.put_byte(low_byte(arguments.second));
        request.put_byte(low_byte(arguments.third));
        break;
    case NumberWord:
        request.put_byte(low_byte(arguments.number));
        request.put_le16(arguments.second);
        break;
    case Word:
        request.put_le16(arguments.number);
        break;
    case Channels:
        if (arguments.number < 0 || arguments.number > kMaxDirectCopy) {
            return false;
        }
        for (int32_t i = 0; i < arguments.number; ++i) {
            request.put_byte(arguments.bytes != nullptr ? arguments.bytes[i] : 0);
        }
        break;
    }
    return request.finish_frame();
}

// Builds the protocol-1 line; false when it does not fit.
bool build_line(Request &request, const Operation &row, const Arguments &arguments) {
    request.begin_line(row.command);
    switch (row.line) {
    case P1::None:
    case P1::Plain:
        break;
    case P1::Number:
        request.put_int_argument(arguments.number);
        break;
    case P1::NumberReal:
        request.put_int_argument(arguments.number);
        request.put_real_argument(real_argument(arguments));
        break;
    case P1::NumberText:
        request.put_int_argument(arguments.number);
        request.put_text_argument(arguments.text);
        break;
    case P1::NumberGains:
        request.put_int_argument(arguments.number);
        request.put_int_argument(low_byte(arguments.second));
        request.put_int_argument(low_byte(arguments.third));
        break;
    case P1::NumberShort:
        request.put_int_argument(arguments.number);
        request.put_int_argument(as_short(arguments.second));
        break;
    case P1::NumberInt:
        request.put_int_argument(arguments.number);
        request.put_int_argument(arguments.second);
        break;
    case P1::Short:
        request.put_int_argument(as_short(arguments.number));
        break;
    case P1::Text:
        request.put_text_argument(arguments.text);
        break;
    }
    return request.finish_line();
}

int32_t exchange(QorConnection &connection, const Operation &row, const Arguments &arguments) {
    const bool binary = connection.protocol == 0;
    if (binary && row.payload == None) {
        return kNotInProtocol;
    }
    Request &request = connection.request;
    if (!(binary ? build_frame(request, row, arguments) : build_line(request, row, arguments))) {
        return kCommandTooLong;
    }
    const Transport &transport = *connection.transport;
    if (const int32_t sent = transport.send(connection, request.data(), request.size());
        sent != kOk) {
        return sent;
    }
    const auto receive = [&connection](uint8_t *out, std::size_t count, int32_t &error) {
        return connection.transport->receive(connection, out, count, error);
    };
    const bool framed = binary || transport.frames_lines;
    transport.expect_reply(connection, framed ? kLongestFrame : kLongestReplyLine);
    if (framed) {
        return read_frame(connection.reply, receive);
    }
    if (debug_enabled()) {
        debug_print("%.*s", static_cast<int>(request.size()),
                    reinterpret_cast<const char *>(request.data()));
    }
    return read_line(connection.reply, receive);
}

// A result as a number or a text, before it is narrowed to the caller's type.
struct Value {
    double number = 0.0;
    std::string_view text;
};

Value fetch(const Result &result, const Reply &reply, bool binary) {
    if (binary) {
        switch (result.from) {
        case From::Real:
            return {payload_real(reply, result.at), {}};
        case From::Word:
            return {static_cast<double>(payload_le16(reply, result.at)), {}};
        case From::Byte:
            return {static_cast<double>(payload_byte(reply, result.at)), {}};
        case From::Text:
            return {0.0, payload_text(reply)};
        }
    }
    switch (result.take) {
    case T::A:
    case T::B:
    case T::C: {
        const std::string_view field =
            reply.field(static_cast<Field>(static_cast<uint8_t>(result.take)));
        const double number =
            result.type == Out::Real ? parse_real(field) : static_cast<double>(parse_int(field));
        return {number, field};
    }
    case T::One:
        return {1.0, {}};
    case T::Zero:
    case T::Nothing:
        break;
    }
    return {};
}

template <class Integer> Integer narrowed(double value) {
    return static_cast<Integer>(std::clamp<double>(value, std::numeric_limits<Integer>::min(),
                                                   std::numeric_limits<Integer>::max()));
}

void store(const Result &result, const Value &value, void *out) {
    switch (result.type) {
    case Out::None:
    case Out::Words:
        break;
    case Out::Real:
        *static_cast<float *>(out) = static_cast<float>(value.number);
        break;
    case Out::Int32:
        *static_cast<int32_t *>(out) = narrowed<int32_t>(value.number);
        break;
    case Out::Int16:
        *static_cast<int16_t *>(out) = narrowed<int16_t>(value.number);
        break;
    case Out::Byte:
        *static_cast<uint8_t *>(out) = narrowed<uint8_t>(value.number);
        break;
    case Out::Text:
        copy_text(value.text, static_cast<char *>(out));
        break;
    }
}

void store_results(const QorConnection &connection, const Operation &row,
                   const Arguments &arguments, bool without_reply) {
    const bool binary = connection.protocol == 0;
    for (std::size_t slot = 0; slot < 2; ++slot) {
        const Result &result = row.out[slot];
        void *out = arguments.out[slot];
        if (out == nullptr || result.type == Out::None) {
            continue;
        }
        if (result.type == Out::Words) {
            if (binary) {
                auto *words = static_cast<int16_t *>(out);
                for (int32_t i = 0; i < arguments.number; ++i) {
                    words[i] = payload_le16(connection.reply, 2 * static_cast<std::size_t>(i));
                }
            }
            continue;
        }
        if (!binary && result.take == T::Nothing && !without_reply) {
            continue;
        }
        store(result, without_reply ? Value{} : fetch(result, connection.reply, binary), out);
    }
}

} // namespace

int32_t perform(QorHandle handle, Op op, const Arguments &arguments) {
    QorConnection *connection = checked(handle);
    if (connection == nullptr) {
        return kInvalidHandle;
    }
    const Operation &row = kOperations[static_cast<std::size_t>(op)];
    if (connection->protocol == 1 && row.line == P1::None) {
        connection->error = kOk;
        store_results(*connection, row, arguments, true);
        return kOk;
    }
    // Kept aside: a handler that calls back into the link may change the connection's error.
    const int32_t error = exchange(*connection, row, arguments);
    connection->error = error;
    report(*connection);
    if (error == kOk) {
        store_results(*connection, row, arguments, false);
    }
    return error;
}

} // namespace qor
