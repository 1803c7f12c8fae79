#include "SetupLifecycle.h"
#include "SetupFolder.h"
#include "SetupWindows.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "UnitLimits.h"
#include "ViewCycle.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// The windows as the lifecycle sees them, remembering what it did to them.
struct RecordingWindows : SetupWindows {
    void setChannelLabelCount(int count) override { labels = count; }
    void setCaption(const QString &text) override { caption = text; }
    void refreshMainDisplay() override { ++refreshes; }
    bool updatesChosen() const override { return updates; }
    int currentChannel() const override { return channelDialog; }
    void setCurrentChannel(int n) override { channelDialog = n; }
    int currentLvdt() const override { return lvdtDialog; }
    void setCurrentLvdt(int n) override { lvdtDialog = n; }
    int currentAnalog() const override { return analogDialog; }
    void setCurrentAnalog(int n) override { analogDialog = n; }

    int labels = -1;
    QString caption;
    int refreshes = 0;
    bool updates = true;
    int channelDialog = 0;
    int lvdtDialog = 0;
    int analogDialog = 0;
};

// The stand-in unit in-process, logging every exchange; start-up has left 8 channels, 8 probes
// and one analog input.
class LifecycleTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(connectStandIn(QStringLiteral("--preset empty --log ") + logFile(), &why))
            << why.toStdString();
    }

    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    QStringList requests() const { return requestsOfLog(logFile()); }

    SetupParts parts() {
        return {state.session, state.prompts, state.config, state.unit,
                state.view,    state.live,    state.setup,  windows};
    }

    // Runs a sequence step by step as the scheduler does, checking that no step makes more than
    // one exchange; returns the requests it sent.
    QStringList run(const std::function<void(SetupSteps &)> &build) {
        LinkSequence sequence;
        SetupSteps steps(parts(), sequence);
        build(steps);
        return run(sequence);
    }

    QStringList run(LinkSequence &sequence) {
        const qsizetype before = requests().size();
        qsizetype last = before;
        bool completed = true;
        for (int i = 0; i < sequence.size() && completed; ++i) {
            completed = sequence.run(i);
            const qsizetype now = requests().size();
            EXPECT_LE(now - last, 1) << "step " << sequence.what(i).toStdString();
            last = now;
        }
        EXPECT_TRUE(completed);
        if (sequence.finished)
            sequence.finished(completed);
        return requests().mid(before);
    }

    void setCounts(int channels, int probes, int analogs) {
        run([&](SetupSteps &steps) {
            steps.CreateChannels(channels);
            steps.CreateLVDTs(probes);
            steps.CreateAnalogs(analogs);
        });
    }

    RecordingWindows windows;
};

struct RequestCase {
    const char *legend;
    int channels, probes, analogs; // in force before
    std::function<void(SetupSteps &)> build;
    QStringList expected;
};

TEST_F(LifecycleTest, EachOperationSendsExactlyItsRequests) {
    const QStringList c7x4{"~C7", "~C7", "~C7", "~C7"};
    const RequestCase cases[] = {
        {"ClearSetup with equal counts: each count once, then each analog input's defaults",
         8,
         8,
         1,
         [](SetupSteps &s) { s.ClearSetup(); },
         {"~YE 8", "~YE 8", "~C7", "~C7"}},
        {"ClearSetup with unequal counts sends the channel count again after the probe count", 16,
         4, 2, [](SetupSteps &s) { s.ClearSetup(); },
         QStringList{"~YE 16", "~YE 4", "~YE 16"} + c7x4},
        {"CreateChannels to the count in force still sends it",
         8,
         8,
         1,
         [](SetupSteps &s) { s.CreateChannels(8); },
         {"~YE 8"}},
        {"CreateLVDTs to a count unlike the channel count is followed by the channel count",
         8,
         8,
         1,
         [](SetupSteps &s) { s.CreateLVDTs(3); },
         {"~YE 3", "~YE 8"}},
        {"CreateLVDTs to the channel count sends it once",
         5,
         8,
         1,
         [](SetupSteps &s) { s.CreateLVDTs(5); },
         {"~YE 5"}},
        {"CreateAnalogs growing sends zero and full scale of each new input only", 8, 8, 1,
         [](SetupSteps &s) { s.CreateAnalogs(3); }, c7x4},
        {"CreateAnalogs shrinking sends nothing",
         8,
         8,
         3,
         [](SetupSteps &s) { s.CreateAnalogs(1); },
         {}},
    };
    for (const RequestCase &c : cases) {
        setCounts(c.channels, c.probes, c.analogs);
        EXPECT_EQ(run(c.build), c.expected) << c.legend;
    }
}

