#pragma once

#include "qorlink.h"

struct StationState;

// The station's handler for failed link operations: silent while ReportLinkErrors is 0, a
// Retry/Cancel box (Cancel ends the program) when the unit did not respond, an OK box with the
// library's text otherwise. It finds the station through the state registered here.
int32_t QORAPI LinkErrorHandler(QorHandle handle);
void setLinkErrorState(StationState *state);
