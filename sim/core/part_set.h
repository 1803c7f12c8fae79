// The seeded set of parts the fixture is given, numbered from 1. Part k's true displacement on
// probe p is the process mean for part k plus the spread in force for part k times a standard
// normal value drawn from (seed, k, p): the same part always has the same size, and the same seed
// gives the same set. Shift, drift and spread change the process from the run's next part on;
// parts made before keep their sizes.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

namespace qorsim {

// A value in [-1, 1) that depends only on (seed, part, probe).
double seededUniform(std::uint64_t seed, long part, int probe);

class PartSet {
public:
    static constexpr double kDefaultSpread = 0.001;

    PartSet(std::uint64_t seed, int probes);

    // True displacements of part `part` (>= 1), index 0 for probe 1. A part taken ahead of the
    // run is made then and keeps those sizes whatever changes the process before its turn.
    std::vector<double> sizes(long part);
    double mean(long part) const;
    double spread(long part) const;

    // The run: the number the next part placed without a number gets.
    long next() const { return next_; }
    long takeNext() { return next_++; }

    // A step of `size` in the mean; the mean moving `rate` a part; a new spread (>= 0). Each from
    // the run's next part on; a drift replaces the one before, shifts add up.
    void shift(double size);
    void setDrift(double rate);
    void setSpread(double sigma);

    // What is in force for the next part, for the status line.
    double totalShift() const;
    double drift() const { return changes_.back().drift; }

private:
    // From part `from` on: `shift` added to the mean once, then `drift` a part, with `spread`.
    struct Change {
        long from;
        double shift;
        double drift;
        double spread;
    };
    Change &changeAtNext();
    std::vector<double> drawn(long part) const;

    std::uint64_t seed_;
    int probes_;
    long next_ = 1;
    std::vector<Change> changes_; // by rising `from`, the first from part 1
    std::map<long, std::vector<double>> madeAhead_;
};

} // namespace qorsim
