#include "ViewCycle.h"

#include "StationState.h"

#include <algorithm>

ViewStep nextViewStep(int viewMode, int selectedGroup, int groupCount, bool anyGroups) {
    using Target = ViewStep::Target;
    switch (viewMode) {
    case 1:
        if (selectedGroup + 1 <= groupCount)
            return {Target::Group, selectedGroup + 1};
        return {Target::Channels, 0};
    case 2:
        return {Target::Probes, 0};
    case 3: {
        if (!anyGroups)
            return {Target::Channels, 0};
        const int next = selectedGroup + 1;
        return {Target::Group, next > groupCount ? 1 : next};
    }
    default:
        return {};
    }
}

bool CheckForAnyGroups(const StationState &state) {
    return std::any_of(state.Groups.begin(), state.Groups.end(),
                       [](const auto &g) { return g && g->Count > 0; });
}
