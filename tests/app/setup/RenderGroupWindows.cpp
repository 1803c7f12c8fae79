// Renders the group editor, the group selection and the editor's double-entry message to PNG
// files against the stand-in unit (its demo channels), for review at the font resolution the
// environment gives (QT_FONT_DPI, 96 when unset); the files are named after it.
// render_group_windows [folder] (default /tmp/group-shots).

#include "FormSelectGroup.h"
#include "FormSetupGroup.h"
#include "GroupTexts.h"
#include "MessageBoxPrompts.h"
#include "StationFixture.h"
#include "WindowPicture.h"

#include <QApplication>
#include <QListWidget>

#include <cstdio>

int main(int argc, char **argv) {
    PictureSession session;
    QApplication app(argc, argv);
    const QString folder = PictureSession::folder(argc, argv, "/tmp/group-shots");
    const QString dpi = qEnvironmentVariableIsEmpty("QT_FONT_DPI")
                            ? QStringLiteral("96")
                            : qEnvironmentVariable("QT_FONT_DPI");
    const auto file = [&](const char *name) {
        return folder + QLatin1Char('/') + QLatin1String(name) + QLatin1Char('-') + dpi +
               QStringLiteral(".png");
    };

    StationFixture station;
    QString why;
    if (!station.connectStandIn(QStringLiteral("--preset demo"), &why)) {
        std::fprintf(stderr, "stand-in unit not opened: %s\n", qPrintable(why));
        return 1;
    }
    station.addGroup(QStringLiteral("Shaft"), {2, 4});
    station.addGroup(QStringLiteral("Bore and height"), {1, 3, 5, 12});
    station.addGroup(QStringLiteral("Form"), {6, 7});

    bool ok = true;
    FormSetupGroup editor(
        {station.state.unit, station.state.view, station.state.setup, station.prompts, nullptr});
    editor.ShowEditor();
    editor.findChild<QListWidget *>(QStringLiteral("ListGroups"))->setCurrentRow(1);
    ok &= saveWindowPicture(editor, file("group-setup"));
    editor.CmdDone_Click();

    FormSelectGroup selection(station.state.view, station.state.unit);
    selection.Form_Load();
    ok &= saveWindowPicture(selection, file("select-group"));
    selection.reject();

    const auto box = makePromptBox(
        doubleEntryMessage(QStringLiteral("3 Mean height"), 2, QStringLiteral("Bore and height")),
        PromptButtons::Ok, PromptIcon::None, QStringLiteral("QorView"), nullptr);
    ok &= saveWindowPicture(*box, file("group-double-entry"));
    return ok ? 0 : 1;
}
