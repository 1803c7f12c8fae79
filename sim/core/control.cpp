#include "control.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace qorsim {

namespace {

bool parseReal(const std::string &word, double &out) {
    char *end = nullptr;
    out = std::strtod(word.c_str(), &end);
    return !word.empty() && *end == '\0' && std::isfinite(out);
}

} // namespace

ControlOutcome applyControl(Unit &unit, FaultInjector &faults, std::string_view line) {
    std::istringstream in{std::string(line)};
    std::string verb, arg, extra;
    in >> verb >> arg >> extra;
    auto refuse = [&]() {
        return ControlOutcome{false, false, "qorsim: not understood: " + std::string(line)};
    };
    double value = 0;
    if (verb.empty())
        return {};
    if (verb == "part" && extra.empty()) {
        static const std::pair<const char *, PartMode> kModes[] = {{"run", PartMode::Run},
                                                                   {"master1", PartMode::Master1},
                                                                   {"master2", PartMode::Master2},
                                                                   {"hold", PartMode::Hold}};
        for (const auto &[name, mode] : kModes) {
            if (arg == name) {
                unit.setPartMode(mode);
                return {};
            }
        }
        return refuse();
    }
    if ((verb == "master1" || verb == "master2") && extra.empty() && parseReal(arg, value)) {
        unit.setMasterSize(verb == "master2" ? 2 : 1, value);
        return {};
    }
    if (verb == "noise" && extra.empty() && parseReal(arg, value) && value >= 0) {
        unit.setNoise(value);
        return {};
    }
    if (verb == "probe" && (extra == "stuck" || extra == "free")) {
        char *end = nullptr;
        long probe = std::strtol(arg.c_str(), &end, 10);
        if (arg.empty() || *end != '\0' || !unit.validProbe(static_cast<int>(probe)))
            return refuse();
        unit.setProbeStuck(static_cast<int>(probe), extra == "stuck");
        return {};
    }
    if (verb == "fail" && arg == "off" && extra.empty()) {
        faults.failNothing();
        return {};
    }
    if (verb == "fail" && isCommandName(arg)) {
        char *end = nullptr;
        long times = extra.empty() ? -1 : std::strtol(extra.c_str(), &end, 10);
        std::string more;
        if ((!extra.empty() && (*end != '\0' || times < 1)) || (in >> more))
            return refuse();
        faults.failCommand(arg, times);
        return {};
    }
    if (verb == "status" && arg.empty()) {
        unit.advance();
        return {true, false, "qorsim: " + unit.statusLine()};
    }
    if (verb == "quit" && arg.empty())
        return {true, true, {}};
    return refuse();
}

} // namespace qorsim
