#include "CommandLine.h"
#include "DisplayWindowGeometry.h"
#include "FormGridDisplay.h"
#include "FormLinGage.h"
#include "FormMain.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "Twips.h"
#include "WindowLayout.h"

#include <QAction>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

class ShutdownTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        connectStandIn();
        QFile document(tempPath(QStringLiteral("qorview.hlp")));
        ASSERT_TRUE(document.open(QIODevice::WriteOnly));
        document.write("<html><body><h1>QorView</h1></body></html>");
        document.close();
        state.config.HelpFilePath = document.fileName();
        state.config.HelpAttached = true;

        window = std::make_unique<FormMain>(state, line, help);
        window->Form_Load();
        window->linkScheduler().stopPolling();
        window->show();
        prompts.whileShown = [this] {
            events << QStringLiteral("box: ") + prompts.shown.back().text;
        };
        for (int i = 0; i < 36; ++i)
            state.view.WindowLayout[static_cast<size_t>(i)] = static_cast<int16_t>(1000 + i);
        state.setup.NewSetupFileNum = 17;
        help.ShowHelpContents();
    }

    QVariant stored(const QString &key) {
        QSettings ini(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QorView"),
                      QStringLiteral("QorView"));
        return ini.value(key);
    }

    // The value of layout key i expected in the settings: where the channel view's grid and bar
    // windows were when the main window was asked to close, the values held for the rest.
    int expectedLayoutValue(int i) const {
        const auto side = [](const StoredWindowRect &r, int k) {
            const int16_t sides[4] = {r.top, r.left, r.height, r.width};
            return sides[k];
        };
        if (i < 4)
            return side(gridAtClose, i);
        if (i < 8)
            return side(barsAtClose, i - 4);
        return 1000 + i;
    }

    bool layoutStored() {
        for (int i = 0; i < 36; ++i) {
            if (stored(QStringLiteral("QorViewSettings/") + QLatin1String(windowLayoutKey(i))) !=
                QVariant(QString::number(expectedLayoutValue(i))))
                return false;
        }
        return true;
    }

    bool closeMainWindow() {
        gridAtClose = windowRectInTwips(*window->gridDisplay());
        barsAtClose = windowRectInTwips(*window->barDisplay());
        return window->close();
    }

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    std::unique_ptr<FormMain> window;
    QStringList events;
    StoredWindowRect gridAtClose, barsAtClose;
};

const QString SetupQuestion = QStringLiteral("Setup has been modified\rSave changes");
const QString LinksQuestion = QStringLiteral(
    "Other applications are using this applicationDo you really want to exit the application?");

TEST_F(ShutdownTest, QuietCloseStoresLayoutNumberAndPosition) {
    window->move(Twips::toPixelsX(3000), Twips::toPixelsY(1500));
    EXPECT_TRUE(closeMainWindow());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(layoutStored());
    EXPECT_EQ(stored(QStringLiteral("QorSettings/NewSetupFileNum")),
              QVariant(QStringLiteral("17")));
    EXPECT_EQ(stored(QStringLiteral("QorSettings/MainLeft")).toString(), QStringLiteral("3000"));
    EXPECT_EQ(stored(QStringLiteral("QorSettings/MainTop")).toString(), QStringLiteral("1500"));
    EXPECT_FALSE(help.isOpen());
    EXPECT_FALSE(window->gridDisplay()->isVisible());
    EXPECT_FALSE(window->barDisplay()->isVisible());
}

