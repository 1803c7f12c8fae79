#include "LinkScheduler.h"
#include "CommandLine.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "Startup.h"
#include "StationFixture.h"
#include "WaitFor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(NextTick, StartsOneIntervalAfterTheLastStartOrAtOnceWhenThatHasPassed) {
    const Clock::time_point start{};
    const struct {
        const char *legend;
        std::chrono::milliseconds sinceStart;
        std::chrono::milliseconds delay;
    } cases[] = {
        {"a short tick waits for the interval", 30ms, 370ms},
        {"a tick that ended right at the interval starts the next at once", 400ms, 0ms},
        {"a long tick is followed at once, with no idle gap", 3400ms, 0ms},
        {"just started", 0ms, 400ms},
    };
    for (const auto &c : cases)
        EXPECT_EQ(nextTickDelay(start, start + c.sinceStart, 400ms), c.delay) << c.legend;
}

// Follows the list as the main window does (every channel for the hidden labels, then the
// view's rows) and keeps the rows' changed values; the poll's reads are what is looked at.
struct NoTargets {
    NoTargets(LiveValues &live, const UnitObjects &unit) {
        LiveRequest labels;
        labels.place = TickPlace::ChannelLabels;
        labels.withTheList = true;
        labels.rows = [&unit] {
            return static_cast<int>(unit.Channels.size());
        };
        labels.object = [](int channel) {
            return LiveObject::channel(channel);
        };
        labels.deliver = [](const LiveReading &) {
        };
        m_labels = live.subscribe(std::move(labels));
        ViewFollower follower;
        follower.row = [this](const ViewRowReading &row) {
            if (row.changed)
                rows << QStringLiteral("%1 %2").arg(row.row).arg(row.reading.text());
        };
        m_rows = live.followView(std::move(follower));
    }
    QStringList rows;

private:
    LiveSubscription m_labels;
    LiveSubscription m_rows;
};

// The stand-in unit in-process, logging every exchange; eight channels reading n + 0.25.
class SchedulerTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(connectStandIn(QStringLiteral("--preset empty --log ") + logFile(), &why))
            << why.toStdString();
        for (int n = 1; n <= 8; ++n)
            state.unit.channel(n)->setFormula(QStringLiteral("%1.25").arg(n));
        state.view.UpdatesOn = true;
        state.view.ViewMode = View::Channels;
        poll.resetCaches();
    }

    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    QStringList requests() const { return requestsOfLog(logFile()); }

    PollCycle poll{state.session, state.unit, state.view};
    NoTargets targets{poll, state.unit};
    LinkScheduler scheduler{state.session, poll, prompts};
};

TEST_F(SchedulerTest, ATickSendsWhatADirectTickSendsInTheSameOrder) {
    state.view.ViewMode = View::Probes;
    poll.resetCaches();
    const qsizetype before = requests().size();
    ASSERT_TRUE(poll.tick());
    const QStringList direct = requests().mid(before);
    ASSERT_EQ(direct.size(), 16) << "eight labels, then eight probes";

    QSignalSpy ticks(&scheduler, &LinkScheduler::tickFinished);
    scheduler.startPolling();
    ASSERT_TRUE(waitFor([&] { return ticks.size() >= 1; }));
    scheduler.stopPolling();
    EXPECT_EQ(requests().mid(before + direct.size(), direct.size()), direct);
}

