#pragma once

class PollHoldGuard;
struct ViewState;

// Which group the group selection leaves chosen, and keeping the main list's selected group
// within the group set.

// OK or a double click: the group at selectedRow + 1, not cancelled; the dialog's hold is handed
// over to the caller's refresh. With no row highlighted no group is chosen (0): nothing will be
// refreshed for it, so the hold is lowered here, and a group view falls back to the channels.
void acceptGroupSelection(ViewState &view, int selectedRow, PollHoldGuard &hold);

// Cancel (or the close box): a group view that had no group chosen falls back to the channel
// view; the selection counts as cancelled and the dialog's hold is lowered.
void cancelGroupSelection(ViewState &view, PollHoldGuard &hold);

// The selected group after the group at `removed` left the set (groupsLeft remain): the same
// group when it stood behind the removed one, otherwise the same position within the set, and 0
// once the set is empty.
int selectedGroupAfterRemoval(int selected, int removed, int groupsLeft);

// A group view must name a group that exists: a position past the set becomes the last group, a
// missing one the first; with no group left the main list shows the channels instead. Other
// views keep their selected group, brought within the set (0 when there is none).
void keepSelectedGroupWithin(ViewState &view, int groupCount);
