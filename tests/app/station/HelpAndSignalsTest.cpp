#include "CommandLine.h"
#include "FormMain.h"
#include "MessageBoxPrompts.h"
#include "ShutdownSignals.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "StationHelp.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QScrollBar>
#include <QSettings>
#include <QTextBrowser>

#include <csignal>

#include <gtest/gtest.h>

namespace {

class HelpTest : public ::testing::Test, public StationFixture {
protected:
    void attachDocument() {
        QFile document(tempPath(QStringLiteral("qorview.hlp")));
        ASSERT_TRUE(document.open(QIODevice::WriteOnly));
        QByteArray html = "<html><body><h1>Contents</h1>";
        for (int i = 0; i < 200; ++i)
            html += "<p>Line of text</p>";
        html += "<h2><a name=\"20\"></a>Calibration</h2><p>How to calibrate.</p></body></html>";
        document.write(html);
        document.close();
        state.config.HelpFilePath = document.fileName();
        state.config.HelpAttached = true;
    }

    StationHelp help{state.config, state.prompts};
};

TEST_F(HelpTest, WithoutAHelpFileTheCommandsSaySo) {
    help.ShowHelpContents();
    help.ShowHelpContext(20);
    help.CloseHelp();
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("Unable to display Help Contents. There is no Help associated with "
                             "this project."));
    EXPECT_EQ(prompts.shown[0].icon, PromptIcon::Information);
    EXPECT_FALSE(help.isOpen());
}

TEST_F(HelpTest, ContentsAndContextNumbersOpenTheDocument) {
    attachDocument();
    help.ShowHelpContents();
    ASSERT_TRUE(help.isOpen());
    EXPECT_TRUE(help.browser()->toPlainText().contains(QStringLiteral("Calibration")));
    EXPECT_EQ(help.browser()->verticalScrollBar()->value(), 0);
    help.ShowHelpContext(20);
    EXPECT_GT(help.browser()->verticalScrollBar()->value(), 0) << "scrolled to anchor 20";
    help.CloseHelp();
    EXPECT_FALSE(help.isOpen());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(HelpTest, AFileThatVanishedIsReported) {
    attachDocument();
    QFile::remove(state.config.HelpFilePath);
    help.ShowHelpContents();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("Unable to open the help file")));
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::Ok);
}

TEST(PromptText, CarriageReturnsBecomeLineBreaks) {
    EXPECT_EQ(promptDisplayText(QStringLiteral("a\rb\r\rc\r")), QStringLiteral("a\nb\n\nc"));
    EXPECT_EQ(promptDisplayText(QStringLiteral("a\r\nb")), QStringLiteral("a\nb"));
}

class SignalTest : public ::testing::Test, public StationFixture {};

// A signal closes the station as the program wires it: through the link scheduler, with no
// question (nobody may be at the desk), storing what a close stores.
TEST_F(SignalTest, TerminationClosesWithoutQuestionsAndStoresTheSettings) {
    connectStandIn();
    CommandLine line;
    StationHelp help(state.config, state.prompts);
    FormMain window(state, line, help);
    window.Form_Load();
    window.show();
    auto *signals =
        new ShutdownSignals(&window, [&window] { window.linkScheduler().requestClose(); });
    ASSERT_TRUE(signals->isInstalled());

    state.live.DdeLinkCount = 1;
    state.setup.SetupChanged = true;
    std::raise(SIGHUP);
    const QDeadlineTimer deadline(5000);
    while (window.isVisible() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(prompts.shown.empty()) << "no question was asked";
    QSettings ini(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QorView"),
                  QStringLiteral("QorView"));
    EXPECT_TRUE(ini.value(QStringLiteral("QorSettings/NewSetupFileNum")).isValid());
    EXPECT_TRUE(ini.value(QStringLiteral("QorViewSettings/GCT")).isValid());
}

} // namespace
