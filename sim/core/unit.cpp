#include "unit.h"

#include "nvstate.h"
#include "presets.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <sstream>

namespace qorsim {

namespace {

constexpr double kFullTravel = 0.05;    // displacement giving amplifier output 1 at G0
constexpr double kNullPerOutput = 5000; // null steps for amplifier output 1
constexpr double kAnalogAmplitude = 0.3;
constexpr std::size_t kMaxRunningAverage = 256;

double gain(const Amplifier &a) {
    constexpr double k = 50.0 / 39.0625;
    return (1.0 + (a.rf + k) / (a.ri + k)) * (a.fine + 4000.0) / 4000.0;
}

} // namespace

class Unit::Inputs : public InputSource {
public:
    explicit Inputs(Unit &unit) : unit_(unit) {}
    double input(char kind, int index) const override {
        if (kind == 'P')
            return unit_.probeReading(index);
        if (kind == 'A')
            return unit_.analogReading(index);
        return unit_.valueOf(index);
    }

private:
    Unit &unit_;
};

Unit::Unit(const Options &options, Clock clock)
    : options_(options), clock_(std::move(clock)), rng_(options.seed), start_(clock_()),
      fixture_(options.seed, options.probes, start_) {
    const auto probes = static_cast<std::size_t>(options_.probes);
    amplifiers_.assign(probes, Amplifier{});
    history_.resize(probes);
    output_.assign(probes, 0.0);
    stuck_.assign(probes, false);
    analogRaw_.assign(static_cast<std::size_t>(options_.analogs), 0.0);

    if (!options_.stateFile.empty()) {
        std::string error;
        if (!loadNonVolatile(options_.stateFile, nv_, error))
            std::fprintf(stderr, "qorsim: %s (stored memory ignored from there on)\n",
                         error.c_str());
    }
    for (const auto &[probe, amp] : nv_.amplifiers) {
        if (validProbe(probe))
            amplifier(probe) = amp;
    }
    frequencies_ = nv_.frequencies;
    listCursor_ = nv_.setups.end();

    Setup initial = defaults();
    applyPreset(options_.preset, initial);
    applySetup(initial);
    if (auto stored = nv_.setups.find("default"); stored != nv_.setups.end())
        applySetup(stored->second);

    fixture_.parts().setSpread(options_.spread);
    fixture_.parts().setDrift(options_.drift);
    if (options_.cycleLoadSeconds > 0)
        fixture_.cycle(start_, options_.cycleLoadSeconds, options_.cycleOutSeconds);
    tick(start_);
    nextTick_ = start_;
}

Setup Unit::defaults() const {
    Setup s;
    s.settings.channelCount = options_.channelsMax;
    s.channels.resize(static_cast<std::size_t>(options_.channelsMax));
    s.probes.resize(static_cast<std::size_t>(options_.probes));
    s.analogs.resize(static_cast<std::size_t>(options_.analogs));
    return s;
}

void Unit::applySetup(const Setup &setup) {
    Setup s = defaults();
    s.settings = setup.settings;
    if (s.settings.channelCount < 1 || s.settings.channelCount > options_.channelsMax)
        s.settings.channelCount = options_.channelsMax;
    std::copy_n(setup.channels.begin(), std::min(setup.channels.size(), s.channels.size()),
                s.channels.begin());
    std::copy_n(setup.probes.begin(), std::min(setup.probes.size(), s.probes.size()),
                s.probes.begin());
    std::copy_n(setup.analogs.begin(), std::min(setup.analogs.size(), s.analogs.size()),
                s.analogs.begin());
    setup_ = std::move(s);
    rebuildFormulas();
}

// Parses every stored formula again; one the unit cannot take now (fewer probes installed, a
// hand-edited memory file) leaves its channel undefined.
void Unit::rebuildFormulas() {
    formulas_.assign(setup_.channels.size(), Formula());
    memo_.assign(formulas_.size(), 0.0);
    memoPass_.assign(formulas_.size(), 0);
    const FormulaLimits limits{options_.probes, options_.analogs, setup_.settings.channelCount};
    int nodes = 0;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < setup_.channels.size(); ++i) {
        std::string &text = setup_.channels[i].formula;
        if (text.find_first_not_of(' ') == std::string::npos ||
            Formula::parse(text, limits, formulas_[i]) != kFormulaOk ||
            nodes + formulas_[i].nodeCount() > kMaxFormulaNodes ||
            chars + text.size() > kMaxFormulaChars) {
            text.clear();
            formulas_[i] = Formula();
            continue;
        }
        nodes += formulas_[i].nodeCount();
        chars += text.size();
    }
    for (std::size_t i = 0; i < formulas_.size(); ++i) {
        std::vector<int> state(formulas_.size() + 1, 0);
        int ch = static_cast<int>(i) + 1;
        if (dependsOn(ch, ch, state)) {
            setup_.channels[i].formula.clear();
            formulas_[i] = Formula();
        }
    }
}

