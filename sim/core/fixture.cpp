#include "fixture.h"

#include <cmath>
#include <limits>
#include <sstream>

namespace qorsim {

namespace {

constexpr double kRunTolerance = 0.002; // the free run's parts lie within +- this

// Displacements are printed to the nanometre, far below any noise worth setting.
void writeProbes(std::ostream &out, const std::vector<double> &sizes) {
    out.setf(std::ios::fixed);
    out.precision(9);
    for (std::size_t i = 0; i < sizes.size(); ++i)
        out << (i ? " P" : "P") << i + 1 << '=' << sizes[i];
}

} // namespace

Fixture::Fixture(std::uint64_t seed, int probes, double start)
    : seed_(seed), probes_(probes), start_(start), parts_(seed, probes) {}

void Fixture::setMode(PartMode mode, double t) {
    switch (mode) {
    case PartMode::Run:
    case PartMode::Master1:
    case PartMode::Master2:
    case PartMode::Empty:
        mode_ = mode;
        break;
    case PartMode::Hold:
        // Whatever is in stays in: the run's part of the moment, or the cycle's part (or its
        // empty fixture); a master, a placed part or an empty fixture are held already.
        if (mode_ == PartMode::Run) {
            heldRunPart_ = runPart(t);
            mode_ = PartMode::Hold;
        } else if (mode_ == PartMode::Cycle) {
            follow(t);
            mode_ = loaded_ ? PartMode::Placed : PartMode::Empty;
        }
        break;
    case PartMode::Placed:
    case PartMode::Reference:
    case PartMode::Cycle:
        return; // each has its own call with what it needs
    }
    ++changes_;
}

void Fixture::setMasterSize(int which, double size) {
    masterSize_[which == 2 ? 1 : 0] = size;
    ++changes_;
}

void Fixture::place(long number) {
    const long n = number > 0 ? number : parts_.takeNext();
    put(n, parts_.sizes(n));
    mode_ = PartMode::Placed;
}

void Fixture::placeReference(double size) {
    put(0, std::vector<double>(static_cast<std::size_t>(probes_), size));
    mode_ = PartMode::Reference;
}

void Fixture::cycle(double t, double loadSeconds, double outSeconds) {
    mode_ = PartMode::Cycle;
    cycleStart_ = t;
    loadSeconds_ = loadSeconds;
    outSeconds_ = outSeconds;
    cyclesPlaced_ = 0;
    loaded_ = false;
    ++changes_;
}

void Fixture::follow(double t) {
    if (mode_ != PartMode::Cycle || t < cycleStart_)
        return;
    const double period = loadSeconds_ + outSeconds_;
    const double elapsed = t - cycleStart_;
    const auto cycle = static_cast<long>(std::floor(elapsed / period));
    const bool in = elapsed - static_cast<double>(cycle) * period >= outSeconds_;
    // Parts whose time came while nobody looked were placed all the same, so the run's numbers
    // stay tied to the clock and every one of them is reported.
    for (const long due = cycle + (in ? 1 : 0); cyclesPlaced_ < due; ++cyclesPlaced_) {
        const long n = parts_.takeNext();
        put(n, parts_.sizes(n));
    }
    if (in != loaded_) {
        loaded_ = in;
        ++changes_;
    }
}

double Fixture::nextChange() const {
    if (mode_ != PartMode::Cycle)
        return std::numeric_limits<double>::infinity();
    const double cycleEnd =
        cycleStart_ + static_cast<double>(cyclesPlaced_) * (loadSeconds_ + outSeconds_);
    return loaded_ ? cycleEnd : cycleEnd + outSeconds_;
}

double Fixture::displacement(int probe, double t) const {
    const auto i = static_cast<std::size_t>(probe - 1);
    switch (mode_) {
    case PartMode::Run:
        return runDisplacement(runPart(t), probe);
    case PartMode::Hold:
        return runDisplacement(heldRunPart_, probe);
    case PartMode::Master1:
        return masterSize_[0];
    case PartMode::Master2:
        return masterSize_[1];
    case PartMode::Placed:
    case PartMode::Reference:
        return placed_[i];
    case PartMode::Cycle:
        return loaded_ ? placed_[i] : kRestDisplacement;
    case PartMode::Empty:
        break;
    }
    return kRestDisplacement;
}

std::vector<std::string> Fixture::takePlacements() {
    std::vector<std::string> taken;
    taken.swap(placements_);
    return taken;
}

std::string Fixture::status(double t) const {
    std::ostringstream out;
    out << "fixture ";
    switch (mode_) {
    case PartMode::Run:
        out << "run part " << runPart(t);
        break;
    case PartMode::Hold:
        out << "run part " << heldRunPart_ << " held";
        break;
    case PartMode::Master1:
    case PartMode::Master2:
        out << "master " << (mode_ == PartMode::Master1 ? 1 : 2);
        break;
    case PartMode::Empty:
        out << "empty";
        break;
    case PartMode::Cycle:
        if (!loaded_) {
            out << "empty";
            break;
        }
        [[fallthrough]];
    case PartMode::Placed:
    case PartMode::Reference:
        if (placedNumber_ == 0)
            out << "reference part";
        else
            out << "part " << placedNumber_;
        break;
    }
    std::vector<double> sizes(static_cast<std::size_t>(probes_));
    for (int pr = 1; pr <= probes_; ++pr)
        sizes[static_cast<std::size_t>(pr - 1)] = displacement(pr, t);
    out << ", true ";
    writeProbes(out, sizes);
    const long next = parts_.next();
    out << ", next part " << next << ", mean " << parts_.mean(next) << ", spread "
        << parts_.spread(next) << ", shift " << parts_.totalShift() << ", drift " << parts_.drift();
    if (mode_ == PartMode::Cycle) {
        out.precision(3);
        out << ", cycle " << loadSeconds_ << " s in " << outSeconds_ << " s out";
    }
    return out.str();
}

void Fixture::put(long number, std::vector<double> sizes) {
    placedNumber_ = number;
    placed_ = std::move(sizes);
    std::ostringstream line;
    if (number > 0)
        line << "part " << number << " placed: ";
    else
        line << "reference part placed: ";
    writeProbes(line, placed_);
    placements_.push_back(line.str());
    ++changes_;
}

long Fixture::runPart(double t) const {
    return static_cast<long>(std::floor((t - start_) / kPartSeconds));
}

double Fixture::runDisplacement(long part, int probe) const {
    return kRunTolerance * seededUniform(seed_, part, probe);
}

} // namespace qorsim
