#include "GroupSelection.h"
#include "ViewState.h"

#include <vector>

#include <gtest/gtest.h>

namespace {

struct Before {
    View view;
    int selected;
    int hold;
};

struct After {
    View view;
    int selected;
    bool cancelled;
    int hold;
};

void expectState(const ViewState &view, const After &expected, const char *legend) {
    EXPECT_EQ(view.ViewMode, expected.view) << legend;
    EXPECT_EQ(view.SelectedGroup, expected.selected) << legend;
    EXPECT_EQ(view.GroupSelectCancelled, expected.cancelled) << legend;
    EXPECT_EQ(view.PollHold, expected.hold) << legend;
}

// The view before the dialog's answer: the dialog holds the list (when before.hold > 0) and
// other windows hold the rest of before.hold.
struct Selection {
    ViewState view;
    PollHoldGuard dialogHold;
    std::vector<PollHoldGuard> otherHolds;

    Selection(const Before &before, bool cancelled) {
        view.ViewMode = before.view;
        view.SelectedGroup = static_cast<int16_t>(before.selected);
        view.GroupSelectCancelled = cancelled;
        if (before.hold > 0)
            dialogHold = PollHoldGuard(view.PollHold);
        for (int i = 1; i < before.hold; ++i)
            otherHolds.emplace_back(view.PollHold);
    }
};

TEST(GroupSelection, OkTakesTheHighlightedRowAndLeavesTheHoldForTheRefresh) {
    const struct {
        const char *legend;
        Before before;
        int row;
        After after;
    } cases[] = {
        {"the last of three rows", {View::Channels, 0, 1}, 2, {View::Channels, 3, false, 1}},
        {"the first row", {View::Group, 2, 1}, 0, {View::Group, 1, false, 1}},
        {"no row highlighted: no group, nothing to hold for",
         {View::Probes, 2, 1},
         -1,
         {View::Probes, 0, false, 0}},
        {"no row highlighted in a group view shows the channels",
         {View::Group, 2, 1},
         -1,
         {View::Channels, 0, false, 0}},
    };
    for (const auto &c : cases) {
        Selection s(c.before, true);
        acceptGroupSelection(s.view, c.row, s.dialogHold);
        expectState(s.view, c.after, c.legend);
        s.view.PollHold.endHandedOver();
        EXPECT_EQ(s.view.PollHold, 0) << c.legend << ": the refresh ends the hold handed over";
    }
}

TEST(GroupSelection, CancelLowersTheHoldAndLeavesAGroupViewWithoutGroup) {
    const struct {
        const char *legend;
        Before before;
        After after;
    } cases[] = {
        {"group view with no group goes to channels",
         {View::Group, 0, 1},
         {View::Channels, 0, true, 0}},
        {"group view with a group stays", {View::Group, 2, 1}, {View::Group, 2, true, 0}},
        {"probe view stays", {View::Probes, 0, 1}, {View::Probes, 0, true, 0}},
        {"the hold never goes below 0", {View::Channels, 0, 0}, {View::Channels, 0, true, 0}},
        {"another window's hold stays", {View::Channels, 0, 2}, {View::Channels, 0, true, 1}},
    };
    for (const auto &c : cases) {
        Selection s(c.before, false);
        cancelGroupSelection(s.view, s.dialogHold);
        expectState(s.view, c.after, c.legend);
    }
}

TEST(GroupSelection, SelectedGroupIsKeptWithinTheSet) {
    const struct {
        const char *legend;
        View view;
        int selected, groups;
        View expectedView;
        int expected;
    } cases[] = {
        {"a group within the set stays", View::Group, 2, 3, View::Group, 2},
        {"past the set shows the last group", View::Group, 5, 3, View::Group, 3},
        {"a group view with none shows the first", View::Group, 0, 3, View::Group, 1},
        {"a group view without groups shows the channels", View::Group, 2, 0, View::Channels, 0},
        {"another view keeps a group within the set", View::Probes, 2, 3, View::Probes, 2},
        {"another view past the set keeps the last", View::Channels, 4, 1, View::Channels, 1},
        {"another view without groups keeps none", View::Probes, 3, 0, View::Probes, 0},
        {"a negative number from outside becomes none", View::Channels, -4, 2, View::Channels, 0},
    };
    for (const auto &c : cases) {
        ViewState view;
        view.ViewMode = c.view;
        view.SelectedGroup = static_cast<int16_t>(c.selected);
        keepSelectedGroupWithin(view, c.groups);
        EXPECT_EQ(view.ViewMode, c.expectedView) << c.legend;
        EXPECT_EQ(view.SelectedGroup, c.expected) << c.legend;
    }
}

} // namespace
