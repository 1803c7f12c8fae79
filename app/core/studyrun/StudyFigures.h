#pragma once

#include "GaugeRrAnova.h"
#include "GaugeRrAverageRange.h"
#include "StudyReadings.h"
#include "StudyRecord.h"
#include "Type1Study.h"

#include <QString>

#include <optional>
#include <vector>

// A study's figures from its latest readings: the type-1 study's, or for each channel of a
// repeatability and reproducibility study both methods side by side. Only a complete study has
// figures.
namespace studyrun {

struct ChannelFigures {
    measurelog::StudyChannelRecord channel;
    studies::RrReadings readings; // [appraiser][part][trial], for the charts
    studies::AnovaOutcome anova;
    studies::AverageRangeOutcome averageRange;
};

struct StudyFigures {
    QString pending; // why there are no figures yet ("37 of 90 readings are taken."); else empty
    std::optional<studies::Type1Input> type1Input; // the readings in the order of their repeats
    std::optional<studies::Type1Outcome> type1;
    std::vector<ChannelFigures> channels;
};

StudyFigures studyFigures(const measurelog::StudyRecord &study,
                          const studies::StudyReadings &readings);

} // namespace studyrun
