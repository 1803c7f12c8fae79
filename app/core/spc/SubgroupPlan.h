#pragma once

// How consecutive parts are grouped and charted: subgroups of `size` parts in the order they were
// measured, and the pair of charts drawn from them.
namespace spc {

enum class ChartKind {
    XbarR,                  // subgroup means and ranges
    XbarS,                  // subgroup means and standard deviations
    IndividualsMovingRange, // each part, and the range of it and the part before
};

inline constexpr int LargestSubgroupSize = 25;
inline constexpr int DefaultSubgroupSize = 5;

struct SubgroupPlan {
    int size = DefaultSubgroupSize;
    ChartKind kind = ChartKind::XbarR;

    bool operator==(const SubgroupPlan &) const = default;
};

// The charts for a size: individuals for 1, means and ranges for 2 to 10, means and standard
// deviations for 11 to 25.
ChartKind defaultChartKind(int size);

// A plan that can be charted: the size brought within 1..25, and the default charts for it when
// the kind asked for does not fit (individuals only for 1, means only for 2 and more). A size read
// from a damaged setting therefore still gives charts instead of failing.
SubgroupPlan fittedPlan(SubgroupPlan plan);

// σ within from the mean spread of the subgroups: R̄ / d2, S̄ / c4, or MR̄ / d2(2) for individuals.
// The plan must be fitted.
double sigmaFromMeanSpread(const SubgroupPlan &plan, double meanSpread);

} // namespace spc
