// Renders the SPC window on the demonstration run to PNG files for review, and writes its PDF
// report beside them: render_spc_window [folder] (default /tmp/spc-shots).

#include "ScriptedPrompts.h"
#include "SpcDemo.h"
#include "SpcWindow.h"

#include "WindowPicture.h"

#include <QApplication>

#include <cstdio>

namespace {

// Monday 4 March 2024, 06:00 UTC: the first part of the demonstration run.
constexpr qint64 RunStartMs = 1709532000000;
constexpr std::size_t RunParts = 750;

} // namespace

int main(int argc, char **argv) {
    PictureSession session;
    QApplication app(argc, argv);
    const QString folder = PictureSession::folder(argc, argv, "/tmp/spc-shots");

    spc::MemorySpcSource source(QStringLiteral("crankshaft-op40.qor"));
    spc::addDemoRun(source, RunParts, RunStartMs);
    // The bore's limits were frozen once its first 25 subgroups were in, at 08:00.
    {
        spc::SpcAnalysis bore(source, source.channels().front());
        QString error;
        if (!bore.load(&error) ||
            !bore.freezeLimits(QDateTime::fromMSecsSinceEpoch(RunStartMs + 2 * 3600'000, Qt::UTC),
                               &error)) {
            std::printf("FAILED to freeze the bore's limits: %s\n", qPrintable(error));
            return 1;
        }
    }
    ScriptedPrompts prompts;
    bool ok = true;
    const struct {
        int channel;
        bool report;
        QSize size;
        const char *name;
    } shots[] = {{1, true, {1280, 840}, "spc-bore"},     {1, false, {960, 640}, "spc-bore-small"},
                 {3, false, {1280, 840}, "spc-flange"},  {4, false, {1280, 840}, "spc-runout"},
                 {5, false, {1280, 840}, "spc-coolant"}, {2, false, {1024, 700}, "spc-shaft"}};
    for (const auto &shot : shots) {
        SpcWindow window(source, prompts);
        window.showChannel(shot.channel);
        window.resize(shot.size);
        ok &= saveWindowPicture(window,
                                QStringLiteral("%1/%2.png").arg(folder, QLatin1String(shot.name)));
        if (shot.report) {
            const QString report =
                QStringLiteral("%1/%2.pdf").arg(folder, QLatin1String(shot.name));
            const bool written = window.exportTo(SpcControls::Export::PdfReport, report);
            std::printf("%s %s\n", written ? "wrote" : "FAILED", qPrintable(report));
            ok &= written;
        }
    }

    // A run too short for limits: the charts say how many subgroups they wait for.
    spc::MemorySpcSource young(QStringLiteral("crankshaft-op40.qor"));
    spc::addDemoRun(young, 60, RunStartMs, 1);
    SpcWindow waiting(young, prompts);
    waiting.resize(1024, 700);
    ok &= saveWindowPicture(waiting, QStringLiteral("%1/spc-waiting.png").arg(folder));
    return ok ? 0 : 1;
}
