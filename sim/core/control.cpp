#include "control.h"

#include <charconv>
#include <sstream>
#include <vector>

namespace qorsim {

namespace {

std::vector<std::string> wordsOf(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

bool parseCount(const std::string &text, long &out) {
    const char *end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "part ...": what the fixture holds. False when the words are not understood.
bool applyPart(Unit &unit, const std::vector<std::string> &w) {
    static const std::pair<const char *, PartMode> kModes[] = {
        {"run", PartMode::Run},   {"master1", PartMode::Master1}, {"master2", PartMode::Master2},
        {"hold", PartMode::Hold}, {"empty", PartMode::Empty},     {"out", PartMode::Empty},
    };
    const std::string &what = w[1];
    if (w.size() == 2) {
        for (const auto &[name, mode] : kModes) {
            if (what == name) {
                unit.setPartMode(mode);
                return true;
            }
        }
    }
    long number = 0;
    double size = 0, load = Fixture::kDefaultLoadSeconds, out = Fixture::kDefaultOutSeconds;
    if (what == "place" && w.size() <= 3 &&
        (w.size() == 2 || (parseCount(w[2], number) && number >= 1))) {
        unit.fixture().place(number);
        return true;
    }
    if (what == "reference" && w.size() == 3 && parseReal(w[2], size)) {
        unit.fixture().placeReference(size);
        return true;
    }
    if (what == "cycle" && w.size() <= 4 && (w.size() < 3 || parseReal(w[2], load)) &&
        (w.size() < 4 || parseReal(w[3], out)) && Fixture::validCycleSeconds(load) &&
        Fixture::validCycleSeconds(out)) {
        unit.startCycle(load, out);
        return true;
    }
    return false;
}

} // namespace

ControlOutcome applyControl(Unit &unit, FaultInjector &faults, std::string_view line) {
    const std::vector<std::string> w = wordsOf(line);
    if (w.empty())
        return {};
    const std::string &verb = w[0];
    const std::string arg = w.size() > 1 ? w[1] : std::string();
    double value = 0;
    const bool oneReal = w.size() == 2 && parseReal(arg, value);
    if (verb == "part" && w.size() >= 2 && applyPart(unit, w))
        return {};
    if ((verb == "master1" || verb == "master2") && oneReal) {
        unit.setMasterSize(verb == "master2" ? 2 : 1, value);
        return {};
    }
    if (verb == "noise" && oneReal && value >= 0) {
        unit.setNoise(value);
        return {};
    }
    PartSet &parts = unit.fixture().parts();
    if (verb == "shift" && oneReal) {
        parts.shift(value);
        return {};
    }
    if (verb == "drift" && oneReal) {
        parts.setDrift(value);
        return {};
    }
    if (verb == "spread" && oneReal && value >= 0) {
        parts.setSpread(value);
        return {};
    }
    long number = 0;
    if (verb == "probe" && w.size() == 3 && (w[2] == "stuck" || w[2] == "free") &&
        parseCount(arg, number) && unit.validProbe(static_cast<int>(number))) {
        unit.setProbeStuck(static_cast<int>(number), w[2] == "stuck");
        return {};
    }
    if (verb == "fail" && arg == "off" && w.size() == 2) {
        faults.failNothing();
        return {};
    }
    if (verb == "fail" && w.size() <= 3 && isCommandName(arg) &&
        (w.size() == 2 || (parseCount(w[2], number) && number >= 1))) {
        faults.failCommand(arg, w.size() == 2 ? -1 : number);
        return {};
    }
    if (verb == "status" && w.size() == 1) {
        unit.advance();
        return {true, false, "qorsim: " + unit.statusLine()};
    }
    if (verb == "quit" && w.size() == 1)
        return {true, true, {}};
    return {false, false, "qorsim: not understood: " + std::string(line)};
}

} // namespace qorsim
