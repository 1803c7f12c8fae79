#include "Startup.h"
#include "CommandLine.h"
#include "FormMain.h"
#include "InstanceLock.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "WaitFor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

QString programFolder() {
    return QCoreApplication::applicationDirPath();
}

class StartupTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(unit.isRunning());
        qputenv("QORLINK_COM1", QFile::encodeName(unit.device()));
        qputenv("QORLINK_COM2", "/nonexistent/qorview-test");
    }

    void storePort(const QString &port) {
        QSettings ini(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QorView"),
                      QStringLiteral("QorView"));
        ini.setValue(QStringLiteral("QorSettings/Port"), port);
    }

    StartupOutcome runStartup(const QStringList &words = {}) {
        line = CommandLine(words);
        StationStartup startup(state, line, [this] {
            ++wizardRuns;
            wizardSawHandle = state.session.LinkHandle != nullptr;
            wizardSawTraffic = !unit.requests().isEmpty();
            if (wizardStoresPort)
                storePort(QStringLiteral("COM1"));
        });
        return startup.run(programFolder(), lock);
    }

    SimulatedUnit unit{{QStringLiteral("--preset"), QStringLiteral("demo")}};
    InstanceLock lock;
    CommandLine line;
    int wizardRuns = 0;
    bool wizardSawHandle = false;
    bool wizardSawTraffic = false;
    bool wizardStoresPort = true;
};

QStringList channelReads(const std::vector<const char *> &commands, int channels) {
    QStringList reads;
    for (int n = 1; n <= channels; ++n) {
        for (const char *command : commands)
            reads << QStringLiteral("%1 %2").arg(QLatin1String(command)).arg(n);
    }
    return reads;
}

TEST_F(StartupTest, UnitHearsCountsScanSettingsAnalogDefaultsThenTheDisplays) {
    storePort(QStringLiteral("COM1"));
    ASSERT_EQ(runStartup(), StartupOutcome::Started);
    EXPECT_EQ(wizardRuns, 0);
    EXPECT_EQ(state.session.ReportLinkErrors, 1);

    StationHelp help(state.config, state.prompts);
    FormMain window(state, line, help);
    window.Form_Load();
    window.linkScheduler().stopPolling();
    // The displays' set-up reads run through the scheduler, one exchange at a time.
    ASSERT_TRUE(waitFor([&] { return !window.linkScheduler().sequenceUnderWay(); }));
    window.Timer1_Timer();

    // Counts (channels, then probes: the same line), scan time, averages, start of the scan, the
    // analog input's zero and full scale; then the grid and the bar display (each display
    // switched on refreshes both, and the bars' first set-up, overtaken by the second before it
    // ran, reads nothing), and one poll of the channel view.
    QStringList expected{"~YE 8", "~YE 8", "~Y4", "~Y8", "~YA", "~C7", "~C7", "~C7"};
    const QStringList bars = channelReads({"~CN", "~CT", "~CZ", "~CW", "~CX", "~CU", "~CV"}, 8);
    expected << channelReads({"~CN"}, 8) << bars << channelReads({"~C1"}, 8);
    EXPECT_EQ(unit.requests(), expected);
    EXPECT_EQ(state.unit.Channels.size(), 8u);
    EXPECT_FALSE(window.labelChanCaption(1).isEmpty());
}

TEST_F(StartupTest, WizardRunsFirstWhenNoPortIsStored) {
    ASSERT_EQ(runStartup(), StartupOutcome::Started);
    EXPECT_EQ(wizardRuns, 1);
    EXPECT_FALSE(wizardSawHandle);
    EXPECT_FALSE(wizardSawTraffic) << "the wizard comes before any connection attempt";
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(StartupTest, WizardRunsWhenAskedForAlthoughAPortIsStored) {
    storePort(QStringLiteral("COM1"));
    ASSERT_EQ(runStartup({QStringLiteral("/commsetup")}), StartupOutcome::Started);
    EXPECT_EQ(wizardRuns, 1);

    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QorView"),
              QStringLiteral("QorView"))
        .setValue(QStringLiteral("QorSettings/RunWizard"), QStringLiteral("1"));
    ASSERT_EQ(runStartup(), StartupOutcome::Started);
    EXPECT_EQ(wizardRuns, 2);
}

TEST_F(StartupTest, RetryRunsTheWizardAndConnectsAgain) {
    storePort(QStringLiteral("COM2")); // leads nowhere
    prompts.answers = {PromptAnswer::Retry};
    ASSERT_EQ(runStartup(), StartupOutcome::Started);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Cannot establish communication"));
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(prompts.shown[0].icon, PromptIcon::Critical);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("QorView"));
    EXPECT_EQ(wizardRuns, 1);
    EXPECT_NE(state.session.LinkHandle, nullptr);
}

TEST_F(StartupTest, RetryHasNoLimitAndCancelEndsTheStart) {
    storePort(QStringLiteral("COM2"));
    wizardStoresPort = false;
    prompts.answers = {PromptAnswer::Retry, PromptAnswer::Retry, PromptAnswer::Retry,
                       PromptAnswer::Cancel};
    EXPECT_EQ(runStartup(), StartupOutcome::Cancelled);
    EXPECT_EQ(prompts.shown.size(), 4u);
    EXPECT_EQ(wizardRuns, 3);
    EXPECT_TRUE(unit.requests().isEmpty());
}

TEST_F(StartupTest, SecondInstanceIsRefusedBeforeAnythingElse) {
    InstanceLock first;
    ASSERT_TRUE(first.acquire());
    storePort(QStringLiteral("COM1"));
    EXPECT_EQ(runStartup(), StartupOutcome::AlreadyRunning);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("This application is already running"));
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("QorView"));
    EXPECT_TRUE(unit.requests().isEmpty());
    EXPECT_TRUE(first.fileName().startsWith(runtimeFolder()));
}

TEST(StartupPaths, HelpFileBesideTheProgramOrInShare) {
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString share = root.filePath(QStringLiteral("share/qorview"));
    ASSERT_TRUE(QDir().mkpath(bin));
    ASSERT_TRUE(QDir().mkpath(share));
    EXPECT_EQ(findHelpFile(bin), QString());

    QFile shared(share + QStringLiteral("/qorview.hlp"));
    ASSERT_TRUE(shared.open(QIODevice::WriteOnly));
    shared.close();
    EXPECT_EQ(findHelpFile(bin), shared.fileName());

    QFile beside(bin + QStringLiteral("/qorview.hlp"));
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.close();
    EXPECT_EQ(findHelpFile(bin), beside.fileName()) << "beside the program comes first";
}

} // namespace

namespace {

TEST(LinkLibraryTest, LoadsTheLibraryBesideTheProgramFirst) {
    LinkLibrary link;
    EXPECT_FALSE(link.isLoaded());
    QString why;
    ASSERT_TRUE(link.load(&why)) << why.toStdString();
    const QString expected =
        QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/libqorlink.so"))
            .canonicalFilePath();
    EXPECT_EQ(QFileInfo(link.loadedPath()).canonicalFilePath(), expected);
    // Bound lazily: a call before any connection fails cleanly with the library's own answer.
    EXPECT_EQ(link.QorOpen(nullptr), nullptr);
}

} // namespace
