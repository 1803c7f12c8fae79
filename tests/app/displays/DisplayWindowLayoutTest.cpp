#include "DisplayWindowLayout.h"
#include "GaugeTestSetup.h"
#include "StationFixture.h"

#include <gtest/gtest.h>

#include <limits>

TEST(DisplayWindowLayout, StoredTwipsAreRoundedAndKeptInSixteenBits) {
    const struct {
        double twips;
        int16_t stored;
    } cases[] = {{12.5, 12},     {13.5, 14},       {-7.2, -7},
                 {40000, 32767}, {-40000, -32768}, {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto &c : cases)
        EXPECT_EQ(toStoredTwips(c.twips), c.stored) << c.twips;
}

TEST(DisplayWindowLayout, OnlyNormalWindowsOfViewsOneToFourAreStored) {
    const struct {
        Qt::WindowStates states;
        int view;
        bool stored;
    } cases[] = {
        {Qt::WindowNoState, 1, true},    {Qt::WindowNoState, 4, true},
        {Qt::WindowNoState, 5, false},   {Qt::WindowNoState, 0, false},
        {Qt::WindowMinimized, 2, false}, {Qt::WindowMaximized, 2, false},
        {Qt::WindowActive, 2, true},     {Qt::WindowFullScreen, 3, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(layoutMayBeStored(c.states, viewFromNumber(c.view)), c.stored)
            << c.view << ' ' << int(c.states);
}

TEST(DisplayWindowLayout, ViewsTwoToFourUseWindowLayout) {
    OfflineStation station;
    const StoredWindowRect rect{100, 200, 3000, 4000};
    for (int view : {2, 3, 4}) {
        for (LayoutWindow window : {LayoutWindow::Grid, LayoutWindow::Bar}) {
            station.state.view.WindowLayout.fill(0);
            station.state.view.ViewMode = viewFromNumber(view);
            ASSERT_TRUE(storeDisplayRect(station.displayed(), window, rect));
            const int top = windowLayoutIndex(viewFromNumber(view), window, LayoutSide::Top);
            EXPECT_EQ(station.state.view.WindowLayout[static_cast<size_t>(top)], 100);
            EXPECT_EQ(station.state.view.WindowLayout[static_cast<size_t>(top + 3)], 4000);
            EXPECT_EQ(storedDisplayRect(station.displayed(), window), rect);
            // Exactly four values were written.
            int written = 0;
            for (int16_t v : station.state.view.WindowLayout)
                written += v != 0;
            EXPECT_EQ(written, 4);
        }
    }
}

TEST(DisplayWindowLayout, GroupViewUsesTheSelectedGroupsFields) {
    OfflineStation station;
    group &first = station.addGroup(QStringLiteral("A"), {1});
    group &second = station.addGroup(QStringLiteral("B"), {2});
    station.state.view.ViewMode = View::Group;
    station.state.view.SelectedGroup = 2;

    ASSERT_TRUE(storeDisplayRect(station.displayed(), LayoutWindow::Grid, {1, 2, 3, 4}));
    ASSERT_TRUE(storeDisplayRect(station.displayed(), LayoutWindow::Bar, {5, 6, 7, 8}));
    EXPECT_EQ(second.WindowGridTop, 1);
    EXPECT_EQ(second.WindowGridWidth, 4);
    EXPECT_EQ(second.WindowBarLeft, 6);
    EXPECT_EQ(second.WindowBarHeight, 7);
    EXPECT_EQ(first.WindowGridHeight, 0);
    EXPECT_EQ(storedDisplayRect(station.displayed(), LayoutWindow::Bar),
              (StoredWindowRect{5, 6, 7, 8}));

    station.state.view.SelectedGroup = 3; // no such group: nothing stored, nothing to restore
    EXPECT_FALSE(storeDisplayRect(station.displayed(), LayoutWindow::Grid, {9, 9, 9, 9}));
    EXPECT_FALSE(storedDisplayRect(station.displayed(), LayoutWindow::Grid));
}
