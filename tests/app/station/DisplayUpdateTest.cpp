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

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    FormMain window{state, line, help};
};

TEST_F(DisplayUpdateTest, AViewChangeReadsNothingInsideTheCommand) {
    const qsizetype before = requestCount();
    window.ViewChannels_Click();
    EXPECT_EQ(requestCount(), before) << "the command itself waits for no exchange";
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

} // namespace
