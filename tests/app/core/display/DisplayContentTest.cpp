#include "DisplayContent.h"
#include "GaugeTestSetup.h"
#include "StationFixture.h"

#include <gtest/gtest.h>

TEST(DisplayContent, CaptionsByView) {
    OfflineStation station;
    station.addGroup(QStringLiteral("Crank"), {1, 2});
    station.state.view.SelectedGroup = 1;
    const struct {
        int view;
        const char *grid, *bars;
    } cases[] = {
        {1, "Group: Crank", "Display Group Crank"},
        {2, "Channels", "Display Channels"},
        {3, "LVDTs", "Display LVDTs"},
        {4, "Analogs", "Display Analogs"},
        {5, "Digitals", "Display Digitals"},
        {0, "Display", "Display"},
        {9, "Display", "Display"},
    };
    for (const auto &c : cases) {
        station.state.view.ViewMode = viewFromNumber(c.view);
        EXPECT_EQ(collectGridContent(station.displayed()).caption, QLatin1String(c.grid)) << c.view;
        EXPECT_EQ(barWindowCaption(station.displayed()), QLatin1String(c.bars)) << c.view;
    }
}

TEST(DisplayContent, GridRowsOfProbesAnalogsAndDigitals) {
    OfflineStation station;
    station.addLvdts(3);
    station.addAnalogs(2);

    const Lvdt *first = station.state.unit.lvdt(1);
    const Lvdt *second = station.state.unit.lvdt(2);
    const Lvdt *third = station.state.unit.lvdt(3);
    const analog *secondInput = station.state.unit.analogInput(2);
    ASSERT_TRUE(first && second && third && secondInput);

    station.state.view.ViewMode = View::Probes;
    GridContent content = collectGridContent(station.displayed());
    ASSERT_TRUE(content.rows);
    EXPECT_EQ(content.rows->heading, QStringLiteral("LVDT"));
    EXPECT_EQ(content.rows->labels,
              QStringList({first->Description, second->Description, third->Description}));

    station.state.view.ViewMode = View::Analogs;
    content = collectGridContent(station.displayed());
    ASSERT_TRUE(content.rows);
    EXPECT_EQ(content.rows->heading, QStringLiteral("Analog Inputs"));
    ASSERT_EQ(content.rows->labels.size(), 2);
    EXPECT_EQ(content.rows->labels[1], secondInput->Description);

    station.state.view.ViewMode = View::Digitals;
    content = collectGridContent(station.displayed());
    ASSERT_TRUE(content.rows);
    EXPECT_EQ(content.rows->heading, QStringLiteral("Not Available"));
    EXPECT_EQ(content.rows->labels, QStringList({"Digital1", "Digital2"}));

    // No view leaves the rows alone.
    station.state.view.ViewMode = View::None;
    EXPECT_FALSE(collectGridContent(station.displayed()).rows);
}

TEST(DisplayContent, GroupViewBringsSelectedGroupIntoRange) {
    OfflineStation station;
    station.addGroup(QStringLiteral("Crank"), {1, 2});
    station.addGroup(QStringLiteral("Cam"), {4, 5, 6});
    station.state.view.ViewMode = View::Group;

    const struct { int selected, clamped, rows; } cases[] = {{0, 1, 2}, {2, 2, 3}, {7, 2, 3}};
    for (const auto &c : cases) {
        station.state.view.SelectedGroup = static_cast<int16_t>(c.selected);
        const GridContent content = collectGridContent(station.displayed());
        EXPECT_EQ(station.state.view.SelectedGroup, c.clamped) << c.selected;
        ASSERT_TRUE(content.rows);
        EXPECT_EQ(content.rows->heading, station.state.unit.groupAt(c.clamped)->Description);
        EXPECT_EQ(content.rows->labels.size(), c.rows) << c.selected;
    }
}

TEST(DisplayContent, GroupViewWithoutGroupsShowsNoRows) {
    OfflineStation station;
    station.state.view.ViewMode = View::Group;
    station.state.view.SelectedGroup = 3;
    const GridContent content = collectGridContent(station.displayed());
    EXPECT_EQ(content.caption, QStringLiteral("Group: "));
    ASSERT_TRUE(content.rows);
    EXPECT_TRUE(content.rows->labels.isEmpty());
    EXPECT_TRUE(collectGaugeSetups(station.displayed(), 2).size() == 2); // placeholders, no crash
}

TEST(DisplayContent, ItemCountsByView) {
    OfflineStation station;
    station.addLvdts(6);
    station.addAnalogs(3);
    station.state.unit.UnitSystem->setMaxChannel(12);
    station.addGroup(QStringLiteral("Crank"), {1, 2, 3, 4});

    const struct {
        int view, selectedGroup;
        std::optional<int> count;
    } cases[] = {
        {1, 1, 4}, {1, 0, std::nullopt}, {1, 2, std::nullopt}, {2, 0, 12}, {3, 0, 6},
        {4, 0, 3}, {5, 0, std::nullopt}, {0, 0, std::nullopt},
    };
    for (const auto &c : cases) {
        station.state.view.ViewMode = viewFromNumber(c.view);
        station.state.view.SelectedGroup = static_cast<int16_t>(c.selectedGroup);
        EXPECT_EQ(displayItemCount(station.displayed()), c.count)
            << c.view << '/' << c.selectedGroup;
    }
}

TEST(DisplayContent, GaugeSetupsWithoutLimits) {
    OfflineStation station;
    station.addLvdts(2);
    station.state.unit.SystemDecimals = 4;

    station.state.view.ViewMode = View::Probes;
    auto setups = collectGaugeSetups(station.displayed(), 2);
    ASSERT_EQ(setups.size(), 2u);
    EXPECT_EQ(setups[0].fullLabel, station.state.unit.lvdt(1)->Description);
    EXPECT_EQ(setups[0].decimals, 4);
    EXPECT_FALSE(setups[0].hasLimits);
    EXPECT_EQ(setups[0].bottom, -setups[0].top);

    for (int view : {5, 0}) {
        station.state.view.ViewMode = viewFromNumber(view);
        setups = collectGaugeSetups(station.displayed(), 3);
        ASSERT_EQ(setups.size(), 3u);
        EXPECT_EQ(setups[2].label, QStringLiteral("XXX3"));
        EXPECT_DOUBLE_EQ(setups[2].top, 0.05);
        EXPECT_DOUBLE_EQ(setups[2].bottom, -0.05);
        EXPECT_EQ(setups[2].decimals, 1);
        EXPECT_FALSE(setups[2].hasLimits);
    }
}
