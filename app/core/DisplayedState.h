#pragma once

#include "UnitObjects.h"
#include "ViewState.h"

// The parts of the station the display windows show: the unit's objects and the current view.
struct DisplayedState {
    UnitObjects &unit;
    ViewState &view;
};
