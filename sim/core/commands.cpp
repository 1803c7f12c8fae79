#include "commands.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace qorsim {

namespace {

// ---- Arguments ---------------------------------------------------------------------------

enum class ArgKind {
    None,        // protocol 0: one filler byte
    Object,      // channel, probe or input number
    ObjectReal,  // number, real
    ObjectInt,   // number, 16-bit integer
    ObjectText,  // number, text
    ObjectTwoU8, // probe, two 8-bit settings
    Value16,     // 16-bit value (protocol 0: two bytes, no number)
    Value8,      // protocol 0: one byte
    IntPair,     // protocol 1 only: two integers
    Text,        // protocol 1 only: the rest of the line
    ByteList,    // protocol 0 only: the payload bytes
};

struct Args {
    int object = 0;
    double real = 0;
    long a = 0, b = 0;
    std::string text;
    std::string bytes;
};

// What a protocol-1 integer argument may hold: the width of the field the unit keeps it in.
struct Range {
    long min, max;
};
constexpr Range kInt32{INT32_MIN, INT32_MAX};
constexpr Range kInt16{INT16_MIN, INT16_MAX};
constexpr Range kUint8{0, UINT8_MAX};

// Reads the arguments of a protocol-1 line after its two-letter command. A number that does not
// fit its field is refused, never wrapped into one that does.
class LineArgs {
public:
    explicit LineArgs(std::string_view rest) : rest_(rest) {}

