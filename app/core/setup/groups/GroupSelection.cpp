#include "GroupSelection.h"

#include "ViewState.h"

#include <algorithm>

namespace {

void endWithoutGroup(ViewState &view, PollHoldGuard &hold) {
    if (view.SelectedGroup == 0 && view.ViewMode == View::Group)
        view.ViewMode = View::Channels;
    hold.release();
}

} // namespace

void acceptGroupSelection(ViewState &view, int selectedRow, PollHoldGuard &hold) {
    view.SelectedGroup = static_cast<int16_t>(selectedRow >= 0 ? selectedRow + 1 : 0);
    view.GroupSelectCancelled = false;
    if (view.SelectedGroup == 0)
        endWithoutGroup(view, hold);
    else
        view.PollHold.handOver(std::move(hold));
}

void cancelGroupSelection(ViewState &view, PollHoldGuard &hold) {
    view.GroupSelectCancelled = true;
    endWithoutGroup(view, hold);
}

int selectedGroupAfterRemoval(int selected, int removed, int groupsLeft) {
    if (selected > removed)
        --selected;
    return std::clamp(selected, 0, groupsLeft);
}

void keepSelectedGroupWithin(ViewState &view, int groupCount) {
    const int kept = std::clamp<int>(view.SelectedGroup, 0, std::max(groupCount, 0));
    view.SelectedGroup = static_cast<int16_t>(kept);
    if (view.ViewMode != View::Group)
        return;
    if (groupCount < 1) {
        view.ViewMode = View::Channels;
        view.SelectedGroup = 0;
    } else if (kept < 1) {
        view.SelectedGroup = 1;
    }
}
