#include "CommandLine.h"
#include "FormGridDisplay.h"
#include "FormLinGage.h"
#include "FormMain.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "Startup.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "Twips.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace {

class SettingsTest : public ::testing::Test, public StationFixture {
protected:
    // Raw access to the INI file, as another program would see it.
    QSettings ini{QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QorView"),
                  QStringLiteral("QorView")};

    void SetUp() override {
        // Every COM port leads nowhere, so no test opens a real serial device.
        for (int n = 1; n <= 6; ++n)
            qputenv(qPrintable(QStringLiteral("QORLINK_COM%1").arg(n)),
                    "/nonexistent/qorview-test");
        QString why;
        ASSERT_TRUE(link.load(&why)) << why.toStdString();
    }
};

TEST_F(SettingsTest, LivesInTheUserConfigFolderAsText) {
    settings.setNumber(SettingKeys::NewSetupFileNum, 12);
    settings.sync();
    EXPECT_EQ(settings.fileName(), configFolder() + QStringLiteral("/QorView/QorView.ini"));
    ini.sync();
    EXPECT_EQ(ini.value(QStringLiteral("QorSettings/NewSetupFileNum")).toString(),
              QStringLiteral("12"));
}

TEST_F(SettingsTest, NumbersAreStrictAndFallBackToTheReadDefault) {
    const struct {
        const char *stored; // nullptr: key missing
        double expected;
    } cases[] = {
        {nullptr, 7}, {"12", 12},   {" 12 ", 12}, {"-3", -3}, {"1.5", 1.5},
        {"", 7},      {"12abc", 7}, {"abc", 7},   {"1,5", 7}, {"0x10", 7},
    };
    for (const auto &c : cases) {
        if (c.stored)
            settings.setText(SettingKeys::TypeOfView, QString::fromLatin1(c.stored));
        else
            ini.remove(QStringLiteral("QorSettings/TypeOfView"));
        ini.sync();
        EXPECT_EQ(settings.number(SettingKeys::TypeOfView, 7), c.expected)
            << (c.stored ? c.stored : "(missing)");
    }
}

TEST_F(SettingsTest, PortAndBaudRateChooseTheConnection) {
    const struct {
        const char *port; // nullptr: key missing
        const char *rate;
        int portNumber;
        int baud;
    } cases[] = {
        {nullptr, nullptr, 1, 9600},
        {"COM3", "19200", 3, 19200},
        {"COM6", "57600", 6, 57600},
        {"com1", "38400", 0, 38400},
        {"COM7", "9600", 0, 9600},
        {"COM1", "115200", 1, 0},
        {"", "", 0, 0},
    };
    StationStartup startup(state, CommandLine(), [] {});
    for (const auto &c : cases) {
        ini.remove(QStringLiteral("QorSettings"));
        if (c.port)
            ini.setValue(QStringLiteral("QorSettings/Port"), QString::fromLatin1(c.port));
        if (c.rate)
            ini.setValue(QStringLiteral("QorSettings/BaudRate"), QString::fromLatin1(c.rate));
        ini.sync();
        state.session.ReportLinkErrors = 1;
        startup.OpenUnitLink();
        ASSERT_NE(state.session.LinkInfo, nullptr);
        EXPECT_EQ(state.session.LinkInfo->port, c.portNumber) << (c.port ? c.port : "(missing)");
        EXPECT_EQ(state.session.LinkInfo->baud, c.baud) << (c.rate ? c.rate : "(missing)");
        EXPECT_EQ(state.session.LinkInfo->protocol, 1);
        EXPECT_EQ(state.session.ReportLinkErrors, 0) << "connection attempts are silent";
        EXPECT_EQ(state.session.LinkHandle, nullptr);
    }
}