    // A channel, probe or input number. One beyond every object is held at the int limits, so
    // that the command answers it as any number outside its objects (10 for a channel).
    bool object(int &out) {
        long value = 0;
        if (!number(value))
            return false;
        out = static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
        return true;
    }
    bool integer(long &out, Range range) {
        long value = 0;
        if (!number(value) || value < range.min || value > range.max)
            return false;
        out = value;
        return true;
    }
    // A real the unit keeps in single precision.
    bool real(double &out) {
        std::string token = next();
        if (token.empty())
            return false;
        char *end = nullptr;
        out = std::strtod(token.c_str(), &end);
        return *end == '\0' && std::isfinite(out) && std::fabs(out) <= FLT_MAX;
    }
    // The rest after one separating blank.
    std::string text() {
        if (!rest_.empty() && rest_.front() == ' ')
            rest_.remove_prefix(1);
        return std::string(rest_);
    }

private:
    // A decimal integer; one beyond long reads as the long limit of its sign.
    bool number(long &out) {
        std::string token = next();
        if (token.empty())
            return false;
        char *end = nullptr;
        out = std::strtol(token.c_str(), &end, 10);
        return *end == '\0';
    }
    std::string next() {
        while (!rest_.empty() && rest_.front() == ' ')
            rest_.remove_prefix(1);
        std::size_t n = std::min(rest_.find(' '), rest_.size());
        std::string token(rest_.substr(0, n));
        rest_.remove_prefix(n);
        return token;
    }
    std::string_view rest_;
};

bool parseLineArgs(ArgKind kind, std::string_view rest, Args &args) {
    LineArgs in(rest);
    switch (kind) {
    case ArgKind::None:
        return true;
    case ArgKind::Object:
        return in.object(args.object);
    case ArgKind::ObjectReal:
        return in.object(args.object) && in.real(args.real);
    case ArgKind::ObjectInt:
        return in.object(args.object) && in.integer(args.a, kInt16);
    case ArgKind::IntPair:
        return in.integer(args.a, kInt32) && in.integer(args.b, kInt32);
    case ArgKind::ObjectText:
        if (!in.object(args.object))
            return false;
        args.text = in.text();
        return true;
    case ArgKind::ObjectTwoU8:
        return in.object(args.object) && in.integer(args.a, kUint8) && in.integer(args.b, kUint8);
    case ArgKind::Value16:
    case ArgKind::Value8: // a byte in protocol 0, a 16-bit number in protocol 1
        return in.integer(args.a, kInt16);
    case ArgKind::Text:
        args.text = in.text();
        return true;
    case ArgKind::ByteList:
        return false;
    }
    return false;
}

float readFloat(std::string_view p, std::size_t at) {
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i)
        bits = (bits << 8) | static_cast<unsigned char>(p[at + static_cast<std::size_t>(i)]);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

long readInt16(std::string_view p, std::size_t at) {
    auto v = static_cast<std::uint16_t>(static_cast<unsigned char>(p[at]) |
                                        (static_cast<unsigned char>(p[at + 1]) << 8));
    return static_cast<std::int16_t>(v);
}

bool parseFrameArgs(ArgKind kind, std::string_view p, Args &args) {
    auto need = [&](std::size_t n) {
        return p.size() >= n;
    };
    if (need(1))
        args.object = static_cast<unsigned char>(p[0]);
    switch (kind) {
    case ArgKind::None:
    case ArgKind::Object:
        return need(1);
    case ArgKind::ObjectReal:
        if (!need(5))
            return false;
        args.real = readFloat(p, 1);
        return std::isfinite(args.real);
    case ArgKind::ObjectInt:
        return need(3) && (args.a = readInt16(p, 1), true);
    case ArgKind::ObjectText: {
        if (!need(1))
            return false;
        std::string_view rest = p.substr(1);
        args.text = std::string(rest.substr(0, std::min(rest.find('\0'), rest.size())));
        return true;
    }
    case ArgKind::ObjectTwoU8:
        return need(3) && (args.a = static_cast<unsigned char>(p[1]),
                           args.b = static_cast<unsigned char>(p[2]), true);
    case ArgKind::Value16:
        return need(2) && (args.a = readInt16(p, 0), true);
    case ArgKind::Value8:
        return need(1) && (args.a = static_cast<unsigned char>(p[0]), true);
    case ArgKind::ByteList:
        args.bytes = std::string(p);
        return true;
    case ArgKind::IntPair:
    case ArgKind::Text:
        return false;
    }
    return false;
}

Result make(int error, Shape shape = Shape::None, int object = 0) {
    Result r;
    r.error = error;
    r.shape = shape;
    r.object = object;
    return r;
}

Result fail(int error) {
    return make(error);
}
Result done() {
    return make(0);
}
Result objectReal(int object, double v) {
    Result r = make(0, Shape::ObjectReal, object);
    r.real = v;
    return r;
}
Result objectInt(int object, long v) {
    Result r = make(0, Shape::ObjectInt, object);
    r.a = v;
    return r;
}
Result objectText(int object, std::string text) {
    Result r = make(0, Shape::ObjectText, object);
    r.text = std::move(text);
    return r;
}
Result valueA(Shape shape, long a, long b = 0) {
    Result r = make(0, shape);
    r.a = a;
    r.b = b;
    return r;
}
Result textA(std::string text) {
    Result r = make(0, Shape::TextA);
    r.text = std::move(text);
    return r;
}

// ---- Commands ----------------------------------------------------------------------------

using Handler = Result (*)(Unit &, const Args &);

struct Command {
    const char *line; // protocol-1 command letters, or nullptr
    int code;         // protocol-0 code, or -1
    ArgKind args;
    Handler run;
};

template <double ChannelConfig::*Field> Result setChannelReal(Unit &u, const Args &a) {
    if (!u.validChannel(a.object))
        return fail(kBadChannel);
    u.channel(a.object).*Field = a.real;
    return done();
}

template <double ChannelConfig::*Field> Result readChannelReal(Unit &u, const Args &a) {
    if (!u.validChannel(a.object))
        return fail(kBadChannel);
    return objectReal(a.object, u.channel(a.object).*Field);
}

template <double ProbeScaling::*Field> Result setProbeReal(Unit &u, const Args &a) {
    if (!u.validProbe(a.object))
        return fail(kBadProbe);
    u.probeScaling(a.object).*Field = a.real;
    return done();
}

template <double ProbeScaling::*Field> Result readProbeReal(Unit &u, const Args &a) {
    if (!u.validProbe(a.object))
        return fail(kBadProbe);
    return objectReal(a.object, u.probeScaling(a.object).*Field);
}

template <double AnalogScaling::*Field> Result setAnalogReal(Unit &u, const Args &a) {
    if (!u.validAnalog(a.object))
        return fail(kBadProbe);
    u.analogScaling(a.object).*Field = a.real;
    return done();
}

template <double AnalogScaling::*Field> Result readAnalogReal(Unit &u, const Args &a) {
    if (!u.validAnalog(a.object))
        return fail(kBadProbe);
    return objectReal(a.object, u.analogScaling(a.object).*Field);
}

template <int Amplifier::*Field> Result setAmplifier16(Unit &u, const Args &a) {
    if (!u.validProbe(a.object))
        return fail(kBadProbe);
    u.amplifier(a.object).*Field = static_cast<std::int16_t>(a.a);
    return done();
}

template <int Amplifier::*Field> Result readAmplifier16(Unit &u, const Args &a) {
    if (!u.validProbe(a.object))
        return fail(kBadProbe);
    return objectInt(a.object, u.amplifier(a.object).*Field);
}

template <int Settings::*Field> Result setSetting(Unit &u, const Args &a) {
    u.settings().*Field = static_cast<std::int16_t>(a.a);
    return done();
}

template <int Settings::*Field> Result readSetting(Unit &u, const Args &) {
    return valueA(Shape::ValueA, u.settings().*Field);
}

Result defineChannel(Unit &u, const Args &a) {
    if (!u.validChannel(a.object))
        return fail(kBadChannel);
    return fail(u.defineChannel(a.object, a.text));
}

Result clearChannel(Unit &u, const Args &a) {
    if (!u.validChannel(a.object))
        return fail(kBadChannel);
    u.clearChannel(a.object);
    return done();
}

Result readFormula(Unit &u, const Args &a) {
    if (!u.validChannel(a.object))
        return fail(kBadChannel);
    return objectText(a.object, u.channel(a.object).formula);
}

Result readChannel(Unit &u, const Args &a) {
    if (!u.validChannel(a.object))
        return fail(kBadChannel);
    return objectReal(a.object, u.channelValue(a.object));
}

// Raw 16-bit readings: the value in units of the precision's last digit.
Result directCopy(Unit &u, const Args &a) {
    Result r = make(0, Shape::RawList);
    double unit = std::pow(10.0, std::clamp(u.settings().precision, 0, 6));
    for (const char byte : a.bytes) {
        const int ch = static_cast<unsigned char>(byte);
        if (!u.validChannel(ch))
            return fail(kBadChannel);
        double v = std::round(u.channelValue(ch) * unit);
        r.raw.push_back(static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0)));
    }
    return r;
}

