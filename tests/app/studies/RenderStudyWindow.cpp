// Renders the gauge study window in each stage of a 10 × 3 × 3 study and of a type-1 study to PNG
// files, and writes both PDF reports, for review:
//   render_study_window FOLDER

#include "StudyReportPage.h"
#include "StudyTestParts.h"
#include "StudyWindowDriver.h"
#include "WindowPicture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTabWidget>

#include <cstdio>

namespace {

bool picture(QWidget &window, const QString &folder, const char *name) {
    return saveWindowPicture(window, QDir(folder).filePath(QString::fromUtf8(name)));
}

bool renderRr(const QString &folder) {
    StudyWindowDriver d(QDir(folder).filePath(QStringLiteral("rr.sqlite")));
    d.window.resize(1100, 760);
    studyrun::testing::SimulatedGauge gauge(d.source, {7, 10.0, 0.02, 0.002, {0.0, 0.002, -0.001}});
    bool ok = picture(d.window, folder, "study-setup.png");
    if (!d.startRr({1, 2}, 10, 3, 3, QStringLiteral("Ann, Bob, Cy")).isEmpty())
        return false;
    for (int i = 0; i < 37; ++i) {
        gauge.place(*d.window.session().currentStep());
        ok = d.takeOne() && ok;
    }
    gauge.place(*d.window.session().currentStep());
    ok = picture(d.window, folder, "study-run.png") && ok;
    ok = d.takeEveryReading([&](const studies::StudyStep &step) { gauge.place(step); }) && ok;
    QTabWidget &charts = *d.window.reportPage()->charts();
    const char *names[] = {"study-report-parts.png", "study-report-appraisers.png",
                           "study-report-interaction.png", "study-report-ranges.png"};
    for (int tab = 0; tab < charts.count() && tab < 4; ++tab) {
        charts.setCurrentIndex(tab);
        ok = picture(d.window, folder, names[tab]) && ok;
    }
    return d.window.exportTo(GaugeStudyWindow::Export::PdfReport,
                             QDir(folder).filePath(QStringLiteral("study-rr.pdf"))) &&
           ok;
}

bool renderType1(const QString &folder) {
    StudyWindowDriver d(QDir(folder).filePath(QStringLiteral("type1.sqlite")));
    d.window.resize(1100, 760);
    studyrun::testing::SimulatedGauge gauge(d.source, {3, 10.0, 0.02, 0.002, {}});
    if (!d.startType1(0, gauge.trueSize(0, 1) - 0.0008, 50).isEmpty())
        return false;
    bool ok = d.takeEveryReading([&](const studies::StudyStep &step) { gauge.place(step); });
    ok = picture(d.window, folder, "study-report-type1.png") && ok;
    return d.window.exportTo(GaugeStudyWindow::Export::PdfReport,
                             QDir(folder).filePath(QStringLiteral("study-type1.pdf"))) &&
           ok;
}

} // namespace

int main(int argc, char **argv) {
    PictureSession session;
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    const bool ok = renderRr(folder) && renderType1(folder);
    std::printf("%s\n", ok ? "done" : "FAILED");
    return ok ? 0 : 1;
}
