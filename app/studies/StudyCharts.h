#pragma once

#include "GaugeRrAverageRange.h"
#include "GaugeRrData.h"
#include "StudyFigures.h"
#include "Type1Study.h"

#include <QStringList>

#include <vector>

class QChart;

// The study's charts, each a new chart for the caller to own: the type-1 study's run chart, and
// for a channel of a repeatability and reproducibility study its readings by part and by
// appraiser, the interaction plot and the range chart by appraiser.
namespace studycharts {

// The readings in the order taken, the reference and the band of ± 10 % of the tolerance.
QChart *runChart(const studies::Type1Input &input, const studies::Type1Result &result);
// Every reading of each part, and the parts' averages joined.
QChart *byPartChart(const studies::RrReadings &readings, const studies::RrSummary &summary);
// Every reading of each appraiser, and the appraisers' averages joined.
QChart *byAppraiserChart(const studies::RrReadings &readings, const studies::RrSummary &summary,
                         const QStringList &names);
// Each appraiser's average of every part, a line an appraiser: lines that cross show interaction.
QChart *interactionChart(const studies::RrSummary &summary, const QStringList &names);
// The range of each appraiser's trials on each part, appraiser after appraiser, against R̄̄ and
// its control limits.
QChart *rangeChart(const studies::RrSummary &summary, const studies::RangeChart &limits,
                   const QStringList &names);

// The charts of a channel of a repeatability and reproducibility study, in the order above; those
// its figures cannot draw are left out.
std::vector<QChart *> channelCharts(const studyrun::ChannelFigures &channel,
                                    const QStringList &names);

} // namespace studycharts
