// The simulated QOR-128: channels computed by formulas, LVDT probes behind adjustable amplifiers,
// analog inputs, the measuring scan, the calibration store, setups kept in the unit's memory and
// the non-volatile part of that memory.
#pragma once

#include "fixture.h"
#include "formula.h"
#include "options.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace qorsim {

struct ChannelConfig {
    std::string formula;
    std::string description;
    double czero = 0, cscale = 1;
    double master1 = 0, master2 = 0;
    int useTwoMasters = 0;
    double barTop = 0, barBottom = 0;
    double hiApproach = 0, hiTolerance = 0, loTolerance = 0, loApproach = 0;
};

struct ProbeScaling {
    double tfsv = 0.05, tzero = 0;
};

struct AnalogScaling {
    double afsv = 1, azero = 0;
};

// Amplifier of one LVDT input: coarse gain Rf, range resistor Ri, fine gain and null.
struct Amplifier {
    int rf = 128, ri = 50, fine = 0, null = 0;
    bool operator==(const Amplifier &) const = default;
};

struct Settings {
    int channelCount = 0;
    int scanTime = 50; // tenths of a millisecond
    int adcAverage = 1;
    int runAverage = 1;
    int precision = 4;
    int fpIn = 0, fpOut = 0, muxTime = 0;
};

// Everything a stored setup holds.
struct Setup {
    Settings settings;
    std::vector<ChannelConfig> channels; // index 0 is channel 1
    std::vector<ProbeScaling> probes;
    std::vector<AnalogScaling> analogs;
};

// What survives power-off.
struct NonVolatile {
    std::map<std::string, Setup> setups;
    std::map<int, Amplifier> amplifiers; // by probe number; absent = factory setting
    std::map<int, int> frequencies;      // by index
};

class Unit {
public:
    using Clock = std::function<double()>; // monotonic seconds

    static constexpr int kFrequencySlots = 16;
    static constexpr int kDefaultFrequency = 5000;
    static constexpr int kMaxSetups = 32;
    static constexpr double kCalibrationBusySeconds = 0.6;

    // Powers the unit on: reads the non-volatile state (when the options name a file), applies
    // the preset, then the stored setup "default" when there is one.
    Unit(const Options &options, Clock clock);

    const Options &options() const { return options_; }
    // Brings the scan up to the clock; every request starts with this.
    void advance();

    // Channels. Numbers are checked by the caller with validChannel.
    bool validChannel(int ch) const { return ch >= 1 && ch <= setup_.settings.channelCount; }
    ChannelConfig &channel(int ch) { return setup_.channels[static_cast<std::size_t>(ch - 1)]; }
    int defineChannel(int ch, std::string_view formula); // 0 or a formula error
    void clearChannel(int ch);
    void clearAllChannels();
    void resetMaxMin();
    double channelValue(int ch);
    int setChannelCount(int count); // 0 or 10

    // Probes and analog inputs.
    bool validProbe(int pr) const { return pr >= 1 && pr <= options_.probes; }
    bool validAnalog(int in) const { return in >= 1 && in <= options_.analogs; }
    ProbeScaling &probeScaling(int pr) { return setup_.probes[static_cast<std::size_t>(pr - 1)]; }
    AnalogScaling &analogScaling(int in) {
        return setup_.analogs[static_cast<std::size_t>(in - 1)];
    }
    Amplifier &amplifier(int pr) { return amplifiers_[static_cast<std::size_t>(pr - 1)]; }
    double probeReading(int pr) const;
    double analogReading(int in) const;
    // The amplifier's gain relative to its factory setting.
    static double relativeGain(const Amplifier &amp);

    // Scan and settings.
    Settings &settings() { return setup_.settings; }
    void startScan();
    void stopScan() { scanning_ = false; }
    bool scanning() const { return scanning_; }

    // Calibration store: status of the start (0 = started) and the two statuses of ~PX.
    int saveCalibration();
    std::pair<int, int> saveStatus() const;

    // Oscillator frequencies: false for an index outside 0..kFrequencySlots-1.
    bool frequency(int index, int &value) const;
    bool setFrequency(int index, int value, bool store);

    // Setups in the unit's memory: 0 or an error number.
    int saveSetup(const std::string &name);
    int loadSetup(const std::string &name);
    void resetSetup();
    std::string firstSetupName();
    std::string nextSetupName();

    // The part in the fixture and the probes' behaviour (control lines). Each change shows in
    // the readings from the next request on.
    Fixture &fixture() { return fixture_; }
    void setPartMode(PartMode mode) { fixture_.setMode(mode, now()); }
    PartMode partMode() const { return fixture_.mode(); }
    void setMasterSize(int which, double size) { fixture_.setMasterSize(which, size); }
    void startCycle(double loadSeconds, double outSeconds) {
        fixture_.cycle(now(), loadSeconds, outSeconds);
    }
    // Brings a cycle of parts up to the clock without a scan, so that a front end announces
    // each part when it is placed, not only at the next request.
    void followFixture() { fixture_.follow(now()); }
    // When a cycle next changes the fixture, on the unit's clock (infinity: never by itself).
    double nextFixtureChange() const { return fixture_.nextChange(); }
    void setNoise(double sigma) {
        noiseSigma_ = sigma;
        nextTick_ = 0;
    }
    void setProbeStuck(int pr, bool stuck) { stuck_[static_cast<std::size_t>(pr - 1)] = stuck; }
    std::string statusLine() const;

    const NonVolatile &nonVolatile() const { return nv_; }
    std::string version() const { return "QOR-128 qorsim 1.0"; }

private:
    class Inputs;

    double now() const { return clock_(); }
    double valueOf(int ch);
    void tick(double t);
    void applySetup(const Setup &setup);
    Setup defaults() const;
    void rebuildFormulas();
    bool dependsOn(int from, int target, std::vector<int> &state) const;
    void storeNonVolatile();

    Options options_;
    Clock clock_;
    Setup setup_;
    std::vector<Formula> formulas_; // parallel to setup_.channels
    std::vector<double> memo_;      // channel values of the current evaluation pass
    std::vector<std::uint64_t> memoPass_;
    std::uint64_t pass_ = 0;
    std::vector<Amplifier> amplifiers_;
    std::vector<std::deque<double>> history_; // amplifier outputs for the running average
    std::vector<double> output_;              // averaged amplifier output per probe
    std::vector<bool> stuck_;
    std::vector<double> analogRaw_;
    std::map<int, int> frequencies_;
    NonVolatile nv_;
    std::mt19937_64 rng_;

    bool scanning_ = true;
    double nextTick_ = 0;
    double start_ = 0;
    Fixture fixture_;
    std::uint64_t fixtureSeen_ = 0; // the fixture's changes the last scan saw
    double noiseSigma_ = 0.00002;
    double calibrationBusyUntil_ = -1;
    std::map<std::string, Setup>::const_iterator listCursor_;
};

} // namespace qorsim
