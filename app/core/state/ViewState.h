#pragma once

#include "PollHold.h"
#include "View.h"
#include "WindowLayout.h"

#include <cstdint>

// The main list: which view and group it shows, and the brakes on its refresh.
struct ViewState {
    View ViewMode = View::Channels;
    // 1-based position in Groups of the group shown in the group view; 0 = none.
    int16_t SelectedGroup = 0;
    bool GroupSelectCancelled = false;
    // While above 0 the poll skips its list refresh. Raised and lowered by PollHoldGuard only.
    PollHoldCount PollHold;
    // View > Update: the list refresh runs only while it is on.
    bool UpdatesOn = false;
    WindowLayoutValues WindowLayout{};
};
