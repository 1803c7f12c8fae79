#pragma once

#include "View.h"

#include <array>
#include <cstdint>

// The 36 remembered display-window rectangles: for grid, bar and dial windows of the channel,
// probe and analog views, top, left, height and width in twips.
enum class LayoutWindow { Grid = 0, Bar = 1, Dial = 2 };
enum class LayoutSide { Top = 0, Left = 1, Height = 2, Width = 3 };

using WindowLayoutValues = std::array<int16_t, 36>;

// Index into WindowLayoutValues for the channel, probe and analog views; -1 for other views.
constexpr int windowLayoutIndex(View view, LayoutWindow window, LayoutSide side) {
    const int object = view == View::Channels  ? 0
                       : view == View::Probes  ? 1
                       : view == View::Analogs ? 2
                                               : -1;
    if (object < 0)
        return -1;
    return object * 12 + static_cast<int>(window) * 4 + static_cast<int>(side);
}

// Settings key of layout value i ("GCT", "GCL", ... "DAW").
inline const char *windowLayoutKey(int i) {
    static const char *const keys[36] = {
        "GCT", "GCL", "GCH", "GCW", "BCT", "BCL", "BCH", "BCW", "DCT", "DCL", "DCH", "DCW",
        "GLT", "GLL", "GLH", "GLW", "BLT", "BLL", "BLH", "BLW", "DLT", "DLL", "DLH", "DLW",
        "GAT", "GAL", "GAH", "GAW", "BAT", "BAL", "BAH", "BAW", "DAT", "DAL", "DAH", "DAW"};
    return (i >= 0 && i < 36) ? keys[i] : "";
}
