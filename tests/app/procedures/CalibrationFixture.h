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

// Hands the poll's calibration reading to the dialog, as the main window does.
struct CalibrationTargets : PollTargets {
    void setChannelLabel(int, const QString &) override {}
    bool gridShown() const override { return false; }
    bool barsShown() const override { return false; }
    void setGridValue(int, const QString &) override {}
    void setBarValue(int, float) override {}
    void setCalibrationValue(const QString &text) override {
        if (dialog)
            dialog->setLiveValue(text);
    }
    dlgCalibrate *dialog = nullptr;
};

// A station on the stand-in unit (logging every exchange) with its scheduler, and the dialog.
class CalibrationFixture : public StationFixture {
public:
    bool connect(const QString &options, QString *why) {
        if (!connectStandIn(options + QStringLiteral(" --log ") + logFile(), why))
            return false;
        dialog = std::make_unique<dlgCalibrate>(
            CalibrationParts{state.session, scheduler, state.unit, state.live, state.setup,
                             state.config, prompts, help});
        targets.dialog = dialog.get();
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
    CalibrationTargets targets;
    PollCycle poll{state.session, state.unit, state.view, state.live, targets};
    LinkScheduler scheduler{state.session, poll, prompts};
    std::unique_ptr<dlgCalibrate> dialog;
};
