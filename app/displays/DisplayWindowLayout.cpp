#include "DisplayWindowLayout.h"

#include "DisplayRules.h"
#include "DisplayedState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The four fields of a group that belong to window, in top, left, height, width order.
std::array<int16_t *, 4> groupFields(group &g, LayoutWindow window) {
    switch (window) {
    case LayoutWindow::Grid:
        return {&g.WindowGridTop, &g.WindowGridLeft, &g.WindowGridHeight, &g.WindowGridWidth};
    case LayoutWindow::Bar:
        return {&g.WindowBarTop, &g.WindowBarLeft, &g.WindowBarHeight, &g.WindowBarWidth};
    case LayoutWindow::Dial:
        break;
    }
    return {&g.WindowDialTop, &g.WindowDialLeft, &g.WindowDialHeight, &g.WindowDialWidth};
}

std::array<int16_t *, 4> layoutFields(DisplayedState state, int index) {
    auto *base = state.view.WindowLayout.data() + index;
    return {base, base + 1, base + 2, base + 3};
}

std::optional<std::array<int16_t *, 4>> fieldsOf(DisplayedState state, LayoutWindow window) {
    if (state.view.ViewMode == View::Group) {
        if (group *g = state.unit.groupAt(state.view.SelectedGroup))
            return groupFields(*g, window);
        return std::nullopt;
    }
    const int index = windowLayoutIndex(state.view.ViewMode, window, LayoutSide::Top);
    if (index < 0)
        return std::nullopt;
    return layoutFields(state, index);
}

} // namespace

int16_t toStoredTwips(double twips) {
    if (std::isnan(twips))
        return 0;
    const double rounded = roundHalfEven(twips);
    return static_cast<int16_t>(std::clamp(rounded, double(std::numeric_limits<int16_t>::min()),
                                           double(std::numeric_limits<int16_t>::max())));
}

bool layoutMayBeStored(Qt::WindowStates states, View view) {
    if (states & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return false;
    return view == View::Group || view == View::Channels || view == View::Probes ||
           view == View::Analogs;
}

bool storeDisplayRect(DisplayedState state, LayoutWindow window, const StoredWindowRect &rect) {
    const auto fields = fieldsOf(state, window);
    if (!fields)
        return false;
    *(*fields)[0] = rect.top;
    *(*fields)[1] = rect.left;
    *(*fields)[2] = rect.height;
    *(*fields)[3] = rect.width;
    return true;
}

std::optional<StoredWindowRect> storedDisplayRect(DisplayedState state, LayoutWindow window) {
    const auto fields = fieldsOf(state, window);
    if (!fields || *(*fields)[2] <= 0)
        return std::nullopt;
    return StoredWindowRect{*(*fields)[0], *(*fields)[1], *(*fields)[2], *(*fields)[3]};
}
