#pragma once

#include "UnitObjects.h"
#include "ViewState.h"

struct LinkSession;

// The parts of the station the display windows show: the unit's objects and the current view,
// and the link session, whose count of failed calls tells a set-up read that went through from
// one that did not (none: every read counts as gone through).
struct DisplayedState {
    UnitObjects &unit;
    ViewState &view;
    const LinkSession *session = nullptr;
};
