#pragma once

class LiveValues;
class Prompts;
class SequenceRunner;
class SetupChanges;
struct LinkSession;
struct UnitObjects;

// The few things a form that shows and changes the unit's objects works with, and nothing else of
// the station (not the view, the files, the settings or other windows): the objects themselves,
// whose properties call the unit and so are used only in sequence steps; the link session, whose
// count of failed calls tells a step whether its call went through; the runner of its sequences;
// the prompts it asks through; the mark that the setup changed; and the live values it
// subscribes to. A form that follows a live value is handed its own follow variable beside these.
struct FormParts {
    LinkSession &session;
    const UnitObjects &unit;
    SequenceRunner &sequences;
    Prompts &prompts;
    SetupChanges &setup;
    LiveValues &live;
};
