#pragma once

#include "LinkSession.h"
#include "LiveFollowers.h"
#include "SetupSession.h"
#include "StationConfig.h"
#include "UnitObjects.h"
#include "ViewState.h"

class Prompts;
class SettingsStore;

// Every part of the station's state, owned in one place for the run. Only the main window and
// start-up see all of it; every other class is handed the parts it uses.
struct Station {
    Station(LinkLibrary &library, Prompts &promptBoxes, SettingsStore &settingsStore)
        : prompts(promptBoxes), settings(settingsStore), session(library) {}

    Prompts &prompts;
    SettingsStore &settings;
    LinkSession session;
    StationConfig config;
    UnitObjects unit;
    ViewState view;
    LiveFollowers live;
    SetupSession setup;
};