Result setUseTwo(Unit &u, const Args &a) {
    if (!u.validChannel(a.object))
        return fail(kBadChannel);
    u.channel(a.object).useTwoMasters = static_cast<int>(a.a);
    return done();
}

Result readUseTwo(Unit &u, const Args &a) {
    if (!u.validChannel(a.object))
        return fail(kBadChannel);
    return objectInt(a.object, u.channel(a.object).useTwoMasters);
}

Result setDescription(Unit &u, const Args &a) {
    if (!u.validChannel(a.object))
        return fail(kBadChannel);
    u.channel(a.object).description = a.text;
    return done();
}

Result readDescription(Unit &u, const Args &a) {
    if (!u.validChannel(a.object))
        return fail(kBadChannel);
    return objectText(a.object, u.channel(a.object).description);
}

Result readLvdt(Unit &u, const Args &a) {
    if (!u.validProbe(a.object))
        return fail(kBadProbe);
    return objectReal(a.object, u.probeReading(a.object));
}

Result readAnalog(Unit &u, const Args &a) {
    if (!u.validAnalog(a.object))
        return fail(kBadProbe);
    return objectReal(a.object, u.analogReading(a.object));
}

Result setGain(Unit &u, const Args &a) {
    if (!u.validProbe(a.object))
        return fail(kBadProbe);
    u.amplifier(a.object).rf = static_cast<int>(a.a & 0xFF);
    u.amplifier(a.object).ri = static_cast<int>(a.b & 0xFF);
    return done();
}

Result readGain(Unit &u, const Args &a) {
    if (!u.validProbe(a.object))
        return fail(kBadProbe);
    Result r = make(0, Shape::Gain, a.object);
    r.a = u.amplifier(a.object).rf;
    r.b = u.amplifier(a.object).ri;
    return r;
}

Result saveCalibration(Unit &u, const Args &) {
    return valueA(Shape::StatusA, u.saveCalibration());
}

Result saveStatus(Unit &u, const Args &) {
    auto [first, second] = u.saveStatus();
    return valueA(Shape::StatusPair, first, second);
}

Result startScan(Unit &u, const Args &) {
    u.startScan();
    return done();
}

Result stopScan(Unit &u, const Args &) {
    u.stopScan();
    return done();
}

Result scanFlag(Unit &u, const Args &) {
    return valueA(Shape::ValueA, u.scanning() ? 1 : 0);
}

Result setCount(Unit &u, const Args &a) {
    return fail(u.setChannelCount(static_cast<int>(a.a)));
}

Result readCount(Unit &u, const Args &) {
    return valueA(Shape::ValueA, u.settings().channelCount);
}

