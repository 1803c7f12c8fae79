#pragma once

#include "StudyFigures.h"
#include "StudyRecord.h"

#include <QWidget>

class QComboBox;
class QPushButton;
class QTabWidget;
class QTextBrowser;

// The study's report: its figures as the PDF has them, and its charts (for a study of several
// channels, those of the channel chosen), with the PDF and CSV exports, a way back to the readings
// (to take one again) and one to set up another study.
class StudyReportPage : public QWidget {
    Q_OBJECT

public:
    explicit StudyReportPage(QWidget *parent = nullptr);

    void show(const measurelog::StoredStudy &stored, const studyrun::StudyFigures &figures);

    QTextBrowser *figures() const { return m_figures; }
    QComboBox *channel() const { return m_channel; }
    QTabWidget *charts() const { return m_charts; }
    QPushButton *pdfButton() const { return m_pdf; }
    QPushButton *csvButton() const { return m_csv; }
    QPushButton *newStudyButton() const { return m_newStudy; }
    QPushButton *readingsButton() const { return m_readings; }

private:
    void showCharts(int channel);

    studyrun::StudyFigures m_shown;
    QStringList m_names;
    QTextBrowser *m_figures;
    QComboBox *m_channel;
    QTabWidget *m_charts;
    QPushButton *m_pdf;
    QPushButton *m_csv;
    QPushButton *m_newStudy;
    QPushButton *m_readings;
};
