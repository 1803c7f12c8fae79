// Renders the amplifier calibration dialog offscreen to PNG files against the stand-in unit, with
// and without its details and in special calibration mode, and the channel and group mastering
// dialogs in a few states, so they can be reviewed without a display.
// Usage: render_procedure_windows [folder [dpi-suffix]]   (default /tmp/procedure-shots)
// With a suffix (e.g. "144dpi", for a run with a larger logical DPI) only the mastering dialogs
// are drawn, into files named with it.

#include "CalibrationFixture.h"
#include "RenderMasteringWindows.h"

#include "WindowPicture.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>

#include <cstdio>

int main(int argc, char **argv) {
    PictureSession session;
    QApplication app(argc, argv);
    const QString folder = PictureSession::folder(argc, argv, "/tmp/procedure-shots");
    if (argc > 2)
        return renderMastering(folder, QString::fromLocal8Bit(argv[2])) ? 0 : 1;

    bool ok = renderMastering(folder, QStringLiteral("96dpi"));
    for (const bool special : {false, true}) {
        CalibrationFixture station;
        station.state.config.SpecialCalibrate = special;
        QString why;
        if (!station.connect(QStringLiteral("--preset demo"), &why)) {
            std::fprintf(stderr, "stand-in unit not opened: %s\n", qPrintable(why));
            return 1;
        }
        station.scheduler.startPolling();
        if (!station.open(3)) {
            std::fprintf(stderr, "probe 3 could not be read\n");
            return 1;
        }
        waitFor([&] { return !station.control<QLabel>("lblLiveValue")->text().isEmpty(); });
        const QString name =
            special ? QStringLiteral("calibrate-profiles") : QStringLiteral("calibrate");
        ok &= saveWindowPicture(*station.dialog,
                                folder + QLatin1Char('/') + name + QStringLiteral("-details.png"));
        if (!special) {
            // The custom range shows the Ri scroll bar beside the values.
            station.control<QComboBox>("cboGainSelect")->setCurrentIndex(4);
            ok &= saveWindowPicture(*station.dialog,
                                    folder + QStringLiteral("/calibrate-custom.png"));
        }
        station.control<QPushButton>("cmdAdvanced")->click();
        ok &= saveWindowPicture(*station.dialog,
                                folder + QLatin1Char('/') + name + QStringLiteral(".png"));
        station.scheduler.stopPolling();
        station.dialog->hide();
    }
    return ok ? 0 : 1;
}
