#include "GaugeStudyWindow.h"
#include "StudyReportPage.h"
#include "StudyRunPage.h"
#include "StudySetupPage.h"
#include "StudyTestParts.h"
#include "StudyTexts.h"
#include "StudyWindowDriver.h"
#include "WaitFor.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <memory>

namespace {

using studyrun::testing::SimulatedGauge;
using Stage = GaugeStudyWindow::Stage;

// The text of a PDF file as pdftotext reads it, or, where that tool is missing, the file's bytes
// (whose text is compressed, so only the checks of the file itself can pass).
QString pdfText(const QString &file) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty()) {
        QFile pdf(file);
        return pdf.open(QIODevice::ReadOnly) ? QString::fromLatin1(pdf.readAll()) : QString();
    }
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), file, QStringLiteral("-")});
    process.waitForFinished(30000);
    // The PDF's fonts join f and i (and f and f) into one letter.
    return QString::fromUtf8(process.readAllStandardOutput())
        .replace(QStringLiteral("ﬁ"), QStringLiteral("fi"))
        .replace(QStringLiteral("ﬀ"), QStringLiteral("ff"));
}

bool hasPdfTool() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

class GaugeStudyWindowTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return m_folder.filePath(name); }
    QString logPath() const { return path(QStringLiteral("measurements.sqlite")); }

    QTemporaryDir m_folder;
    std::unique_ptr<StudyWindowDriver> m_driver = std::make_unique<StudyWindowDriver>(logPath());
};

