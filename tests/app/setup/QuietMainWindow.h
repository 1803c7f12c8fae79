#pragma once

#include "CommandLine.h"
#include "FormMain.h"
#include "Settings.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "StationHelp.h"

#include <QAction>

#include <memory>

// The main window over the stand-in unit with its exchange log, setups enabled, its displays
// closed and its poll stopped, so the log holds only what a test's commands send.
class QuietMainWindow : public StationFixture {
public:
    // Opens the unit with qorsim `unitOptions` (besides the log) and loads the main window;
    // false, saying why, when the unit does not open.
    bool openQuietly(const QString &unitOptions, QString *why) {
        if (!connectStandIn(unitOptions + QStringLiteral(" --log ") + logFile(), why))
            return false;
        settings.setText(SettingKeys::BarsAtStartup, QStringLiteral("0"));
        settings.setText(SettingKeys::NumericDisplay, QStringLiteral("0"));
        state.config.SetupsEnabled = true;
        window = std::make_unique<FormMain>(state, line, help);
        window->Form_Load();
        window->linkScheduler().stopPolling();
        window->show();
        return true;
    }

    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    QStringList requests() const { return requestsOfLog(logFile()); }
    QAction *action(const char *name) const {
        return window->findChild<QAction *>(QLatin1String(name));
    }

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    std::unique_ptr<FormMain> window;
};
