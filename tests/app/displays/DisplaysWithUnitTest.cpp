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

namespace {

// The set-up of the view as the windows plan it with the scheduler, run here step by step.
struct PlannedSetups {
    LinkSequence gridReads;
    LinkSequence gaugeReads;
    std::shared_ptr<GridContent> grid;
    std::shared_ptr<std::vector<GaugeSetup>> gauges;
    std::vector<qsizetype> rowsReady;
    std::vector<qsizetype> gaugesReady;

    PlannedSetups(DisplayedState shown, int count) {
        const auto always = [] {
            return true;
        };
        grid = planGridContent(shown, gridReads, always, [this](qsizetype row, const QString &) {
            rowsReady.push_back(row);
        });
        gauges = planGaugeSetups(shown, count, gaugeReads, always,
                                 [this](qsizetype gauge, const GaugeSetup &setup) {
                                     EXPECT_TRUE(setup.isKnown());
                                     gaugesReady.push_back(gauge);
                                 });
    }
};

} // namespace

TEST_F(DisplaysWithUnit, ItemsAreNumberedAndNeutralUntilReadThenCompleteInTheViewsOrder) {
    Station &state = station.state;
    state.view.ViewMode = View::Channels;
    PlannedSetups planned({state.unit, state.view, &state.session}, 8);
    ASSERT_EQ(planned.gridReads.size(), 8) << "one description a row";
    ASSERT_EQ(planned.gaugeReads.size(), 8 * 7) << "description, scale and limits a gauge";
    for (int n = 1; n <= 8; ++n) {
        const GaugeSetup &gauge = (*planned.gauges)[size_t(n - 1)];
        EXPECT_EQ(planned.grid->rows->labels[n - 1], QStringLiteral("Channel %1").arg(n));
        EXPECT_EQ(planned.grid->rows->setups[n - 1], ItemSetup::Pending) << n;
        EXPECT_EQ(gauge.label, QStringLiteral("Ch %1").arg(n));
        EXPECT_EQ(gauge.setup, ItemSetup::Pending) << n;
    }

    for (int row = 0; row < 8; ++row) {
        planned.gridReads.run(row);
        EXPECT_EQ(planned.rowsReady.size(), size_t(row + 1)) << "row " << row + 1 << " at once";
        EXPECT_EQ(planned.grid->rows->labels[row], state.unit.channel(row + 1)->Description());
    }
    for (int gauge = 0; gauge < 8; ++gauge) {
        for (int read = 0; read < 7; ++read) {
            EXPECT_EQ(planned.gaugesReady.size(), size_t(gauge)) << "not before its last read";
            planned.gaugeReads.run(gauge * 7 + read);
        }
        EXPECT_EQ(planned.gaugesReady.back(), gauge);
        EXPECT_TRUE((*planned.gauges)[size_t(gauge)].isKnown());
        if (gauge < 7) {
            EXPECT_FALSE((*planned.gauges)[size_t(gauge + 1)].isKnown());
        }
    }
    EXPECT_EQ((*planned.gauges)[0].fullLabel, state.unit.channel(1)->Description());
    EXPECT_DOUBLE_EQ((*planned.gauges)[0].hiTol, state.unit.channel(1)->HiTol());
    EXPECT_TRUE(station.prompts.shown.empty());
}

TEST_F(DisplaysWithUnit, AGroupEntryNamingNoChannelIsShownSoAndNeverRead) {
    Station &state = station.state;
    station.addGroup(QStringLiteral("Journals"), {2, 9, 1});
    state.view.ViewMode = View::Group;
    state.view.SelectedGroup = 1;
    PlannedSetups planned({state.unit, state.view, &state.session}, 3);
    EXPECT_EQ(planned.gridReads.size(), 2);
    EXPECT_EQ(planned.gaugeReads.size(), 2 * 7);
    EXPECT_EQ(planned.grid->rows->labels[1], QStringLiteral("9 (no such channel)"));
    EXPECT_EQ(planned.grid->rows->setups[1], ItemSetup::Missing);
    const GaugeSetup &missing = (*planned.gauges)[1];
    EXPECT_EQ(missing.setup, ItemSetup::Missing);
    EXPECT_EQ(missing.label, QStringLiteral("Ch 9"));
    EXPECT_EQ(missing.fullLabel, QStringLiteral("9 (no such channel)"));

    runNow(planned.gridReads);
    runNow(planned.gaugeReads);
    EXPECT_EQ(planned.rowsReady, (std::vector<qsizetype>{0, 2}));
    EXPECT_EQ(planned.gaugesReady, (std::vector<qsizetype>{0, 2}));
    EXPECT_EQ((*planned.gauges)[1].setup, ItemSetup::Missing);

    FormLinGage bars(station.displayed());
    bars.UpdateBarDisplay();
    EXPECT_TRUE(bars.gauge(1)->neutral());
    EXPECT_EQ(bars.gauge(1)->note(), QStringLiteral("no channel"));
    EXPECT_EQ(bars.gauge(2)->note(), QString());
    EXPECT_TRUE(station.prompts.shown.empty());
}