Result version(Unit &u, const Args &) {
    return textA(u.version());
}

Result setFrequency(Unit &u, const Args &a) {
    return fail(
        u.setFrequency(static_cast<int>(a.a), static_cast<int>(a.b), false) ? 0 : kUnknownCommand);
}

Result storeFrequency(Unit &u, const Args &a) {
    return fail(
        u.setFrequency(static_cast<int>(a.a), static_cast<int>(a.b), true) ? 0 : kUnknownCommand);
}

Result readFrequency(Unit &u, const Args &a) {
    int value = 0;
    if (!u.frequency(a.object, value))
        return fail(kUnknownCommand);
    return valueA(Shape::ValueA, value);
}

Result saveSetup(Unit &u, const Args &a) {
    return fail(u.saveSetup(a.text));
}
Result loadSetup(Unit &u, const Args &a) {
    return fail(u.loadSetup(a.text));
}
Result resetSetup(Unit &u, const Args &) {
    u.resetSetup();
    return done();
}
Result firstSetup(Unit &u, const Args &) {
    return textA(u.firstSetupName());
}
Result nextSetup(Unit &u, const Args &) {
    return textA(u.nextSetupName());
}
Result clearAll(Unit &u, const Args &) {
    u.clearAllChannels();
    return done();
}
Result resetMaxMin(Unit &u, const Args &) {
    u.resetMaxMin();
    return done();
}

using C = ChannelConfig;

