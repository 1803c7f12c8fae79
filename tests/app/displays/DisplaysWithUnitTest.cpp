// The displays against the simulated unit (the stand-in USB library with the unit inside, demo
// preset), reached through the real link library: labels, ranges and limits come from the unit.

#include "CommandLine.h"
#include "DisplayRules.h"
#include "DisplaysTestSupport.h"
#include "FormGridDisplay.h"
#include "FormLinGage.h"
#include "LinearGauge.h"
#include "LinkErrorHandler.h"
#include "Startup.h"

#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

// A station connected as start-up leaves it: link open, counts sent, objects built.
class DisplaysWithUnit : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("QORLINK_FTD2XX", QORVIEW_DISPLAYS_STANDIN);
        qputenv("QORSIM_OPTIONS", "--preset demo");
        QString why;
        ASSERT_TRUE(station.link.load(&why)) << qPrintable(why);
        setLinkErrorState(&station.state);
        constexpr int UsbPort = 4096;
        station.state.LinkInfo =
            station.link.QorInitInfoStructure(UsbPort, 115200, 1, &LinkErrorHandler);
        station.state.LinkHandle = station.link.QorOpen(station.state.LinkInfo);
        ASSERT_NE(station.state.LinkHandle, nullptr);
        StationStartup(station.state, CommandLine(), [] {}).prepareUnit();
        ASSERT_GT(station.state.UnitSystem->MaxChannel(), 0);
    }
    void TearDown() override {
        if (station.state.LinkHandle)
            station.link.QorClose(station.state.LinkHandle);
        setLinkErrorState(nullptr);
    }

    // Checks gauge k against channel n as the unit has it.
    void expectChannelGauge(const LinearGauge &g, int n) {
        const Channel &c = *station.state.channel(n);
        EXPECT_EQ(g.caption(), shortenGaugeLabel(c.Description())) << n;
        EXPECT_EQ(g.toolTip(), c.Description()) << n;
        EXPECT_DOUBLE_EQ(g.scaleTop(), c.BarDisplayTop()) << n;
        EXPECT_DOUBLE_EQ(g.scaleBottom(), c.BarDisplayBot()) << n;
        EXPECT_DOUBLE_EQ(g.tickStep(), gaugeTickStep(c.BarDisplayTop(), c.BarDisplayBot()));
        EXPECT_EQ(g.labelDecimals(), c.Decimals) << n;
        const double limits[] = {c.LoTol(), c.LoAppr(), c.HiAppr(), c.HiTol()};
        for (int m = 1; m <= 4; ++m) {
            EXPECT_DOUBLE_EQ(g.marker(m).value, limits[m - 1]) << n << " marker " << m;
            EXPECT_GT(g.marker(m).thickness, 0.0) << n << " marker " << m;
        }
    }

    OfflineStation station;
};

} // namespace

TEST_F(DisplaysWithUnit, ChannelViewShowsTheUnitsChannels) {
    StationState &state = station.state;
    state.ViewMode = 2;
    const int channels = state.UnitSystem->MaxChannel();

    FormGridDisplay grid(state);
    grid.UpdateGridDisplay();
    auto *table = grid.findChild<QTableWidget *>(QStringLiteral("GridView"));
    ASSERT_EQ(grid.gridRowCount(), channels + 1);
    for (int n = 1; n <= channels; ++n)
        EXPECT_EQ(table->item(n - 1, 0)->text(), state.channel(n)->Description()) << n;
    EXPECT_FALSE(table->item(0, 0)->text().isEmpty()); // the demo names its channels

    FormLinGage bars(state);
    bars.UpdateBarDisplay();
    EXPECT_EQ(bars.windowTitle(), QStringLiteral("Display Channels"));
    ASSERT_EQ(bars.gaugeCount(), channels);
    for (int n = 1; n <= channels; ++n)
        expectChannelGauge(*bars.gauge(n - 1), n);
    // The demo's limits are real ones, not zeros.
    EXPECT_LT(bars.gauge(0)->marker(1).value, bars.gauge(0)->marker(4).value);
}

TEST_F(DisplaysWithUnit, GroupViewShowsItsMembersInOrder) {
    StationState &state = station.state;
    station.addGroup(QStringLiteral("Journals"), {3, 1});
    state.ViewMode = 1;
    state.SelectedGroup = 1;

    FormGridDisplay grid(state);
    grid.UpdateGridDisplay();
    auto *table = grid.findChild<QTableWidget *>(QStringLiteral("GridView"));
    EXPECT_EQ(grid.windowTitle(), QStringLiteral("Group: Journals"));
    ASSERT_EQ(grid.gridRowCount(), 3);
    EXPECT_EQ(table->item(0, 0)->text(), state.channel(3)->Description());
    EXPECT_EQ(table->item(1, 0)->text(), state.channel(1)->Description());

    FormLinGage bars(state);
    bars.UpdateBarDisplay();
    EXPECT_EQ(bars.windowTitle(), QStringLiteral("Display Group Journals"));
    ASSERT_EQ(bars.gaugeCount(), 2);
    expectChannelGauge(*bars.gauge(0), 3);
    expectChannelGauge(*bars.gauge(1), 1);
}

TEST_F(DisplaysWithUnit, ProbeViewScalesByFullScaleWithoutLimits) {
    StationState &state = station.state;
    state.ViewMode = 3;
    FormLinGage bars(state);
    bars.UpdateBarDisplay();
    const int probes = state.UnitSystem->MaxLvdt();
    ASSERT_EQ(bars.gaugeCount(), probes);
    for (int p = 1; p <= probes; ++p) {
        const LinearGauge &g = *bars.gauge(p - 1);
        const double fullScale = state.lvdt(p)->FullScale();
        EXPECT_GT(fullScale, 0.0) << p;
        EXPECT_DOUBLE_EQ(g.scaleTop(), fullScale) << p;
        EXPECT_DOUBLE_EQ(g.scaleBottom(), -fullScale) << p;
        EXPECT_EQ(g.labelDecimals(), state.SystemDecimals) << p;
        EXPECT_DOUBLE_EQ(g.marker(4).thickness, 0.0) << p;
    }
}
