#include "PollHold.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

TEST(PollHold, AGuardHoldsForItsLifetimeAndMovingHandsTheHoldOn) {
    PollHoldCount count;
    std::optional<PollHoldGuard> dialog(std::in_place, count);
    EXPECT_EQ(count, 1);
    PollHoldGuard taken = std::move(*dialog);
    EXPECT_EQ(count, 1) << "a move raises nothing";
    EXPECT_FALSE(dialog->holds());
    dialog.reset();
    EXPECT_EQ(count, 1) << "the emptied guard lowers nothing";
    taken = PollHoldGuard(count);
    EXPECT_EQ(count, 1) << "assigning over a guard lowers the hold it had";
    taken.release();
    taken.release();
    EXPECT_EQ(count, 0) << "a hold is lowered once, however often it is released";
}

TEST(PollHold, TheRefreshEndsOnlyHoldsHandedOverToIt) {
    const struct {
        const char *legend;
        int owned;      // guards kept by their windows
        int handedOver; // commands' holds waiting for the refresh
        int refreshes;
        int expected;
    } cases[] = {
        {"a command's hold ends with the refresh", 0, 1, 1, 0},
        {"a window's own hold stays through a refresh", 1, 0, 1, 1},
        {"the window's stays, the command's ends", 1, 1, 1, 1},
        {"two commands before one refresh leave one hold", 0, 2, 1, 1},
        {"a refresh with nothing handed over lowers nothing", 0, 0, 3, 0},
    };
    for (const auto &c : cases) {
        PollHoldCount count;
        std::vector<PollHoldGuard> windows;
        for (int i = 0; i < c.owned; ++i)
            windows.emplace_back(count);
        for (int i = 0; i < c.handedOver; ++i)
            count.holdUntilRefresh();
        for (int i = 0; i < c.refreshes; ++i)
            count.endHandedOver();
        EXPECT_EQ(count, c.expected) << c.legend;
        windows.clear();
    }
}

TEST(PollHold, AHandedOverGuardNoLongerLowersTheHoldItself) {
    PollHoldCount count;
    PollHoldCount other;
    {
        PollHoldGuard selection(count);
        count.handOver(std::move(selection));
        PollHoldGuard stranger(other);
        count.handOver(std::move(stranger)); // not this count's: kept by its guard
        EXPECT_TRUE(stranger.holds());
    }
    EXPECT_EQ(count, 1) << "the hold waits for the refresh";
    EXPECT_EQ(other, 0);
    count.endHandedOver();
    EXPECT_EQ(count, 0);
}

} // namespace
