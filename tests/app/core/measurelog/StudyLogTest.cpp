#include "LogReader.h"
#include "LogSchema.h"
#include "LogTestSupport.h"
#include "SampleParts.h"
#include "Sqlite.h"
#include "StudyRecord.h"
#include "WaitFor.h"

#include <sqlite3.h>

#include <cmath>
#include <limits>

using namespace measurelog;

namespace {

class StudyLogTest : public LogFolder {};

StudyRecord rrStudy() {
    StudyRecord study;
    study.kind = StudyKind::GaugeRr;
    study.station = QStringLiteral("Station 1");
    study.setupFile = QStringLiteral("crank.qor");
    study.channels = {{2, QStringLiteral("Shaft, diameter"), 4, 0.05},
                      {5, QStringLiteral("Runout"), 3, std::nullopt}};
    study.appraisers = 3;
    study.parts = 2;
    study.trials = 2;
    study.appraiserNames = {QStringLiteral("Ana"), QStringLiteral("Bo \"B\""),
                            QStringLiteral("Cy")};
    study.seed = -1234567890123; // a seed's 64 bits, whichever sign they read as
    study.sigmaMultiplier = 5.15;
    return study;
}

StudyReadingRecord readingOf(const QString &uuid, qint64 sequence, int appraiser, int part,
                             int trial, std::vector<double> values) {
    StudyReadingRecord reading;
    reading.studyUuid = uuid;
    reading.sequence = sequence;
    reading.appraiser = appraiser;
    reading.part = part;
    reading.trial = trial;
    reading.values = std::move(values);
    reading.timeMs = 1796669672000 + sequence;
    return reading;
}

// What the writer answered for studies, in order.
struct StudyAnswers {
    explicit StudyAnswers(LogWriter &writer) {
        QObject::connect(&writer, &LogWriter::studyCreated, &writer,
                         [this](const QString &, qint64 id, const LogStatus &status) {
                             created.emplace_back(id, status);
                         });
        QObject::connect(&writer, &LogWriter::studyReadingStored, &writer,
                         [this](const StudyReadingRecord &reading, const LogStatus &status) {
                             readings.emplace_back(reading, status);
                         });
        QObject::connect(&writer, &LogWriter::studyStatusSet, &writer,
                         [this](const QString &, StudyStatus, const LogStatus &status) {
                             statuses.push_back(status);
                         });
    }
    std::vector<std::pair<qint64, LogStatus>> created;
    std::vector<std::pair<StudyReadingRecord, LogStatus>> readings;
    std::vector<LogStatus> statuses;
};

// Through the writer thread and back through a reader: the set-up whole, every reading with its
// step, values and time, a step taken again kept and marked replaced, and the status.
TEST_F(StudyLogTest, AStudyWithARedoneReadingReadsBackAsTaken) {
    StudyRecord study = rrStudy();
    std::vector<StudyReadingRecord> taken;
    {
        LogWriter writer(logPath());
        StudyAnswers answers(writer);
        study.uuid = writer.createStudy(study);
        ASSERT_FALSE(study.uuid.isEmpty());
        taken = {readingOf(study.uuid, 0, 0, 1, 0, {10.0012, 0.012}),
                 readingOf(study.uuid, 1, 0, 0, 0, {9.9987, 0.009}),
                 readingOf(study.uuid, 2, 0, 1, 0, {10.0010, 0.011})}; // part 2 again
        for (const StudyReadingRecord &reading : taken)
            writer.storeStudyReading(reading);
        writer.setStudyStatus(study.uuid, StudyStatus::Complete);
        ASSERT_TRUE(waitFor([&] { return answers.statuses.size() == 1; }));
        ASSERT_EQ(answers.created.size(), 1u);
        EXPECT_EQ(answers.created[0].second, LogStatus{});
        study.id = answers.created[0].first;
        ASSERT_EQ(answers.readings.size(), 3u);
        for (const auto &[reading, status] : answers.readings)
            EXPECT_EQ(status, LogStatus{}) << reading.sequence;
        EXPECT_EQ(answers.readings[1].first, taken[1]) << "the answer names the reading";
        EXPECT_EQ(answers.statuses[0], LogStatus{});
    }
    study.status = StudyStatus::Complete;
    taken[0].replaced = true;

    LogReader reader(logPath());
    const Read<std::optional<StoredStudy>> stored = reader.study(study.id);
    ASSERT_TRUE(stored.ok()) << stored.failure.toStdString();
    ASSERT_TRUE(stored.value);
    EXPECT_GT(stored.value->study.createdMs, 0);
    study.createdMs = stored.value->study.createdMs;
    EXPECT_EQ(stored.value->study, study);
    EXPECT_EQ(stored.value->readings, taken);

    const std::vector<StudySummary> summaries = reader.studies().value;
    ASSERT_EQ(summaries.size(), 1u);
    EXPECT_EQ(summaries[0].takenSteps, 2) << "the replaced reading does not count";
    EXPECT_EQ(reader.study(study.id + 1).value, std::nullopt);

    // As a spreadsheet user would see it with the sqlite3 program.
    EXPECT_EQ(sqliteCli(logPath(),
                        QStringLiteral("SELECT group_concat(sequence || ':' || channel || ':' || "
                                       "replaced, ' ') FROM study_readings ORDER BY sequence")),
              "0:2:1 0:5:1 1:2:0 1:5:0 2:2:0 2:5:0");
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("SELECT kind, status, sigma_multiplier FROM "
                                                  "studies")),
              "gauge-rr|complete|5.15");
}

