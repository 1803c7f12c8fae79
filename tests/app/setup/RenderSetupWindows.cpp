// Renders the setup files' windows to PNG files for review: the progress window of a load and of
// a save, and the messages of the File menu (the question before New and Open, a file that cannot
// be loaded, a count the unit cannot take, a save that failed), and the probe, analog and system
// setup dialogs at the screen's dots per inch (QT_SCALE_FACTOR=1.5 draws them at 144).
// render_setup_windows [folder [dialogs]] (default /tmp/setup-shots; "dialogs": those alone).

#include "MessageBoxPrompts.h"
#include "RenderSetupDialogs.h"
#include "SetupFileCommands.h"
#include "SetupProgress.h"
#include "WindowPicture.h"

#include <QApplication>
#include <QMessageBox>

namespace {

bool saveProgress(const QString &task, bool cancellable, int done, int total, const QString &next,
                  const QString &file) {
    SetupProgress progress(task, cancellable);
    progress.step(done, total, next);
    return saveWindowPicture(progress, file);
}

bool saveBox(const QString &text, PromptButtons buttons, PromptIcon icon, const QString &file) {
    const auto box = makePromptBox(text, buttons, icon, QStringLiteral("QorView"), nullptr);
    return saveWindowPicture(*box, file);
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
    ok &= renderSetupDialogs(folder);
    return ok ? 0 : 1;
}