TEST_F(LifecycleTest, ClearSetupKeepsTheCountsAndMakesEveryObjectAnew) {
    setCounts(6, 4, 2);
    Channel *channel = state.unit.channel(3);
    Lvdt *probe = state.unit.lvdt(2);
    ASSERT_TRUE(channel && probe);
    channel->InUse = true;
    channel->Decimals = 2;
    channel->Units = QStringLiteral("mm");
    probe->Description = QStringLiteral("Bore");
    addGroup(QStringLiteral("Shaft"), {1, 2});
    addGroup(QStringLiteral("Bore"), {3});
    state.view.ViewMode = View::Group;
    state.view.SelectedGroup = 2;
    state.live.MasteringGroup = 1;

    run([](SetupSteps &s) { s.ClearSetup(); });

    EXPECT_EQ(state.view.ViewMode, View::Channels);
    EXPECT_TRUE(state.unit.Groups.empty());
    EXPECT_EQ(state.view.SelectedGroup, 0);
    EXPECT_EQ(state.live.MasteringGroup, 0);
    EXPECT_EQ(state.unit.UnitSystem->MaxChannel(), 6);
    EXPECT_EQ(state.unit.UnitSystem->MaxLvdt(), 4);
    EXPECT_EQ(state.unit.MaxAnalog, 2);
    ASSERT_EQ(state.unit.Channels.size(), 6u);
    ASSERT_EQ(state.unit.Lvdts.size(), 4u);
    ASSERT_EQ(state.unit.Analogs.size(), 2u);
    const Channel *cleared = state.unit.channel(3);
    const Lvdt *clearedProbe = state.unit.lvdt(2);
    const analog *clearedInput = state.unit.analogInput(2);
    ASSERT_TRUE(cleared && clearedProbe && clearedInput);
    EXPECT_FALSE(cleared->InUse);
    EXPECT_EQ(cleared->Decimals, 5);
    EXPECT_EQ(cleared->Units, QStringLiteral("Inch"));
    EXPECT_EQ(clearedProbe->Description, QStringLiteral("Lvdt 2"));
    EXPECT_EQ(clearedInput->Description, QStringLiteral("Analog  2"));
    EXPECT_EQ(windows.labels, 6);
}

TEST_F(LifecycleTest, ShrinkingBringsEveryRememberedPositionBackIntoItsSet) {
    windows.channelDialog = 7;
    windows.lvdtDialog = 5;
    windows.analogDialog = 1;
    state.live.MasteringChannel = 7;
    state.live.ChannelSetupLiveChannel = 3;
    state.live.LvdtSetupLiveInput = 6;
    state.live.AnalogSetupLiveInput = 1;

    run([](SetupSteps &s) {
        s.CreateChannels(5);
        s.CreateLVDTs(3);
        s.CreateAnalogs(0);
    });

    EXPECT_EQ(windows.channelDialog, 5) << "the channel dialog moves to the last channel";
    EXPECT_EQ(state.live.MasteringChannel, 5);
    EXPECT_EQ(state.live.ChannelSetupLiveChannel, 3) << "a channel still in the set stays";
    EXPECT_EQ(windows.lvdtDialog, 3);
    EXPECT_EQ(state.live.LvdtSetupLiveInput, 3);
    EXPECT_EQ(windows.analogDialog, 0);
    EXPECT_EQ(state.live.AnalogSetupLiveInput, 0);
    EXPECT_EQ(state.unit.Channels.size(), 5u);
    EXPECT_EQ(windows.labels, 5);
    EXPECT_EQ(state.unit.Lvdts.size(), 3u);
    EXPECT_TRUE(state.unit.Analogs.empty());
    EXPECT_EQ(state.unit.MaxAnalog, 0);

    run([](SetupSteps &s) { s.CreateChannels(9); });
    ASSERT_EQ(state.unit.Channels.size(), 9u);
    const Channel *grown = state.unit.channel(9);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(grown->Index, 9) << "growing again gives default objects";
    EXPECT_FALSE(grown->InUse);
    EXPECT_EQ(windows.labels, 9);
}

struct NewSetupCase {
    const char *legend;
    int16_t counter;
    bool updatesChosen;
    const char *fileName;
    int16_t counterAfter;
};

TEST_F(LifecycleTest, NewSetupNamesTheFileClearsAndMovesTheCounterOn) {
    const NewSetupCase cases[] = {
        {"counter 7, updating on", 7, true, "QORSetup7.qor", 8},
        {"counter 999 wraps to 1, updating left off", 999, false, "QORSetup999.qor", 1},
    };
    const QString folder = tempPath(QStringLiteral("setups"));
    for (const NewSetupCase &c : cases) {
        state.setup.NewSetupFileNum = c.counter;
        state.setup.SetupChanged = true;
        state.view.UpdatesOn = !c.updatesChosen;
        windows.updates = c.updatesChosen;
        const int refreshes = windows.refreshes;
        LinkSequence sequence = NewSetup(parts(), folder);
        EXPECT_EQ(run(sequence), (QStringList{"~YE 8", "~YE 8", "~C7", "~C7"})) << c.legend;
        const QString name = QDir(folder).filePath(QLatin1String(c.fileName));
        EXPECT_EQ(state.setup.SetupFileName, name) << c.legend;
        EXPECT_EQ(windows.caption,
                  QStringLiteral("Qor Instruments   QOR-128 [") + name + QStringLiteral("] "))
            << c.legend;
        EXPECT_EQ(state.setup.NewSetupFileNum, c.counterAfter) << c.legend;
        EXPECT_EQ(state.view.UpdatesOn, c.updatesChosen) << c.legend;
        EXPECT_TRUE(state.setup.SetupChanged) << c.legend << ": New leaves SetupChanged";
        EXPECT_EQ(windows.refreshes, refreshes + 1) << c.legend;
    }
}