// What does not fit the study is refused with the reason, leaves nothing behind, and leaves the
// log ready for the next reading.
TEST_F(StudyLogTest, AReadingThatDoesNotFitItsStudyIsRefusedWhole) {
    LogStore store(logPath());
    ASSERT_EQ(store.open(), LogStatus{});
    StudyRecord study = rrStudy();
    study.uuid = QStringLiteral("study-under-test");
    const StudyCreated created = store.createStudy(study);
    ASSERT_EQ(created.status, LogStatus{});
    ASSERT_EQ(store.storeStudyReading(readingOf(study.uuid, 0, 2, 1, 1, {1.0, 2.0})), LogStatus{});

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char *legend;
        StudyReadingRecord reading;
        const char *reason;
    } cases[] = {
        {"a study the log does not hold",
         readingOf(QStringLiteral("elsewhere"), 1, 0, 0, 0, {1, 2}),
         "The study elsewhere is not in the measurement log."},
        {"an appraiser beyond the study", readingOf(study.uuid, 1, 3, 0, 0, {1, 2}),
         "Appraiser 4, part 1, trial 1 is not a step of the study study-under-test."},
        {"a trial beyond the study", readingOf(study.uuid, 1, 0, 0, 2, {1, 2}),
         "Appraiser 1, part 1, trial 3 is not a step of the study study-under-test."},
        {"one value for two channels", readingOf(study.uuid, 1, 0, 0, 0, {1}),
         "A reading of the study study-under-test has 2 values, one a channel; 1 came."},
        {"a value that is no number", readingOf(study.uuid, 1, 0, 0, 0, {1, nan}),
         "The reading was not stored: value 2 is not a number."},
        {"a sequence number already stored", readingOf(study.uuid, 0, 0, 0, 0, {1, 2}), nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        const LogStatus status = store.storeStudyReading(c.reading);
        EXPECT_EQ(status.state, LogState::Failed);
        if (c.reason) {
            EXPECT_EQ(status.reason, QString::fromUtf8(c.reason));
        } else {
            EXPECT_TRUE(status.reason.endsWith(QLatin1String("the reading was not stored.")))
                << status.reason.toStdString();
        }
    }
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("SELECT count(*) || ' ' || sum(replaced) FROM "
                                                  "study_readings")),
              "2 0")
        << "nothing written, nothing marked replaced";
    EXPECT_EQ(store.setStudyStatus(QStringLiteral("elsewhere"), StudyStatus::Complete).reason,
              QStringLiteral("The study elsewhere is not in the measurement log."));
    EXPECT_EQ(store.storeStudyReading(readingOf(study.uuid, 1, 2, 1, 1, {3.0, 4.0})), LogStatus{});
    EXPECT_EQ(store.status(), LogStatus{});
}

// A log from before studies existed is brought up to date with its parts kept; read before that,
// it simply holds no studies.
TEST_F(StudyLogTest, ALogFromBeforeStudiesGainsThemAndKeepsItsParts) {
    {
        SqliteDatabase db(logPath(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        db.exec("PRAGMA journal_mode = WAL; BEGIN");
        applyMigrations(db, 0, 3);
        db.exec("COMMIT");
    }
    LogReader older(logPath());
    const Read<std::vector<StudySummary>> none = older.studies();
    EXPECT_TRUE(none.ok()) << none.failure.toStdString();
    EXPECT_TRUE(none.value.empty());
    EXPECT_EQ(older.study(1).value, std::nullopt);

    const std::vector<RecordOutcome> parts = storeParts(logPath(), {samplePart(1, 3)});
    ASSERT_TRUE(parts[0].committed);
    LogStore store(logPath());
    ASSERT_EQ(store.open(), LogStatus{});
    StudyRecord study = rrStudy();
    study.uuid = QStringLiteral("after-the-update");
    EXPECT_EQ(store.createStudy(study).status, LogStatus{});
    EXPECT_EQ(older.studies().value.size(), 1u) << "the reader sees the new version";
    EXPECT_EQ(LogReader(logPath()).count({}).value, 1);
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("PRAGMA user_version")),
              QString::number(latestSchemaVersion()));
}

} // namespace
