// An operator's walk through groups and mastering on the demo unit, through the station's own
// menus and dialogs: a group of all eight channels made in the group editor, mastered with two
// master parts, a run of parts measured against the sizes the simulated probes see, one channel
// zeroed again after the fixture drifted, and the setup saved and reopened with its group.
#include "MasteringFixture.h"

#include "FormGridDisplay.h"
#include "FormSetupGroup.h"
#include "SetupFileCommands.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QRegularExpression>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

// Where the probes sit with each master part in the fixture (millimetres off the nominal sizes):
// well above the masters' sizes, and 0.030 mm apart for the 0.020 mm between those sizes.
constexpr double Master1Part = -0.004;
constexpr double Master2Part = 0.026;
// The probes are set up 0.040 mm off their zero, so the channels' scaling acts on readings far
// from 0: a scaling left unchanged would show on every part of the run.
constexpr double ProbeZero = 0.040;
constexpr double Master1Reading = Master1Part + ProbeZero;
constexpr double Master2Reading = Master2Part + ProbeZero;
constexpr double Noise = 2e-4;
// Parts of a run differ by up to 0.004 mm on each probe, the noise by some 0.00003 mm: more than
// this on some probe is another part.
constexpr double PartChange = 5e-4;

// Probe readings in millimetres, index = probe number (0 unused).
using Probes = std::array<double, 9>;

double twoMasters(double size1, double size2, double probe) {
    return size1 + (probe - Master1Reading) * (size2 - size1) / (Master2Reading - Master1Reading);
}
double highest(const Probes &p) {
    return *std::max_element(p.begin() + 5, p.begin() + 9);
}
double lowest(const Probes &p) {
    return *std::min_element(p.begin() + 5, p.begin() + 9);
}

// The size of the part in the fixture that each demo channel must show once mastered. Two-master
// channels follow the line through both masters; one-master channels only move their zero, so
// the probes' millimetres count as they are. Runout (a TIR over the whole run) and the coolant
// temperature are no size of the part and are left out.
const struct {
    int channel;
    const char *name;
    std::function<double(const Probes &)> size;
} PartSizes[] = {
    {1, "bore, two masters",
     [](const Probes &p) {
         return twoMasters(24.990, 25.010, p[1]);
     }},
    {2, "shaft, one master",
     [](const Probes &p) {
         return 11.990 + p[2] - Master1Reading;
     }},
    {3, "mean height, two masters",
     [](const Probes &p) {
         return twoMasters(39.990, 40.010, (p[3] + p[4]) / 2);
     }},
    {4, "taper",
     [](const Probes &p) {
         return p[5] - p[6];
     }},
    {5, "highest point",
     [](const Probes &p) {
         return -0.010 + highest(p) - Master1Reading;
     }},
    {6, "flatness",
     [](const Probes &p) {
         return highest(p) - lowest(p);
     }},
};

class OperatorMasteringWalkTest : public ::testing::Test, public MasteringStation {
protected:
    void SetUp() override {
        state.config.SetupsEnabled = true;
        QString why;
        ASSERT_TRUE(start(&why)) << why.toStdString();
        ASSERT_TRUE(setMasterParts(Master1Part, Master2Part));
        for (int probe = 1; probe <= 8; ++probe)
            state.unit.lvdt(probe)->setZeroOffset(static_cast<float>(ProbeZero));
    }

    QAction *action(const char *name) const {
        return window->findChild<QAction *>(QLatin1String(name));
    }
    static bool setMasterParts(double master1, double master2) {
        return control(QStringLiteral("master1 %1").arg(master1).toLatin1().constData()) &&
               control(QStringLiteral("master2 %1").arg(master2).toLatin1().constData());
    }

    // A dialog opened by a command reads its channel or group through the scheduler, so it
    // settles only after the command returned.
    template <typename Dialog> bool settles(Dialog &form) {
        QSignalSpy settled(&form, &Dialog::settled);
        return waitFor([&] { return !settled.isEmpty(); }) && idle();
    }

