#include "ViewCycle.h"

#include "UnitObjects.h"

#include <algorithm>

ViewStep nextViewStep(View viewMode, int selectedGroup, int groupCount, bool anyGroups) {
    using Target = ViewStep::Target;
    switch (viewMode) {
    case View::Group:
        if (selectedGroup + 1 <= groupCount)
            return {Target::Group, selectedGroup + 1};
        return {Target::Channels, 0};
    case View::Channels:
        return {Target::Probes, 0};
    case View::Probes: {
        if (!anyGroups)
            return {Target::Channels, 0};
        const int next = selectedGroup + 1;
        return {Target::Group, next > groupCount ? 1 : next};
    }
    default:
        return {};
    }
}

bool CheckForAnyGroups(const UnitObjects &unit) {
    return std::any_of(unit.Groups.begin(), unit.Groups.end(),
                       [](const auto &g) { return g && g->Count > 0; });
}
