#include "StudySession.h"
#include "LogReader.h"
#include "LogStore.h"
#include "LogWriter.h"
#include "StudyLayout.h"
#include "StudyTestParts.h"
#include "WaitFor.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace studyrun {
namespace {

using testing::GaugeSetup;
using testing::SimulatedGauge;

constexpr double Noise = 0.002;
constexpr double PartSpread = 0.02;

class StudySessionTest : public ::testing::Test {
protected:
    QString logPath() const { return m_folder.filePath(QStringLiteral("measurements.sqlite")); }

    // Until the log has answered what the session handed it.
    static bool settle(StudySession &session) {
        return waitFor([&] {
            return session.state() != StudySession::State::Creating &&
                   session.state() != StudySession::State::Storing;
        });
    }

    // The step's part placed and its reading taken and stored.
    static void takeStep(StudySession &session, SimulatedGauge &gauge) {
        ASSERT_TRUE(session.currentStep());
        gauge.place(*session.currentStep());
        ASSERT_EQ(session.takeReading(), QString());
        ASSERT_TRUE(settle(session));
    }

    measurelog::StoredStudy stored(qint64 id) {
        measurelog::LogReader reader(logPath());
        const auto read = reader.study(id);
        EXPECT_TRUE(read.ok()) << read.failure.toStdString();
        return read.value.value_or(measurelog::StoredStudy{});
    }