TEST_F(SettingsTest, StartupSwitchesFromSettingsAndOptions) {
    const struct {
        const char *runWizard;
        const char *disableSetups;
        QStringList words;
        bool wizard;
        bool setupsEnabled;
        bool special;
        const char *disableSetupsAfter;
    } cases[] = {
        {nullptr, nullptr, {}, false, true, false, nullptr},
        {"1", "1", {}, true, false, false, "1"},
        {"1.0", "0", {}, true, true, false, "0"},
        {"2", "2", {}, false, false, false, "2"},
        {"yes", "no", {}, false, true, false, "no"},
        {"0", "1", {"/commsetup"}, true, false, false, "1"},
        {"0", "1", {"x/EnableSetup"}, false, true, false, "0"},
        {"0", "0", {"/SPECIALCALIBRATE"}, false, true, true, "0"},
    };
    for (const auto &c : cases) {
        ini.remove(QStringLiteral("QorSettings"));
        if (c.runWizard)
            ini.setValue(QStringLiteral("QorSettings/RunWizard"), QString::fromLatin1(c.runWizard));
        if (c.disableSetups)
            ini.setValue(QStringLiteral("QorSettings/DisableSetups"),
                         QString::fromLatin1(c.disableSetups));
        ini.sync();
        state.config.SpecialCalibrate = false;
        const CommandLine line(c.words);
        StationStartup startup(state, line, [] {});
        startup.readStartupSwitches();
        const QString legend = c.words.join(QLatin1Char(' ')) + QLatin1Char('|') +
                               QLatin1String(c.runWizard ? c.runWizard : "-") + QLatin1Char('|') +
                               QLatin1String(c.disableSetups ? c.disableSetups : "-");
        EXPECT_EQ(state.config.WizardAtStart, c.wizard) << legend.toStdString();
        EXPECT_EQ(state.config.SetupsEnabled, c.setupsEnabled) << legend.toStdString();
        EXPECT_EQ(state.config.SpecialCalibrate, c.special) << legend.toStdString();
        ini.sync();
        const QVariant after = ini.value(QStringLiteral("QorSettings/DisableSetups"));
        if (c.disableSetupsAfter)
            EXPECT_EQ(after.toString(), QString::fromLatin1(c.disableSetupsAfter))
                << legend.toStdString();
        else
            EXPECT_FALSE(after.isValid()) << legend.toStdString();
    }
}

// /ENABLESETUP still enables setups for this run when it cannot be remembered, and says so.
TEST_F(SettingsTest, EnableSetupThatCannotBeSavedIsReported) {
    const QString blocker = blockSettingsFolder();
    const CommandLine line(QStringList{QStringLiteral("/ENABLESETUP")});
    StationStartup startup(state, line, [] {});
    testing::internal::CaptureStderr();
    startup.readStartupSwitches();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(state.config.SetupsEnabled);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.contains(
        QStringLiteral("setups enabled for later starts (/ENABLESETUP)")));
    EXPECT_TRUE(prompts.shown[0].text.contains(blocker + QStringLiteral(" is not a folder")));
    EXPECT_NE(errors.find("could not save setups enabled"), std::string::npos) << errors;
}

class MainWindowSettingsTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        connectStandIn();
    }

    // Loads a main window the way start-up does, with updating of the displays kept off.
    std::unique_ptr<FormMain> loadMainWindow(const QStringList &words = {}) {
        m_line = CommandLine(words);
        auto window = std::make_unique<FormMain>(state, m_line, m_help);
        window->Form_Load();
        window->linkScheduler().stopPolling();
        return window;
    }

    void store(const char *key, const char *value) {
        ini.setValue(QLatin1String(key), QString::fromLatin1(value));
        ini.sync();
    }

private:
    CommandLine m_line;
    StationHelp m_help{state.config, state.prompts};
};

TEST_F(MainWindowSettingsTest, DefaultsWhenNothingIsStored) {
    auto window = loadMainWindow();
    EXPECT_EQ(state.view.ViewMode, View::Channels);
    EXPECT_EQ(state.setup.NewSetupFileNum, 1);
    EXPECT_TRUE(window->gridChecked());
    EXPECT_TRUE(window->barsChecked());
    EXPECT_TRUE(state.view.UpdatesOn);
    EXPECT_EQ(window->pos(), QPoint(Twips::toPixelsX(15), Twips::toPixelsY(105)));
    EXPECT_EQ(window->width(), Twips::toPixelsX(9048));
    EXPECT_EQ(window->windowTitle(), state.config.CompanyName + QStringLiteral("   QOR-128"));
    EXPECT_EQ(state.view.WindowLayout, WindowLayoutValues{});
}

TEST_F(MainWindowSettingsTest, StoredValuesAreRead) {
    store("QorSettings/BarsAtStartup", "0");
    store("QorSettings/NumericDisplay", "2");
    store("QorSettings/TypeOfView", "3");
    store("QorSettings/NewSetupFileNum", "41");
    store("QorSettings/MainLeft", "1500.5");
    store("QorSettings/MainTop", "3000");
    auto window = loadMainWindow();
    EXPECT_EQ(state.view.ViewMode, View::Probes);
    EXPECT_EQ(state.setup.NewSetupFileNum, 41);
    EXPECT_FALSE(window->gridChecked());
    EXPECT_FALSE(window->barsChecked());
    EXPECT_EQ(window->pos(), QPoint(Twips::toPixelsX(1500.5), Twips::toPixelsY(3000)));
}

