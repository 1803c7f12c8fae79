#pragma once

#include "ViewState.h"

struct UnitObjects;

// What the View button does next, decided from the current view and the groups alone.
struct ViewStep {
    enum class Target { Stay, Channels, Probes, Group };
    Target target = Target::Stay;
    // For Target::Group: the group to show (1-based).
    int group = 0;

    friend bool operator==(const ViewStep &, const ViewStep &) = default;
};

// channels -> probes -> group 1 -> ... -> last group -> channels; channels -> probes -> channels
// when no group holds a channel. Views other than 1, 2 and 3 stay.
ViewStep nextViewStep(View viewMode, int selectedGroup, int groupCount, bool anyGroups);

// True when at least one group holds at least one channel.
bool CheckForAnyGroups(const UnitObjects &unit);
