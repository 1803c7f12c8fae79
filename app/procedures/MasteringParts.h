#pragma once

class LinkScheduler;
class Prompts;
struct LinkSession;
struct LiveFollowers;
struct SetupSession;
struct UnitObjects;

// What the zeroing and mastering dialogs work with: the link (through the scheduler), the
// channel and group objects, the live values the poll hands them, the setup they change and the
// message boxes.
struct MasteringParts {
    LinkSession &session;
    LinkScheduler &scheduler;
    UnitObjects &unit;
    LiveFollowers &live;
    SetupSession &setup;
    Prompts &prompts;
};
