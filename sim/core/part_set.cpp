#include "part_set.h"

#include <cmath>

namespace qorsim {

namespace {

std::uint64_t mix(std::uint64_t seed, long part, int probe) {
    constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15U;
    constexpr std::uint64_t kMixA = 0xBF58476D1CE4E5B9U;
    constexpr std::uint64_t kMixB = 0x94D049BB133111EBU;
    std::uint64_t x = seed * kGolden + static_cast<std::uint64_t>(part) * kMixA +
                      static_cast<std::uint64_t>(probe) * kMixB;
    x ^= x >> 30;
    x *= kMixA;
    x ^= x >> 27;
    x *= kMixB;
    x ^= x >> 31;
    return x;
}

// Box-Muller over two uniform values of their own, so a part's sizes share nothing with the
// noise of the scan or with the parts of the free run.
double seededNormal(std::uint64_t seed, long part, int probe) {
    constexpr double kTwoTo53 = 9007199254740992.0;
    const double u1 =
        static_cast<double>((mix(seed ^ 0x5A17C0DE5A17C0DEULL, part, probe) >> 11) + 1) / kTwoTo53;
    const double u2 =
        static_cast<double>(mix(seed ^ 0x0DDBA11C0FFEE000ULL, part, probe) >> 11) / kTwoTo53;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
}

} // namespace

double seededUniform(std::uint64_t seed, long part, int probe) {
    return static_cast<double>(mix(seed, part, probe) >> 11) / static_cast<double>(1ULL << 52) -
           1.0;
}

PartSet::PartSet(std::uint64_t seed, int probes)
    : seed_(seed), probes_(probes), changes_{{1, 0.0, 0.0, kDefaultSpread}} {}

std::vector<double> PartSet::sizes(long part) {
    if (auto made = madeAhead_.find(part); made != madeAhead_.end())
        return made->second;
    // Changes of the process only ever start at the run's next part, so the parts before it are
    // drawn alike every time; only those ahead of it need keeping.
    if (part < next_)
        return drawn(part);
    return madeAhead_.emplace(part, drawn(part)).first->second;
}

std::vector<double> PartSet::drawn(long part) const {
    const double m = mean(part), s = spread(part);
    std::vector<double> out(static_cast<std::size_t>(probes_));
    for (int pr = 1; pr <= probes_; ++pr)
        out[static_cast<std::size_t>(pr - 1)] = m + s * seededNormal(seed_, part, pr);
    return out;
}

double PartSet::mean(long part) const {
    double m = 0;
    for (std::size_t i = 0; i < changes_.size() && changes_[i].from <= part; ++i) {
        const Change &c = changes_[i];
        const long last = i + 1 < changes_.size() && changes_[i + 1].from <= part
                              ? changes_[i + 1].from - 1
                              : part;
        m += c.shift + c.drift * static_cast<double>(last - c.from + 1);
    }
    return m;
}

double PartSet::spread(long part) const {
    double s = changes_.front().spread;
    for (const Change &c : changes_) {
        if (c.from > part)
            break;
        s = c.spread;
    }
    return s;
}

PartSet::Change &PartSet::changeAtNext() {
    if (changes_.back().from != next_)
        changes_.push_back({next_, 0.0, changes_.back().drift, changes_.back().spread});
    return changes_.back();
}

void PartSet::shift(double size) {
    changeAtNext().shift += size;
}

void PartSet::setDrift(double rate) {
    changeAtNext().drift = rate;
}

void PartSet::setSpread(double sigma) {
    changeAtNext().spread = sigma;
}

double PartSet::totalShift() const {
    double sum = 0;
    for (const Change &c : changes_)
        sum += c.shift;
    return sum;
}

} // namespace qorsim
