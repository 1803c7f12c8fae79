// What the probes touch: the free run of parts, a master, a part placed from the seeded set, a
// reference part, nothing (the probes at rest), or a cycle of parts placed and taken out.
#pragma once

#include "part_set.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qorsim {

enum class PartMode { Run, Master1, Master2, Hold, Empty, Placed, Reference, Cycle };

class Fixture {
public:
    static constexpr double kPartSeconds = 2.0; // a new part of the free run this often
    // Where a probe with nothing under it comes to rest: fully extended, far below any part and
    // master, yet inside the amplifier's travel so that its noise still shows.
    static constexpr double kRestDisplacement = -0.040;
    static constexpr double kDefaultLoadSeconds = 3.0;
    static constexpr double kDefaultOutSeconds = 1.5;
    // A cycle's times: long enough for a scan to see each state, short enough for a demo.
    static constexpr bool validCycleSeconds(double seconds) {
        return seconds >= 0.1 && seconds <= 3600.0;
    }

    // start: the unit's power-on time, from which the free run counts its parts.
    Fixture(std::uint64_t seed, int probes, double start);

    PartMode mode() const { return mode_; }
    // The free run, a master, nothing, or hold: keep what is in the fixture at time t.
    void setMode(PartMode mode, double t);
    void setMasterSize(int which, double size);
    // Part `number` of the set, or the run's next part when number is 0; held until changed.
    void place(long number);
    void placeReference(double size);
    // From time t: empty for outSeconds, then the run's next part for loadSeconds, and again.
    void cycle(double t, double loadSeconds, double outSeconds);
    // Brings a cycle up to time t: places and takes out every part whose time has come.
    void follow(double t);
    // When a cycle changes the fixture next; infinity when nothing changes by itself.
    double nextChange() const;

    // The true displacement probe `probe` sees at time t (a cycle followed up to t).
    double displacement(int probe, double t) const;
    PartSet &parts() { return parts_; }
    // Rises with every change of what the probes touch.
    std::uint64_t changes() const { return changes_; }
    // "part 12 placed: P1=... P2=..." for each part placed since the last call, oldest first.
    std::vector<std::string> takePlacements();
    // What the fixture holds at time t and how the run is set, for the status line.
    std::string status(double t) const;

private:
    void put(long number, std::vector<double> sizes);
    long runPart(double t) const;
    double runDisplacement(long part, int probe) const;

    std::uint64_t seed_;
    int probes_;
    double start_;
    PartMode mode_ = PartMode::Run;
    PartSet parts_;
    std::uint64_t changes_ = 0;
    long heldRunPart_ = 0;
    double masterSize_[2] = {-0.01, 0.01};
    long placedNumber_ = 0; // 0: the reference part
    std::vector<double> placed_;
    // The cycle: its start, its two times, how many of its parts were placed, and whether the
    // last of them is still in.
    double cycleStart_ = 0;
    double loadSeconds_ = kDefaultLoadSeconds;
    double outSeconds_ = kDefaultOutSeconds;
    long cyclesPlaced_ = 0;
    bool loaded_ = false;
    std::vector<std::string> placements_;
};

} // namespace qorsim
