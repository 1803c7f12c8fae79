// The displays against the simulated unit (the stand-in USB library with the unit inside, demo
// preset), reached through the real link library: labels, ranges and limits come from the unit.

#include "DisplayRules.h"
#include "FormGridDisplay.h"
#include "FormLinGage.h"
#include "GaugeTestSetup.h"
#include "LinearGauge.h"
#include "StationFixture.h"

#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

// A station connected as start-up leaves it: link open, counts sent, objects built.
class DisplaysWithUnit : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(station.connectStandIn(QStringLiteral("--preset demo"), &why))
            << qPrintable(why);
        ASSERT_GT(station.state.unit.UnitSystem->MaxChannel(), 0);
    }

    // Checks gauge k against channel n as the unit has it.
    void expectChannelGauge(const LinearGauge &g, int n) {
        const Channel &c = *station.state.unit.channel(n);
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

    StationFixture station;
};

} // namespace

TEST_F(DisplaysWithUnit, ChannelViewShowsTheUnitsChannels) {
    Station &state = station.state;
    state.view.ViewMode = View::Channels;
    const int channels = state.unit.UnitSystem->MaxChannel();

    FormGridDisplay grid(station.displayed());
    grid.UpdateGridDisplay();
    auto *table = grid.findChild<QTableWidget *>(QStringLiteral("GridView"));
    ASSERT_EQ(grid.gridRowCount(), channels + 1);
    for (int n = 1; n <= channels; ++n)
        EXPECT_EQ(table->item(n - 1, 0)->text(), state.unit.channel(n)->Description()) << n;
    EXPECT_FALSE(table->item(0, 0)->text().isEmpty()); // the demo names its channels

    FormLinGage bars(station.displayed());
    bars.UpdateBarDisplay();
    EXPECT_EQ(bars.windowTitle(), QStringLiteral("Display Channels"));
    ASSERT_EQ(bars.gaugeCount(), channels);
    for (int n = 1; n <= channels; ++n)
        expectChannelGauge(*bars.gauge(n - 1), n);
    // The demo's limits are real ones, not zeros.
    EXPECT_LT(bars.gauge(0)->marker(1).value, bars.gauge(0)->marker(4).value);
}

TEST_F(DisplaysWithUnit, GroupViewShowsItsMembersInOrder) {
    Station &state = station.state;
    station.addGroup(QStringLiteral("Journals"), {3, 1});
    state.view.ViewMode = View::Group;
    state.view.SelectedGroup = 1;

    FormGridDisplay grid(station.displayed());
    grid.UpdateGridDisplay();
    auto *table = grid.findChild<QTableWidget *>(QStringLiteral("GridView"));
    EXPECT_EQ(grid.windowTitle(), QStringLiteral("Group: Journals"));
    ASSERT_EQ(grid.gridRowCount(), 3);
    EXPECT_EQ(table->item(0, 0)->text(), state.unit.channel(3)->Description());
    EXPECT_EQ(table->item(1, 0)->text(), state.unit.channel(1)->Description());

    FormLinGage bars(station.displayed());
    bars.UpdateBarDisplay();
    EXPECT_EQ(bars.windowTitle(), QStringLiteral("Display Group Journals"));
    ASSERT_EQ(bars.gaugeCount(), 2);
    expectChannelGauge(*bars.gauge(0), 3);
    expectChannelGauge(*bars.gauge(1), 1);
}

TEST_F(DisplaysWithUnit, ProbeViewScalesByFullScaleWithoutLimits) {
    Station &state = station.state;
    state.view.ViewMode = View::Probes;
    FormLinGage bars(station.displayed());
    bars.UpdateBarDisplay();
    const int probes = state.unit.UnitSystem->MaxLvdt();
    ASSERT_EQ(bars.gaugeCount(), probes);
    for (int p = 1; p <= probes; ++p) {
        const LinearGauge &g = *bars.gauge(p - 1);
        const double fullScale = state.unit.lvdt(p)->FullScale();
        EXPECT_GT(fullScale, 0.0) << p;
        EXPECT_DOUBLE_EQ(g.scaleTop(), fullScale) << p;
        EXPECT_DOUBLE_EQ(g.scaleBottom(), -fullScale) << p;
        EXPECT_EQ(g.labelDecimals(), state.unit.SystemDecimals) << p;
        EXPECT_DOUBLE_EQ(g.marker(4).thickness, 0.0) << p;
    }
}
