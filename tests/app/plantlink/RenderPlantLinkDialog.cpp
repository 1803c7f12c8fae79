// Renders Measure > Plant Link... to PNG files, as it opens and after a failed Test, for review.
#include "PlantLinkDialog.h"
#include "ScriptedPrompts.h"
#include "WindowPicture.h"

#include <QApplication>
#include <QDir>

int main(int argc, char **argv) {
    PictureSession session;
    QApplication app(argc, argv);
    const QDir folder(PictureSession::folder(argc, argv, "plantlink-pictures"));

    ScriptedPrompts prompts;
    PlantLinkDialog dialog(prompts);
    plantlink::PlantLinkSettings settings;
    settings.enabled = true;
    settings.config.host = QStringLiteral("broker.plant.example");
    settings.config.port = 8883;
    settings.config.tls = true;
    settings.config.caFile = QStringLiteral("/etc/qorview/plant-ca.crt");
    settings.config.userName = QStringLiteral("gauge-line-7");
    settings.config.password = QStringLiteral("password");
    settings.config.station = QStringLiteral("line-7");
    settings.config.liveValues = true;
    dialog.setSettings(settings);
    bool saved = saveWindowPicture(dialog, folder.filePath(QStringLiteral("plant-link.png")));

    // No broker there: the Test's outcome in the dialog, word-wrapped.
    settings.config.host = QStringLiteral("127.0.0.1");
    settings.config.port = 1;
    settings.config.tls = false;
    dialog.setSettings(settings);
    dialog.test();
    while (dialog.isTesting())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    saved = saveWindowPicture(dialog, folder.filePath(QStringLiteral("plant-link-tested.png"))) &&
            saved;
    return saved ? 0 : 1;
}
