#pragma once

#include "LinkSequence.h"
#include "SetupEntries.h"
#include "SetupFileReader.h"
#include "SetupLifecycle.h"
#include "SetupSave.h"
#include "SystemSetupApply.h"

#include <QString>

#include <functional>
#include <memory>

// The setup the station runs, as the File menu's setup commands and the system settings dialog
// change it. Replacing, resizing and saving a setup reaches into most of the station (the unit's
// objects, the view, the followed positions, the windows), so those two are handed this one
// object of intents instead: what the setup is called and whether it changed, and the sequences
// that make a new one, load, save, store it in the unit or apply new counts. Only the dialog host,
// which sees the whole station, makes one.
class StationSetup {
public:
    explicit StationSetup(SetupParts parts) : m_parts(parts) {}

    // The unit's objects exist (the link library answered): no setup work is done without them.
    bool unitPresent() const;
    const QString &fileName() const;
    void setFileName(const QString &fileName);
    bool changed() const;
    // The main window's caption for the setup in `fileName`.
    QString caption(const QString &fileName) const;
    // The counts, decimals and window layout a setup file is read against.
    setupfile::SetupStationValues valuesInForce() const;

    // File > New in `folder` (SetupLifecycle.h).
    LinkSequence newSetup(const QString &folder) const;
    // A file read whole and found sound becomes the setup (SetupLoad.h).
    LinkSequence load(const setupfile::SetupEntries &entries, const QString &fileName) const;
    // The setup written to `fileName` (SetupSave.h).
    LinkSequence save(const QString &fileName, std::shared_ptr<const bool> cancelled,
                      std::function<void(const SetupSaveResult &)> done) const;
    // The unit keeps its own settings. Its answer is not looked at: a failure has been reported
    // by the link error handler.
    LinkSequence storeInUnit() const;

    // The system settings dialog's OK (SystemSetupApply.h).
    bool groupsFitChannelCount(int channels) const;
    void applySystemSettings(const setupforms::SystemSetupValues &values, bool repairGroups,
                             const std::function<void(LinkSequence)> &run,
                             std::function<void(setupforms::SystemApplyResult)> done) const;

private:
    SetupParts m_parts;
};
