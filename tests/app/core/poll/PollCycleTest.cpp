#include "PollCycle.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"

#include <QRegularExpression>

#include <cstdint>
#include <map>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Subscribes as the station's windows do and remembers what each would show, one line per
// write: the hidden channel labels (written when a channel's value changed since the list
// started over), the displays (the view's rows), and the dialogs' live boxes.
class RecordingTargets {
public:
    RecordingTargets(LiveValues &live, const LiveFollowers &followers, const UnitObjects &unit)
        : m_followers(followers), m_unit(unit) {
        LiveRequest labels;
        labels.place = TickPlace::ChannelLabels;
        labels.withTheList = true;
        labels.rows = [this] {
            return static_cast<int>(m_unit.Channels.size());
        };
        labels.object = [](int channel) {
            return LiveObject::channel(channel);
        };
        labels.deliver = [this](const LiveReading &r) {
            label(r);
        };
        labels.restarted = [this] {
            m_labelShown.clear();
        };
        m_subscriptions.push_back(live.subscribe(std::move(labels)));

        ViewFollower rows;
        rows.row = [this](const ViewRowReading &r) {
            row(r);
        };
        m_subscriptions.push_back(live.followView(std::move(rows)));

        const auto box = [this, &live](TickPlace place, std::function<LiveObject()> object,
                                       QString name) {
            m_subscriptions.push_back(
                live.follow(place, std::move(object), [this, name](const LiveReading &r) {
                    readings.push_back(r);
                    if (!r.failed())
                        record(QStringLiteral("%1 [%2]").arg(name, r.text()));
                }));
        };
        box(
            TickPlace::ChannelMastering,
            [this] { return LiveObject::channel(m_followers.MasteringChannel); }, "master");
        box(
            TickPlace::ChannelSetup,
            [this] { return LiveObject::channel(m_followers.ChannelSetupLiveChannel); },
            "channel setup");
        // The number typed into the probe dialog's box is 2, into the analog dialog's 1.
        box(
            TickPlace::ProbeSetup,
            [this] { return m_followers.LvdtSetupLiveInput ? LiveObject::probe(2) : LiveObject{}; },
            "probe setup");
        box(
            TickPlace::AnalogSetup,
            [this] {
                return m_followers.AnalogSetupLiveInput ? LiveObject::analogInput(1) : LiveObject{};
            },
            "analog setup");
        box(
            TickPlace::Calibration,
            [this] { return LiveObject::probe(m_followers.CalibrationLiveProbe); }, "calibration");

        LiveRequest group;
        group.place = TickPlace::GroupMastering;
        group.rows = [this] {
            const class group *g = m_unit.groupAt(m_followers.MasteringGroup);
            return g ? g->Count : 0;
        };
        group.object = [this](int row) {
            const class group *g = m_unit.groupAt(m_followers.MasteringGroup);
            return g ? LiveObject::channel(g->GetChannel(row)) : LiveObject::none();
        };
        group.deliver = [this](const LiveReading &r) {
            if (!r.failed())
                record(QStringLiteral("group master %1 [%2]").arg(r.row).arg(r.text()));
        };
        m_subscriptions.push_back(live.subscribe(std::move(group)));
    }

    QStringList take() { return std::exchange(writes, {}); }

    bool grid = true;
    bool bars = true;
    std::function<void()> onWrite;
    QStringList writes;
    // Every reading the dialogs' boxes were handed, failed ones included.
    std::vector<LiveReading> readings;

private:
    void label(const LiveReading &r) {
        if (r.failed())
            return;
        float &shown = m_labelShown.try_emplace(r.object.number, PollCycle::Unshown).first->second;
        if (shown == *r.value)
            return;
        shown = *r.value;
        record(QStringLiteral("label %1 [%2]").arg(r.object.number).arg(r.text()));
    }
    void row(const ViewRowReading &r) {
        if (r.changed) {
            if (grid)
                record(QStringLiteral("grid %1 [%2]").arg(r.row).arg(r.reading.text()));
            if (bars)
                record(QStringLiteral("bar %1 %2")
                           .arg(r.row)
                           .arg(static_cast<double>(*r.reading.value)));
        }
        if (r.staleNow) {
            const QString mark = *r.staleNow ? QStringLiteral("stale") : QStringLiteral("current");
            if (grid)
                record(QStringLiteral("grid %1 %2").arg(r.row).arg(mark));
            if (bars)
                record(QStringLiteral("bar %1 %2").arg(r.row).arg(mark));
        }
    }
    void record(const QString &line) {
        writes << line;
        if (onWrite)
            onWrite();
    }