// A 10 × 3 × 3 study of two channels set up, run and reported through the window: every prompt is
// the session's, the report opens by itself after the last reading, both methods' figures and the
// acceptance bands are shown, the charts of each channel are there, and the PDF and CSV hold them.
TEST_F(GaugeStudyWindowTest, AnRrStudyRunsThroughTheWindowToItsReportPdfAndCsv) {
    StudyWindowDriver &d = *m_driver;
    SimulatedGauge gauge(d.source, {7, 10.0, 0.02, 0.002, {0.0, 0.001, -0.001}});
    EXPECT_EQ(d.window.stage(), Stage::SetUp);
    EXPECT_FALSE(d.window.isTakingReadings());
    ASSERT_EQ(d.startRr({1, 2}, 10, 3, 3, QStringLiteral("Ann, Bob, Cy")), QString());
    EXPECT_TRUE(d.window.isTakingReadings());
    EXPECT_EQ(d.window.runPage()->prompt()->text(), d.window.session().prompt());
    EXPECT_TRUE(
        d.window.runPage()->prompt()->text().startsWith(QStringLiteral("Appraiser Ann — part ")))
        << d.window.runPage()->prompt()->text().toStdString();
    EXPECT_FALSE(d.window.runPage()->reportButton()->isEnabled());

    int prompts = 0;
    ASSERT_TRUE(d.takeEveryReading([&](const studies::StudyStep &step) {
        if (d.window.stage() == Stage::Run &&
            d.window.runPage()->prompt()->text() == d.window.session().prompt())
            ++prompts;
        gauge.place(step);
    }));
    EXPECT_EQ(prompts, 90);
    ASSERT_EQ(d.window.stage(), Stage::Report) << "the last reading opens the report";
    EXPECT_FALSE(d.window.isTakingReadings());

    StudyReportPage &report = *d.window.reportPage();
    const QString shown = report.figures()->toPlainText();
    for (const char *expected :
         {"Gauge study 1: gauge R&R", "Ann, Bob, Cy", "10 × 3 × 3",
          "ANOVA, two-way with interaction", "EV (repeatability)", "%GRR of the total variation",
          "%GRR below 10 % is acceptable", "Number of distinct categories", "Channel 2 Shaft",
          "90 of 90 taken", "Definitions."})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_EQ(report.channel()->count(), 2);
    EXPECT_EQ(report.charts()->count(), 4);
    report.channel()->setCurrentIndex(1);
    EXPECT_EQ(report.charts()->count(), 4);
    EXPECT_EQ(report.charts()->tabText(2), QStringLiteral("Interaction"));

    const QString pdf = path(QStringLiteral("study.pdf"));
    d.prompts.fileNames = {pdf};
    report.pdfButton()->click();
    ASSERT_EQ(d.prompts.fileDialogs.size(), 1u);
    EXPECT_EQ(d.prompts.fileDialogs[0].suggestedName, QStringLiteral("study-1.pdf"));
    QFile pdfFile(pdf);
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdfFile.read(5) == "%PDF-");
    if (hasPdfTool()) {
        const QString text = pdfText(pdf);
        for (const char *expected :
             {"Gauge study 1: gauge R&R", "EV (repeatability)", "GRR", "Readings by part",
              "Ranges by appraiser", "Interaction", "Definitions.", "Report made"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
        const studyrun::StudyFigures figures = d.window.session().figures();
        const auto &anova = figures.channels.at(0).anova.result;
        ASSERT_TRUE(anova);
        EXPECT_TRUE(text.contains(studyrun::percentText(anova->figures.grr.percentOfTotal)))
            << "the %GRR the window computes is printed";
    }

    const QString csv = path(QStringLiteral("study.csv"));
    EXPECT_TRUE(d.window.exportTo(GaugeStudyWindow::Export::Csv, csv));
    QFile csvFile(csv);
    ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = csvFile.readAll();
    EXPECT_TRUE(bytes.contains("appraisers,Ann;Bob;Cy\r\n"));
    EXPECT_EQ(bytes.count(",0\r\n") + bytes.count(",1\r\n") >= 180, true)
        << "a row per value of every reading";
}

// A type-1 study taken with the Record key: the prompt counts the repeats, the report shows Cg and
// Cgk and the run chart.
TEST_F(GaugeStudyWindowTest, ATypeOneStudyIsTakenWithTheRecordKeyAndReported) {
    StudyWindowDriver &d = *m_driver;
    SimulatedGauge gauge(d.source, {3, 10.0, 0.02, 0.001, {}});
    const double reference = gauge.trueSize(0, 2);
    d.window.setupPage()->type1Channel()->setCurrentIndex(1);
    EXPECT_EQ(d.window.setupPage()->tolerance()->value(), 0.08) << "the channel's tolerance";
    EXPECT_EQ(d.window.setupPage()->repeats()->value(), 50);
    ASSERT_EQ(d.startType1(1, reference, 25), QString());
    for (int i = 0; i < 25; ++i) {
        ASSERT_EQ(d.window.runPage()->prompt()->text(),
                  QStringLiteral("Place the reference part (%1 of 25)").arg(i + 1));
        gauge.place({0, 0, i});
        ASSERT_EQ(d.window.takeReading(), QString());
        ASSERT_TRUE(waitFor(
            [&] { return d.window.session().state() == studyrun::StudySession::State::Taking; }));
    }
    ASSERT_EQ(d.window.stage(), Stage::Report);
    EXPECT_EQ(d.window.takeReading(), QStringLiteral("No study is running."))
        << "the Record key is the part recorder's again";
    const QString shown = d.window.reportPage()->figures()->toPlainText();
    for (const char *expected : {"type-1 study", "Cg", "Cgk", "Bias", "Channel 2 Shaft"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_EQ(d.window.reportPage()->charts()->count(), 1);
    EXPECT_FALSE(d.window.reportPage()->channel()->isVisible());
}

// What cannot be run is refused on the set-up page with the reason, and no study is stored.
TEST_F(GaugeStudyWindowTest, TheSetUpSaysWhatIsWrongAndStartsNothing) {
    StudyWindowDriver &d = *m_driver;
    const struct {
        const char *legend;
        std::function<QString()> start;
        const char *message;
    } cases[] = {
        {"two appraisers of one name",
         [&] { return d.startRr({1}, 10, 3, 3, QStringLiteral("Ann, Bob, Ann")); },
         "Two appraisers are named \"Ann\"."},
        {"a name missing", [&] { return d.startRr({1}, 10, 3, 3, QStringLiteral("Ann, , Cy")); },
         "Name each of the 3 appraisers."},
        {"no channel", [&] { return d.startRr({}, 10, 3, 3, QStringLiteral("A, B, C")); },
         "Choose the channel the study measures."},
        {"a type-1 study without a tolerance",
         [&] {
             d.window.setupPage()->tolerance()->setValue(0.0);
             return d.startType1(0, 10.0, 50);
         },
         "The tolerance of channel 1 must be a number above 0."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(c.start(), QString::fromUtf8(c.message));
        EXPECT_EQ(d.window.stage(), Stage::SetUp);
        EXPECT_FALSE(d.window.session().hasStudy());
    }
}

// Take Reading is off, with the reason in its place, while the readings are not fresh or another
// setup is loaded; the Record key then says why and nothing is taken.
TEST_F(GaugeStudyWindowTest, TakeReadingWaitsForFreshReadingsOfTheStudysSetup) {
    StudyWindowDriver &d = *m_driver;
    SimulatedGauge gauge(d.source, {5, 10.0, 0.02, 0.002, {}});
    ASSERT_EQ(d.startRr({1}, 10, 3, 3, QStringLiteral("A, B, C")), QString());
    StudyRunPage &run = *d.window.runPage();
    EXPECT_FALSE(run.takeButton()->isEnabled()) << "no tick yet";
    gauge.place(*d.window.session().currentStep());
    EXPECT_TRUE(run.takeButton()->isEnabled());
    EXPECT_TRUE(run.live()->text().startsWith(QStringLiteral("Bore: ")))
        << run.live()->text().toStdString();

    d.source.goStale(QStringLiteral("The poll is held."));
    EXPECT_FALSE(run.takeButton()->isEnabled());
    EXPECT_EQ(run.live()->text(), QStringLiteral("The poll is held."));
    EXPECT_EQ(d.window.takeReading(), QStringLiteral("The poll is held."));
    EXPECT_EQ(run.message()->text(), QStringLiteral("The poll is held."));

    d.source.loadSetup(QStringLiteral("gear.qor"), studyrun::testing::gaugeChannels());
    d.source.tick({{1, 10.0}, {2, 10.0}});
    EXPECT_FALSE(run.takeButton()->isEnabled());
    EXPECT_TRUE(run.live()->text().endsWith(
        QStringLiteral("The study was set up with crank.qor, but gear.qor is loaded.")));
    EXPECT_TRUE(d.window.session().readings().history().empty());
}

// A reading chosen in the list is taken again: the list keeps both, the earlier marked, and the
// report counts it.
TEST_F(GaugeStudyWindowTest, AReadingChosenInTheListIsTakenAgain) {
    StudyWindowDriver &d = *m_driver;
    SimulatedGauge gauge(d.source, {9, 10.0, 0.02, 0.002, {}});
    ASSERT_EQ(d.startRr({1}, 2, 2, 2, QStringLiteral("A, B")), QString());
    for (int i = 0; i < 3; ++i) {
        gauge.place(*d.window.session().currentStep());
        ASSERT_TRUE(d.takeOne());
    }
    StudyRunPage &run = *d.window.runPage();
    ASSERT_EQ(run.taken()->count(), 3);
    const studies::StudyStep chosen = d.window.session().readings().history()[1].step;
    run.taken()->setCurrentRow(1);
    run.redoChosenButton()->click();
    EXPECT_EQ(run.prompt()->text(),
              QStringLiteral("Again: ") + studyrun::promptFor(d.window.session().study(), chosen));
    EXPECT_TRUE(run.cancelRedoButton()->isVisibleTo(&d.window));
    gauge.place(chosen);
    ASSERT_TRUE(d.takeOne());
    ASSERT_EQ(run.taken()->count(), 4);
    EXPECT_TRUE(run.taken()->item(1)->text().endsWith(QStringLiteral("(taken again)")));
    EXPECT_FALSE(run.taken()->item(3)->text().endsWith(QStringLiteral("(taken again)")));
    EXPECT_EQ(run.progress()->text(), QStringLiteral("3 of 8 readings taken"));

    ASSERT_TRUE(d.takeEveryReading([&](const studies::StudyStep &step) { gauge.place(step); }));
    EXPECT_TRUE(d.window.reportPage()->figures()->toPlainText().contains(
        QStringLiteral("8 of 8 taken; 1 taken again")));
}

// The window closed halfway and opened again: the study is offered on the set-up page and goes on
// at its next step.
TEST_F(GaugeStudyWindowTest, AStudyLeftUnfinishedIsContinuedFromTheSetUpPage) {
    std::vector<studies::StudyStep> taken;
    {
        StudyWindowDriver &d = *m_driver;
        SimulatedGauge gauge(d.source, {4, 10.0, 0.02, 0.002, {}});
        ASSERT_EQ(d.startRr({1, 2}, 10, 3, 3, QStringLiteral("A, B, C")), QString());
        for (int i = 0; i < 7; ++i) {
            gauge.place(*d.window.session().currentStep());
            ASSERT_TRUE(d.takeOne());
        }
    }
    m_driver.reset();
    m_driver = std::make_unique<StudyWindowDriver>(logPath());
    StudyWindowDriver &d = *m_driver;
    StudySetupPage &setup = *d.window.setupPage();
    ASSERT_TRUE(setup.continueButton()->isEnabled());
    ASSERT_EQ(setup.unfinished()->count(), 1);
    EXPECT_TRUE(setup.unfinished()->itemText(0).startsWith(
        QStringLiteral("Study 1: gauge R&R of crank.qor, 7 of 90 readings")))
        << setup.unfinished()->itemText(0).toStdString();
    setup.continueButton()->click();
    ASSERT_EQ(d.window.stage(), Stage::Run);
    EXPECT_EQ(d.window.runPage()->progress()->text(), QStringLiteral("7 of 90 readings taken"));
    EXPECT_EQ(d.window.runPage()->taken()->count(), 7);
    const std::vector<studies::StudyStep> order = studyrun::orderOf(d.window.session().study());
    EXPECT_EQ(d.window.runPage()->prompt()->text(),
              studyrun::promptFor(d.window.session().study(), order[7]));
}

} // namespace
