#pragma once

#include "SpcSeries.h"

#include <QDateTime>
#include <QString>

// Control limits computed from a baseline of subgroups and then frozen: later parts are judged
// against the limits of the baseline, not against limits that move with them.
namespace spc {

inline constexpr int DefaultBaselineSubgroups = 25;
// Fewer subgroups than this give no spread to estimate σ from (individuals need two parts for
// one moving range).
inline constexpr int MinimumBaselineSubgroups = 2;

struct Baseline {
    enum class Kind {
        FirstSubgroups, // the first `subgroups` complete subgroups
        PartRange,      // the complete subgroups lying wholly within the chosen parts
    };
    Kind kind = Kind::FirstSubgroups;
    int subgroups = DefaultBaselineSubgroups;
    std::size_t firstPart = 0; // PartRange: parts firstPart to firstPart + partCount − 1
    std::size_t partCount = 0;
};

struct ChartLines {
    double lower = 0.0;
    double centre = 0.0;
    double upper = 0.0;

    bool operator==(const ChartLines &) const = default;
};

struct LimitValues {
    SubgroupPlan plan;
    ChartLines location; // X̄ or individuals chart
    ChartLines spread;   // R, S or moving range chart
    double sigmaWithin = 0.0;
    int baselineSubgroups = 0;
    std::size_t firstBaselineSubgroup = 0;

    bool operator==(const LimitValues &) const = default;
};

enum class LimitsState {
    Ready,
    NotEnoughSubgroups, // the chart says so instead of drawing limits from too little data
};

struct LimitsResult {
    LimitsState state = LimitsState::NotEnoughSubgroups;
    int required = 0;  // subgroups the baseline needs
    int available = 0; // complete subgroups it has
    QString pending;   // with NotEnoughSubgroups: "limits after 25 subgroups" and the like
    LimitValues values;
};

LimitsResult controlLimits(const SpcSeries &series, const Baseline &baseline);

// Limits as they are kept once frozen, with what they belong to and when they were set.
struct FrozenLimits {
    int channel = 0;
    QString setup;
    QDateTime setAt;
    LimitValues values; // the subgroup size is values.plan.size

    bool operator==(const FrozenLimits &) const = default;
};

} // namespace spc