    QTemporaryDir m_folder;
    ScriptedReadingSource m_source{GaugeSetup, testing::gaugeChannels()};
};

StudyRecord twoChannelStudy() {
    StudyRecord study =
        gaugeRrStudy({{1, QStringLiteral("Bore"), 4, 0.1}, {2, QStringLiteral("Shaft"), 4, 0.08}});
    study.appraiserNames = {QStringLiteral("Ana"), QStringLiteral("Bo"), QStringLiteral("Cy")};
    return study;
}

// The full 10 × 3 × 3 study against parts drawn as the simulator draws them: each prompt follows
// the stored run order, the log holds the readings in that order, and repeatability comes out
// near the noise set, by both methods.
TEST_F(StudySessionTest, AnRrStudyLikeTheSimulatorsFindsItsNoiseAsRepeatability) {
    SimulatedGauge gauge(m_source, {7, 10.0, PartSpread, Noise, {0.0, 0.0015, -0.001}});
    measurelog::LogWriter writer(logPath());
    StudySession session(writer, m_source);
    ASSERT_EQ(session.start(twoChannelStudy()), QString());
    ASSERT_TRUE(settle(session));
    ASSERT_EQ(session.state(), StudySession::State::Taking);
    EXPECT_EQ(session.study().setupFile, GaugeSetup);
    const std::vector<studies::StudyStep> order = orderOf(session.study());
    ASSERT_EQ(order.size(), 90u);
    for (std::size_t i = 0; i < order.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(session.prompt(), studies::stepPrompt(order[i], session.study().appraiserNames));
        EXPECT_EQ(session.takenSteps(), static_cast<int>(i));
        takeStep(session, gauge);
    }
    EXPECT_TRUE(session.isComplete());
    EXPECT_EQ(session.prompt(), QStringLiteral("The study is complete: every reading is taken."));
    EXPECT_EQ(session.notReadyReason(),
              QStringLiteral("Every reading is taken; choose a step to take again."));

    const StudyFigures figures = session.figures();
    ASSERT_EQ(figures.channels.size(), 2u);
    for (const ChannelFigures &channel : figures.channels) {
        SCOPED_TRACE(channel.channel.description.toStdString());
        ASSERT_TRUE(channel.anova.result) << channel.anova.refusal.toStdString();
        ASSERT_TRUE(channel.averageRange.analysis) << channel.averageRange.refusal.toStdString();
        EXPECT_NEAR(channel.anova.result->figures.ev.sigma, Noise, 0.3 * Noise);
        EXPECT_NEAR(channel.averageRange.analysis->result.figures.ev.sigma, Noise, 0.3 * Noise);
        EXPECT_NEAR(channel.anova.result->figures.pv.sigma, PartSpread, 0.5 * PartSpread);
        EXPECT_TRUE(channel.anova.result->figures.grr.percentOfTolerance);
    }

    ASSERT_TRUE(waitFor([&] {
        return session.study().status == measurelog::StudyStatus::Complete;
    })) << "the log is told the study is complete";
    const measurelog::StoredStudy log = stored(session.study().id);
    EXPECT_EQ(log.study.status, measurelog::StudyStatus::Complete);
    EXPECT_EQ(log.study.appraiserNames, session.study().appraiserNames);
    ASSERT_EQ(log.readings.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const measurelog::StudyReadingRecord &reading = log.readings[i];
        EXPECT_EQ(reading.sequence, static_cast<qint64>(i));
        EXPECT_EQ((studies::StudyStep{reading.appraiser, reading.part, reading.trial}), order[i]);
        EXPECT_EQ(reading.values, session.readings().latest(order[i])->values);
    }
}

// One reference part measured 50 times: "n of 50" counts up, and the figures find the bias the
// reference was given and the noise as s.
TEST_F(StudySessionTest, ATypeOneStudyPromptsEveryRepeatAndFindsBiasAndSpread) {
    SimulatedGauge gauge(m_source, {11, 10.0, PartSpread, Noise, {}});
    const double reference = gauge.trueSize(0, 2) - 0.001;
    measurelog::LogWriter writer(logPath());
    StudySession session(writer, m_source);
    ASSERT_EQ(session.start(type1Study({2, QStringLiteral("Shaft"), 4, 0.1}, reference)),
              QString());
    ASSERT_TRUE(settle(session));
    for (int i = 0; i < DefaultRepeats; ++i) {
        EXPECT_EQ(session.prompt(),
                  QStringLiteral("Place the reference part (%1 of 50)").arg(i + 1));
        takeStep(session, gauge);
    }
    ASSERT_TRUE(session.isComplete());
    const StudyFigures figures = session.figures();
    ASSERT_TRUE(figures.type1 && figures.type1->result) << figures.type1->refusal.toStdString();
    const studies::Type1Result &result = *figures.type1->result;
    EXPECT_EQ(result.count, 50);
    EXPECT_NEAR(result.bias, 0.001, 3.0 * Noise / std::sqrt(50.0));
    EXPECT_NEAR(result.s, Noise, 0.3 * Noise);
    ASSERT_EQ(figures.type1Input->readings.size(), 50u);
    EXPECT_EQ(figures.type1Input->readings[17], session.readings().latest({0, 0, 17})->values[0]);
}

// Whatever keeps a reading from being fresh, or the study from taking one, is the answer to Take
// Reading, and nothing reaches the log.
TEST_F(StudySessionTest, AReadingIsRefusedWithTheReasonWhenItCannotBeTaken) {
    SimulatedGauge gauge(m_source, {3, 10.0, PartSpread, Noise, {}});
    measurelog::LogWriter writer(logPath());
    StudySession session(writer, m_source);
    EXPECT_EQ(session.takeReading(), QStringLiteral("No study is running."));
    EXPECT_EQ(session.redoLast(), QStringLiteral("No reading has been taken yet."));

    ASSERT_EQ(session.start(twoChannelStudy()), QString());
    gauge.place({0, 0, 0});
    EXPECT_EQ(session.takeReading(),
              QStringLiteral("The study is being stored in the measurement log."));
    ASSERT_TRUE(settle(session));

    const struct {
        const char *legend;
        std::function<void()> arrange;
        const char *reason;
    } cases[] = {
        {"readings went stale", [&] { m_source.goStale(QStringLiteral("The poll is held.")); },
         "The poll is held."},
        {"a channel without a reading this tick",
         [&] {
             m_source.tick({{1, 10.0}});
         },
         "Channel 2 has no reading from the last tick."},
        {"another setup loaded",
         [&] {
             m_source.loadSetup(QStringLiteral("gear.qor"), testing::gaugeChannels());
             m_source.tick({{1, 10.0}, {2, 10.0}});
         },
         "The study was set up with crank.qor, but gear.qor is loaded."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        c.arrange();
        EXPECT_EQ(session.notReadyReason(), QString::fromUtf8(c.reason));
        EXPECT_EQ(session.takeReading(), QString::fromUtf8(c.reason));
        EXPECT_EQ(session.state(), StudySession::State::Taking);
    }

    m_source.loadSetup(GaugeSetup, testing::gaugeChannels());
    gauge.place(*session.currentStep());
    ASSERT_EQ(session.takeReading(), QString());
    EXPECT_EQ(session.takeReading(),
              QStringLiteral("The last reading is being stored in the measurement log."));
    EXPECT_EQ(session.start(twoChannelStudy()),
              QStringLiteral("The log is still storing the study's last change."));
    ASSERT_TRUE(settle(session));
    EXPECT_EQ(stored(session.study().id).readings.size(), 1u);
}

// The readings of one tick go to one step only: the Record key pressed twice before the next
// tick takes nothing the second time, and a redo waits for a new tick too.
TEST_F(StudySessionTest, OneTicksReadingsAreTakenForOneStepOnly) {
    SimulatedGauge gauge(m_source, {8, 10.0, PartSpread, Noise, {}});
    measurelog::LogWriter writer(logPath());
    StudySession session(writer, m_source);
    ASSERT_EQ(session.start(twoChannelStudy()), QString());
    ASSERT_TRUE(settle(session));
    takeStep(session, gauge);
    const QString waiting =
        QStringLiteral("Waiting for a new reading: the last one was taken for the step before.");
    EXPECT_EQ(session.notReadyReason(), waiting);
    EXPECT_EQ(session.takeReading(), waiting);
    ASSERT_EQ(session.redoLast(), QString());
    EXPECT_EQ(session.takeReading(), waiting);
    gauge.place(*session.currentStep());
    EXPECT_EQ(session.takeReading(), QString());
    ASSERT_TRUE(settle(session));
    EXPECT_EQ(session.readings().history().size(), 2u);
    EXPECT_TRUE(session.readings().history()[0].replaced);
}

// A reading taken again keeps the earlier one in the log, marked replaced; the study's figures
// are those of the latest readings.
TEST_F(StudySessionTest, ARedoneReadingIsKeptMarkedReplacedAndTheFiguresUseTheLatest) {
    SimulatedGauge gauge(m_source, {5, 10.0, PartSpread, Noise, {}});
    measurelog::LogWriter writer(logPath());
    StudySession session(writer, m_source);
    StudyRecord study = gaugeRrStudy({{1, QStringLiteral("Bore"), 4, 0.1}});
    study.parts = 5;
    study.appraisers = 2;
    study.trials = 2;
    study.appraiserNames = {QStringLiteral("A"), QStringLiteral("B")};
    ASSERT_EQ(session.start(study), QString());
    ASSERT_TRUE(settle(session));

    // Reading 4 is a slip of the hand, taken again at once; at the end a step chosen is redone.
    const auto takeWith = [&](double value) {
        m_source.tick({{1, value}});
        ASSERT_EQ(session.takeReading(), QString());
        ASSERT_TRUE(settle(session));
    };
    for (int i = 0; i < 3; ++i)
        takeStep(session, gauge);
    const studies::StudyStep slipped = *session.currentStep();
    takeWith(11.0);
    ASSERT_EQ(session.redoLast(), QString());
    EXPECT_TRUE(session.isRedo());
    EXPECT_EQ(session.prompt(), QStringLiteral("Again: ") + promptFor(session.study(), slipped));
    EXPECT_EQ(session.currentStep(), slipped);
    takeWith(gauge.trueSize(slipped.part, 1));
    EXPECT_FALSE(session.isRedo());
    while (!session.isComplete())
        takeStep(session, gauge);

    const studies::StudyStep chosen{1, 3, 0};
    EXPECT_EQ(session.redoStep({1, 5, 0}),
              QStringLiteral("Appraiser B — part 6, trial 1 has no reading to take again."));
    ASSERT_EQ(session.redoStep(chosen), QString());
    session.cancelRedo();
    EXPECT_FALSE(session.isRedo());
    ASSERT_EQ(session.redoStep(chosen), QString());
    const double chosenBefore = session.readings().latest(chosen)->values[0];
    takeWith(gauge.trueSize(chosen.part, 1) + 0.0005);

    // The figures are those of the latest reading of every step.
    studies::RrReadings latest(2, std::vector<std::vector<double>>(5));
    for (int a = 0; a < 2; ++a)
        for (int p = 0; p < 5; ++p)
            for (int t = 0; t < 2; ++t)
                latest[studies::slot(a)][studies::slot(p)].push_back(
                    session.readings().latest({a, p, t})->values[0]);
    EXPECT_EQ(latest[studies::slot(slipped.appraiser)][studies::slot(slipped.part)]
                    [studies::slot(slipped.trial)],
              gauge.trueSize(slipped.part, 1));
    EXPECT_EQ(latest[1][3][0], gauge.trueSize(3, 1) + 0.0005);
    const StudyFigures figures = session.figures();
    const studies::AnovaOutcome expected = studies::analyseAnova(latest, {});
    ASSERT_TRUE(figures.channels.at(0).anova.result && expected.result);
    EXPECT_EQ(figures.channels[0].anova.result->figures.ev.sigma,
              expected.result->figures.ev.sigma);

    const measurelog::StoredStudy log = stored(session.study().id);
    ASSERT_EQ(log.readings.size(), 22u);
    std::vector<std::pair<qint64, double>> replaced;
    for (const measurelog::StudyReadingRecord &reading : log.readings)
        if (reading.replaced)
            replaced.emplace_back(reading.sequence, reading.values[0]);
    const auto firstOfChosen =
        std::find_if(log.readings.begin(), log.readings.end(), [&](const auto &reading) {
            return studies::StudyStep{reading.appraiser, reading.part, reading.trial} == chosen;
        });
    ASSERT_NE(firstOfChosen, log.readings.end());
    EXPECT_EQ(replaced, (std::vector<std::pair<qint64, double>>{
                            {3, 11.0}, {firstOfChosen->sequence, chosenBefore}}));
}

} // namespace
} // namespace studyrun
