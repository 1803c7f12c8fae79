#pragma once

#include "DisplayedState.h"
#include "LinkLibrary.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "Station.h"

#include <QString>
#include <QTemporaryDir>

#include <initializer_list>

// A station over fresh per-test settings, runtime and documents folders, with the real link
// library. The
// link error handler reports through its prompts for as long as it lives.
class StationFixture {
public:
    StationFixture();
    ~StationFixture();
    StationFixture(const StationFixture &) = delete;
    StationFixture &operator=(const StationFixture &) = delete;

    // Opens the link to the stand-in USB unit (in-process), with qorsim options (e.g. "--preset
    // demo --log FILE"), and prepares the unit as start-up does (counts, scan, objects). Returns
    // false, saying why, when the library or the unit does not open.
    bool connectStandIn(const QString &options = QStringLiteral("--preset demo"),
                        QString *why = nullptr);

    // Objects for a station whose link library is not loaded: every exchange sends nothing and
    // reads 0 or an empty text, while the objects' own fields (names, group members, the cached
    // counts) are real. Enough for everything the displays decide themselves.
    void addOfflineSystem();
    void addLvdts(int count);
    void addAnalogs(int count);
    group &addGroup(const QString &description, std::initializer_list<int> channels);

    // What the display windows are handed.
    DisplayedState displayed() { return {state.unit, state.view}; }

    // Points the settings at a folder that cannot be made, because a plain file of that name is
    // in the way (chmod would not stop a test that runs as root); returns that file's path.
    QString blockSettingsFolder();

    QString configFolder() const { return m_config.path(); }
    QString runtimeFolder() const { return m_runtime.path(); }
    QString tempPath(const QString &name) const { return m_config.filePath(name); }
    // $XDG_DOCUMENTS_DIR of the station: its setups folder is QorView in there.
    QString documentsFolder() const { return m_config.filePath(QStringLiteral("documents")); }

    ScriptedPrompts prompts;
    SettingsStore settings;
    LinkLibrary link;
    Station state{link, prompts, settings};

private:
    QTemporaryDir m_config;
    QTemporaryDir m_runtime;
};

// A station whose link library is never loaded, with its unit-wide counts ready to be set.
struct OfflineStation : StationFixture {
    OfflineStation() { addOfflineSystem(); }
};