bool Unit::dependsOn(int from, int target, std::vector<int> &visited) const {
    for (int c : formulas_[static_cast<std::size_t>(from - 1)].channelsUsed()) {
        if (c == target)
            return true;
        if (c < 1 || static_cast<std::size_t>(c) > formulas_.size() ||
            visited[static_cast<std::size_t>(c)])
            continue;
        visited[static_cast<std::size_t>(c)] = 1;
        if (dependsOn(c, target, visited))
            return true;
    }
    return false;
}

int Unit::defineChannel(int ch, std::string_view text) {
    if (text.find_first_not_of(' ') == std::string_view::npos) {
        clearChannel(ch);
        return kFormulaOk;
    }
    Formula parsed;
    const FormulaLimits limits{options_.probes, options_.analogs, setup_.settings.channelCount};
    if (int error = Formula::parse(text, limits, parsed))
        return error;
    const auto index = static_cast<std::size_t>(ch - 1);
    int otherNodes = 0;
    std::size_t otherChars = 0;
    for (std::size_t i = 0; i < formulas_.size(); ++i) {
        if (i != index) {
            otherNodes += formulas_[i].nodeCount();
            otherChars += setup_.channels[i].formula.size();
        }
    }
    if (otherNodes + parsed.nodeCount() > kMaxFormulaNodes)
        return kTooManyNodes;
    if (otherChars + text.size() > kMaxFormulaChars)
        return kMemoryFull;
    std::swap(formulas_[index], parsed);
    std::vector<int> visited(formulas_.size() + 1, 0);
    if (dependsOn(ch, ch, visited)) {
        std::swap(formulas_[index], parsed);
        return kCircular;
    }
    setup_.channels[index].formula = std::string(text);
    return kFormulaOk;
}

void Unit::clearChannel(int ch) {
    setup_.channels[static_cast<std::size_t>(ch - 1)].formula.clear();
    formulas_[static_cast<std::size_t>(ch - 1)] = Formula();
}

void Unit::clearAllChannels() {
    for (int ch = 1; ch <= static_cast<int>(formulas_.size()); ++ch)
        clearChannel(ch);
}

void Unit::resetMaxMin() {
    for (Formula &f : formulas_)
        f.resetExtremes();
}

double Unit::channelValue(int ch) {
    ++pass_;
    return valueOf(ch);
}

// Each channel is evaluated once per pass and the value reused, so chains of channels cost
// their length, not the number of paths through them.
double Unit::valueOf(int ch) {
    if (ch < 1 || static_cast<std::size_t>(ch) > formulas_.size())
        return 0.0;
    const auto i = static_cast<std::size_t>(ch - 1);
    Formula &f = formulas_[i];
    if (f.empty())
        return 0.0;
    if (memoPass_[i] == pass_)
        return memo_[i];
    const ChannelConfig &c = setup_.channels[i];
    double v = f.evaluate(Inputs(*this)) * c.cscale + c.czero;
    memo_[i] = std::isfinite(v) ? v : 0.0;
    memoPass_[i] = pass_;
    return memo_[i];
}

int Unit::setChannelCount(int count) {
    if (count < 1 || count > options_.channelsMax)
        return kBadChannel;
    setup_.settings.channelCount = count;
    return 0;
}

double Unit::probeReading(int pr) const {
    const ProbeScaling &s = setup_.probes[static_cast<std::size_t>(pr - 1)];
    return s.tfsv * output_[static_cast<std::size_t>(pr - 1)] + s.tzero;
}

double Unit::analogReading(int in) const {
    const AnalogScaling &s = setup_.analogs[static_cast<std::size_t>(in - 1)];
    return s.afsv * analogRaw_[static_cast<std::size_t>(in - 1)] + s.azero;
}

double Unit::relativeGain(const Amplifier &amp) {
    return gain(amp) / gain(Amplifier{});
}

void Unit::advance() {
    double t = now();
    fixture_.follow(t);
    // A new part shows at once rather than at the next scan time.
    if (!scanning_ || (t < nextTick_ && fixture_.changes() == fixtureSeen_))
        return;
    tick(t);
    nextTick_ = t + std::max(setup_.settings.scanTime, 1) * 1e-4;
}

void Unit::startScan() {
    if (!scanning_)
        nextTick_ = now();
    scanning_ = true;
}

