#include "GaugeRrAverageRange.h"

#include "RangeDistribution.h"
#include "StudyArithmetic.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace studies {

namespace {

double spanOf(const std::vector<double> &values) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return *high - *low;
}

RangeChart rangeChart(const RrSummary &summary, double averageRange) {
    RangeChart chart;
    chart.centre = averageRange;
    // D4 and D3 of the trials in a cell: 1 ± 3 d3 / d2, the lower no less than 0.
    const spc::RangeMoments range = spc::rangeMomentsOf(summary.layout.trials);
    const double spread = 3.0 * range.standardDeviation / range.mean;
    chart.upperLimit = (1.0 + spread) * averageRange;
    chart.lowerLimit = std::max(0.0, 1.0 - spread) * averageRange;
    for (int a = 0; a < summary.layout.appraisers; ++a)
        for (int p = 0; p < summary.layout.parts; ++p)
            if (summary.cellRanges[slot(a)][slot(p)] > chart.upperLimit)
                chart.beyondLimits.push_back({a, p});
    return chart;
}

} // namespace

AverageRangeResult averageRangeFigures(const AverageRangeInputs &inputs, const RrOptions &options) {
    const StudyLayout &layout = inputs.layout;
    AverageRangeResult result;
    result.inputs = inputs;
    result.k1 = trialsFactor(layout.trials, layout.parts * layout.appraisers);
    result.k2 = appraisersFactor(layout.appraisers);
    result.k3 = partsFactor(layout.parts);

    const double ev = inputs.averageRange * result.k1.value;
    const double appraiserPart = inputs.appraiserDifference * result.k2.value;
    double avSquared = appraiserPart * appraiserPart - ev * ev / (layout.parts * layout.trials);
    if (avSquared < 0.0) {
        result.notes << QStringLiteral("(X̄diff · K2)² is below EV² / (n · r): AV is set to 0.");
        avSquared = 0.0;
    }
    const double pv = inputs.partRange * result.k3.value;

    VarianceComponents components;
    components.repeatability = ev * ev;
    components.appraisers = avSquared;
    components.parts = pv * pv;
    result.figures = rrFigures(components, options, result.notes);

    result.definitions << QStringLiteral("Average and range: EV = R̄̄ · K1; AV = √((X̄diff · K2)² "
                                         "− EV² / (n · r)), 0 when negative; PV = Rp · K3; n "
                                         "parts, r trials. The interaction is not separated.")
                       << result.k1.description() << result.k2.description()
                       << result.k3.description();
    const auto computed = [](const StudyFactor &k) {
        return k.source == FactorSource::Computed;
    };
    if (computed(result.k1) || computed(result.k2) || computed(result.k3))
        result.definitions << QStringLiteral(
            "Beyond the manual's table, d2*(m, g) = √(d2² + d3² / g) for g ranges of m readings, "
            "with d2 and d3 found by numerical integration of the range's distribution.");
    result.definitions << rrDefinitions(options);
    return result;
}

AverageRangeOutcome analyseAverageRange(const RrReadings &readings, const RrOptions &options) {
    const RrCheck check = checkRrData(readings, options);
    if (!check.layout)
        return {std::nullopt, check.refusal};

    AverageRangeAnalysis analysis;
    analysis.summary = summariseRr(readings, *check.layout);
    AverageRangeInputs inputs;
    inputs.layout = *check.layout;
    inputs.averageRange = meanOf(analysis.summary.appraiserAverageRanges);
    inputs.appraiserDifference = spanOf(analysis.summary.appraiserMeans);
    inputs.partRange = spanOf(analysis.summary.partMeans);
    analysis.rangeChart = rangeChart(analysis.summary, inputs.averageRange);
    analysis.result = averageRangeFigures(inputs, options);
    return {std::move(analysis), {}};
}

} // namespace studies