TEST_F(DisplaysWithUnit, ASetUpWhoseReadFailedStaysNeutral) {
    Station &state = station.state;
    // A channel object the unit does not have: every read of it fails with the unit's error.
    auto extra = std::make_unique<Channel>(state.session, station.prompts);
    extra->SetDefaults(9);
    state.unit.Channels.push_back(std::move(extra));
    station.addGroup(QStringLiteral("Journals"), {9, 1});
    state.view.ViewMode = View::Group;
    state.view.SelectedGroup = 1;
    PlannedSetups planned({state.unit, state.view, &state.session}, 2);
    runNow(planned.gridReads);
    runNow(planned.gaugeReads);
    EXPECT_FALSE(station.prompts.shown.empty()) << "the failures were reported";
    EXPECT_EQ(planned.grid->rows->labels[0], QStringLiteral("Channel 9"));
    EXPECT_EQ(planned.grid->rows->setups[0], ItemSetup::Pending);
    EXPECT_EQ((*planned.gauges)[0].setup, ItemSetup::Pending)
        << "limits read as 0 would judge every reading a reject";
    EXPECT_EQ(planned.rowsReady, std::vector<qsizetype>{1});
    EXPECT_EQ(planned.gaugesReady, std::vector<qsizetype>{1});
}

TEST_F(DisplaysWithUnit, WindowsShowEachItemWholeOnceItsSetUpIsReadKeepingItsReading) {
    Station &state = station.state;
    state.view.ViewMode = View::Channels;
    const DisplayedState shown{state.unit, state.view, &state.session};
    std::vector<LinkSequence> queued;
    const auto queue = [&queued](LinkSequence reads) {
        queued.push_back(std::move(reads));
    };
    FormGridDisplay grid(shown);
    grid.setReadRunner(queue);
    grid.UpdateGridDisplay();
    FormLinGage bars(shown);
    bars.setReadRunner(queue);
    bars.UpdateBarDisplay();
    ASSERT_EQ(queued.size(), 2u);
    auto *table = grid.findChild<QTableWidget *>(QStringLiteral("GridView"));
    const auto label = [table](int row) {
        return table->item(row - 1, 0);
    };
    EXPECT_TRUE(label(1)->font().italic()) << "a stand-in, not a description";
    EXPECT_DOUBLE_EQ(bars.gauge(0)->marker(4).thickness, 0.0) << "no limit marker yet";

    grid.SetGridValue(1, QStringLiteral(" 25.00100"));
    bars.SetBarValue(1, 25.001f);
    bars.SetBarValue(2, 12.0f);
    queued[0].run(0);
    EXPECT_EQ(label(1)->text(), state.unit.channel(1)->Description());
    EXPECT_FALSE(label(1)->font().italic());
    EXPECT_EQ(label(2)->text(), QStringLiteral("Channel 2"));
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral(" 25.00100")) << "the reading stays";

    for (int read = 0; read < 7; ++read)
        queued[1].run(read);
    expectChannelGauge(*bars.gauge(0), 1);
    EXPECT_FALSE(bars.gauge(0)->neutral());
    EXPECT_TRUE(bars.gauge(0)->hasReading());
    EXPECT_TRUE(bars.gauge(1)->neutral()) << "gauge 2 waits for its own reads";
    EXPECT_TRUE(bars.gauge(1)->hasReading());

    // Stale marks last until the next update of the view.
    grid.setValueStale(1, true);
    bars.SetBarStale(1, true);
    EXPECT_TRUE(grid.isValueStale(1));
    EXPECT_TRUE(bars.gauge(0)->stale());
    grid.UpdateGridDisplay();
    bars.UpdateBarDisplay();
    EXPECT_FALSE(grid.isValueStale(1));
    EXPECT_FALSE(bars.gauge(0)->stale());
}

TEST_F(DisplaysWithUnit, AReadingThatComesBeforeItsLimitsIsNotJudged) {
    Station &state = station.state;
    state.view.ViewMode = View::Channels;
    std::vector<LinkSequence> queued;
    FormGridDisplay grid(station.displayed());
    grid.setReadRunner([&queued](LinkSequence reads) { queued.push_back(std::move(reads)); });
    grid.UpdateGridDisplay();
    FormLinGage bars(station.displayed());
    bars.setReadRunner([&queued](LinkSequence reads) { queued.push_back(std::move(reads)); });
    bars.UpdateBarDisplay();
    bars.resize(640, 360);
    // Channel 1 "Bore diameter" reads its nominal size, well within its limits, before the unit
    // has said what they are.
    bars.SetBarValue(1, 25.0f);
    const auto rejectPixels = [&bars] {
        LinearGauge &g = *bars.gauge(0);
        QImage image(g.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        g.render(&image);
        int found = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                found += image.pixel(x, y) == LinearGauge::zoneColor(GaugeZone::Reject).rgb();
        return found;
    };
    EXPECT_EQ(rejectPixels(), 0) << "no verdict before the limits are known";
    const auto *table = grid.findChild<QTableWidget *>(QStringLiteral("GridView"));
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Channel 1")) << "numbered meanwhile";

    for (LinkSequence &reads : queued)
        runNow(reads);
    EXPECT_EQ(table->item(0, 0)->text(), state.unit.channel(1)->Description());
    bars.SetBarValue(1, 25.009f); // now a real reject
    EXPECT_GT(rejectPixels(), 10);
}
