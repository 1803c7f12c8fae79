#include "LogReader.h"
#include "LogStore.h"
#include "LogWriter.h"
#include "StudySession.h"
#include "StudyTestParts.h"
#include "WaitFor.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <signal.h>
#include <thread>

namespace studyrun {
namespace {

using testing::GaugeSetup;
using testing::SimulatedGauge;

class StudyResumeTest : public ::testing::Test {
protected:
    QString logPath() const { return m_folder.filePath(QStringLiteral("measurements.sqlite")); }

    measurelog::StoredStudy stored(qint64 id) {
        measurelog::LogReader reader(logPath());
        const auto read = reader.study(id);
        EXPECT_TRUE(read.ok()) << read.failure.toStdString();
        return read.value.value_or(measurelog::StoredStudy{});
    }

    static bool settle(StudySession &session) {
        return waitFor([&] {
            return session.state() != StudySession::State::Creating &&
                   session.state() != StudySession::State::Storing;
        });
    }

    QTemporaryDir m_folder;
    ScriptedReadingSource m_source{GaugeSetup, testing::gaugeChannels()};
};

// The station closed halfway (a redo among the readings) and opened again: the study goes on with
// the first step of its order that has no reading, and ends with the figures of every reading.
TEST_F(StudyResumeTest, AStudyResumedFromTheLogGoesOnAtItsNextStep) {
    SimulatedGauge gauge(m_source, {21, 10.0, 0.02, 0.002, {}});
    qint64 id = 0;
    std::map<int, std::vector<double>> takenBefore; // by sequence
    {
        measurelog::LogWriter writer(logPath());
        StudySession session(writer, m_source);
        ASSERT_EQ(session.start(gaugeRrStudy({{1, QStringLiteral("Bore"), 4, 0.1},
                                              {2, QStringLiteral("Shaft"), 4, 0.08}})),
                  QString());
        ASSERT_TRUE(settle(session));
        for (int i = 0; i < 40; ++i) {
            gauge.place(*session.currentStep());
            ASSERT_EQ(session.takeReading(), QString());
            ASSERT_TRUE(settle(session));
            if (i == 20) {
                ASSERT_EQ(session.redoLast(), QString());
                gauge.place(*session.currentStep());
                ASSERT_EQ(session.takeReading(), QString());
                ASSERT_TRUE(settle(session));
            }
        }
        id = session.study().id;
    }

    const measurelog::StoredStudy log = stored(id);
    ASSERT_EQ(log.readings.size(), 41u);
    measurelog::LogWriter writer(logPath());
    StudySession session(writer, m_source);
    ASSERT_EQ(session.resume(log), QString());
    const std::vector<studies::StudyStep> order = orderOf(log.study);
    EXPECT_EQ(session.takenSteps(), 40);
    EXPECT_EQ(session.currentStep(), order[40]);
    EXPECT_EQ(session.prompt(), promptFor(log.study, order[40]));
    EXPECT_EQ(session.readings().history().size(), 41u);
    EXPECT_TRUE(session.readings().history()[20].replaced);

    // Redo goes on from where the log stopped, too.
    ASSERT_EQ(session.redoLast(), QString());
    EXPECT_EQ(session.currentStep(), order[39]);
    session.cancelRedo();
    while (!session.isComplete()) {
        gauge.place(*session.currentStep());
        ASSERT_EQ(session.takeReading(), QString());
        ASSERT_TRUE(settle(session));
    }
    ASSERT_TRUE(
        waitFor([&] { return session.study().status == measurelog::StudyStatus::Complete; }));
    const measurelog::StoredStudy done = stored(id);
    EXPECT_EQ(done.readings.size(), 91u);
    EXPECT_EQ(done.readings.back().sequence, 90);
    EXPECT_EQ(done.study.status, measurelog::StudyStatus::Complete);
}

// A study whose last reading went in but whose completion did not (the station stopped between
// the two) is complete once resumed, and the log is told so.
TEST_F(StudyResumeTest, AResumedStudyWithEveryReadingIsMarkedComplete) {
    const qint64 id = testing::storePublishedStudy(logPath());
    ASSERT_GT(id, 0);
    {
        measurelog::LogStore store(logPath());
        ASSERT_TRUE(store.open().isReady());
        ASSERT_TRUE(store.setStudyStatus(stored(id).study.uuid, measurelog::StudyStatus::Running)
                        .isReady());
    }
    measurelog::LogWriter writer(logPath());
    StudySession session(writer, m_source);
    ASSERT_EQ(session.resume(stored(id)), QString());
    EXPECT_TRUE(session.isComplete());
    EXPECT_FALSE(session.currentStep());
    ASSERT_TRUE(
        waitFor([&] { return stored(id).study.status == measurelog::StudyStatus::Complete; }));
}

// A history that does not fit its study (a log edited by hand) is refused, and nothing changes.
TEST_F(StudyResumeTest, AHistoryThatDoesNotFitItsStudyIsNotResumed) {
    const qint64 id = testing::storePublishedStudy(logPath());
    measurelog::StoredStudy broken = stored(id);
    broken.readings[5].values.push_back(1.0);
    measurelog::LogWriter writer(logPath());
    StudySession session(writer, m_source);
    EXPECT_EQ(session.resume(broken),
              QStringLiteral("Reading 6 of the study %1 in the log does not fit it: A reading of "
                             "this study has 1 values, one a channel; 2 came.")
                  .arg(id));
    EXPECT_FALSE(session.hasStudy());
}

// The lines the probe printed: each reading it was told was stored, by sequence.
struct ProbeLines {
    qint64 studyId = 0;
    bool complete = false;
    std::map<qint64, measurelog::StudyReadingRecord> stored;
    QString refused;

