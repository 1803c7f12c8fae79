#pragma once

#include "CommandLine.h"
#include "FormMain.h"
#include "Settings.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "StationHelp.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>

#include <dlfcn.h>

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

    // A control line for the stand-in unit ("fail PD 1"); false when it was not taken.
    static bool unitControl(const char *line) {
        void *library = ::dlopen(QORVIEW_TEST_STANDIN, RTLD_NOW | RTLD_NOLOAD);
        using Control = int (*)(const char *);
        const auto entry =
            library ? reinterpret_cast<Control>(::dlsym(library, "qorsim_control")) : nullptr;
        const bool taken = entry && entry(line) == 0;
        if (library)
            ::dlclose(library);
        return taken;
    }

    // What names a control of `dialog`: a button's text, else the text of the label whose buddy
    // it is; empty when nothing does.
    static QString captionOf(const QWidget *dialog, const QWidget *control) {
        if (auto *button = qobject_cast<const QAbstractButton *>(control))
            return button->text();
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            if (label->buddy() == control)
                return label->text();
        return {};
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