    // Setup > Groups: a new group, every channel double clicked into it, Done.
    void makeGroupOfEveryChannel(const QString &name) {
        action("SetupGroups")->trigger();
        FormSetupGroup *editor = window->dialogs().groupEditor();
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(waitFor([editor] { return editor->descriptionsRead(); }));
        control<QLineEdit>(*editor, "TextGroupName")->setText(name);
        control<QPushButton>(*editor, "CmdAddtoList")->click();
        auto *available = control<QListWidget>(*editor, "ListAvailableChannels");
        ASSERT_EQ(available->count(), 8);
        for (int row = 0; row < available->count(); ++row)
            Q_EMIT available->itemDoubleClicked(available->item(row));
        EXPECT_EQ(control<QListWidget>(*editor, "ListChansinGroup")->count(), 8);
        control<QPushButton>(*editor, "CmdDone")->click();
    }

    // The simulator's own report of what its probes read now: "status" prints one line with
    // "P<n> <reading>" for every probe on standard output, which is caught in a file.
    Probes simulatorProbes() {
        const QByteArray file = tempPath(QStringLiteral("status.txt")).toLocal8Bit();
        std::fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        const int caught = ::open(file.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(caught, STDOUT_FILENO);
        ::close(caught);
        const bool reported = control("status");
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
        EXPECT_TRUE(reported);

        QFile status(QString::fromLocal8Bit(file));
        EXPECT_TRUE(status.open(QIODevice::ReadOnly));
        const QString report = QString::fromLatin1(status.readAll());
        Probes probes{};
        int found = 0;
        static const QRegularExpression reading(QStringLiteral("P(\\d+) (-?[0-9.]+)"));
        for (const auto &match : reading.globalMatch(report)) {
            const int probe = match.captured(1).toInt();
            if (probe >= 1 && probe <= 8) {
                probes[static_cast<size_t>(probe)] = match.captured(2).toDouble();
                ++found;
            }
        }
        EXPECT_EQ(found, 8) << report.toStdString();
        return probes;
    }

    // The main window's value grid. The poll writes a row only when its value changed, which the
    // probes' noise sees to for the part's sizes (a settled runout may stay as it is).
    QTableWidget *grid() const { return window->gridDisplay()->findChild<QTableWidget *>(); }
    bool freshGrid() {
        for (const auto &row : PartSizes)
            grid()->item(row.channel - 1, 1)->setText({});
        return waitFor([this] {
            for (const auto &row : PartSizes)
                if (grid()->item(row.channel - 1, 1)->text().isEmpty())
                    return false;
            return true;
        });
    }
    double shown(int row) const { return grid()->item(row - 1, 1)->text().trimmed().toDouble(); }

    // Waits until the run brings the next part into the fixture.
    bool nextPartOfTheRun(const Probes &previous) {
        return waitFor(
            [&] {
                const Probes now = simulatorProbes();
                for (size_t probe = 1; probe < now.size(); ++probe)
                    if (std::abs(now[probe] - previous[probe]) > PartChange)
                        return true;
                return false;
            },
            30000);
    }
};

TEST_F(OperatorMasteringWalkTest, GroupMasteredMeasuresTheRunAndOneChannelIsZeroedAgain) {
    // 1. The group, made in the editor.
    makeGroupOfEveryChannel(QStringLiteral("Whole part"));
    ASSERT_EQ(state.unit.groupCount(), 1);
    const group *const made = state.unit.groupAt(1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Count, 8);
    EXPECT_EQ(state.view.PollHold, 0);

    // 2. The demo's two-master channels are the bore and the mean height.
    EXPECT_TRUE(state.unit.channel(1)->UseTwoMasters());
    EXPECT_TRUE(state.unit.channel(3)->UseTwoMasters());
    EXPECT_FALSE(state.unit.channel(2)->UseTwoMasters());

    // 3. Master > Group goes straight to the only group; master 1, then master 2.
    ASSERT_TRUE(control("part master1"));
    action("MasterGroup")->trigger();
    ASSERT_TRUE(window->dialogs().groupMasteringDialog() && groupDialog().isVisible());
    ASSERT_TRUE(settles(groupDialog()));
    EXPECT_EQ(groupInstruction(), QStringLiteral("Insert Master 1 and Press Master"));
    ASSERT_TRUE(freshGroupValues(8));
    EXPECT_NEAR(cell(1, 1).toDouble(), 25.0 + Master1Reading, Noise) << "before mastering";
    ASSERT_TRUE(pressGroupMaster());
    EXPECT_EQ(groupInstruction(), QStringLiteral("Insert Master 2 and Press Master"));
    ASSERT_TRUE(control("part master2"));
    ASSERT_TRUE(freshGroupValues(8));
    ASSERT_TRUE(pressGroupMaster());
    EXPECT_EQ(groupInstruction(), QStringLiteral("Mastering Completed Successfully."))
        << control<QLabel>(groupDialog(), "lblMasteringError")->text().toStdString();
    control<QPushButton>(groupDialog(), "cmdGroupDone")->click();
    EXPECT_FALSE(groupDialog().isVisible());
    ASSERT_EQ(state.view.ViewMode, View::Group);

    // 4. A run of parts: each part held in the fixture, the grid read afresh, and every
    // channel's value set against the size the probes see.
    ASSERT_TRUE(control("part run"));
    Probes previous{};
    for (int part = 1; part <= 3; ++part) {
        SCOPED_TRACE(testing::Message() << "part " << part);
        ASSERT_TRUE(nextPartOfTheRun(previous));
        ASSERT_TRUE(control("part hold"));
        ASSERT_TRUE(freshGrid());
        const Probes probes = simulatorProbes();
        for (const auto &row : PartSizes)
            EXPECT_NEAR(shown(row.channel), row.size(probes), Noise) << row.name;
        previous = probes;
        ASSERT_TRUE(control("part run"));
    }

    // 5. The fixture drifts by 1.5 microns; Zero > Channel on the mean height puts it right.
    constexpr double Drift = 0.0015;
    ASSERT_TRUE(setMasterParts(Master1Part + Drift, Master2Part + Drift));
    ASSERT_TRUE(control("part master1"));
    action("ZeroChannel")->trigger();
    ASSERT_TRUE(settles(dialog()));
    ASSERT_EQ(dialog().channel(), 1);
    for (int channel = 2; channel <= 3; ++channel)
        ASSERT_TRUE(settleAfter(
            dialog(), [&] { control<QToolButton>(dialog(), "UpDownChannelUp")->click(); }));
    ASSERT_EQ(dialog().channel(), 3);
    EXPECT_EQ(control<QPushButton>(dialog(), "CommandMaster")->text(),
              QStringLiteral("Read Master 1"));
    ASSERT_TRUE(freshReading());
    EXPECT_NEAR(read(3), 39.990 + Drift * 0.020 / (Master2Part - Master1Part), Noise)
        << "the drift shows before zeroing";
    ASSERT_TRUE(pressMaster());
    EXPECT_EQ(instruction(), QStringLiteral("Zero completed."));
    EXPECT_NEAR(read(3), 39.990, Noise) << "master 1 reads its size";
    ASSERT_TRUE(control("part master2"));
    EXPECT_NEAR(read(3), 40.010, Noise) << "the mastered scaling is kept";
    control<QPushButton>(dialog(), "CommandDone")->click();

    // 6. Nothing holds the poll, the setup is marked changed, and the group and every mastered
    // channel survive a file, although the unit, not the station, defined the channels.
    EXPECT_EQ(state.view.PollHold, 0);
    EXPECT_TRUE(state.setup.SetupChanged);
    const float zero3 = state.unit.channel(3)->ZeroOffset();
    const float scaling3 = state.unit.channel(3)->Scaling();
    const QString file = tempPath(QStringLiteral("walk.qor"));
    SetupFileCommands &files = window->setupFiles();
    prompts.fileNames.push_back(file);
    action("SaveAsFile")->trigger();
    ASSERT_TRUE(waitFor([&] { return !files.busy(); }, 30000));
    EXPECT_FALSE(state.setup.SetupChanged);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().count("[Channel]"), 8) << "every mastered channel is in the file";
    action("NewFile")->trigger();
    ASSERT_TRUE(waitFor([&] { return !files.busy(); }, 30000));
    ASSERT_EQ(state.unit.groupCount(), 0);
    prompts.fileNames.push_back(file);
    action("OpenFile")->trigger();
    ASSERT_TRUE(waitFor([&] { return !files.busy(); }, 30000));
    ASSERT_EQ(state.unit.groupCount(), 1);
    const group *const opened = state.unit.groupAt(1);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->Description, QStringLiteral("Whole part"));
    EXPECT_EQ(opened->Count, 8);
    EXPECT_EQ(state.view.PollHold, 0);
    EXPECT_FLOAT_EQ(state.unit.channel(3)->ZeroOffset(), zero3);
    EXPECT_FLOAT_EQ(state.unit.channel(3)->Scaling(), scaling3);
    EXPECT_NEAR(read(3), 40.010, Noise) << "master 2 reads its size after the file";
}

} // namespace
