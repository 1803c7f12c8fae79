#pragma once

#include "HelpFile.h"
#include "LinkScheduler.h"
#include "PollCycle.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "dlgCalibrate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>

#include <memory>
#include <vector>

// Runs the event loop until done() holds or the time is up.
template <typename F> bool waitFor(F done, int ms = 15000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

struct RecordingHelp : HelpViewer {
    void ShowHelpContents() override { contexts.push_back(0); }
    void ShowHelpContext(int context) override { contexts.push_back(context); }
    void CloseHelp() override {}
    std::vector<int> contexts;
};

// A station on the stand-in unit (logging every exchange) with its scheduler, and the dialog.
class CalibrationFixture : public StationFixture {
public:
    bool connect(const QString &options, QString *why) {
        if (!connectStandIn(options + QStringLiteral(" --log ") + logFile(), why))
            return false;
        dialog = std::make_unique<dlgCalibrate>(
            CalibrationParts{{state.session, state.unit, scheduler, prompts, state.setup, poll},
                             scheduler,
                             state.live.CalibrationLiveProbe,
                             state.config,
                             help});
        return true;
    }

    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    QStringList requests() const { return requestsOfLog(logFile()); }
    QStringList requestsSince(qsizetype before) const { return requests().mid(before); }
    bool idle() {
        return waitFor([this] { return !scheduler.sequenceUnderWay(); });
    }

    bool open(int probe) {
        bool ready = false;
        QObject::connect(
            dialog.get(), &dlgCalibrate::opened, dialog.get(), [&ready](bool ok) { ready = ok; },
            Qt::SingleShotConnection);
        dialog->ShowCalibrateAt(probe, QPoint(10, 10));
        return waitFor([&] { return ready; });
    }

    template <typename T> T *control(const char *name) {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }

    RecordingHelp help;
    PollCycle poll{state.session, state.unit, state.view};
    LinkScheduler scheduler{state.session, poll, prompts};
    std::unique_ptr<dlgCalibrate> dialog;
};