TEST_F(SchedulerTest, ASequenceRunsWholeBetweenTwoPollRequests) {
    QStringList written;
    LinkSequence sequence(QStringLiteral("program"));
    for (int n = 1; n <= 3; ++n) {
        sequence.add(QStringLiteral("channel %1").arg(n), [this, n] {
            const float top = 1.5f;
            return link.QorSetBarScaleTop(state.session.LinkHandle, n, &top) == 0;
        });
    }
    std::vector<int> progress;
    bool completed = false;
    sequence.progress = [&](int done, int, const QString &) {
        progress.push_back(done);
    };
    sequence.finished = [&](bool ok) {
        completed = ok;
    };

    const qsizetype before = requests().size();
    QSignalSpy ticks(&scheduler, &LinkScheduler::tickFinished);
    scheduler.startPolling();
    // Queued once the first tick is under way: it must not split the tick's requests apart
    // from each other in a way that puts a poll request inside the sequence.
    ASSERT_TRUE(waitFor([&] { return requests().size() > before + 2; }));
    scheduler.run(std::move(sequence));
    ASSERT_TRUE(waitFor([&] { return completed && ticks.size() >= 2; }));
    scheduler.stopPolling();

    const QStringList sent = requests().mid(before);
    const qsizetype first = sent.indexOf(QStringLiteral("~CO 1 1.500000"));
    ASSERT_GE(first, 0) << sent.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(sent.mid(first, 3),
              (QStringList{"~CO 1 1.500000", "~CO 2 1.500000", "~CO 3 1.500000"}));
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3}));
}

// A display's set-up reads share the line: their steps take turns with the poll's.
TEST_F(SchedulerTest, ASequenceThatSharesTheLineTakesTurnsWithThePoll) {
    LinkSequence sequence(QStringLiteral("display set-up"));
    sequence.setSharesLineWithPoll(true);
    for (int n = 1; n <= 4; ++n)
        sequence.add(QStringLiteral("channel %1").arg(n), [this, n] {
            char text[QOR_TEXT_BUFFER_SIZE] = {};
            return link.QorReadChannelDesc(state.session.LinkHandle, n, text) == 0;
        });
    bool completed = false;
    sequence.finished = [&](bool ok) {
        completed = ok;
    };
    const qsizetype before = requests().size();
    scheduler.startPolling();
    scheduler.run(std::move(sequence));
    ASSERT_TRUE(waitFor([&] { return completed; }));
    scheduler.stopPolling();
    const QStringList sent = requests().mid(before);
    const qsizetype first = sent.indexOf(QStringLiteral("~CN 1"));
    const qsizetype last = sent.indexOf(QStringLiteral("~CN 4"));
    ASSERT_GE(first, 0);
    ASSERT_GT(last, first);
    EXPECT_EQ(sent.mid(first, last - first + 1).filter(QStringLiteral("~C1 ")).size(), 3)
        << "one poll request between each two of its steps: "
        << sent.join(QLatin1Char('|')).toStdString();
}

TEST_F(SchedulerTest, AFailingStepEndsItsSequence) {
    LinkSequence sequence;
    int ran = 0;
    sequence.add(QStringLiteral("first"), [&] { return ++ran, false; });
    sequence.add(QStringLiteral("second"), [&] { return ++ran, true; });
    std::optional<bool> completed;
    sequence.finished = [&](bool ok) {
        completed = ok;
    };
    scheduler.run(std::move(sequence));
    ASSERT_TRUE(waitFor([&] { return completed.has_value(); }));
    EXPECT_FALSE(*completed);
    EXPECT_EQ(ran, 1);
}

TEST_F(SchedulerTest, AViewChangeDropsTheRestOfATickPlannedForTheOldView) {
    state.view.ViewMode = View::Probes;
    poll.resetCaches();
    scheduler.startPolling();
    // After the first probe row is written, the view changes to channels.
    ASSERT_TRUE(waitFor([&] { return !targets.rows.isEmpty(); }));
    state.view.ViewMode = View::Channels;
    poll.resetCaches();
    targets.rows.clear();
    QSignalSpy ticks(&scheduler, &LinkScheduler::tickFinished);
    ASSERT_TRUE(waitFor([&] { return ticks.size() >= 2; }));
    scheduler.stopPolling();
    // Channel n reads n + 0.25; probes read something else entirely.
    for (const QString &row : std::as_const(targets.rows)) {
        const int n = row.section(QLatin1Char(' '), 0, 0).toInt();
        EXPECT_EQ(row, QStringLiteral("%1  %2.25000").arg(n).arg(n)) << row.toStdString();
    }
    EXPECT_FALSE(targets.rows.isEmpty());
}

