// Misbehaviour on demand, and what a unit sends when the line settings do not match its own.
#pragma once

#include "options.h"
#include "protocol.h"

#include <cstdint>
#include <map>
#include <random>
#include <string>

namespace qorsim {

// Serial line settings as both ends see them.
struct LineSettings {
    int baud = 9600;
    int dataBits = 8;
    bool parity = false;
    int stopBits = 2;
    bool operator==(const LineSettings &) const = default;
};

// The error a refused command is answered with: the one the unit gives a command it does not know.
inline constexpr int kRefusedCommandError = 18;

// The unit's own settings: the serial line of the options, or the USB interface's 115200 8N1.
LineSettings unitSerialLine(const Options &options);
LineSettings unitUsbLine();

class FaultInjector {
public:
    explicit FaultInjector(const Options &options);

    // Counts a request; false once the unit has gone silent or hung up (the request is then
    // neither carried out nor answered).
    bool respondsTo();
    // The reply as it leaves the unit: empty when dropped, one byte changed when garbled.
    std::string shape(std::string reply);
    // True once the requests answered reach --hangup-after.
    bool hungUp() const;
    int delayMs() const { return options_.delayMs; }
    // n bytes of line noise: what a receiver set to other line settings makes of a reply. They
    // are never "~", ":" or a carriage return, so nothing reads them as a reply.
    std::string garbage(std::size_t n);

    // Refuses the next `times` requests of `command` (isCommandName), every one when times is
    // negative; a later call for the same command replaces the earlier one.
    void failCommand(const std::string &command, long times = -1);
    // Ends every refusal.
    void failNothing() { failing_.clear(); }
    // The unit's reply to a request, or, for a command that is to fail, its refusal: error
    // kRefusedCommandError with nothing carried out.
    std::string answerOrRefuse(Unit &unit, const Request &request, Transport transport);

private:
    bool chance(double p);
    // Whether this request of `command` fails; counts it.
    bool failsNow(const std::string &command);

    Options options_;
    long answered_ = 0;
    std::mt19937_64 rng_;
    // Commands to refuse, with how many requests are left to refuse (-1: all).
    std::map<std::string, long> failing_;
};

} // namespace qorsim