struct GroupCheckCase {
    const char *legend;
    std::vector<std::vector<int>> groups;
    int newMax;
    bool fixNow;
    bool result;
    std::vector<std::vector<int>> groupsAfter;
};

std::vector<std::vector<int>> groupChannels(const UnitObjects &unit) {
    std::vector<std::vector<int>> all;
    for (const auto &g : unit.Groups) {
        all.emplace_back();
        for (int p = 1; p <= g->Count; ++p)
            all.back().push_back(g->GetChannel(p));
    }
    return all;
}

TEST(SetupGroups, CheckMaxChannelTellsOrRemovesEntriesAboveTheCount) {
    const GroupCheckCase cases[] = {
        {"asking leaves a group that does not fit as it was",
         {{2, 6, 3}},
         4,
         false,
         false,
         {{2, 6, 3}}},
        {"fixing removes the entries above the count", {{2, 6, 3}}, 4, true, true, {{2, 3}}},
        {"a group left empty stays in the set", {{5, 6, 7}}, 4, true, true, {{}}},
        {"groups that fit are a yes", {{1, 2}, {3, 8}}, 8, false, true, {{1, 2}, {3, 8}}},
        {"every group is fixed", {{9}, {1, 9, 9, 2}}, 8, true, true, {{}, {1, 2}}},
    };
    for (const GroupCheckCase &c : cases) {
        OfflineStation station;
        for (const auto &channels : c.groups) {
            group &g = station.addGroup(QStringLiteral("g"), {});
            for (int channel : channels)
                g.AddChannel(channel);
        }
        EXPECT_EQ(CheckMaxChannel(station.state.unit, c.newMax, c.fixNow), c.result) << c.legend;
        EXPECT_EQ(groupChannels(station.state.unit), c.groupsAfter) << c.legend;
    }
}

TEST(SetupGroups, AnyGroupsMeansAGroupHoldingAChannel) {
    OfflineStation none;
    EXPECT_FALSE(CheckForAnyGroups(none.state.unit)) << "no groups";
    OfflineStation empty;
    empty.addGroup(QStringLiteral("a"), {});
    empty.addGroup(QStringLiteral("b"), {});
    EXPECT_FALSE(CheckForAnyGroups(empty.state.unit)) << "two empty groups";
    OfflineStation one;
    one.addGroup(QStringLiteral("a"), {});
    one.addGroup(QStringLiteral("b"), {4});
    EXPECT_TRUE(CheckForAnyGroups(one.state.unit)) << "one group with a channel";
}

TEST(UnitLimits, CountsOutsideWhatTheUnitTakesAreRefused) {
    const struct {
        UnitCount kind;
        int count;
        bool refused;
    } cases[] = {
        {UnitCount::Channels, 0, true},    {UnitCount::Channels, 1, false},
        {UnitCount::Channels, 128, false}, {UnitCount::Channels, 129, true},
        {UnitCount::Probes, 0, true},      {UnitCount::Probes, 128, false},
        {UnitCount::Probes, 129, true},    {UnitCount::Analogs, 0, false},
        {UnitCount::Analogs, 255, false},  {UnitCount::Analogs, 256, true},
        {UnitCount::Analogs, -1, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(whyCountRefused(c.kind, c.count).has_value(), c.refused)
            << static_cast<int>(c.kind) << " " << c.count;
    EXPECT_EQ(whyCountRefused(UnitCount::Channels, 200).value_or(QString()),
              QStringLiteral("the unit takes 1 to 128 channels"));
}

TEST(SetupFiles, SetupsLiveInQorViewOfTheDocumentsFolderMadeOnFirstUse) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldDocuments = qgetenv("XDG_DOCUMENTS_DIR");
    qputenv("HOME", QFile::encodeName(home.path()));

    qputenv("XDG_DOCUMENTS_DIR", QFile::encodeName(home.filePath(QStringLiteral("Papers"))));
    const QString named = setupsFolder();
    EXPECT_EQ(named, home.filePath(QStringLiteral("Papers/QorView")));
    EXPECT_TRUE(QFileInfo(named).isDir());

    qunsetenv("XDG_DOCUMENTS_DIR");
    const QString fallback = setupsFolder();
    EXPECT_EQ(fallback, home.filePath(QStringLiteral("Documents/QorView")));
    EXPECT_TRUE(QFileInfo(fallback).isDir());

    qputenv("HOME", oldHome);
    if (!oldDocuments.isEmpty())
        qputenv("XDG_DOCUMENTS_DIR", oldDocuments);
}

} // namespace