// The poll of a station whose link is already open, run by its own scheduler.
struct PolledLink {
    explicit PolledLink(StationFixture &station)
        : poll(station.state.session, station.state.unit, station.state.view),
          targets(poll, station.state.unit),
          scheduler(station.state.session, poll, station.prompts) {
        station.state.view.UpdatesOn = true;
        poll.resetCaches();
    }
    PollCycle poll;
    NoTargets targets;
    LinkScheduler scheduler;
};

// A unit that never answers: no poll request may go out while its box is open.
TEST(SchedulerSilentUnit, NothingIsSentWhileALinkBoxIsOpen) {
    StationFixture station;
    SilentTerminal unit;
    PortOverride port(1, unit.device());
    QString why;
    ASSERT_TRUE(station.link.load(&why)) << why.toStdString();
    StationStartup(station.state, CommandLine(), [] {}).OpenUnitLink();
    ASSERT_NE(station.state.session.LinkHandle, nullptr);
    station.addOfflineSystem();
    station.state.unit.UnitSystem->setMaxChannel(4);
    for (int n = 1; n <= 4; ++n) {
        station.state.unit.Channels.push_back(
            std::make_unique<Channel>(station.state.session, station.prompts));
        station.state.unit.Channels.back()->SetDefaults(n);
    }
    station.state.session.ReportLinkErrors = 1;
    unit.received();
    PolledLink polled(station);
    LinkScheduler &scheduler = polled.scheduler;

    QByteArray sentWhileOpen;
    station.prompts.whileShown = [&] {
        EXPECT_EQ(unit.received(), QByteArray("~C1 1\r")) << "the first poll request";
        QElapsedTimer open;
        open.start();
        while (open.elapsed() < 900)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        sentWhileOpen += unit.received();
        scheduler.stopPolling();
    };
    scheduler.startPolling();
    ASSERT_TRUE(waitFor([&] { return !station.prompts.shown.empty(); }));
    EXPECT_TRUE(sentWhileOpen.isEmpty()) << sentWhileOpen.toStdString();
}

// The unit's cable is pulled (the simulator hangs up) and plugged back in (a new simulator on the
// same port name): Retry brings the poll back without a restart.
TEST(SchedulerRecovery, RetryReopensTheLinkOnceTheDeviceIsBack) {
    StationFixture station;
    QTemporaryDir folder;
    const QString port = folder.filePath(QStringLiteral("qor1"));
    auto first = std::make_unique<SimulatedUnit>(QStringList{
        QStringLiteral("--preset"), QStringLiteral("demo"), QStringLiteral("--link"), port});
    ASSERT_TRUE(first->isRunning());
    PortOverride mapping(1, port);
    QString why;
    ASSERT_TRUE(station.link.load(&why)) << why.toStdString();
    StationStartup startup(station.state, CommandLine(), [] {});
    ASSERT_NE(startup.OpenUnitLink(), nullptr);
    startup.prepareUnit();
    ASSERT_TRUE(station.prompts.shown.empty());

    PolledLink polled(station);
    LinkScheduler &scheduler = polled.scheduler;
    QSignalSpy ticks(&scheduler, &LinkScheduler::tickFinished);
    scheduler.startPolling();
    ASSERT_TRUE(waitFor([&] { return ticks.size() >= 1; }));

    // The first box comes while the device is gone: Retry finds nothing and asks again. At the
    // second box the device is back.
    std::unique_ptr<SimulatedUnit> second;
    station.prompts.whileShown = [&] {
        if (station.prompts.shown.size() == 2)
            second = std::make_unique<SimulatedUnit>(QStringList{QStringLiteral("--preset"),
                                                                 QStringLiteral("demo"),
                                                                 QStringLiteral("--link"), port});
    };
    first->stop();
    ASSERT_TRUE(waitFor([&] { return second && second->requests().size() >= 8; }, 20000));
    scheduler.stopPolling();
    ASSERT_GE(station.prompts.shown.size(), 2u);
    for (const auto &box : station.prompts.shown)
        EXPECT_EQ(box.buttons, PromptButtons::RetryCancel);
    EXPECT_TRUE(second->requests().contains(QStringLiteral("~C1 1")));
}

} // namespace