    void take(QProcess &probe) {
        pending += probe.readAllStandardOutput();
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QStringList words = QString::fromUtf8(pending.left(end)).split(QLatin1Char(' '));
            pending.remove(0, end + 1);
            if (words[0] == QLatin1String("created")) {
                studyId = words.value(1).toLongLong();
            } else if (words[0] == QLatin1String("complete")) {
                complete = true;
            } else if (words[0] == QLatin1String("refused")) {
                refused = words.mid(1).join(QLatin1Char(' '));
            } else if (words[0] == QLatin1String("stored") && words.size() >= 6) {
                measurelog::StudyReadingRecord reading;
                reading.sequence = words[1].toLongLong();
                reading.appraiser = words[2].toInt();
                reading.part = words[3].toInt();
                reading.trial = words[4].toInt();
                for (const QString &value : words.mid(5))
                    reading.values.push_back(value.toDouble());
                stored[reading.sequence] = reading;
            }
        }
    }
    QByteArray pending;
};

// The study's process killed with -9 again and again while it writes readings: every reading it
// was told was stored is in the log as it was taken, the log is sound, and the study resumed goes
// on at the first step of its order without a reading, until it is complete with every step
// taken once.
TEST_F(StudyResumeTest, AStudyKilledWhileWritingResumesWithNothingLost) {
    std::mt19937 random(20240304);
    ProbeLines lines;
    for (int round = 0; !lines.complete; ++round) {
        ASSERT_LT(round, 40) << "the study never completed";
        SCOPED_TRACE(round);
        QStringList arguments{logPath()};
        if (lines.studyId > 0)
            arguments << QStringLiteral("--resume") << QString::number(lines.studyId);
        QProcess probe;
        probe.start(QStringLiteral(STUDYRUN_PROBE), arguments);
        ASSERT_TRUE(probe.waitForStarted());
        const std::size_t wanted =
            lines.stored.size() + std::uniform_int_distribution<std::size_t>(1, 12)(random);
        const bool lastRound = round >= 8;
        ASSERT_TRUE(waitFor(
            [&] {
                lines.take(probe);
                return lines.complete || !lines.refused.isEmpty() ||
                       (!lastRound && lines.stored.size() >= wanted);
            },
            60000));
        ASSERT_EQ(lines.refused, QString());
        if (!lines.complete) {
            // Past the last answer read, the study is somewhere in its next commit or between two.
            std::this_thread::sleep_for(
                std::chrono::microseconds(std::uniform_int_distribution<>(0, 3000)(random)));
            ::kill(static_cast<pid_t>(probe.processId()), SIGKILL);
        }
        // It may have ended already while its last lines were read.
        ASSERT_TRUE(probe.state() == QProcess::NotRunning || probe.waitForFinished());
        lines.take(probe);

        const measurelog::StoredStudy log = stored(lines.studyId);
        std::map<qint64, measurelog::StudyReadingRecord> inLog;
        for (const measurelog::StudyReadingRecord &reading : log.readings)
            inLog[reading.sequence] = reading;
        for (const auto &[sequence, reading] : lines.stored) {
            ASSERT_TRUE(inLog.count(sequence)) << "reading " << sequence << " was lost";
            const measurelog::StudyReadingRecord &kept = inLog[sequence];
            EXPECT_EQ((studies::StudyStep{kept.appraiser, kept.part, kept.trial}),
                      (studies::StudyStep{reading.appraiser, reading.part, reading.trial}));
            EXPECT_EQ(kept.values, reading.values) << "reading " << sequence;
        }

        // Where the study goes on: the first step of its order without a reading.
        const Restored restored = restoreReadings(log);
        ASSERT_TRUE(restored.readings) << restored.refusal.toStdString();
        std::optional<studies::StudyStep> firstMissing;
        for (const studies::StudyStep &step : orderOf(log.study)) {
            if (!restored.readings->latest(step)) {
                firstMissing = step;
                break;
            }
        }
        measurelog::LogWriter writer(logPath());
        StudySession session(writer, m_source);
        ASSERT_EQ(session.resume(log), QString());
        EXPECT_EQ(session.currentStep(), firstMissing);
        EXPECT_EQ(session.takenSteps(), static_cast<int>(log.readings.size()))
            << "no step was taken twice";
    }
    const measurelog::StoredStudy done = stored(lines.studyId);
    EXPECT_EQ(done.study.status, measurelog::StudyStatus::Complete);
    ASSERT_EQ(done.readings.size(), 90u);
    for (std::size_t i = 0; i < done.readings.size(); ++i)
        EXPECT_EQ(done.readings[i].sequence, static_cast<qint64>(i));
}

} // namespace
} // namespace studyrun
