// One new part arriving on a channel with a million parts recorded: what the SPC window must
// recompute (subgroup statistics, rule checks, capability) done incrementally, against doing it
// all again from the parts, and the histogram and the chart thinning that follow on screen.
#include "Capability.h"
#include "ControlLimits.h"
#include "Decimation.h"
#include "Histogram.h"
#include "Rules.h"
#include "SpcSeries.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <span>
#include <vector>

namespace {

constexpr std::size_t RecordedParts = 1'000'000;
const spc::Tolerance ChannelTolerance{9.85, 10.15};

// Readings around a nominal with a slow drift, as a day's production gives them.
const std::vector<double> &recordedParts() {
    static const std::vector<double> parts = [] {
        std::mt19937 random(1000000);
        std::normal_distribution<double> noise(10.0, 0.03);
        std::vector<double> readings(RecordedParts + 100'000);
        for (std::size_t i = 0; i < readings.size(); ++i)
            readings[i] = noise(random) + 0.02 * std::sin(static_cast<double>(i) / 5000.0);
        return readings;
    }();
    return parts;
}

spc::SubgroupPlan planFor(const benchmark::State &state) {
    return spc::fittedPlan({static_cast<int>(state.range(0)),
                            spc::defaultChartKind(static_cast<int>(state.range(0)))});
}

// What the window does per part: the part into its subgroup and the running sums; when the
// subgroup completes, the rules at that point alone; then the capability figures.
void NewPartIncremental(benchmark::State &state) {
    const std::vector<double> &parts = recordedParts();
    spc::SpcSeries series(planFor(state));
    series.reserve(parts.size());
    series.setTolerance(ChannelTolerance);
    series.append(std::span(parts).first(RecordedParts));
    const spc::LimitValues limits = spc::controlLimits(series, {}).values;
    const spc::RuleSet rules = spc::RuleSet::standard();
    std::size_t next = RecordedParts;
    std::size_t flagged = 0;
    for (auto _ : state) {
        const std::size_t before = series.subgroupCount();
        series.append(parts[next++ % parts.size()]);
        if (series.subgroupCount() != before)
            flagged += spc::checkRules(series.means(), series.spreads(), limits, rules, before)
                           .violations.size();
        benchmark::DoNotOptimize(spc::capability(series.capabilityInput(), series.tolerance()));
    }
    state.counters["flagged"] = static_cast<double>(flagged);
}
BENCHMARK(NewPartIncremental)->Arg(1)->Arg(5)->Arg(15)->Unit(benchmark::kMicrosecond);

// The same figures computed again from all the parts.
void NewPartFullRecompute(benchmark::State &state) {
    const std::span<const double> parts = std::span(recordedParts()).first(RecordedParts);
    const spc::RuleSet rules = spc::RuleSet::standard();
    for (auto _ : state) {
        spc::SpcSeries series(planFor(state));
        series.reserve(parts.size());
        series.setTolerance(ChannelTolerance);
        series.append(parts);
        const spc::LimitValues limits = spc::controlLimits(series, {}).values;
        benchmark::DoNotOptimize(
            spc::checkRules(series.means(), series.spreads(), limits, rules).violations.size());
        benchmark::DoNotOptimize(spc::capability(series.capabilityInput(), series.tolerance()));
    }
}
BENCHMARK(NewPartFullRecompute)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void HistogramOfAllParts(benchmark::State &state) {
    const std::span<const double> parts = std::span(recordedParts()).first(RecordedParts);
    for (auto _ : state)
        benchmark::DoNotOptimize(spc::histogram(parts).counts.size());
}
BENCHMARK(HistogramOfAllParts)->Unit(benchmark::kMillisecond);

// The whole history of subgroup means of size 5 into 1,000 pixel columns.
void DecimateWholeHistory(benchmark::State &state) {
    spc::SpcSeries series({5, spc::ChartKind::XbarR});
    series.append(std::span(recordedParts()).first(RecordedParts));
    for (auto _ : state)
        benchmark::DoNotOptimize(spc::decimateMinMax(series.means(), 1000).size());
}
BENCHMARK(DecimateWholeHistory)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
