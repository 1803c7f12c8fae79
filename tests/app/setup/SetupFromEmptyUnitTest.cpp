// An operator's first day with a blank unit, through the real dialogs and menus: the system
// counts, four channels over two probes, the two probes, live values in the dialogs and the
// views, File > Save As; then a new station on another blank unit opens that file and every
// setting is back in the unit.
#include "CommandLine.h"
#include "FormGridDisplay.h"
#include "FormMain.h"
#include "FormSetupChan.h"
#include "FormSetupLvdt.h"
#include "FormSetupSystem.h"
#include "Settings.h"
#include "SetupFileCommands.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "WaitFor.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>

namespace {

// One channel as the operator types it, with where its live value settles once the probes
// below are programmed (each probe reads its zero offset within its full scale).
struct ChannelEntry {
    const char *description;
    const char *formula;
    const char *decimals;
    bool twoMasters;
    double master1, master2, hiTol, hiAppr, loAppr, loTol, barTop, barBot, zero;
    double settles;
};

const ChannelEntry Channels[] = {
    {"Left height", "P1", "3", true, 9.99, 10.01, 10.2, 10.1, 9.9, 9.8, 10.5, 9.5, 0.0, 10.0},
    {"Right height", "P2", "3", false, -5.01, 0.0, -4.8, -4.9, -5.1, -5.2, -4.5, -5.5, 0.0, -5.0},
    {"Mean height", "AVG(P1:P2)", "4", true, 2.49, 2.51, 2.7, 2.6, 2.4, 2.3, 3.0, 2.0, 0.0, 2.5},
    {"Step", "P1-P2", "2", false, 16.0, 0.0, 16.2, 16.1, 15.9, 15.8, 16.5, 15.5, 1.0, 16.0},
};

struct ProbeEntry {
    const char *description;
    double fullScale;
    double zero;
};

const ProbeEntry Probes[] = {{"Left probe", 0.05, 10.0}, {"Right probe", 0.02, -5.0}};

// Live values wander by the probes' full scale at most.
constexpr double LiveSpread = 0.1;
// The unit keeps six decimals.
constexpr double Kept = 1e-5;

std::optional<double> number(const QString &text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

bool near(const QString &text, double expected, double spread) {
    const std::optional<double> value = number(text);
    return value && std::abs(*value - expected) <= spread;
}

// A station over its own stand-in unit, which powers on blank: the main window after start-up,
// with setups enabled and the poll running as at the gauge.
struct RunningStation : StationFixture {
    bool start() {
        QString why;
        if (!connectStandIn(QStringLiteral("--preset empty"), &why)) {
            ADD_FAILURE() << why.toStdString();
            return false;
        }
        settings.setText(SettingKeys::BarsAtStartup, QStringLiteral("0"));
        settings.setText(SettingKeys::NumericDisplay, QStringLiteral("0"));
        state.config.SetupsEnabled = true;
        window = std::make_unique<FormMain>(state, line, help);
        window->Form_Load();
        window->show();
        return true;
    }

    void menu(const char *name) {
        QAction *item = window->findChild<QAction *>(QLatin1String(name));
        ASSERT_NE(item, nullptr) << name;
        ASSERT_TRUE(item->isEnabled()) << name;
        item->trigger();
    }
    bool idle() {
        return waitFor([this] {
            const auto *chan = window->dialogs().channelSetupDialog();
            const auto *probe = window->dialogs().probeSetupDialog();
            const auto *system = window->dialogs().systemSetupDialog();
            return !window->linkScheduler().sequenceUnderWay() && !window->setupFiles().busy() &&
                   !(chan && chan->isBusy()) && !(probe && probe->isBusy()) &&
                   !(system && system->isBusy());
        });
    }
    template <typename T> static T *control(QWidget *in, const char *name) {
        T *found = in->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QString text(QWidget *in, const char *box) {
        return control<QLineEdit>(in, box)->text();
    }
    // Types into a box as the operator does: the text changes and the box says it was edited.
    static void type(QWidget *in, const char *box, const QString &text) {
        QLineEdit *edit = control<QLineEdit>(in, box);
        edit->setText(text);
        Q_EMIT edit->textEdited(text);
    }
    static void type(QWidget *in, const char *box, double value) {
        type(in, box, QString::number(value));
    }
    static void tick(QWidget *in, const char *box, bool on) {
        QCheckBox *check = control<QCheckBox>(in, box);
        if (check->isChecked() != on)
            check->click();
    }
    // Presses the button and waits until what it started has ended.
    void press(QWidget *in, const char *button) {
        control<QPushButton>(in, button)->click();
        ASSERT_TRUE(idle()) << button;
    }

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    std::unique_ptr<FormMain> window;
};

void setCounts(RunningStation &station, int channels, int probes, int analogs) {
    station.menu("SetupGeneral");
    FormSetupSystem *dialog = station.window->dialogs().systemSetupDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    ASSERT_TRUE(station.idle());
    RunningStation::type(dialog, "txtChannels", QString::number(channels));
    RunningStation::type(dialog, "txtLVDT", QString::number(probes));
    RunningStation::type(dialog, "txtAnalog", QString::number(analogs));
    QSignalSpy ended(dialog, &FormSetupSystem::applyEnded);
    RunningStation::control<QPushButton>(dialog, "CommandOK")->click();
    ASSERT_TRUE(waitFor([&] { return !ended.isEmpty(); }));
    ASSERT_TRUE(station.idle());
    EXPECT_TRUE(ended.front().front().toBool()) << "the counts were applied";
    EXPECT_FALSE(dialog->isVisible());
}

// Opens Setup > System and reads the counts the unit reports.
void expectCounts(RunningStation &station, int channels, int probes, int analogs) {
    station.menu("SetupGeneral");
    FormSetupSystem *dialog = station.window->dialogs().systemSetupDialog();
    ASSERT_TRUE(station.idle());
    EXPECT_EQ(RunningStation::text(dialog, "txtChannels"), QString::number(channels));
    EXPECT_EQ(RunningStation::text(dialog, "txtLVDT"), QString::number(probes));
    EXPECT_EQ(RunningStation::text(dialog, "txtAnalog"), QString::number(analogs));
    dialog->close();
    ASSERT_TRUE(station.idle());
}

void fillChannel(FormSetupChan *dialog, const ChannelEntry &c) {
    using S = RunningStation;
    S::type(dialog, "TextDescription", QLatin1String(c.description));
    S::type(dialog, "TextFormula", QLatin1String(c.formula));
    S::type(dialog, "TextDecimals", QLatin1String(c.decimals));
    S::tick(dialog, "CheckUse2Masters", c.twoMasters);
    S::type(dialog, "TextMaster1Value", c.master1);
    if (c.twoMasters)
        S::type(dialog, "TextMaster2Value", c.master2);
    S::type(dialog, "TextScalingValue", 1.0);
    S::type(dialog, "TextZeroValue", c.zero);
    S::type(dialog, "TextHiTolValue", c.hiTol);
    S::type(dialog, "TextHiAppValue", c.hiAppr);
    S::type(dialog, "TextLoAppValue", c.loAppr);
    S::type(dialog, "TextLoTolValue", c.loTol);
    S::type(dialog, "TextBarTopValue", c.barTop);
    S::type(dialog, "TextBarBotValue", c.barBot);
}

// The boxes of the channel shown, as the dialog read them from the unit.
void expectChannelShown(FormSetupChan *dialog, const ChannelEntry &c) {
    using S = RunningStation;
    SCOPED_TRACE(c.description);
    EXPECT_EQ(S::text(dialog, "TextDescription"), QLatin1String(c.description));
    EXPECT_EQ(S::text(dialog, "TextFormula"), QLatin1String(c.formula));
    EXPECT_EQ(S::text(dialog, "TextDecimals"), QLatin1String(c.decimals));
    EXPECT_EQ(S::control<QCheckBox>(dialog, "CheckUse2Masters")->isChecked(), c.twoMasters);
    const std::pair<const char *, double> values[] = {
        {"TextMaster1Value", c.master1}, {"TextScalingValue", 1.0},
        {"TextZeroValue", c.zero},       {"TextHiTolValue", c.hiTol},
        {"TextHiAppValue", c.hiAppr},    {"TextLoAppValue", c.loAppr},
        {"TextLoTolValue", c.loTol},     {"TextBarTopValue", c.barTop},
        {"TextBarBotValue", c.barBot}};
    for (const auto &[box, value] : values) {
        EXPECT_TRUE(near(S::text(dialog, box), value, Kept))
            << box << ": " << S::text(dialog, box).toStdString();
    }
    if (c.twoMasters) {
        EXPECT_TRUE(near(S::text(dialog, "TextMaster2Value"), c.master2, Kept));
    }
}

// Setup > Channels on channel 1, with Increment after Program ticked: each channel typed and
// programmed in turn; after the last the dialog comes round to channel 1 again.
void programChannels(RunningStation &station) {
    station.menu("SetupChannels");
    FormSetupChan *dialog = station.window->dialogs().channelSetupDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    ASSERT_TRUE(station.idle());
    ASSERT_EQ(dialog->GetCurrentChannel(), 1);
    RunningStation::tick(dialog, "CheckAutoIncChannel", true);
    RunningStation::tick(dialog, "CheckShowCurrentValue", true);
    int expected = 1;
    for (const ChannelEntry &c : Channels) {
        SCOPED_TRACE(c.description);
        ASSERT_EQ(dialog->GetCurrentChannel(), expected);
        fillChannel(dialog, c);
        station.press(dialog, "CommandProgram");
        EXPECT_FALSE(dialog->isEdited());
        expected = expected % 4 + 1;
        EXPECT_EQ(dialog->GetCurrentChannel(), expected) << "incremented after Program";
    }
    expectChannelShown(dialog, Channels[0]);
    EXPECT_TRUE(waitFor([&] {
        return number(RunningStation::text(dialog, "TextChannelValue")).has_value();
    })) << "the live value of channel 1: "
        << RunningStation::text(dialog, "TextChannelValue").toStdString();
    RunningStation::control<QPushButton>(dialog, "CommandDone")->click();
    ASSERT_TRUE(station.idle());
    EXPECT_FALSE(dialog->isVisible());
}

void programProbes(RunningStation &station) {
    station.menu("SetupLVDTs");
    FormSetupLvdt *dialog = station.window->dialogs().probeSetupDialog();
    ASSERT_TRUE(dialog && dialog->isVisible());
    ASSERT_TRUE(station.idle());
    ASSERT_EQ(dialog->GetCurrentLvdt(), 1);
    RunningStation::tick(dialog, "CheckAutoIncLvdt", true);
    RunningStation::tick(dialog, "CheckShowCurrentValue", true);
    for (const ProbeEntry &p : Probes) {
        RunningStation::type(dialog, "TextDescription", QLatin1String(p.description));
        RunningStation::type(dialog, "TextFullScale", p.fullScale);
        RunningStation::type(dialog, "TextZeroOffset", p.zero);
        station.press(dialog, "CommandProgram");
        EXPECT_FALSE(dialog->isEdited()) << p.description;
    }
    ASSERT_EQ(dialog->GetCurrentLvdt(), 1) << "round to the first probe again";
    EXPECT_TRUE(waitFor([&] {
        return near(RunningStation::text(dialog, "TextCLvdtValue"), Probes[0].zero, LiveSpread);
    })) << "probe 1 reads about its zero offset: "
        << RunningStation::text(dialog, "TextCLvdtValue").toStdString();
    RunningStation::control<QPushButton>(dialog, "CommandDone")->click();
    ASSERT_TRUE(station.idle());
}

// Setup > Probes, each probe's full scale and zero offset as the dialog read them from the unit.
void expectProbes(RunningStation &station) {
    station.menu("SetupLVDTs");
    FormSetupLvdt *dialog = station.window->dialogs().probeSetupDialog();
    ASSERT_TRUE(station.idle());
    for (int n = 1; n <= 2; ++n) {
        const ProbeEntry &p = Probes[n - 1];
        dialog->SetCurrentLvdt(n);
        ASSERT_TRUE(station.idle());
        EXPECT_EQ(RunningStation::text(dialog, "TextDescription"), QLatin1String(p.description));
        EXPECT_TRUE(near(RunningStation::text(dialog, "TextFullScale"), p.fullScale, Kept))
            << p.description << ": " << RunningStation::text(dialog, "TextFullScale").toStdString();
        EXPECT_TRUE(near(RunningStation::text(dialog, "TextZeroOffset"), p.zero, Kept))
            << p.description << ": "
            << RunningStation::text(dialog, "TextZeroOffset").toStdString();
    }
    RunningStation::control<QPushButton>(dialog, "CommandDone")->click();
    ASSERT_TRUE(station.idle());
}

void expectChannels(RunningStation &station) {
    station.menu("SetupChannels");
    FormSetupChan *dialog = station.window->dialogs().channelSetupDialog();
    ASSERT_TRUE(station.idle());
    for (int n = 1; n <= 4; ++n) {
        dialog->SetCurrentChannel(n);
        ASSERT_TRUE(station.idle());
        expectChannelShown(dialog, Channels[n - 1]);
    }
    RunningStation::control<QPushButton>(dialog, "CommandDone")->click();
    ASSERT_TRUE(station.idle());
}

// The channel view's hidden labels and the numeric grid settle where the formulas put them.
void expectLiveChannels(RunningStation &station) {
    FormMain &window = *station.window;
    window.ViewChannels_Click();
    if (!window.gridChecked())
        RunningStation::control<QPushButton>(&window, "CommandNumbers")->click();
    FormGridDisplay *grid = window.gridDisplay();
    ASSERT_TRUE(grid && grid->isVisible());
    auto *table = RunningStation::control<QTableWidget>(grid, "GridView");
    ASSERT_EQ(table->rowCount(), 4);
    for (int n = 1; n <= 4; ++n) {
        const ChannelEntry &c = Channels[n - 1];
        EXPECT_TRUE(waitFor([&] {
            return near(window.labelChanCaption(n), c.settles, LiveSpread);
        })) << c.description
            << ": " << window.labelChanCaption(n).toStdString();
        EXPECT_TRUE(waitFor([&] {
            const QTableWidgetItem *value = table->item(n - 1, 1);
            return value && near(value->text(), c.settles, LiveSpread);
        })) << c.description
            << " in the grid";
        EXPECT_TRUE(waitFor([&] {
            const QTableWidgetItem *label = table->item(n - 1, 0);
            return label && label->text() == QLatin1String(c.description);
        })) << c.description
            << " labels its grid row";
    }
}

TEST(SetupFromEmptyUnitTest, ASetupMadeOnABlankUnitIsSavedAndOpenedIntoAnotherBlankUnit) {
    QTemporaryDir keep;
    const QString file = keep.filePath(QStringLiteral("line 1.qor"));
    {
        RunningStation first;
        ASSERT_TRUE(first.start());
        setCounts(first, 4, 2, 0);
        EXPECT_EQ(first.window->labelChanCount(), 5) << "LabelChan(0) and one label a channel";
        programChannels(first);
        programProbes(first);
        expectLiveChannels(first);
        EXPECT_TRUE(first.state.setup.SetupChanged);

        first.prompts.fileNames.push_back(file);
        first.menu("SaveAsFile");
        ASSERT_TRUE(first.idle());
        ASSERT_TRUE(QFileInfo(file).size() > 0);
        EXPECT_FALSE(first.state.setup.SetupChanged);
        EXPECT_EQ(first.state.setup.SetupFileName, file);

        ASSERT_EQ(first.prompts.shown.size(), 1u) << "no box but the notice of the save";
        EXPECT_TRUE(first.prompts.shown.front().text.endsWith(file));
        first.window->close();
        EXPECT_FALSE(first.window->isVisible()) << "closing with nothing unsaved";
    }
    RunningStation second;
    ASSERT_TRUE(second.start());
    ASSERT_EQ(second.window->labelChanCount(), 9) << "the new unit starts blank, with 8 channels";
    second.prompts.fileNames.push_back(file);
    second.menu("OpenFile");
    ASSERT_TRUE(second.idle());
    EXPECT_FALSE(second.state.setup.SetupChanged);
    EXPECT_EQ(second.state.setup.SetupFileName, file);
    EXPECT_TRUE(second.prompts.shown.empty()) << second.prompts.shown.front().text.toStdString();

    expectCounts(second, 4, 2, 0);
    expectChannels(second);
    expectProbes(second);
    expectLiveChannels(second);
    EXPECT_FALSE(second.state.setup.SetupChanged) << "looking changes nothing";
}

} // namespace
