// Pictures of the probe, analog and system setup dialogs against the stand-in unit: the probe
// dialog with its live value, the analog dialog, the analog dialog over an empty set, and each
// tab of the system dialog. Names end in the dots per inch they were drawn at ("-96", "-144").

#include "RenderSetupDialogs.h"

#include "Existing.h"
#include "FormSetupAnalog.h"
#include "FormSetupLvdt.h"
#include "FormSetupSystem.h"
#include "LinkScheduler.h"
#include "PollCycle.h"
#include "SetupWindows.h"
#include "StationFixture.h"
#include "StationSetup.h"
#include "WaitFor.h"
#include "WindowPicture.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QTabWidget>

#include <cmath>
#include <cstdio>

namespace {

struct QuietWindows : SetupWindows {
    void setChannelLabelCount(int) override {}
    void setCaption(const QString &) override {}
    void refreshMainDisplay() override {}
    bool updatesChosen() const override { return true; }
};

} // namespace

bool renderSetupDialogs(const QString &folder) {
    StationFixture station;
    QString why;
    if (!station.connectStandIn(QStringLiteral("--preset demo"), &why)) {
        std::fprintf(stderr, "stand-in unit not opened: %s\n", qPrintable(why));
        return false;
    }
    QuietWindows windows;
    Station &state = station.state;
    PollCycle poll{state.session, state.unit, state.view};
    LinkScheduler scheduler{state.session, poll, state.prompts};
    const auto idle = [&] {
        return waitFor([&] { return !scheduler.sequenceUnderWay(); });
    };
    const QString dpi = QStringLiteral("-%1").arg(std::lround(96 * qGuiApp->devicePixelRatio()));
    const auto file = [&](const char *name) {
        return folder + QLatin1Char('/') + QLatin1String(name) + dpi + QStringLiteral(".png");
    };
    const FormParts parts{state.session, state.unit, scheduler, state.prompts, state.setup, poll};
    bool ok = true;

    FormSetupLvdt probe(InputSetupParts{parts, state.live.LvdtSetupLiveInput});
    existing(state.unit.lvdt(3)).Description = QStringLiteral("Bore, left side");
    probe.openAt(3, false);
    idle();
    probe.findChild<QCheckBox *>(QStringLiteral("CheckShowCurrentValue"))->click();
    poll.tick();
    ok &= saveWindowPicture(probe, file("probe-setup"));
    probe.closeForShutdown();

    FormSetupAnalog analogDialog(InputSetupParts{parts, state.live.AnalogSetupLiveInput});
    analogDialog.openAt(1, false);
    idle();
    ok &= saveWindowPicture(analogDialog, file("analog-setup"));
    analogDialog.closeForShutdown();
    auto analogs = std::move(state.unit.Analogs);
    analogDialog.openAt(1, false);
    ok &= saveWindowPicture(analogDialog, file("analog-setup-empty"));
    analogDialog.closeForShutdown();
    state.unit.Analogs = std::move(analogs);

    StationSetup setup(SetupParts{state.session, state.prompts, state.config, state.unit,
                                  state.view, state.live, state.setup, windows});
    FormSetupSystem system(SystemSetupParts{parts, setup, state.view.PollHold,
                                            [&] { windows.refreshMainDisplay(); },
                                            station.settings});
    system.openDialog();
    idle();
    auto *tabs = system.findChild<QTabWidget *>(QStringLiteral("SSTab1"));
    const char *names[] = {"system-setup-1-max", "system-setup-2-averaging",
                           "system-setup-3-defaults", "system-setup-4-device",
                           "system-setup-5-startup"};
    for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        ok &= saveWindowPicture(system, file(names[t]));
    }
    system.closeForShutdown();
    return ok;
}
