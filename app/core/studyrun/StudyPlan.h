#pragma once

#include "RunOrder.h"
#include "StudyLayout.h"
#include "StudyReadings.h"
#include "StudyRecord.h"
#include "StudySpread.h"

#include <QString>

#include <optional>
#include <vector>

// What a gauge study is asked to be, and what follows from its set-up: the layout, the order of
// its readings, the prompt for each step, and its readings restored from the log.
namespace studyrun {

using measurelog::StudyKind;
using measurelog::StudyRecord;

inline constexpr int DefaultRepeats = 50;
inline constexpr int DefaultParts = 10;
inline constexpr int DefaultAppraisers = 3;
inline constexpr int DefaultTrials = 3;

// The bounds the set-up takes, from the smallest study the statistics accept to the largest
// anyone runs by hand.
struct CountBounds {
    int least;
    int most;
};
inline constexpr CountBounds RepeatBounds{2, 500};
inline constexpr CountBounds PartBounds{2, 100};
inline constexpr CountBounds AppraiserBounds{2, 10};
inline constexpr CountBounds TrialBounds{2, 10};

// A type-1 study of the channel: one appraiser, one part, DefaultRepeats repeats.
StudyRecord type1Study(const measurelog::StudyChannelRecord &channel, double reference);
// A repeatability and reproducibility study of the channels: DefaultParts parts,
// DefaultAppraisers appraisers named "A", "B", "C", DefaultTrials trials.
StudyRecord gaugeRrStudy(std::vector<measurelog::StudyChannelRecord> channels);

// Why the study cannot be run as set up, or empty: counts outside their bounds, channels missing
// or repeated, a type-1 study without a reference size or a tolerance, appraisers unnamed, named
// twice or with a line break in the name, a tolerance that is not above 0.
QString checkStudy(const StudyRecord &study);

studies::StudyLayout layoutOf(const StudyRecord &study);
studies::Spread spreadOf(const StudyRecord &study);
std::vector<int> channelNumbers(const StudyRecord &study);
std::vector<studies::StudyStep> orderOf(const StudyRecord &study);

// "Place the reference part (3 of 50)" or "Appraiser B — part 7, trial 2".
QString promptFor(const StudyRecord &study, const studies::StudyStep &step);
// "type-1 study", "gauge R&R".
QString kindName(StudyKind kind);

// The study's readings as they stand after its stored history, or why the history does not fit
// the study (a log edited by hand).
struct Restored {
    std::optional<studies::StudyReadings> readings;
    QString refusal;
};
Restored restoreReadings(const measurelog::StoredStudy &stored);

} // namespace studyrun
