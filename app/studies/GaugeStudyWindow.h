#pragma once

#include "StudySession.h"

#include <QWidget>

#include <optional>

class Prompts;
class QShortcut;
class QStackedWidget;
class StudyReportPage;
class StudyRunPage;
class StudySetupPage;

namespace measurelog {
class LogWriter;
}

// "Gauge Study": a measurement-system study set up, run and reported in one window. The set-up
// page starts a new study or goes on with one left unfinished in the measurement log; the run
// page prompts each reading and takes it from the station's fresh readings (Take Reading, F9 in
// the window, or the station's Record key through takeReading()); the report page shows the
// figures and charts and writes the PDF report and the CSV. Boxes and file dialogs go through the
// prompts.
class GaugeStudyWindow : public QWidget {
    Q_OBJECT

public:
    enum class Stage { SetUp, Run, Report };
    enum class Export { PdfReport, Csv };

    GaugeStudyWindow(measurelog::LogWriter &writer, studyrun::StudyReadingSource &source,
                     Prompts &prompts, QWidget *parent = nullptr);

    Stage stage() const;
    // While this is true the station's Record key belongs to the study: it calls takeReading().
    bool isTakingReadings() const;
    // Takes the reading the prompt asks for; empty, or why not (also shown in the window).
    QString takeReading();
    // The window answers F9 itself when it stands alone; in the station the station's Record key
    // (which works in all its windows) brings the presses here instead, as two keys for one
    // press would cancel each other.
    void leaveRecordKeyToStation();
    // Writes the report or the CSV of the study shown to the file; false after a box has said
    // what went wrong.
    bool exportTo(Export what, const QString &file);

    studyrun::StudySession &session() { return m_session; }
    StudySetupPage *setupPage() const { return m_setup; }
    StudyRunPage *runPage() const { return m_run; }
    StudyReportPage *reportPage() const { return m_report; }

private:
    void showSetUp();
    void showRun();
    void showReport();
    void startStudy();
    void continueStudy(qint64 id);
    void listUnfinished();
    void showProgress();
    void showLive();
    void listTaken();
    void redoChosen();
    void chooseExportFile(Export what);
    std::optional<measurelog::StoredStudy> storedStudy();
    void say(const QString &text);

    measurelog::LogWriter &m_writer;
    studyrun::StudyReadingSource &m_source;
    Prompts &m_prompts;
    studyrun::StudySession m_session;
    bool m_wasComplete = false;
    QStackedWidget *m_stages;
    QShortcut *m_recordKey = nullptr;
    StudySetupPage *m_setup;
    StudyRunPage *m_run;
    StudyReportPage *m_report;
};