    const LiveFollowers &m_followers;
    const UnitObjects &m_unit;
    // What each label shows (Unshown since the list started over).
    std::map<int, float> m_labelShown;
    std::vector<LiveSubscription> m_subscriptions;
};

// Channel n reads the constant n + 0.25 (channel 2 reads -2.5), so nothing changes unless a test
// changes a formula.
class PollCycleTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        connectStandIn(QStringLiteral("--preset empty --log ") + logFile());
        for (int n = 1; n <= 8; ++n)
            state.unit.channel(n)->setFormula(n == 2 ? QStringLiteral("0-2.5")
                                                     : QStringLiteral("%1.25").arg(n));
        ASSERT_TRUE(prompts.shown.empty());
        state.view.UpdatesOn = true;
        state.view.ViewMode = View::Channels;
        poll.resetCaches();
    }

    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    // Requests sent by the ticks run inside f.
    template <typename F> QStringList requestsDuring(F f) {
        const qsizetype before = requestsOfLog(logFile()).size();
        f();
        return requestsOfLog(logFile()).mid(before);
    }

    // A channel object of the station's that the unit does not have (it holds 8 channels): its
    // reads fail with the unit's error, as reads fail on a faulty line.
    void addChannelTheUnitLacks() {
        auto channel = std::make_unique<Channel>(state.session, prompts);
        channel->SetDefaults(9);
        state.unit.Channels.push_back(std::move(channel));
    }
    void setDecimals(int channel, int16_t decimals) {
        Channel *const shown = state.unit.channel(channel);
        ASSERT_NE(shown, nullptr);
        shown->Decimals = decimals;
    }
    void setUnitChannels(int count) {
        ASSERT_EQ(link.QorSetNumberOfChannels(state.session.LinkHandle, count), 0);
    }

    void addGroup(std::initializer_list<int> channels) {
        auto g = std::make_unique<group>();
        g->SetDefaults(static_cast<int>(state.unit.Groups.size()) + 1);
        for (int n : channels)
            g->AddChannel(n);
        state.unit.Groups.push_back(std::move(g));
    }

    PollCycle poll{state.session, state.unit, state.view};
    RecordingTargets targets{poll, state.live, state.unit};
};

QStringList channelReads(std::initializer_list<int> channels) {
    QStringList reads;
    for (int n : channels)
        reads << QStringLiteral("~C1 %1").arg(n);
    return reads;
}

TEST_F(PollCycleTest, ChannelViewWritesChangedRowsAndTheirLabelsOnly) {
    EXPECT_EQ(requestsDuring([&] { EXPECT_TRUE(poll.tick()); }),
              channelReads({1, 2, 3, 4, 5, 6, 7, 8}));
    const QStringList first = targets.take();
    ASSERT_EQ(first.size(), 24);
    EXPECT_EQ(first.mid(0, 6),
              (QStringList{"label 1 [ 1.25000]", "grid 1 [ 1.25000]", "bar 1 1.25",
                           "label 2 [-2.50000]", "grid 2 [-2.50000]", "bar 2 -2.5"}));

    poll.tick();
    EXPECT_TRUE(targets.take().isEmpty()) << "nothing changed";

    state.unit.channel(3)->setFormula(QStringLiteral("7"));
    poll.tick();
    EXPECT_EQ(targets.take(), (QStringList{"label 3 [ 7.00000]", "grid 3 [ 7.00000]", "bar 3 7"}));

    poll.resetCaches();
    poll.tick();
    EXPECT_EQ(targets.take().size(), 24) << "after a view change every row is written afresh";
}

TEST_F(PollCycleTest, HiddenDisplaysAreNotWritten) {
    targets.grid = false;
    poll.tick();
    QStringList writes = targets.take();
    EXPECT_EQ(writes.filter(QStringLiteral("grid")).size(), 0);
    EXPECT_EQ(writes.filter(QStringLiteral("bar")).size(), 8);
    EXPECT_EQ(writes.filter(QStringLiteral("label")).size(), 8);
}