TEST_F(ShutdownTest, SetupQuestionComesFirstAndYesSavesAsBeforeTheLinksQuestion) {
    state.setup.SetupChanged = true;
    state.live.DdeLinkCount = 2;
    const QString file = tempPath(QStringLiteral("at-exit.qor"));
    prompts.fileNames = {file};
    prompts.answers = {PromptAnswer::Yes, PromptAnswer::Ok, PromptAnswer::Yes};
    window->findChild<QAction *>(QStringLiteral("ExitProgram"))->trigger();
    // The save runs as exchanges with the unit; closing goes on once it has ended.
    const QDeadlineTimer deadline(10000);
    while (window->isVisible() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    const QString saving =
        QStringLiteral("QOR-128 Setup information (channels, probes and groups) is being saved "
                       "in: ") +
        file;
    EXPECT_EQ(events, (QStringList{QStringLiteral("box: ") + SetupQuestion,
                                   QStringLiteral("box: ") + saving,
                                   QStringLiteral("box: ") + LinksQuestion}));
    ASSERT_EQ(prompts.shown.size(), 3u);
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(prompts.shown[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("QorView"));
    EXPECT_EQ(prompts.shown[2].buttons, PromptButtons::YesNo);
    EXPECT_EQ(prompts.shown[2].icon, PromptIcon::Question);
    EXPECT_EQ(prompts.shown[2].title, window->windowTitle());
    EXPECT_TRUE(QFileInfo(file).size() > 0) << "saved before closing";
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ShutdownTest, YesWithSaveAsCancelledClosesAtOnce) {
    state.setup.SetupChanged = true;
    prompts.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(closeMainWindow());
    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    EXPECT_EQ(prompts.fileDialogs[0].title, QStringLiteral("Save As"));
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(layoutStored());
}

TEST_F(ShutdownTest, CancelAtTheSetupQuestionKeepsEverything) {
    state.setup.SetupChanged = true;
    state.live.DdeLinkCount = 1;
    prompts.answers = {PromptAnswer::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(prompts.shown.size(), 1u) << "no links question";
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(stored(QStringLiteral("QorViewSettings/GCT")).isValid());
    EXPECT_TRUE(help.isOpen());
    EXPECT_TRUE(window->gridDisplay()->isVisible());
}

TEST_F(ShutdownTest, NoAtTheSetupQuestionStillAsksAboutLinks) {
    state.setup.SetupChanged = true;
    state.live.DdeLinkCount = 1;
    prompts.answers = {PromptAnswer::No, PromptAnswer::Yes};
    EXPECT_TRUE(window->close());
    EXPECT_EQ(events, (QStringList{QStringLiteral("box: ") + SetupQuestion,
                                   QStringLiteral("box: ") + LinksQuestion}));
}

TEST_F(ShutdownTest, NoAtTheLinksQuestionKeepsRunningButHasStoredTheLayout) {
    state.live.DdeLinkCount = 1;
    prompts.answers = {PromptAnswer::No};
    EXPECT_FALSE(closeMainWindow());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(layoutStored());
    EXPECT_FALSE(help.isOpen());
    EXPECT_FALSE(stored(QStringLiteral("QorSettings/NewSetupFileNum")).isValid());
    EXPECT_TRUE(window->gridDisplay()->isVisible());
}

TEST_F(ShutdownTest, MinimisedCloseKeepsTheLastPosition) {
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QorView"),
              QStringLiteral("QorView"))
        .setValue(QStringLiteral("QorSettings/MainLeft"), QStringLiteral("4321"));
    window->setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(stored(QStringLiteral("QorSettings/NewSetupFileNum")),
              QVariant(QStringLiteral("17")));
    EXPECT_EQ(stored(QStringLiteral("QorSettings/MainLeft")), QVariant(QStringLiteral("4321")));
    EXPECT_FALSE(stored(QStringLiteral("QorSettings/MainTop")).isValid());
}

TEST_F(ShutdownTest, OtherWindowsUnloadMostRecentFirstAfterTheLayoutIsStored) {
    QWidget older, newer;
    window->registerLoadedWindow(&older, [this] { events << QStringLiteral("older"); });
    window->registerLoadedWindow(&newer, [this] {
        events << QStringLiteral("newer");
        state.view.WindowLayout[0] = 1; // a display storing its own size while it closes
    });
    EXPECT_TRUE(closeMainWindow());
    EXPECT_EQ(events, (QStringList{"newer", "older"}));
    EXPECT_EQ(stored(QStringLiteral("QorViewSettings/GCT")),
              QVariant(QString::number(gridAtClose.top)));
}

// Displays moved or resized without ever being activated, and still where they were put when the
// main window closes, come back there: the settings hold their new rectangles.
TEST_F(ShutdownTest, DisplaysMovedWithoutActivationAreStoredAtExit) {
    FormGridDisplay &grid = *window->gridDisplay();
    FormLinGage &bars = *window->barDisplay();
    ASSERT_FALSE(grid.isActiveWindow());
    ASSERT_FALSE(bars.isActiveWindow());
    grid.move(grid.pos() + QPoint(45, 30));
    bars.resize(bars.size() + QSize(60, 90));
    const StoredWindowRect gridRect = windowRectInTwips(grid);
    const StoredWindowRect barsRect = windowRectInTwips(bars);
    EXPECT_TRUE(closeMainWindow());
    const auto value = [this](const char *key) {
        return stored(QStringLiteral("QorViewSettings/") + QLatin1String(key)).toInt();
    };
    EXPECT_EQ(value("GCT"), gridRect.top);
    EXPECT_EQ(value("GCL"), gridRect.left);
    EXPECT_EQ(value("GCH"), gridRect.height);
    EXPECT_EQ(value("GCW"), gridRect.width);
    EXPECT_EQ(value("BCT"), barsRect.top);
    EXPECT_EQ(value("BCL"), barsRect.left);
    EXPECT_EQ(value("BCH"), barsRect.height);
    EXPECT_EQ(value("BCW"), barsRect.width);
}

// With a settings folder that cannot be made, closing still closes, but says what was lost and
// where, in a box and on standard error, instead of exiting as if all were saved.
TEST_F(ShutdownTest, SettingsThatCannotBeSavedAreReportedAtExit) {
    const QString blocker = blockSettingsFolder();
    const QString file = blocker + QStringLiteral("/QorView/QorView.ini");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(closeMainWindow());
    const QString errors = QString::fromStdString(testing::internal::GetCapturedStderr());

    ASSERT_EQ(prompts.shown.size(), 1u);
    const ScriptedPrompts::Shown &box = prompts.shown[0];
    EXPECT_EQ(box.icon, PromptIcon::Critical);
    EXPECT_EQ(box.buttons, PromptButtons::Ok);
    for (const QString &expected :
         {QStringLiteral("the display window layout"), QStringLiteral("the main window position"),
          QStringLiteral("the number of the next new setup file"),
          QStringLiteral("Settings file: ") + file,
          QStringLiteral("Reason: ") + blocker + QStringLiteral(" is not a folder")})
        EXPECT_TRUE(box.text.contains(expected)) << expected.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("could not save the display window layout")))
        << errors.toStdString();
    EXPECT_TRUE(
        errors.contains(file + QStringLiteral(": ") + blocker + QStringLiteral(" is not a folder")))
        << errors.toStdString();
}

} // namespace
