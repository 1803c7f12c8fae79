#pragma once

#include "StudyFigures.h"
#include "StudyPlan.h"
#include "StudyReadingSource.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace measurelog {
class LogWriter;
struct LogStatus;
} // namespace measurelog

// A gauge study being run: it says which reading comes next, takes it from the station's fresh
// readings, and keeps the study in the measurement log as it goes. A reading counts only once
// the log has committed it: until then the next one is refused, so what the window shows taken
// is what a crash, a kill or a power cut leaves in the log. A study resumed from the log goes on
// with the first step of its order that has no reading.
//
// Each reading comes from a tick of its own: a tick whose readings were taken for one step is not
// taken again for the next (a Record key held down, or pressed twice before the next part is
// read, would otherwise give two steps the same values).
//
// A reading can be taken again: the last one, or any step chosen. The earlier reading stays in
// the log marked replaced, and the figures use the latest.
namespace studyrun {

class StudySession : public QObject {
    Q_OBJECT

public:
    enum class State {
        NoStudy,  // none started or resumed
        Creating, // the log is storing the new study
        Taking,   // readings can be taken
        Storing,  // the log is storing a reading
    };

    StudySession(measurelog::LogWriter &writer, StudyReadingSource &source,
                 QObject *parent = nullptr);

    // Starts a new study on the loaded setup: its station and setup come from the source, and a
    // seed of 0 is drawn afresh. Empty, or why it was refused (nothing is stored then).
    QString start(StudyRecord study);
    // Goes on with a study read from the log. Empty, or why it cannot go on.
    QString resume(const measurelog::StoredStudy &stored);

    State state() const { return m_state; }
    bool hasStudy() const { return m_state != State::NoStudy; }
    const StudyRecord &study() const { return m_study; }
    const studies::StudyReadings &readings() const { return *m_readings; }
    int takenSteps() const;
    int totalSteps() const { return m_study.readingCount(); }
    bool isComplete() const;

    // The step the next reading is for: the one chosen to be taken again, else the first of the
    // order without a reading; empty once every step has one.
    std::optional<studies::StudyStep> currentStep() const;
    bool isRedo() const { return m_redo.has_value(); }
    // What the operator is asked to do now.
    QString prompt() const;
    // Why a reading cannot be taken now; empty when it can.
    QString notReadyReason() const;

    // Takes the fresh readings of the study's channels for the current step and hands them to
    // the log. Empty, or why nothing was taken.
    QString takeReading();
    // Chooses the step to take again with the next reading. Empty, or why it cannot be.
    QString redoLast();
    QString redoStep(const studies::StudyStep &step);
    void cancelRedo();

    StudyFigures figures() const;

Q_SIGNALS:
    // The prompt, the progress or the readiness changed.
    void changed();
    // A write to the log failed; the text says what was not stored and why.
    void problem(const QString &text);

private:
    void created(const QString &uuid, qint64 studyId, const measurelog::LogStatus &status);
    void readingStored(const measurelog::StudyReadingRecord &reading,
                       const measurelog::LogStatus &status);
    void statusSet(const QString &uuid, measurelog::StudyStatus studyStatus,
                   const measurelog::LogStatus &status);
    void completeIfDone();

    measurelog::LogWriter &m_writer;
    StudyReadingSource &m_source;
    State m_state = State::NoStudy;
    StudyRecord m_study;
    std::vector<studies::StudyStep> m_order;
    std::optional<studies::StudyReadings> m_readings;
    std::optional<studies::StudyStep> m_redo;
    std::optional<studies::StudyStep> m_lastTaken;
    qint64 m_nextSequence = 0;
    qint64 m_lastTick = 0; // the tick the last reading was taken from; 0 for none known
    std::optional<measurelog::StudyReadingRecord> m_pending;
};

} // namespace studyrun
