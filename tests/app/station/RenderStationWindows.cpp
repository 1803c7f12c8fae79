// Renders the running station's windows to PNG files for review: the main window with the grid
// and bar displays in the channel and probe views, the copy-link menu of a bar, the help window,
// and the Log window over a run of recorded parts, all against the simulated demo unit.
// render_station_windows [folder] (default /tmp/station-shots).

#include "CommandLine.h"
#include "FormGridDisplay.h"
#include "FormLinGage.h"
#include "FormMain.h"
#include "LinearGauge.h"
#include "LogWindow.h"
#include "MeasureCommands.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "StationMeasure.h"
#include "WindowPicture.h"
#include "dlgCopyLink.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

namespace {

bool save(QWidget *window, const QString &file) {
    return window && saveWindowPicture(*window, file);
}

// A few poll ticks spread over real time, so the simulated parts move between them.
void poll(FormMain &window, int ticks) {
    for (int i = 0; i < ticks; ++i) {
        window.Timer1_Timer();
        QCoreApplication::processEvents();
        QThread::msleep(100);
    }
}

} // namespace

int main(int argc, char **argv) {
    PictureSession session;
    QApplication app(argc, argv);
    const QString folder = PictureSession::folder(argc, argv, "/tmp/station-shots");

    StationFixture station;
    station.connectStandIn(QStringLiteral("--preset demo"));
    station.state.config.HelpFilePath = findHelpFile(QCoreApplication::applicationDirPath());
    station.state.config.HelpAttached = !station.state.config.HelpFilePath.isEmpty();

    CommandLine line;
    StationHelp help(station.state.config, station.state.prompts);
    FormMain window(station.state, line, help);
    window.Form_Load();
    window.linkScheduler().stopPolling();
    window.show();

    bool ok = true;
    poll(window, 3);
    ok &= save(window.gridDisplay(), folder + QStringLiteral("/grid-channels.png"));
    ok &= save(window.barDisplay(), folder + QStringLiteral("/bars-channels.png"));
    window.LGauge1_RightClick(3, window.barDisplay()->gauge(2)->mapToGlobal(QPoint(10, 40)));
    ok &= save(window.dialogs().copyLinkDialog(), folder + QStringLiteral("/copy-link.png"));
    window.dialogs().copyLinkDialog()->hide();

    window.ViewLVDTs_Click();
    poll(window, 3);
    ok &= save(window.gridDisplay(), folder + QStringLiteral("/grid-probes.png"));
    ok &= save(window.barDisplay(), folder + QStringLiteral("/bars-probes.png"));

    if (station.state.config.HelpAttached) {
        help.ShowHelpContents();
        if (QWidget *helpWindow = help.window()) {
            helpWindow->resize(760, 560);
            ok &= save(helpWindow, folder + QStringLiteral("/help.png"));
        }
    } else {
        std::printf("FAILED: no help document found beside the program\n");
        ok = false;
    }
    help.CloseHelp();

    // A run of parts recorded from the channel view, the counter in the main window's status
    // bar, and the Log window over them.
    window.ViewChannels_Click();
    window.measure().startMeasuring();
    MeasureCommands &measure = window.measure().commands();
    for (int part = 0; part < 12; ++part) {
        poll(window, 1);
        QElapsedTimer ready;
        ready.start();
        while (!measure.recordAction()->isEnabled() && ready.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        measure.record();
        for (int wait = 0; wait < 100 && measure.recorder().pending() > 0; ++wait)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    QElapsedTimer waited;
    waited.start();
    while (measure.recorder().pending() > 0 && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ok &= save(&window, folder + QStringLiteral("/main-window.png"));
    LogWindow *log = measure.showLog();
    log->resize(1180, 460);
    ok &= save(log, folder + QStringLiteral("/log-window.png"));
    return ok ? 0 : 1;
}
