// The Measure menu in the running station: a part recorded from the main list's readings of one
// tick, from the menu and by F9 in a display window, and the windows that work on the log.

#include "CommandLine.h"
#include "FormGridDisplay.h"
#include "FormMain.h"
#include "GaugeStudyWindow.h"
#include "MeasureCommands.h"
#include "MenuItems.h"
#include "SpcWindow.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "StationMeasure.h"
#include "WaitFor.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

class MeasureMenuTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(connectStandIn(QStringLiteral("--preset demo"), &why)) << why.toStdString();
        window.Form_Load();
        window.linkScheduler().stopPolling();
        ViewFollower follower;
        follower.row = [this](const ViewRowReading &row) {
            if (row.reading.value)
                lastRead[row.reading.object.number] = *row.reading.value;
        };
        rows = window.liveValues().followView(std::move(follower));
        state.view.ViewMode = View::Channels;
        window.UpdateMainDisplay();
        // Opening the Measure menu starts measuring: the view's limits are read from then on.
        Q_EMIT item("mnuMeasure")->menu()->aboutToShow();
    }

    QAction *item(const char *name) {
        return menuItem(window.menuBar()->actions(), QLatin1String(name));
    }
    MeasureCommands &measure() { return window.measure().commands(); }
    // Ticks until Record may run: the view's limits read, a whole tick of fresh readings.
    bool readyToRecord() {
        return waitFor([&] {
            window.Timer1_Timer();
            return item("recordPart")->isEnabled();
        });
    }
    qint64 parts() { return measure().recorder().counter().counters().parts; }
    QString logPath() { return measure().recorder().logPath(); }
    // What the sqlite3 program reads from the log: channel|value of every value, in recording
    // order.
    QStringList loggedValues() {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"),
                     {logPath(), QStringLiteral("SELECT channel, value FROM part_values ORDER BY "
                                                "part_id, position")});
        sqlite.waitForFinished();
        return QString::fromUtf8(sqlite.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    FormMain window{state, line, help};
    LiveSubscription rows;
    std::map<int, float> lastRead; // by channel
};

TEST_F(MeasureMenuTest, RecordPartKeepsTheReadingsOfTheLastTickAndF9WorksInTheDisplays) {
    ASSERT_NE(item("mnuMeasure"), nullptr);
    ASSERT_TRUE(readyToRecord()) << item("recordPart")->statusTip().toStdString();
    const std::map<int, float> shown = lastRead;
    ASSERT_EQ(shown.size(), 8u);
    item("recordPart")->trigger();
    ASSERT_TRUE(waitFor([&] { return parts() == 1; })) << "the writer confirmed the part";

    const QStringList logged = loggedValues();
    ASSERT_EQ(logged.size(), 8);
    for (qsizetype i = 0; i < logged.size(); ++i) {
        const QStringList fields = logged[i].split(u'|');
        ASSERT_EQ(fields.size(), 2);
        EXPECT_EQ(fields[0].toInt(), static_cast<int>(i) + 1);
        EXPECT_FLOAT_EQ(fields[1].toFloat(), shown.at(fields[0].toInt())) << "channel " << i + 1;
    }

    // The operator watches the numbers, not the main window: F9 there records too.
    window.show();
    window.EnableGrid_Click();
    FormGridDisplay *grid = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        grid = grid ? grid : qobject_cast<FormGridDisplay *>(top);
    ASSERT_NE(grid, nullptr);
    ASSERT_TRUE(readyToRecord());
    grid->activateWindow();
    QTest::keyClick(grid, Qt::Key_F9);
    ASSERT_TRUE(waitFor([&] { return parts() == 2; })) << "F9 in the grid recorded a part";
    EXPECT_EQ(loggedValues().size(), 16);
}

TEST_F(MeasureMenuTest, RecordWaitsWhileTheListIsHeld) {
    ASSERT_TRUE(readyToRecord());
    {
        const PollHoldGuard hold(state.view.PollHold);
        window.Timer1_Timer();
        EXPECT_FALSE(item("recordPart")->isEnabled()) << "a held list has no fresh readings";
    }
    EXPECT_TRUE(readyToRecord());
}

TEST_F(MeasureMenuTest, SpcAndGaugeStudyOpenOverTheLogAndComeToTheFrontWhenAskedAgain) {
    ASSERT_TRUE(readyToRecord());
    for (int part = 1; part <= 3; ++part) {
        ASSERT_TRUE(readyToRecord());
        item("recordPart")->trigger();
        ASSERT_TRUE(waitFor([&] { return parts() == part; }));
    }
    item("mnuSpc")->trigger();
    SpcWindow *spc = window.measure().showSpc();
    ASSERT_NE(spc, nullptr);
    EXPECT_TRUE(spc->isVisible());
    EXPECT_EQ(spc->findChild<QListWidget *>(QStringLiteral("channelList"))->count(), 8)
        << "the channels recorded with the setup";
    item("mnuSpc")->trigger();
    EXPECT_EQ(window.measure().showSpc(), spc) << "one SPC window";

    item("mnuGaugeStudy")->trigger();
    GaugeStudyWindow *study = window.measure().showGaugeStudy();
    ASSERT_NE(study, nullptr);
    EXPECT_TRUE(study->isVisible());
    EXPECT_FALSE(study->isTakingReadings());
    EXPECT_TRUE(prompts.shown.empty());
}

} // namespace