TEST_F(PollCycleTest, DecimalsOfEachChannelAreUsed) {
    setDecimals(1, 0);
    setDecimals(2, 0);
    setDecimals(3, 2);
    poll.tick();
    const QStringList labels = targets.take().filter(QStringLiteral("label"));
    EXPECT_EQ(labels.mid(0, 4), (QStringList{"label 1 [ 1.]", "label 2 [-3.]", "label 3 [ 3.25]",
                                             "label 4 [ 4.25000]"}));
}

TEST_F(PollCycleTest, ProbeViewRewritesEveryRowEveryTickAndKeepsLabelsCurrent) {
    state.view.ViewMode = View::Probes;
    poll.resetCaches();
    QStringList probes;
    for (int n = 1; n <= 8; ++n)
        probes << QStringLiteral("~P1 %1").arg(n);
    const QStringList reads = requestsDuring([&] { poll.tick(); });
    EXPECT_EQ(reads, channelReads({1, 2, 3, 4, 5, 6, 7, 8}) + probes) << "labels first";
    QStringList writes = targets.take();
    EXPECT_EQ(writes.filter(QStringLiteral("label")).size(), 8);
    EXPECT_EQ(writes.filter(QStringLiteral("grid")).size(), 8);
    EXPECT_EQ(writes.filter(QRegularExpression(QStringLiteral("^grid \\d \\[[ -]\\d\\.\\d{5}\\]$")))
                  .size(),
              8)
        << "probe values have 5 decimals";

    poll.tick();
    writes = targets.take();
    EXPECT_EQ(writes.filter(QStringLiteral("label")).size(), 0);
    EXPECT_EQ(writes.filter(QStringLiteral("grid")).size(), 8) << "probe rows are not compared";
    EXPECT_EQ(writes.filter(QStringLiteral("bar")).size(), 8);
}

TEST_F(PollCycleTest, AnalogViewRewritesItsRowsEveryTick) {
    state.view.ViewMode = View::Analogs;
    poll.resetCaches();
    poll.tick();
    targets.take();
    poll.tick();
    EXPECT_EQ(targets.take(), (QStringList{"grid 1 [ 0.00000]", "bar 1 0"}));
}

