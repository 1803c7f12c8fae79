#include "ExportProgress.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressDialog>

#include <atomic>
#include <cmath>
#include <thread>

using measurelog::ExportControl;
using measurelog::ExportResult;

namespace {

constexpr int ProgressSteps = 1000;
constexpr int ShowAfterMs = 500;

} // namespace

ExportResult exportWithProgress(QWidget *parent, const QString &logPath, const QString &csvPath,
                                const measurelog::ExportRequest &request) {
    QProgressDialog progress(QStringLiteral("Exporting the log…"), QStringLiteral("Cancel"), 0,
                             ProgressSteps, parent);
    progress.setWindowTitle(QStringLiteral("Export"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ShowAfterMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);

    std::atomic_bool cancel = false;
    QObject::connect(&progress, &QProgressDialog::canceled, &progress,
                     [&cancel] { cancel = true; });
    QEventLoop loop;
    ExportResult result;
    ExportControl control;
    control.cancel = &cancel;
    // The box lives until the worker is joined, so what the worker posts finds it.
    control.progress = [&progress](double done) {
        const int step = static_cast<int>(std::lround(done * ProgressSteps));
        QMetaObject::invokeMethod(
            &progress,
            [&progress, step] {
                if (step > progress.value())
                    progress.setValue(step);
            },
            Qt::QueuedConnection);
    };
    std::thread worker([&] {
        result = measurelog::exportCsv(logPath, csvPath, request, control);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    // Progress the worker posted after the loop ended is dropped with the box.
    QCoreApplication::removePostedEvents(&progress);
    return result;
}
