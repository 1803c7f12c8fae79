#include "GaugeRrData.h"

#include "StudyArithmetic.h"

#include <algorithm>
#include <cmath>

namespace studies {

namespace {

QString cellText(int appraiser, int part) {
    return QStringLiteral("Appraiser %1, part %2").arg(appraiserLabel(appraiser)).arg(part + 1);
}

QString cellRefusal(const RrReadings &readings, const StudyLayout &layout) {
    for (int a = 0; a < layout.appraisers; ++a) {
        for (int p = 0; p < layout.parts; ++p) {
            const std::vector<double> &cell = readings[slot(a)][slot(p)];
            const int trials = static_cast<int>(cell.size());
            if (trials == 0)
                return QStringLiteral("%1 has no reading.").arg(cellText(a, p));
            if (trials != layout.trials)
                return QStringLiteral("%1 has %2 trials where appraiser A, part 1 has %3: every "
                                      "appraiser needs the same number of trials of every part.")
                    .arg(cellText(a, p))
                    .arg(trials)
                    .arg(layout.trials);
            for (int t = 0; t < trials; ++t)
                if (!std::isfinite(cell[slot(t)]))
                    return QStringLiteral("%1, trial %2 is not a number.")
                        .arg(cellText(a, p))
                        .arg(t + 1);
        }
    }
    return {};
}

} // namespace

QString appraiserLabel(int appraiser) {
    if (appraiser >= 0 && appraiser < 26)
        return QString(QChar(u'A' + appraiser));
    return QString::number(appraiser + 1);
}

RrCheck checkRrData(const RrReadings &readings, const RrOptions &options) {
    if (options.tolerance && !(std::isfinite(*options.tolerance) && *options.tolerance > 0.0))
        return {std::nullopt, QStringLiteral("The tolerance must be a number above 0.")};
    if (readings.size() < 2)
        return {std::nullopt, QStringLiteral("A study needs at least 2 appraisers.")};
    StudyLayout layout;
    layout.appraisers = static_cast<int>(readings.size());
    layout.parts = static_cast<int>(readings.front().size());
    for (int a = 1; a < layout.appraisers; ++a)
        if (static_cast<int>(readings[slot(a)].size()) != layout.parts)
            return {std::nullopt,
                    QStringLiteral("Appraiser %1's parts (%2) differ in number from appraiser "
                                   "A's (%3): every appraiser measures the same parts.")
                        .arg(appraiserLabel(a))
                        .arg(readings[slot(a)].size())
                        .arg(layout.parts)};
    if (layout.parts < 2)
        return {std::nullopt, QStringLiteral("A study needs at least 2 parts.")};
    layout.trials = static_cast<int>(readings.front().front().size());
    if (const QString refusal = cellRefusal(readings, layout); !refusal.isEmpty())
        return {std::nullopt, refusal};
    if (layout.trials < 2)
        return {std::nullopt, QStringLiteral("A study needs at least 2 trials of every part.")};
    return {layout, {}};
}

RrSummary summariseRr(const RrReadings &readings, const StudyLayout &layout) {
    RrSummary summary;
    summary.layout = layout;
    summary.cellMeans.assign(slot(layout.appraisers), std::vector<double>(slot(layout.parts)));
    summary.cellRanges.assign(slot(layout.appraisers), std::vector<double>(slot(layout.parts)));
    std::vector<double> allCells;
    for (int a = 0; a < layout.appraisers; ++a) {
        for (int p = 0; p < layout.parts; ++p) {
            const std::vector<double> &cell = readings[slot(a)][slot(p)];
            const auto [low, high] = std::minmax_element(cell.begin(), cell.end());
            summary.cellMeans[slot(a)][slot(p)] = meanOf(cell);
            summary.cellRanges[slot(a)][slot(p)] = *high - *low;
        }
        summary.appraiserMeans.push_back(meanOf(summary.cellMeans[slot(a)]));
        summary.appraiserAverageRanges.push_back(meanOf(summary.cellRanges[slot(a)]));
        allCells.insert(allCells.end(), summary.cellMeans[slot(a)].begin(),
                        summary.cellMeans[slot(a)].end());
    }
    for (int p = 0; p < layout.parts; ++p) {
        std::vector<double> partCells;
        for (int a = 0; a < layout.appraisers; ++a)
            partCells.push_back(summary.cellMeans[slot(a)][slot(p)]);
        summary.partMeans.push_back(meanOf(partCells));
    }
    summary.grandMean = meanOf(allCells);
    return summary;
}

} // namespace studies
