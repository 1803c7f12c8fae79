#pragma once

#include "CommandLine.h"
#include "FormGroupMastering.h"
#include "FormMain.h"
#include "FormMastering.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "WaitFor.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <dlfcn.h>

#include <memory>

// The whole station (main window, poll, scheduler) on the stand-in unit with the demo setup,
// logging every exchange, for the zeroing and mastering procedures. The simulated part in the
// fixture is steered with qorsim's control lines.
class MasteringStation : public StationFixture {
public:
    bool start(QString *why = nullptr) {
        if (!connectStandIn(QStringLiteral("--preset demo --log ") + logFile(), why))
            return false;
        window = std::make_unique<FormMain>(state, line, help);
        window->Form_Load();
        return true;
    }

    // The demo with its probes' master parts a few microns off the sizes the channels know, so
    // mastering has something to correct.
    bool startWithMastersOff(QString *why) {
        return start(why) && control("master1 -0.013") && control("master2 0.0125");
    }

    static QString joined(const QStringList &requests) { return requests.join(QLatin1Char('|')); }

    // A control line for the stand-in unit this process opened ("part master1", ...).
    static bool control(const char *text) {
        void *library = ::dlopen(QORVIEW_TEST_STANDIN, RTLD_NOW | RTLD_NOLOAD);
        using Control = int (*)(const char *);
        const auto entry =
            library ? reinterpret_cast<Control>(::dlsym(library, "qorsim_control")) : nullptr;
        const bool ok = entry && entry(text) == 0;
        if (library)
            ::dlclose(library);
        return ok;
    }

    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    QStringList requests() const { return requestsOfLog(logFile()); }
    // Requests since `before`, without the poll's channel reads.
    QStringList sentSince(qsizetype before) const {
        QStringList sent = requests().mid(before);
        sent.removeIf([](const QString &r) { return r.startsWith(QStringLiteral("~C1 ")); });
        return sent;
    }

    float read(int channel) {
        float value = 0;
        link.QorReadChannel(state.session.LinkHandle, channel, &value);
        return value;
    }
    void setScaling(int channel, float value) {
        link.QorSetCscale(state.session.LinkHandle, channel, &value);
    }

    FormMastering &dialog() { return *window->dialogs().masteringDialog(); }
    FormGroupMastering &groupDialog() { return *window->dialogs().groupMasteringDialog(); }
    template <typename T> T *control(QWidget &form, const char *name) {
        return form.findChild<T *>(QString::fromLatin1(name));
    }
    QString instruction() { return control<QLabel>(dialog(), "LblInstruction")->text(); }
    QString groupInstruction() { return control<QLabel>(groupDialog(), "LblInstruction")->text(); }
    QString cell(int row, int column) {
        const QTableWidgetItem *item =
            control<QTableWidget>(groupDialog(), "flexGroupMastering")->item(row - 1, column);
        return item ? item->text() : QString();
    }

    // Runs action and waits until the dialog shows its outcome.
    template <typename Dialog, typename Action> bool settleAfter(Dialog &form, Action action) {
        QSignalSpy settled(&form, &Dialog::settled);
        action();
        return waitFor([&] { return !settled.isEmpty(); });
    }
    // Waits for a reading of the mastering channel that the poll stores from now on.
    bool freshReading() {
        const uint64_t now = state.live.MasteringReading.sequence;
        return waitFor([&] { return state.live.MasteringReading.sequence > now; });
    }
    // Waits until the poll wrote the dialog's Value column afresh.
    bool freshGroupValues(int row) {
        control<QTableWidget>(groupDialog(), "flexGroupMastering")->item(row - 1, 1)->setText({});
        return waitFor([&] { return !cell(row, 1).isEmpty(); });
    }
    bool pressMaster() {
        return settleAfter(dialog(),
                           [&] { control<QPushButton>(dialog(), "CommandMaster")->click(); });
    }
    bool pressGroupMaster() {
        return settleAfter(groupDialog(),
                           [&] { control<QPushButton>(groupDialog(), "cmdGroupMaster")->click(); });
    }
    // A command of the main window, waiting until the dialog it opened has read its channel or
    // group. The dialog reads through the scheduler, so it settles only after the command returned.
    bool channelCommand(void (FormMain::*click)()) {
        (window.get()->*click)();
        QSignalSpy settled(&dialog(), &FormMastering::settled);
        return waitFor([&] { return !settled.isEmpty(); }) && idle();
    }
    bool groupCommand(void (FormMain::*click)()) {
        (window.get()->*click)();
        if (!window->dialogs().groupMasteringDialog() || !groupDialog().isVisible())
            return false;
        QSignalSpy settled(&groupDialog(), &FormGroupMastering::settled);
        return waitFor([&] { return !settled.isEmpty(); }) && idle();
    }
    // No sequence is queued or under way (the displays' set-up reads after a view change
    // included).
    bool idle() {
        return waitFor([&] { return !window->linkScheduler().sequenceUnderWay(); });
    }

    CommandLine line;
    StationHelp help{state.config, state.prompts};
    std::unique_ptr<FormMain> window;
};
