#include "ControlLimits.h"

#include "ChartConstants.h"
#include "SpcTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace spc {

namespace {

struct SubgroupRange {
    std::size_t first = 0;
    std::size_t end = 0;

    std::size_t size() const { return end > first ? end - first : 0; }
};

int requiredSubgroups(const Baseline &baseline) {
    if (baseline.kind == Baseline::Kind::FirstSubgroups)
        return std::max(baseline.subgroups, MinimumBaselineSubgroups);
    return MinimumBaselineSubgroups;
}

SubgroupRange baselineSubgroups(const SpcSeries &series, const Baseline &baseline) {
    const std::size_t complete = series.subgroupCount();
    if (baseline.kind == Baseline::Kind::FirstSubgroups)
        return {0, std::min(complete, static_cast<std::size_t>(requiredSubgroups(baseline)))};
    const auto size = static_cast<std::size_t>(series.plan().size);
    // Saturating, so a range reaching past the end of any series means "to the end".
    const std::size_t endPart =
        baseline.firstPart + std::min(baseline.partCount, SIZE_MAX - baseline.firstPart);
    return {(baseline.firstPart + size - 1) / size, std::min(complete, endPart / size)};
}

double mean(std::span<const double> values) {
    double sum = 0.0;
    for (const double value : values)
        sum += value;
    return sum / static_cast<double>(values.size());
}

struct Factors {
    double location; // A2, A3 or E2(2)
    double lower;    // D3, B3
    double upper;    // D4, B4
};

Factors factors(const SubgroupPlan &plan) {
    switch (plan.kind) {
    case ChartKind::XbarR: {
        const ChartConstants &c = *chartConstants(plan.size);
        return {c.A2, c.D3, c.D4};
    }
    case ChartKind::XbarS: {
        const ChartConstants &c = *chartConstants(plan.size);
        return {c.A3, c.B3, c.B4};
    }
    case ChartKind::IndividualsMovingRange:
        break;
    }
    const ChartConstants &pair = *chartConstants(2);
    return {pair.E2, pair.D3, pair.D4};
}

} // namespace

LimitsResult controlLimits(const SpcSeries &series, const Baseline &baseline) {
    LimitsResult result;
    const SubgroupRange range = baselineSubgroups(series, baseline);
    result.available = static_cast<int>(range.size());
    result.required = requiredSubgroups(baseline);
    result.pending = baseline.kind == Baseline::Kind::FirstSubgroups
                         ? texts::limitsAfter(result.required)
                         : texts::limitsNeedInRange(result.required, result.available);
    if (result.available < result.required)
        return result;

    const SubgroupPlan &plan = series.plan();
    // A moving range reaches back to the part before, so the baseline's first one would lean on
    // a part outside it.
    const std::size_t firstSpread =
        range.first + (plan.kind == ChartKind::IndividualsMovingRange ? 1 : 0);
    const double centre = mean(series.means().subspan(range.first, range.size()));
    const double meanSpread = mean(series.spreads().subspan(firstSpread, range.end - firstSpread));
    const Factors f = factors(plan);
    result.state = LimitsState::Ready;
    result.pending.clear();
    result.values = {plan,
                     {centre - f.location * meanSpread, centre, centre + f.location * meanSpread},
                     {f.lower * meanSpread, meanSpread, f.upper * meanSpread},
                     sigmaFromMeanSpread(plan, meanSpread),
                     result.available,
                     range.first};
    return result;
}

} // namespace spc
