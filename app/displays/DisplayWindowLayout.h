#pragma once

#include "DisplayedState.h"
#include "WindowLayout.h"

#include <Qt>

#include <cstdint>
#include <optional>

// A display window's remembered rectangle, in twips, as kept in WindowLayout, in each group and
// in setup files (16-bit values).
struct StoredWindowRect {
    int16_t top = 0;
    int16_t left = 0;
    int16_t height = 0;
    int16_t width = 0;
    bool operator==(const StoredWindowRect &) const = default;
};

// Twips rounded to a 16-bit value. A window far out on a wide desktop lies beyond 32767 twips;
// it is kept at the nearest value the 16-bit store can hold instead of wrapping around.
int16_t toStoredTwips(double twips);

// Only a window in its normal state (neither minimised nor maximised) of views 1 to 4 stores its
// rectangle, so that restoring never brings back a minimised window's icon position.
bool layoutMayBeStored(Qt::WindowStates states, View view);

// Stores rect for the current view: view 1 into the selected group's fields for that window,
// views 2-4 into WindowLayout. Returns false when nothing was stored (other views, or no such
// group).
bool storeDisplayRect(DisplayedState state, LayoutWindow window, const StoredWindowRect &rect);

// The stored rectangle of the current view, or nothing when none is stored (height 0) or the
// view keeps no layout.
std::optional<StoredWindowRect> storedDisplayRect(DisplayedState state, LayoutWindow window);
