// Renders the connection wizard's four pages and the About box offscreen to PNG files, against
// the simulated unit when it has been built, so the windows can be reviewed without a display.
// Usage: render_connection_windows [folder]   (default /tmp/conn-shots)

#include "AboutTexts.h"
#include "FormAboutQorView.h"
#include "LinkErrorHandler.h"
#include "LinkLibrary.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "Station.h"
#include "frmWizard.h"

#include "WindowPicture.h"

#include <QApplication>
#include <QPushButton>

#include <cstdio>
#include <memory>

int main(int argc, char **argv) {
    PictureSession session;
    QApplication app(argc, argv);
    const QString folder = PictureSession::folder(argc, argv, "/tmp/conn-shots");

    LinkLibrary link;
    QString error;
    if (!link.load(&error))
        std::fprintf(stderr, "link library not loaded: %s\n", qPrintable(error));
    ScriptedPrompts prompts;
    SettingsStore settings;
    Station state(link, prompts, settings);
    setLinkErrorReporting(&state.session, &prompts);

    std::unique_ptr<SimulatedUnit> unit;
    std::unique_ptr<PortOverride> port;
    if (SimulatedUnit::available()) {
        unit = std::make_unique<SimulatedUnit>();
        port = std::make_unique<PortOverride>(1, unit->device());
    }

    bool ok = true;
    {
        frmWizard wizard(state.session, state.settings, prompts);
        auto click = [&](const char *name) {
            wizard.findChild<QPushButton *>(QString::fromLatin1(name))->click();
        };
        ok &= saveWindowPicture(wizard, folder + QStringLiteral("/wizard-0-introduction.png"));
        click("cmdNav_3");
        ok &= saveWindowPicture(wizard, folder + QStringLiteral("/wizard-1-step1-untested.png"));
        click("cmdTestConnection");
        ok &= saveWindowPicture(wizard, folder + QStringLiteral("/wizard-1-step1-tested.png"));
        if (wizard.steps().testPassed()) {
            click("cmdNav_3");
            ok &= saveWindowPicture(wizard, folder + QStringLiteral("/wizard-2-step2.png"));
            click("cmdNav_3");
            ok &= saveWindowPicture(wizard, folder + QStringLiteral("/wizard-3-finished.png"));
        }
        wizard.hide();
    }

    if (unit) {
        state.session.LinkInfo = link.QorInitInfoStructure(1, 9600, 1, &LinkErrorHandler);
        state.session.LinkHandle = link.QorOpen(state.session.LinkInfo);
    }
    FormAboutQorView about(buildAboutTexts(state.session, state.config));
    ok &= saveWindowPicture(about, folder + QStringLiteral("/about.png"));
    if (state.session.LinkHandle)
        link.QorClose(state.session.LinkHandle);
    return ok ? 0 : 1;
}
