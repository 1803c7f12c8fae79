#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>
#include <vector>

// A gauge study as the measurement log keeps it: how it was set up, and every reading taken for
// it in the order taken. A reading taken again for the same step stays in the log, marked
// replaced, so the study's history shows what was measured and what was redone.
namespace measurelog {

enum class StudyKind {
    Type1,   // one channel, one reference part measured again and again
    GaugeRr, // parts × appraisers × trials, one or more channels
};

enum class StudyStatus {
    Running,  // readings still to take
    Complete, // every step has a reading
};

// The words the log stores: "type-1", "gauge-rr"; "running", "complete".
std::string_view studyKindWord(StudyKind kind);
std::string_view studyStatusWord(StudyStatus status);
std::optional<StudyKind> studyKindFromWord(std::string_view word);
std::optional<StudyStatus> studyStatusFromWord(std::string_view word);

struct StudyChannelRecord {
    int channel = 0;
    QString description;
    int decimals = 0;                // as the channel shows its value
    std::optional<double> tolerance; // USL − LSL; empty when the characteristic has none

    bool operator==(const StudyChannelRecord &) const = default;
};

struct StudyRecord {
    qint64 id = 0;        // the log's number for the study; 0 until it is stored
    QString uuid;         // given when the study is created, if the caller left it empty
    qint64 createdMs = 0; // UTC, milliseconds since 1970; the creation time if left 0
    StudyKind kind = StudyKind::GaugeRr;
    QString station;
    QString setupFile;
    std::vector<StudyChannelRecord> channels; // a type-1 study has one
    // A type-1 study is one appraiser, one part and its repeats as trials.
    int appraisers = 0;
    int parts = 0;
    int trials = 0;
    QStringList appraiserNames;
    std::optional<double> reference; // the reference part's size, for a type-1 study
    qint64 seed = 0;                 // of the run order
    double sigmaMultiplier = 6.0;    // 6, or 5.15 as older reports had it
    StudyStatus status = StudyStatus::Running;

    int readingCount() const { return appraisers * parts * trials; }
    bool operator==(const StudyRecord &) const = default;
};

struct StudyReadingRecord {
    QString studyUuid;
    qint64 sequence = 0; // its place in the study's history, from 0
    int appraiser = 0;   // the step, 0-based
    int part = 0;
    int trial = 0;              // the repeat of a type-1 study
    std::vector<double> values; // one a channel, in the study's order of channels
    qint64 timeMs = 0;          // UTC milliseconds; the time it was handed to the writer if 0
    bool replaced = false;      // a later reading of the same step counts instead

    bool operator==(const StudyReadingRecord &) const = default;
};

// A study in the list of studies: its record and how many of its steps have a reading.
struct StudySummary {
    StudyRecord study;
    int takenSteps = 0;

    bool operator==(const StudySummary &) const = default;
};

struct StoredStudy {
    StudyRecord study;
    std::vector<StudyReadingRecord> readings; // by sequence

    bool operator==(const StoredStudy &) const = default;
};

} // namespace measurelog