TEST_F(MainWindowSettingsTest, DamagedNumbersReadAsTheirDefaults) {
    store("QorSettings/BarsAtStartup", "one");
    store("QorSettings/TypeOfView", "3x");
    store("QorSettings/NewSetupFileNum", "99999999");
    store("QorSettings/MainLeft", "left");
    store("QorSettings/MainTop", "1e300");
    auto window = loadMainWindow();
    EXPECT_TRUE(window->barsChecked());
    EXPECT_EQ(state.view.ViewMode, View::Channels);
    EXPECT_EQ(state.setup.NewSetupFileNum, 1);
    EXPECT_EQ(window->pos(), QPoint(Twips::toPixelsX(15), Twips::toPixelsY(105)));
}

// Places wholly off every screen (a monitor unplugged, a damaged file) give way to the places the
// windows take with nothing stored; a place partly on the screen is kept.
TEST_F(MainWindowSettingsTest, PlacesOffEveryScreenGiveWayToTheDefaults) {
    store("QorSettings/MainLeft", "-999999");
    store("QorSettings/MainTop", "3000");
    store("QorViewSettings/GCT", "1440");
    store("QorViewSettings/GCL", "30000");
    store("QorViewSettings/GCH", "2880");
    store("QorViewSettings/GCW", "4320");
    store("QorViewSettings/BCT", "1440");
    store("QorViewSettings/BCL", "-600");
    store("QorViewSettings/BCH", "2880");
    store("QorViewSettings/BCW", "4320");
    auto window = loadMainWindow();
    EXPECT_EQ(window->pos(), QPoint(Twips::toPixelsX(15), Twips::toPixelsY(105)));
    // The grid opens below the main window as with no layout; the bars, partly on the screen,
    // where they were.
    const FormGridDisplay &grid = *window->gridDisplay();
    EXPECT_EQ(grid.frameGeometry().left(), window->frameGeometry().left());
    EXPECT_GT(grid.frameGeometry().top(), window->frameGeometry().bottom());
    EXPECT_EQ(window->barDisplay()->pos(), QPoint(Twips::toPixelsX(-600), Twips::toPixelsY(1440)));
}

TEST_F(MainWindowSettingsTest, CommandLineOverridesTheStartupDisplaysAndView) {
    store("QorSettings/BarsAtStartup", "0");
    store("QorSettings/NumericDisplay", "0");
    auto window = loadMainWindow({"/BARS", "/NUMS", "/LVDT", "/home/op/line3.qor"});
    EXPECT_TRUE(window->gridChecked());
    EXPECT_TRUE(window->barsChecked());
    EXPECT_EQ(state.view.ViewMode, View::Probes);
    // The file named is loaded; one that is not there is named in a message and changes nothing.
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.front().text, QStringLiteral("/home/op/line3.qor file not found."));
    EXPECT_TRUE(state.setup.SetupFileName.isEmpty());
}

TEST_F(MainWindowSettingsTest, ChannelWindowLayoutIsReadOnlyWhenGctIsStored) {
    const char *const eight[] = {"GCT", "GCL", "GCH", "GCW", "BCT", "BCL", "BCH", "BCW"};
    for (int i = 0; i < 8; ++i)
        store(qPrintable(QStringLiteral("QorViewSettings/") + QLatin1String(eight[i])),
              qPrintable(QString::number(100 + i)));
    store("QorViewSettings/GLT", "555"); // never read back from the store
    {
        auto window = loadMainWindow();
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(state.view.WindowLayout[static_cast<size_t>(i)], 100 + i) << eight[i];
        EXPECT_EQ(state.view.WindowLayout[12], 0);
    }

    state.view.WindowLayout = {};
    ini.remove(QStringLiteral("QorViewSettings/GCT"));
    ini.sync();
    auto window = loadMainWindow();
    EXPECT_EQ(state.view.WindowLayout, WindowLayoutValues{})
        << "GCT missing: none of the eight is read";
}

TEST_F(MainWindowSettingsTest, DamagedLayoutValueKeepsItsCurrentValue) {
    store("QorViewSettings/GCT", "10");
    store("QorViewSettings/GCL", "wide");
    state.view.WindowLayout[1] = 77;
    auto window = loadMainWindow();
    EXPECT_EQ(state.view.WindowLayout[0], 10);
    EXPECT_EQ(state.view.WindowLayout[1], 77);
}

} // namespace
