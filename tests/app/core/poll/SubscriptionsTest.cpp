// Subscribing to live values: who gets which reading, for how long, and what a follower of the
// main list hears of its view, its rows and the end of each tick.
#include "PollCycle.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Channel n reads n + 0.25; the list is refreshed in the channel view unless a test says so.
class SubscriptionsTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(connectStandIn(QStringLiteral("--preset empty --log ") + logFile(), &why))
            << why.toStdString();
        for (int n = 1; n <= 8; ++n)
            state.unit.channel(n)->setFormula(QStringLiteral("%1.25").arg(n));
        state.view.UpdatesOn = true;
        state.view.ViewMode = View::None;
        poll.resetCaches();
    }
    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    QStringList requestsOfTick() {
        const qsizetype before = requestsOfLog(logFile()).size();
        poll.tick();
        return requestsOfLog(logFile()).mid(before);
    }
    LiveSubscription keep(LiveObject object, std::vector<LiveReading> &into,
                          TickPlace place = TickPlace::Others) {
        return poll.follow(
            place, [object] { return object; },
            [&into](const LiveReading &reading) { into.push_back(reading); });
    }
    void addGroup(std::initializer_list<int> channels) {
        auto g = std::make_unique<group>();
        g->SetDefaults(static_cast<int>(state.unit.Groups.size()) + 1);
        for (int n : channels)
            g->AddChannel(n);
        state.unit.Groups.push_back(std::move(g));
    }

    PollCycle poll{state.session, state.unit, state.view};
};

TEST_F(SubscriptionsTest, SubscribersOfOneObjectShareOneReadingInTheTick) {
    std::vector<LiveReading> chart, recorder, probe;
    const LiveSubscription a = keep(LiveObject::channel(3), chart);
    const LiveSubscription b = keep(LiveObject::channel(3), recorder, TickPlace::ChannelSetup);
    const LiveSubscription c = keep(LiveObject::probe(2), probe);
    EXPECT_EQ(requestsOfTick(), (QStringList{"~C1 3", "~P1 2"}))
        << "read once, where it is first wanted";
    ASSERT_EQ(chart.size(), 1u);
    ASSERT_EQ(recorder.size(), 1u);
    EXPECT_EQ(chart[0].number, recorder[0].number);
    EXPECT_EQ(chart[0].tick, recorder[0].tick);
    EXPECT_EQ(chart[0].text(), QStringLiteral(" 3.25000"));
    EXPECT_EQ(probe[0].object, LiveObject::probe(2));
}

TEST_F(SubscriptionsTest, DeliveryEndsWithTheHandleEvenInATickAlreadyPlanned) {
    std::vector<LiveReading> got;
    std::vector<LiveReading> other;
    LiveSubscription kept = keep(LiveObject::channel(1), got);
    const LiveSubscription stays = keep(LiveObject::channel(2), other);
    const PollTick planned = poll.planTick();
    kept.reset();
    const qsizetype before = requestsOfLog(logFile()).size();
    for (const auto &step : planned.steps)
        step();
    EXPECT_EQ(requestsOfLog(logFile()).mid(before), QStringList{"~C1 2"})
        << "nobody wants channel 1 any more: it is not read";
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(other.size(), 1u);

    {
        const LiveSubscription scoped = keep(LiveObject::channel(4), got);
        poll.tick();
    }
    EXPECT_EQ(got.size(), 1u);
    EXPECT_EQ(requestsOfTick(), QStringList{"~C1 2"}) << "a handle gone with its scope";
}

TEST_F(SubscriptionsTest, ASubscriptionMadeOrDroppedInADeliveryTakesEffectSafely) {
    std::vector<LiveReading> late;
    LiveSubscription second;
    LiveSubscription first;
    first = poll.follow(
        TickPlace::Others, [] { return LiveObject::channel(5); },
        [&](const LiveReading &) {
            first.reset(); // its own
            second = keep(LiveObject::channel(6), late);
        });
    poll.tick();
    EXPECT_TRUE(late.empty()) << "made during a tick: read from the next one";
    EXPECT_EQ(requestsOfTick(), QStringList{"~C1 6"});
    EXPECT_EQ(late.size(), 1u);
}

TEST_F(SubscriptionsTest, ViewFollowersHearOfTheViewItsRowsAndEachTicksEnd) {
    addGroup({2, 200, 3});
    std::vector<ViewShown> views;
    std::vector<ViewRowReading> rows;
    std::vector<TickEnd> ends;
    ViewFollower follower;
    follower.viewChanged = [&](const ViewShown &shown) {
        views.push_back(shown);
    };
    follower.row = [&](const ViewRowReading &row) {
        rows.push_back(row);
    };
    follower.tickEnded = [&](const TickEnd &end) {
        ends.push_back(end);
    };
    const LiveSubscription following = poll.followView(std::move(follower));

    state.view.ViewMode = View::Group;
    state.view.SelectedGroup = 1;
    poll.resetCaches();
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].view, View::Group);
    EXPECT_EQ(views[0].group, 1);
    EXPECT_EQ(views[0].rows, (std::vector<LiveObject>{LiveObject::channel(2), LiveObject::none(),
                                                      LiveObject::channel(3)}))
        << "an entry naming no channel is shown as none";

    poll.tick();
    ASSERT_EQ(rows.size(), 2u) << "the entry naming no channel is never read";
    EXPECT_EQ(rows[0].row, 1);
    EXPECT_EQ(rows[1].row, 3);
    EXPECT_TRUE(rows[0].changed);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(ends[0].tick, rows[0].reading.tick);
    EXPECT_TRUE(ends[0].complete);
    EXPECT_EQ(ends[0].brake, ListBrake::None);

    rows.clear();
    const struct {
        const char *legend;
        bool updatesOn;
        bool held;
        ListBrake brake;
    } brakes[] = {
        {"View > Update off", false, false, ListBrake::UpdatesOff},
        {"a window holds the list", true, true, ListBrake::Held},
    };
    for (const auto &b : brakes) {
        state.view.UpdatesOn = b.updatesOn;
        const PollHoldGuard hold = b.held ? PollHoldGuard(state.view.PollHold) : PollHoldGuard();
        EXPECT_EQ(poll.listBrake(), b.brake) << b.legend;
        poll.tick();
        EXPECT_TRUE(rows.empty()) << b.legend;
        EXPECT_EQ(ends.back().brake, b.brake) << b.legend;
    }
    state.view.UpdatesOn = true;

    const PollTick planned = poll.planTick();
    planned.steps.front()();
    poll.resetCaches(); // the view shown afresh before the tick's reads were all made
    poll.endTick(planned, false);
    EXPECT_FALSE(ends.back().complete);
    EXPECT_EQ(ends.back().tick, planned.number);
    EXPECT_EQ(views.size(), 2u);
}

} // namespace
