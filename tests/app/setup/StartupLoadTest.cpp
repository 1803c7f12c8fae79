// The setup file named on the command line: loaded by the main window's first load before the
// stored channel window sizes are read, so those win over the file's, as when the load ran to its
// end at once.
#include "CommandLine.h"
#include "Existing.h"
#include "FormMain.h"
#include "Settings.h"
#include "SetupFileCommands.h"
#include "SetupFileWriter.h"
#include "StationFixture.h"
#include "StationHelp.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class StartupLoadTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(connectStandIn(QStringLiteral("--preset empty"), &why)) << why.toStdString();
        settings.setText(SettingKeys::BarsAtStartup, QStringLiteral("0"));
        settings.setText(SettingKeys::NumericDisplay, QStringLiteral("0"));
    }

    std::unique_ptr<FormMain> loadMainWindow(const QStringList &words) {
        m_line = CommandLine(words);
        auto window = std::make_unique<FormMain>(state, m_line, m_help);
        window->Form_Load();
        window->linkScheduler().stopPolling();
        QElapsedTimer timer;
        timer.start();
        while (window->setupFiles().busy() && timer.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return window;
    }

    CommandLine m_line;
    StationHelp m_help{state.config, state.prompts};
};

TEST_F(StartupLoadTest, TheNamedFileIsLoadedAndTheStoredChannelWindowsWin) {
    setupfile::SetupDocument setup;
    setup.station.channelCount = 12;
    for (size_t i = 0; i < setup.station.windowLayout.size(); ++i)
        setup.station.windowLayout[i] = static_cast<int16_t>(500 + i);
    setup.channels.push_back({});
    const QString path = tempPath(QStringLiteral("line3.qor"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(setupfile::writeSetup(setup));
    file.close();
    for (int i = 0; i < 8; ++i)
        settings.setNumber({"QorViewSettings", windowLayoutKey(i)}, 100 + i);

    // Named relative to the working folder; the setup keeps the whole path.
    const QString workingFolder = QDir::currentPath();
    QDir::setCurrent(QFileInfo(path).absolutePath());
    auto window = loadMainWindow({QStringLiteral("/LVDT"), QStringLiteral("line3.qor")});
    QDir::setCurrent(workingFolder);

    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(state.setup.SetupFileName, path);
    EXPECT_EQ(state.unit.UnitSystem->MaxChannel(), 12);
    EXPECT_TRUE(existing(state.unit.channel(1)).InUse);
    EXPECT_EQ(window->labelChanCount(), 13);
    EXPECT_EQ(state.view.ViewMode, View::Channels) << "a load shows the channels";
    EXPECT_TRUE(state.view.UpdatesOn);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(state.view.WindowLayout[static_cast<size_t>(i)], 100 + i) << "stored, " << i;
    for (int i = 8; i < 36; ++i)
        EXPECT_EQ(state.view.WindowLayout[static_cast<size_t>(i)], 500 + i) << "the file's, " << i;
}

TEST_F(StartupLoadTest, ADamagedNamedFileChangesNothing) {
    const QString path = tempPath(QStringLiteral("damaged.qor"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[QORVIEW Version 6.0]\r\n[General Setup]\r\nMaxChannel= 300 \r\n");
    file.close();

    auto window = loadMainWindow({path});

    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              path + QStringLiteral(" cannot be loaded:\rLine 3 \"MaxChannel= 300 \": the unit "
                                    "takes 1 to 128 channels.\rNothing has been changed."));
    EXPECT_TRUE(state.setup.SetupFileName.isEmpty()) << "a later Save cannot write over it";
    EXPECT_EQ(state.unit.UnitSystem->MaxChannel(), 8);
    EXPECT_EQ(window->labelChanCount(), 9);
}

} // namespace
