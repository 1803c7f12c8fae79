// Renders the setup files' windows to PNG files for review: the progress window of a load and of
// a save, and the messages of the File menu (the question before New and Open, a file that cannot
// be loaded, a count the unit cannot take, a save that failed); the channel setup dialog on the
// stand-in unit at 96 and 144 DPI, with its messages; and the probe, analog and system setup
// dialogs at the screen's dots per inch (QT_SCALE_FACTOR=1.5 draws them at 144).
// render_setup_windows [folder [dialogs]] (default /tmp/setup-shots; "dialogs": the probe, analog
// and system dialogs alone).

#include "ChannelSetupRules.h"
#include "FormSetupChan.h"
#include "LinkScheduler.h"
#include "MessageBoxPrompts.h"
#include "PollCycle.h"
#include "RenderSetupDialogs.h"
#include "SetupFileCommands.h"
#include "SetupProgress.h"
#include "StationFixture.h"
#include "WaitFor.h"
#include "WindowPicture.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>

#include <cstdio>

namespace {

bool saveProgress(const QString &task, bool cancellable, int done, int total, const QString &next,
                  const QString &file) {
    SetupProgress progress(task, cancellable);
    progress.step(done, total, next);
    return saveWindowPicture(progress, file);
}

bool saveBox(const QString &text, PromptButtons buttons, PromptIcon icon, const QString &file,
             const QString &title = QStringLiteral("QorView")) {
    const auto box = makePromptBox(text, buttons, icon, title, nullptr);
    return saveWindowPicture(*box, file);
}

// What the window draws at `ratio` device pixels per pixel: 1.5 is a 144 DPI screen.
bool saveScaledPicture(QWidget &window, qreal ratio, const QString &file) {
    window.show();
    QCoreApplication::processEvents();
    QImage image(window.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    window.render(&painter);
    painter.end();
    const bool saved = image.save(file);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(file));
    return saved;
}

// The channel setup dialog on demo channel 3 with its live value, empty, and its two messages.
bool saveChannelSetup(const QString &folder) {
    StationFixture station;
    QString why;
    if (!station.connectStandIn(QStringLiteral("--preset demo"), &why)) {
        std::fprintf(stderr, "stand-in unit not opened: %s\n", qPrintable(why));
        return false;
    }
    PollCycle poll(station.state.session, station.state.unit, station.state.view);
    LinkScheduler scheduler(station.state.session, poll, station.prompts);
    Station &s = station.state;
    FormSetupChan dialog(
        ChannelSetupParts{{s.session, s.unit, scheduler, station.prompts, s.setup, poll},
                          s.live.ChannelSetupLiveChannel,
                          {}});
    scheduler.startPolling();
    dialog.showAt(3, false);
    waitFor([&] { return !dialog.isBusy(); });
    dialog.findChild<QCheckBox *>(QStringLiteral("CheckShowCurrentValue"))->click();
    const auto *live = dialog.findChild<QLineEdit *>(QStringLiteral("TextChannelValue"));
    if (!waitFor([&] { return !dialog.isBusy() && !live->text().isEmpty(); })) {
        std::fprintf(stderr, "channel 3 was not shown\n");
        return false;
    }
    bool ok = true;
    ok &= saveScaledPicture(dialog, 1.0, folder + QStringLiteral("/channel-setup.png"));
    ok &= saveScaledPicture(dialog, 1.5, folder + QStringLiteral("/channel-setup-144dpi.png"));
    scheduler.stopPolling();
    ok &=
        saveBox(setupforms::leavePromptText(3), PromptButtons::YesNoCancel, PromptIcon::Question,
                folder + QStringLiteral("/channel-setup-leave.png"), QStringLiteral("Mean height"));
    ok &= saveBox(QStringLiteral("Hi approach must be a number (such as 12.345) from "
                                 "-3.402823E+38 to 3.402823E+38."),
                  PromptButtons::Ok, PromptIcon::Information,
                  folder + QStringLiteral("/channel-setup-refused.png"));
    station.state.unit.Channels.clear();
    dialog.SetCurrentChannel(0);
    ok &= saveScaledPicture(dialog, 1.0, folder + QStringLiteral("/channel-setup-empty.png"));
    dialog.hide();
    return ok;
}

} // namespace

int main(int argc, char **argv) {
    PictureSession session;
    QApplication app(argc, argv);
    const QString folder = PictureSession::folder(argc, argv, "/tmp/setup-shots");
    const QString setup = QStringLiteral("/home/op/Documents/QorView/line3.qor");

    if (argc > 2 && QLatin1String(argv[2]) == QLatin1String("dialogs"))
        return renderSetupDialogs(folder) ? 0 : 1;
    bool ok = true;
    ok &= saveProgress(QStringLiteral("Loading ") + setup, false, 431, 1700,
                       QStringLiteral("Channel 33: high approach"),
                       folder + QStringLiteral("/setup-progress-load.png"));
    ok &= saveProgress(QStringLiteral("Saving ") + setup, true, 1210, 1700,
                       QStringLiteral("Channel 94: formula"),
                       folder + QStringLiteral("/setup-progress-save.png"));
    ok &=
        saveBox(QStringLiteral("Setup has been modified\rSave changes"), PromptButtons::YesNoCancel,
                PromptIcon::Question, folder + QStringLiteral("/setup-question.png"));
    setupfile::SetupReadError damaged{57, QStringLiteral("wide"),
                                      QStringLiteral("expected a number")};
    ok &= saveBox(setupLoadFailureText(setup, damaged), PromptButtons::Ok, PromptIcon::Critical,
                  folder + QStringLiteral("/setup-load-damaged.png"));
    setupfile::SetupReadError count{3, QStringLiteral("MaxChannel= 200 "),
                                    QStringLiteral("the unit takes 1 to 128 channels")};
    ok &= saveBox(setupLoadFailureText(setup, count), PromptButtons::Ok, PromptIcon::Critical,
                  folder + QStringLiteral("/setup-load-count.png"));
    setupfile::SetupReadError cut{79, QString(),
                                  QStringLiteral("the file ends inside the [Channel] record that "
                                                 "begins on line 62")};
    ok &= saveBox(setupLoadFailureText(setup, cut), PromptButtons::Ok, PromptIcon::Critical,
                  folder + QStringLiteral("/setup-load-cut.png"));
    ok &= saveBox(setup + QStringLiteral(" was not saved: a read from the unit failed (Channel 3: "
                                         "description).\rThe file is as it was."),
                  PromptButtons::Ok, PromptIcon::Critical,
                  folder + QStringLiteral("/setup-save-failed.png"));
    ok &= saveChannelSetup(folder);
    ok &= renderSetupDialogs(folder);
    return ok ? 0 : 1;
}
