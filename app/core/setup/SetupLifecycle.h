#pragma once

#include "LinkSequence.h"

#include <QString>

#include <cstdint>
#include <functional>

class Prompts;
class SetupWindows;
struct LinkSession;
struct LiveFollowers;
struct SetupSession;
struct StationConfig;
struct UnitObjects;
struct ViewState;

// The parts of the station that starting, clearing and resizing the setup change: nearly all of
// it. Only the dialog host makes these, for the StationSetup it hands to the setup commands.
struct SetupParts {
    LinkSession &session;
    Prompts &prompts;
    const StationConfig &config;
    UnitObjects &unit;
    ViewState &view;
    LiveFollowers &live;
    SetupSession &setup;
    SetupWindows &windows;
};

// Builds the steps that empty, grow and shrink the channel, probe, analog and group sets into a
// sequence, each step at most one exchange, so the window stays responsive while a setup of 128
// channels is made. The steps are planned from the counts in force when the builder is made and
// keep track of the counts each earlier step leaves, so they must run (as a sequence does) with
// nothing else changing the sets in between.
//
// A set that shrinks brings back every remembered position that pointed past its end: the setup
// dialogs' current items, the channels the mastering and channel setup dialogs follow, the probe
// and analog inputs followed live, the selected and the mastered group. The poll then never asks
// for an object that no longer exists.
//
// The unit keeps one count for channels and probes: the probe count request sets the same count
// as the channel count request. Wherever the probe count is assigned, the channel count is sent
// again right after when the two differ, so the unit ends with the setup's channel count; with
// equal counts the requests are exactly those of the station's lifecycle as it always was.
//
// The counts handed in are the caller's to check first (whyCountRefused() in UnitLimits.h), so a
// count the unit cannot take is refused before any step is built.
class SetupSteps {
public:
    SetupSteps(const SetupParts &parts, LinkSequence &sequence);

    // The view becomes the channel view, every group goes, and every channel, probe and analog
    // input is made anew with its defaults for the counts in force, which are sent again.
    void ClearSetup();
    // Resize a set to `newCount` from the count in force, then assign the count (the analog count
    // stays in the station; each new analog input sends its default zero and full scale).
    void CreateChannels(int newCount);
    void CreateLVDTs(int newCount);
    void CreateAnalogs(int newCount);
    // MaxChannel <- count; MaxLvdt <- count, followed by the channel count when they differ.
    void assignChannelCount(int count);
    void assignProbeCount(int count);
    // A step that changes the station alone.
    void station(const QString &what, std::function<void()> change);

    // The counts as they will be once the steps added so far have run.
    int channelCount() const { return m_channels; }
    int probeCount() const { return m_probes; }
    int analogCount() const { return m_analogs; }

private:
    void assignProbeCount(int count, std::function<void()> before);

    SetupParts m_parts;
    LinkSequence &m_sequence;
    int m_channels = 0;
    int m_probes = 0;
    int m_analogs = 0;
};

// File > New: the next generated file name in the setups folder, the caption, ClearSetup, the
// counter moved on; the unit is sent the counts in force and nothing else. Updating is off while
// it runs and then as the operator chose it; the main display starts over from the new setup.
LinkSequence NewSetup(const SetupParts &parts, const QString &setupsFolder);

// "<folder>/QORSetup7.qor" for counter 7.
QString newSetupFileName(const QString &folder, int counter);
// The counter after `counter`: one more, back to 1 after 999.
int16_t nextSetupFileNum(int16_t counter);

// The main window's caption for a setup: company, three blanks, product, " [", file name, "]".
QString setupCaption(const StationConfig &config, const QString &fileName);

// Whether every group fits a channel count of newMax. With fixNow the entries above newMax are
// removed from every group (a group may end empty and stays) and the answer is true.
bool CheckMaxChannel(UnitObjects &unit, int newMax, bool fixNow);
