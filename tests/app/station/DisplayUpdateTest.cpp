// A view change shows its rows at once and reads their set-up from the unit through the link
// scheduler, one exchange per turn of the event loop, never all at once inside the command.

#include "CommandLine.h"
#include "FormGridDisplay.h"
#include "FormLinGage.h"
#include "FormMain.h"
#include "LinearGauge.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "WaitFor.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

class DisplayUpdateTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(connectStandIn(QStringLiteral("--preset demo --log ") + logFile(), &why))
            << why.toStdString();
        window.Form_Load();
        window.linkScheduler().stopPolling();
        ASSERT_TRUE(settled());
    }
    bool settled() {
        return waitFor([&] { return !window.linkScheduler().sequenceUnderWay(); });
    }
    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    qsizetype requestCount() const { return requestsOfLog(logFile()).size(); }
    QTableWidgetItem *gridItem(int row, int column) {
        return window.gridDisplay()->findChild<QTableWidget *>()->item(row - 1, column);
    }
    // Shows group 1 and lets the poll run until it has finished a few ticks on it.
    bool pollGroupView(int ticks) {
        state.view.SelectedGroup = 1;
        state.view.ViewMode = View::Group;
        window.UpdateMainDisplay();
        window.linkScheduler().startPolling();
        QSignalSpy finished(&window.linkScheduler(), &LinkScheduler::tickFinished);
        return waitFor([&] { return finished.size() >= ticks; }) && settled();
    }

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    FormMain window{state, line, help};
};

TEST_F(DisplayUpdateTest, AViewChangeReadsNothingInsideTheCommand) {
    const qsizetype before = requestCount();
    window.ViewChannels_Click();
    EXPECT_EQ(requestCount(), before) << "the command itself waits for no exchange";
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(gridItem(n, 0)->text(), QStringLiteral("Channel %1").arg(n));
        EXPECT_TRUE(window.barDisplay()->gauge(n - 1)->neutral()) << n;
    }
    ASSERT_TRUE(settled());
    const QStringList reads = requestsOfLog(logFile()).mid(before);
    EXPECT_EQ(reads.size(), 8 + 8 * 7) << "the grid's descriptions, then the gauges' set-ups";
    // The unit's descriptions and limits reached the displays once read.
    const Channel &first = *state.unit.channel(1);
    EXPECT_EQ(window.barDisplay()->gauge(0)->toolTip(), first.Description());
    EXPECT_DOUBLE_EQ(window.barDisplay()->gauge(0)->scaleTop(), first.BarDisplayTop());
    const auto *grid = window.gridDisplay()->findChild<QTableWidget *>();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->item(0, 0)->text(), first.Description());
    EXPECT_FALSE(window.barDisplay()->gauge(7)->neutral()) << "every gauge is whole now";
}

TEST_F(DisplayUpdateTest, AnUpdateOvertakenBeforeItsReadsRanReadsNothing) {
    const qsizetype before = requestCount();
    window.ViewLVDTs_Click();
    window.ViewChannels_Click();
    ASSERT_TRUE(settled());
    const QStringList reads = requestsOfLog(logFile()).mid(before);
    EXPECT_EQ(reads.size(), 8 + 8 * 7) << "only the channel view's set-up was read";
    EXPECT_EQ(reads.filter(QStringLiteral("~P")).size(), 0)
        << reads.join(QLatin1Char('|')).toStdString();
}

TEST_F(DisplayUpdateTest, AGroupEntryNamingNoChannelIsNeverReadNorReported) {
    addGroup(QStringLiteral("Journals"), {1, 9, 2});
    const qsizetype before = requestCount();
    ASSERT_TRUE(pollGroupView(4));
    const QStringList sent = requestsOfLog(logFile()).mid(before);
    EXPECT_FALSE(sent.filter(QStringLiteral("~C1 2")).isEmpty()) << "the poll ran";
    EXPECT_TRUE(sent.filter(QRegularExpression(QStringLiteral("^~\\S+ 9( |$)"))).isEmpty())
        << sent.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(prompts.shown.empty()) << "no link error box";
    EXPECT_EQ(gridItem(2, 0)->text(), QStringLiteral("9 (no such channel)"));
    EXPECT_TRUE(gridItem(2, 1)->text().isEmpty());
    EXPECT_FALSE(gridItem(3, 1)->text().isEmpty());
    EXPECT_EQ(window.barDisplay()->gauge(1)->note(), QStringLiteral("no channel"));
}

TEST_F(DisplayUpdateTest, AReadingThatStopsComingIsGreyedUntilTheNextOne) {
    // Channel 9 is known to the station; the unit holds it only while its count says so.
    auto extra = std::make_unique<Channel>(state.session, prompts);
    extra->SetDefaults(9);
    state.unit.Channels.push_back(std::move(extra));
    ASSERT_EQ(link.QorSetNumberOfChannels(state.session.LinkHandle, 9), 0);
    addGroup(QStringLiteral("Journals"), {1, 9});
    ASSERT_TRUE(pollGroupView(2));
    ASSERT_FALSE(gridItem(2, 1)->text().isEmpty());
    EXPECT_FALSE(window.gridDisplay()->isValueStale(2));

    ASSERT_EQ(link.QorSetNumberOfChannels(state.session.LinkHandle, 8), 0);
    ASSERT_TRUE(waitFor([&] { return window.gridDisplay()->isValueStale(2); }));
    EXPECT_TRUE(window.barDisplay()->gauge(1)->stale());
    EXPECT_FALSE(window.gridDisplay()->isValueStale(1));
    EXPECT_FALSE(window.barDisplay()->gauge(0)->stale());

    ASSERT_EQ(link.QorSetNumberOfChannels(state.session.LinkHandle, 9), 0);
    ASSERT_TRUE(waitFor([&] { return !window.gridDisplay()->isValueStale(2); }));
    EXPECT_FALSE(window.barDisplay()->gauge(1)->stale());
}

} // namespace