// One scan: new amplifier outputs for every probe that is not stuck, new analog readings, and
// every channel evaluated once so that MAX/MIN/TIR see every scan.
void Unit::tick(double t) {
    fixture_.follow(t);
    fixtureSeen_ = fixture_.changes();
    const Settings &g = setup_.settings;
    const double sigma = noiseSigma_ / std::sqrt(std::max(g.adcAverage, 1));
    std::normal_distribution<double> noise(0.0, 1.0);
    const std::size_t window = std::clamp<std::size_t>(
        static_cast<std::size_t>(std::max(g.runAverage, 1)), 1, kMaxRunningAverage);
    for (int pr = 1; pr <= options_.probes; ++pr) {
        const auto i = static_cast<std::size_t>(pr - 1);
        if (stuck_[i])
            continue;
        double displacement = fixture_.displacement(pr, t) + sigma * noise(rng_);
        const Amplifier &amp = amplifiers_[i];
        double out = std::clamp(
            displacement / kFullTravel * relativeGain(amp) + amp.null / kNullPerOutput, -1.1, 1.1);
        std::deque<double> &h = history_[i];
        h.push_back(out);
        while (h.size() > window)
            h.pop_front();
        output_[i] = std::accumulate(h.begin(), h.end(), 0.0) / static_cast<double>(h.size());
    }
    for (std::size_t i = 0; i < analogRaw_.size(); ++i) {
        double period = 30.0 + 7.0 * static_cast<double>(i);
        analogRaw_[i] = kAnalogAmplitude *
                        std::sin(2.0 * M_PI * (t - start_) / period + static_cast<double>(i));
    }
    ++pass_;
    for (int ch = 1; ch <= static_cast<int>(formulas_.size()); ++ch)
        valueOf(ch);
}

int Unit::saveCalibration() {
    double t = now();
    if (t < calibrationBusyUntil_)
        return 1;
    calibrationBusyUntil_ = t + kCalibrationBusySeconds;
    if (options_.saveStatus == 0) {
        for (int pr = 1; pr <= options_.probes; ++pr)
            nv_.amplifiers[pr] = amplifier(pr);
        storeNonVolatile();
    }
    return 0;
}

std::pair<int, int> Unit::saveStatus() const {
    if (now() < calibrationBusyUntil_)
        return {0, 0};
    return {1, options_.saveStatus};
}

bool Unit::frequency(int index, int &value) const {
    if (index < 0 || index >= kFrequencySlots)
        return false;
    auto it = frequencies_.find(index);
    value = it == frequencies_.end() ? kDefaultFrequency : it->second;
    return true;
}

bool Unit::setFrequency(int index, int value, bool store) {
    if (index < 0 || index >= kFrequencySlots)
        return false;
    frequencies_[index] = value;
    if (store) {
        nv_.frequencies[index] = value;
        storeNonVolatile();
    }
    return true;
}

int Unit::saveSetup(const std::string &name) {
    if (name.empty())
        return kUnknownSymbol;
    if (!nv_.setups.count(name) && static_cast<int>(nv_.setups.size()) >= kMaxSetups)
        return kMemoryFull;
    nv_.setups[name] = setup_;
    storeNonVolatile();
    return 0;
}

int Unit::loadSetup(const std::string &name) {
    auto it = nv_.setups.find(name);
    if (it == nv_.setups.end())
        return kUnknownSymbol;
    applySetup(it->second);
    return 0;
}

void Unit::resetSetup() {
    applySetup(defaults());
}

std::string Unit::firstSetupName() {
    listCursor_ = nv_.setups.begin();
    return nextSetupName();
}

std::string Unit::nextSetupName() {
    if (listCursor_ == nv_.setups.end())
        return {};
    return (listCursor_++)->first;
}

void Unit::storeNonVolatile() {
    std::string error;
    if (!options_.stateFile.empty() && !saveNonVolatile(options_.stateFile, nv_, error))
        std::fprintf(stderr, "qorsim: cannot store the unit's memory: %s\n", error.c_str());
}

std::string Unit::statusLine() const {
    static const char *const kModes[] = {"run",   "master1", "master2",   "hold",
                                         "empty", "placed",  "reference", "cycle"};
    std::ostringstream out;
    out << "scan " << (scanning_ ? "on" : "off") << ", part "
        << kModes[static_cast<int>(fixture_.mode())] << ", channels "
        << setup_.settings.channelCount << ", noise " << noiseSigma_;
    out.setf(std::ios::fixed);
    out.precision(6);
    for (int pr = 1; pr <= options_.probes; ++pr)
        out << ", P" << pr << ' ' << probeReading(pr)
            << (stuck_[static_cast<std::size_t>(pr - 1)] ? " stuck" : "");
    out << ", " << fixture_.status(now());
    return out.str();
}

} // namespace qorsim