const Command kCommands[] = {
    // Channels
    {"C4", 3, ArgKind::ObjectText, defineChannel},
    {"CF", 13, ArgKind::Object, readFormula},
    {"C1", 4, ArgKind::Object, readChannel},
    {"C5", 5, ArgKind::None, clearAll},
    {"C6", 6, ArgKind::Object, clearChannel},
    {"C9", 9, ArgKind::None, resetMaxMin},
    {"CB", 52, ArgKind::ObjectReal, setChannelReal<&C::czero>},
    {"CD", 53, ArgKind::Object, readChannelReal<&C::czero>},
    {"CC", 54, ArgKind::ObjectReal, setChannelReal<&C::cscale>},
    {"CE", 55, ArgKind::Object, readChannelReal<&C::cscale>},
    {"CG", -1, ArgKind::ObjectReal, setChannelReal<&C::master1>},
    {"CJ", -1, ArgKind::Object, readChannelReal<&C::master1>},
    {"CH", -1, ArgKind::ObjectReal, setChannelReal<&C::master2>},
    {"CK", -1, ArgKind::Object, readChannelReal<&C::master2>},
    {"CI", -1, ArgKind::ObjectInt, setUseTwo},
    {"CL", -1, ArgKind::Object, readUseTwo},
    {"CM", -1, ArgKind::ObjectText, setDescription},
    {"CN", -1, ArgKind::Object, readDescription},
    {"CO", -1, ArgKind::ObjectReal, setChannelReal<&C::barTop>},
    {"CT", -1, ArgKind::Object, readChannelReal<&C::barTop>},
    {"CY", -1, ArgKind::ObjectReal, setChannelReal<&C::barBottom>},
    {"CZ", -1, ArgKind::Object, readChannelReal<&C::barBottom>},
    {"CP", -1, ArgKind::ObjectReal, setChannelReal<&C::hiApproach>},
    {"CU", -1, ArgKind::Object, readChannelReal<&C::hiApproach>},
    {"CQ", -1, ArgKind::ObjectReal, setChannelReal<&C::hiTolerance>},
    {"CV", -1, ArgKind::Object, readChannelReal<&C::hiTolerance>},
    {"CR", -1, ArgKind::ObjectReal, setChannelReal<&C::loTolerance>},
    {"CW", -1, ArgKind::Object, readChannelReal<&C::loTolerance>},
    {"CS", -1, ArgKind::ObjectReal, setChannelReal<&C::loApproach>},
    {"CX", -1, ArgKind::Object, readChannelReal<&C::loApproach>},
    {nullptr, 2, ArgKind::ByteList, directCopy},
    // Probes and analog inputs
    {"P1", 11, ArgKind::Object, readLvdt},
    {"PC", 21, ArgKind::ObjectReal, setProbeReal<&ProbeScaling::tfsv>},
    {"PE", 22, ArgKind::Object, readProbeReal<&ProbeScaling::tfsv>},
    {"PB", 32, ArgKind::ObjectReal, setProbeReal<&ProbeScaling::tzero>},
    {"PD", 33, ArgKind::Object, readProbeReal<&ProbeScaling::tzero>},
    {nullptr, 12, ArgKind::Object, readAnalog},
    {nullptr, 23, ArgKind::ObjectReal, setAnalogReal<&AnalogScaling::afsv>},
    {nullptr, 24, ArgKind::Object, readAnalogReal<&AnalogScaling::afsv>},
    {nullptr, 42, ArgKind::ObjectReal, setAnalogReal<&AnalogScaling::azero>},
    {nullptr, 43, ArgKind::Object, readAnalogReal<&AnalogScaling::azero>},
    {"PF", 25, ArgKind::ObjectTwoU8, setGain},
    {"PI", 26, ArgKind::Object, readGain},
    {"PG", 27, ArgKind::ObjectInt, setAmplifier16<&Amplifier::fine>},
    {"PJ", 28, ArgKind::Object, readAmplifier16<&Amplifier::fine>},
    {"PH", 34, ArgKind::ObjectInt, setAmplifier16<&Amplifier::null>},
    {"PK", 35, ArgKind::Object, readAmplifier16<&Amplifier::null>},
    {"PW", 92, ArgKind::None, saveCalibration},
    {"PX", 93, ArgKind::None, saveStatus},
    // Scan and unit settings
    {"C7", 7, ArgKind::None, startScan},
    {"C8", 8, ArgKind::None, stopScan},
    {"Y5", -1, ArgKind::None, scanFlag},
    {"Y3", 10, ArgKind::Value16, setSetting<&Settings::scanTime>},
    {"Y4", -1, ArgKind::None, readSetting<&Settings::scanTime>},
    {nullptr, 80, ArgKind::Value8, setSetting<&Settings::fpIn>},
    {nullptr, 84, ArgKind::None, readSetting<&Settings::fpIn>},
    {nullptr, 81, ArgKind::Value8, setSetting<&Settings::fpOut>},
    {nullptr, 85, ArgKind::None, readSetting<&Settings::fpOut>},
    {"Y1", 83, ArgKind::Value8, setSetting<&Settings::precision>},
    {"Y2", 87, ArgKind::None, readSetting<&Settings::precision>},
    {nullptr, 82, ArgKind::Value16, setSetting<&Settings::muxTime>},
    {"Y7", 90, ArgKind::Value16, setSetting<&Settings::adcAverage>},
    {"Y8", -1, ArgKind::None, readSetting<&Settings::adcAverage>},
    {"Y9", 91, ArgKind::Value16, setSetting<&Settings::runAverage>},
    {"YA", -1, ArgKind::None, readSetting<&Settings::runAverage>},
    {"YE", -1, ArgKind::Value16, setCount},
    {"YG", -1, ArgKind::None, readCount},
    {"Y6", -1, ArgKind::None, version},
    {"YC", -1, ArgKind::IntPair, setFrequency},
    {"YB", -1, ArgKind::Object, readFrequency},
    {"YD", -1, ArgKind::IntPair, storeFrequency},
    // Setups in the unit's memory
    {"Sv", -1, ArgKind::Text, saveSetup},
    {"So", -1, ArgKind::Text, loadSetup},
    {"Sr", -1, ArgKind::None, resetSetup},
    {"Sd", -1, ArgKind::None, firstSetup},
    {"Se", -1, ArgKind::None, nextSetup},
};

const Command *findLine(std::string_view letters) {
    for (const Command &c : kCommands) {
        if (c.line && letters == c.line)
            return &c;
    }
    return nullptr;
}

const Command *findCode(int code) {
    for (const Command &c : kCommands) {
        if (c.code == code)
            return &c;
    }
    return nullptr;
}

} // namespace

Result runLine(Unit &unit, std::string_view body) {
    if (body.size() < 2)
        return fail(kUnknownCommand);
    const Command *command = findLine(body.substr(0, 2));
    std::string_view rest = body.substr(2);
    Args args;
    if (!command || (!rest.empty() && rest.front() != ' ') ||
        !parseLineArgs(command->args, rest, args))
        return fail(kUnknownCommand);
    return command->run(unit, args);
}

Result runFrame(Unit &unit, std::string_view body) {
    const Command *command = body.empty() ? nullptr : findCode(static_cast<unsigned char>(body[0]));
    Args args;
    if (!command || !parseFrameArgs(command->args, body.substr(1), args))
        return fail(kUnknownCommand);
    return command->run(unit, args);
}

} // namespace qorsim
