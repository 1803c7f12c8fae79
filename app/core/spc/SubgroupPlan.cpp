#include "SubgroupPlan.h"

#include "ChartConstants.h"

#include <algorithm>

namespace spc {

namespace {

constexpr int LargestRangeChartSize = 10;

} // namespace

ChartKind defaultChartKind(int size) {
    if (size <= 1)
        return ChartKind::IndividualsMovingRange;
    return size <= LargestRangeChartSize ? ChartKind::XbarR : ChartKind::XbarS;
}

SubgroupPlan fittedPlan(SubgroupPlan plan) {
    plan.size = std::clamp(plan.size, 1, LargestSubgroupSize);
    const bool individuals = plan.kind == ChartKind::IndividualsMovingRange;
    if (individuals != (plan.size == 1))
        plan.kind = defaultChartKind(plan.size);
    return plan;
}

double sigmaFromMeanSpread(const SubgroupPlan &plan, double meanSpread) {
    switch (plan.kind) {
    case ChartKind::XbarR:
        return meanSpread / chartConstants(plan.size)->d2;
    case ChartKind::XbarS:
        return meanSpread / chartConstants(plan.size)->c4;
    case ChartKind::IndividualsMovingRange:
        break;
    }
    return meanSpread / chartConstants(2)->d2;
}

} // namespace spc