TEST_F(PollCycleTest, GroupViewWritesRowsByPositionWithTheChannelsDecimals) {
    addGroup({3, 5, 3});
    setDecimals(5, 1);
    state.view.ViewMode = View::Group;
    state.view.SelectedGroup = 1;
    poll.resetCaches();
    const QStringList reads = requestsDuring([&] { poll.tick(); });
    EXPECT_EQ(reads, channelReads({1, 2, 3, 4, 5, 6, 7, 8}))
        << "the labels' reads serve the group's rows: each channel is read once a tick";
    const QStringList writes = targets.take();
    EXPECT_EQ(writes.filter(QStringLiteral("grid")),
              (QStringList{"grid 1 [ 3.25000]", "grid 3 [ 3.25000]", "grid 2 [ 5.3]"}))
        << "one read of channel 3 fills both its rows";
    EXPECT_EQ(writes.filter(QStringLiteral("label")).size(), 8);

    state.view.SelectedGroup = 2; // beyond the groups: no rows, labels still current
    poll.resetCaches();
    EXPECT_EQ(requestsDuring([&] { poll.tick(); }), channelReads({1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(targets.take().filter(QStringLiteral("grid")).size(), 0);
}

TEST_F(PollCycleTest, GroupLongerThanTheChannelSetHasRoomForEveryRow) {
    addGroup({1, 2, 3, 4, 5, 6, 7, 8, 1, 2});
    state.view.ViewMode = View::Group;
    state.view.SelectedGroup = 1;
    poll.resetCaches();
    poll.tick();
    EXPECT_EQ(targets.take().filter(QStringLiteral("grid")).size(), 10);
}

TEST_F(PollCycleTest, LabelsAreKeptCurrentInEveryOtherView) {
    for (int view : {0, 1, 3, 4, 5, 9}) {
        state.view.ViewMode = viewFromNumber(view);
        poll.resetCaches();
        poll.tick();
        EXPECT_EQ(targets.take().filter(QStringLiteral("label")).size(), 8) << "view " << view;
    }
}

TEST_F(PollCycleTest, HoldAndUpdateOffFreezeTheListButNotTheDialogs) {
    addGroup({4});
    state.live.MasteringChannel = 2;
    state.live.ChannelSetupLiveChannel = 3;
    state.live.LvdtSetupLiveInput = 1;
    state.live.AnalogSetupLiveInput = 1;
    state.live.CalibrationLiveProbe = 3;
    for (int hold : {1, 0}) {
        const PollHoldGuard held = hold ? PollHoldGuard(state.view.PollHold) : PollHoldGuard();
        state.view.UpdatesOn = hold == 0 ? false : true;
        state.view.ViewMode = View::Group;
        state.view.SelectedGroup = 1;
        state.live.MasteringGroup = 1;
        poll.resetCaches();
        poll.tick();
        QStringList writes = targets.take();
        ASSERT_EQ(writes.size(), 6);
        EXPECT_TRUE(writes[4].startsWith(QStringLiteral("calibration [")))
            << writes[4].toStdString();
        writes.removeAt(4);
        EXPECT_TRUE(writes[2].contains(
            QRegularExpression(QStringLiteral("^probe setup \\[[ -]0\\.\\d{5}\\]$"))))
            << writes[2].toStdString();
        writes.removeAt(2);
        EXPECT_EQ(writes, (QStringList{"master [-2.50000]", "channel setup [ 3.25000]",
                                       "analog setup [ 0.00000]", "group master 1 [ 4.25000]"}))
            << (hold ? "held" : "updating off");
    }
}

TEST_F(PollCycleTest, ACacheHoldingTheReadingIsNotRewritten) {
    state.unit.channel(4)->setFormula(QStringLiteral("0-9999"));
    poll.resetCaches();
    poll.tick();
    EXPECT_EQ(targets.take().filter(QStringLiteral(" 4 ")).size(), 0);
}

TEST_F(PollCycleTest, ATickArrivingDuringATickIsSkipped) {
    std::vector<bool> nested;
    targets.onWrite = [&] {
        if (nested.empty())
            nested.push_back(poll.tick());
    };
    const QStringList reads = requestsDuring([&] { EXPECT_TRUE(poll.tick()); });
    EXPECT_EQ(nested, std::vector<bool>{false});
    EXPECT_EQ(reads.size(), 8) << "the skipped tick read nothing";
    EXPECT_FALSE(poll.isRunning());
    targets.onWrite = nullptr;
    EXPECT_TRUE(poll.tick());
}

TEST_F(PollCycleTest, AFailedReadLeavesItsRowAsItWas) {
    addChannelTheUnitLacks();
    addGroup({2, 9});
    state.view.ViewMode = View::Group;
    state.view.SelectedGroup = 1;
    poll.resetCaches();
    poll.tick();
    EXPECT_EQ(targets.take().filter(QStringLiteral("grid")), QStringList{"grid 1 [-2.50000]"});
    EXPECT_EQ(prompts.shown.size(), 1u) << "the failure was reported by the error handler";
}

TEST_F(PollCycleTest, GroupEntriesNamingNoChannelAreNeverRead) {
    addGroup({2, 200, 3});
    state.view.ViewMode = View::Group;
    state.view.SelectedGroup = 1;
    state.live.MasteringGroup = 1;
    state.live.ChannelSetupLiveChannel = 200;
    poll.resetCaches();
    const QStringList reads = requestsDuring([&] {
        poll.tick();
        poll.tick();
    });
    EXPECT_TRUE(reads.filter(QRegularExpression(QStringLiteral(" 200$"))).isEmpty())
        << reads.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(prompts.shown.empty()) << "no link error box";
    const QStringList writes = targets.take();
    EXPECT_EQ(writes.filter(QRegularExpression(QStringLiteral("^(grid|group master) "))),
              (QStringList{"grid 1 [-2.50000]", "group master 1 [-2.50000]", "grid 3 [ 3.25000]",
                           "group master 3 [ 3.25000]", "group master 1 [-2.50000]",
                           "group master 3 [ 3.25000]"}))
        << "the other rows keep their places";
}

TEST_F(PollCycleTest, ARowWhoseReadsFailTurnsStaleAfterTwoTicksUntilItsNextReading) {
    setUnitChannels(9);
    addChannelTheUnitLacks();
    addGroup({1, 9});
    state.view.ViewMode = View::Group;
    state.view.SelectedGroup = 1;
    poll.resetCaches();
    poll.tick();
    EXPECT_EQ(targets.take().filter(QStringLiteral("grid")),
              (QStringList{"grid 1 [ 1.25000]", "grid 2 [ 0.00000]"}));

    setUnitChannels(8); // channel 9's reads fail from now on
    const QStringList staleness = QStringList{"grid 2 stale", "bar 2 stale"};
    const struct {
        const char *legend;
        QStringList marks;
    } ticks[] = {{"one tick without a reading", {}},
                 {"the second marks the row stale", staleness},
                 {"and it stays so", {}}};
    for (const auto &t : ticks) {
        poll.tick();
        EXPECT_EQ(targets.take().filter(QRegularExpression(QStringLiteral("(stale|current)$"))),
                  t.marks)
            << t.legend;
    }
    EXPECT_TRUE(poll.isRowStale(2));
    EXPECT_FALSE(poll.isRowStale(1));

    setUnitChannels(9);
    poll.tick();
    EXPECT_EQ(targets.take(), (QStringList{"grid 2 current", "bar 2 current"}))
        << "a fresh reading, though unchanged, makes the row current again";

    setUnitChannels(8);
    for (int tick = 0; tick < 2; ++tick)
        poll.tick();
    ASSERT_TRUE(poll.isRowStale(2));
    targets.take();
    poll.resetCaches();
    EXPECT_FALSE(poll.isRowStale(2)) << "a view shown afresh has no stale rows";
    targets.grid = false;
    setUnitChannels(9);
    poll.tick();
    setUnitChannels(8);
    for (int tick = 0; tick < 2; ++tick)
        poll.tick();
    EXPECT_EQ(targets.take().filter(QStringLiteral("stale")), QStringList{"bar 2 stale"})
        << "a hidden display is not marked";
}

} // namespace

namespace {

TEST_F(PollCycleTest, ReadingsAreNumberedAndFailedReadsAreHandedOnAsFailed) {
    state.view.UpdatesOn = false;
    addChannelTheUnitLacks();
    state.live.MasteringChannel = 3;
    poll.tick();
    poll.tick();
    state.live.MasteringChannel = 9; // the station has it, the unit does not: the read fails
    poll.tick();
    ASSERT_EQ(targets.readings.size(), 3u);
    const LiveReading &first = targets.readings[0];
    EXPECT_EQ(first.object, LiveObject::channel(3));
    EXPECT_EQ(first.value, 3.25f);
    EXPECT_LT(first.number, targets.readings[1].number);
    EXPECT_LT(first.tick, targets.readings[1].tick);
    EXPECT_TRUE(targets.readings[2].failed());
    EXPECT_EQ(targets.readings[2].object, LiveObject::channel(9));
    EXPECT_LT(targets.readings[1].number, targets.readings[2].number);
    EXPECT_EQ(targets.take(), (QStringList{"master [ 3.25000]", "master [ 3.25000]"}))
        << "a failed read leaves the box as it was";
    EXPECT_EQ(prompts.shown.size(), 1u) << "the failure was reported by the error handler";

    state.live.MasteringChannel = 200; // no such channel: never asked for, nothing handed on
    prompts.shown.clear();
    EXPECT_TRUE(requestsDuring([&] { poll.tick(); }).isEmpty());
    EXPECT_EQ(targets.readings.size(), 3u);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PollCycleTest, GroupMasteringReadsTheDialogsGroupInEveryView) {
    addGroup({1, 2});
    addGroup({4});
    state.live.MasteringGroup = 2;
    for (const auto &[view, selected] :
         {std::pair(View::Channels, 0), std::pair(View::Group, 1), std::pair(View::Probes, 0)}) {
        state.view.ViewMode = view;
        state.view.SelectedGroup = static_cast<int16_t>(selected);
        poll.resetCaches();
        poll.tick();
        EXPECT_EQ(targets.take().filter(QStringLiteral("group master")),
                  QStringList{"group master 1 [ 4.25000]"})
            << "view " << viewNumber(view);
    }
}

} // namespace
