// qorview: the gauge station for the QOR-128 measuring unit.

#include "CommandLine.h"
#include "FormMain.h"
#include "InstanceLock.h"
#include "LiveValueService.h"
#include "MessageBoxPrompts.h"
#include "ProcessEnd.h"
#include "ResourceInit.h"
#include "ScriptExports.h"
#include "Settings.h"
#include "ShutdownSignals.h"
#include "Startup.h"
#include "Station.h"
#include "StationHelp.h"
#include "frmWizard.h"

#include <QApplication>
#include <QDBusConnection>
#include <QTextStream>

#include <cstdio>
#include <optional>

namespace {

const char *const ProgramVersion = "6.0";

void reportMissingExport(const char *name) {
    std::fprintf(stderr, "qorview: the link library has no function %s\n", name);
}

} // namespace

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine commandLine(arguments);
    if (commandLine.asksForHelp()) {
        QTextStream(stdout) << CommandLine::usageText();
        return 0;
    }
    if (commandLine.asksForVersion()) {
        std::printf("qorview %s\n", ProgramVersion);
        return 0;
    }
    // The exports for scripts: written before any window or link, then the end.
    if (const auto script = commandLine.scriptExport())
        return runScriptExport(*script);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qorview"));
    QApplication::setApplicationVersion(QString::fromLatin1(ProgramVersion));
    // Desktops match the windows to the installed desktop entry (and its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.qorview.QorView"));
    loadStationResources();

    MessageBoxPrompts prompts;
    SettingsStore settings;
    LinkLibrary link;
    link.setMissingExportHandler(&reportMissingExport);
    Station state(link, prompts, settings);
    StationHelp help(state.config, prompts);

    // Until the main window runs, a close signal has nothing to store but the settings read and
    // written at start-up; after that the window closes as from the desk, without questions.
    FormMain *running = nullptr;
    // Settings writes lost before the first close signal came; what is lost after it belongs to
    // the close, which then does not end as a success.
    std::optional<long> lostBeforeSignal;
    ShutdownSignals closeSignals(nullptr, [&] {
        if (running) {
            if (!lostBeforeSignal)
                lostBeforeSignal = settings.failedWrites();
            running->linkScheduler().requestClose();
            return;
        }
        settings.sync();
        endProcessNow(0);
    });

    InstanceLock lock;
    StationStartup startup(state, commandLine, [&state] {
        frmWizard wizard(state.session, state.settings, state.prompts);
        wizard.exec();
    });
    if (startup.run(QApplication::applicationDirPath(), lock) != StartupOutcome::Started)
        endProcessNow();

    FormMain window(state, commandLine, help);
    prompts.setParentWindow(&window);
    window.Form_Load();
    // Other programs follow the channel labels over the session bus; without it the station
    // runs on unpublished.
    LiveValueService liveValues(state.live, window.liveItems());
    QObject::connect(&window, &FormMain::channelCaptionChanged, &liveValues,
                     &LiveValueService::channelTextChanged);
    if (QString why; !liveValues.publish(QDBusConnection::sessionBus(), &why))
        std::fprintf(stderr, "qorview: live values are not published: %s\n", qPrintable(why));
    window.show();
    running = &window;
    const int status = QApplication::exec();
    if (lostBeforeSignal && settings.failedWrites() > *lostBeforeSignal)
        return SettingsNotSavedStatus;
    return status;
}
