#pragma once

class LinkScheduler;
class Prompts;
struct LinkSession;
struct LiveFollowers;
struct SetupSession;
struct UnitObjects;

// What a dialog that works on the unit's objects is given of the station: the link (its requests
// go through the scheduler), the channel, probe, analog and group objects, the live values the poll
// hands it, the setup it changes and the message boxes.
struct DialogParts {
    LinkSession &session;
    LinkScheduler &scheduler;
    UnitObjects &unit;
    LiveFollowers &live;
    SetupSession &setup;
    Prompts &prompts;
};
