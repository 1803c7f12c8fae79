#pragma once

#include "GaugeRrData.h"
#include "StudyLayout.h"

#include <QString>

#include <optional>
#include <vector>

// The readings a running study has taken, in the order taken. A reading taken again for the same
// step does not erase the earlier one: that stays in the history marked replaced, and only the
// latest reading of each step counts. Replaying a stored history through record() restores the
// study as it was.
namespace studies {

struct RecordedReading {
    StudyStep step;
    std::vector<double> values; // one a channel
    bool replaced = false;
};

class StudyReadings {
public:
    StudyReadings(StudyLayout layout, int channels);

    const StudyLayout &layout() const { return m_layout; }
    int channels() const { return m_channels; }

    // Records the reading of a step; empty, or why nothing was recorded: a step outside the
    // layout, a count of values other than the channels', a value that is not a number.
    QString record(const StudyStep &step, const std::vector<double> &values);

    const std::vector<RecordedReading> &history() const { return m_history; }
    // The reading that counts for a step; nullptr before one was taken.
    const RecordedReading *latest(const StudyStep &step) const;

    int takenSteps() const;
    bool isComplete() const { return takenSteps() == m_layout.readings(); }
    // Steps without a reading, appraiser by appraiser, part by part, trial by trial.
    std::vector<StudyStep> missingSteps() const;
    // The first step of the order without a reading: where a study continues.
    std::optional<StudyStep> nextStep(const std::vector<StudyStep> &order) const;

    // The latest readings of one channel as the analyses take them; a step without a reading
    // leaves its cell a trial short, which the analyses refuse.
    RrReadings readingsOf(int channel) const;

private:
    std::size_t indexOf(const StudyStep &step) const;

    StudyLayout m_layout;
    int m_channels = 0;
    std::vector<RecordedReading> m_history;
    std::vector<std::optional<std::size_t>> m_latest; // history index by step
};

} // namespace studies
