#pragma once

#include "CsvExport.h"
#include "LogFilter.h"

#include <QWidget>

#include <optional>

class LogModel;
class PartDetailDialog;
class Prompts;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

// "Measure > Log…": every part ever recorded, newest first, a row per part with a column per
// channel of the setup in view (the one chosen in the filter, else the station's current one),
// verdicts coloured like the gauges. Filters by time, setup, verdict and serial; a double-click
// opens the part's detail; the parts the filter shows are exported as CSV. Modeless: the station
// goes on recording while it is open, and Refresh shows what came since.
class LogWindow : public QWidget {
    Q_OBJECT

public:
    LogWindow(const QString &logPath, Prompts &prompts, QWidget *parent = nullptr);
    ~LogWindow() override;

    // The station's setup file (its name without folder; "" when none is loaded): its channels
    // are the columns while the filter names no setup.
    void setCurrentSetup(const QString &setupFile);
    // Reads the filter's fields and shows the first parts; false when a field is wrong or the log
    // could not be read (the window says which).
    bool applyFilter();
    // Writes the parts the filter shows to `file`; false after a box said why.
    bool exportTo(const QString &file, measurelog::ExportForm form);
    PartDetailDialog *openDetail(int row);

    LogModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }
    QLineEdit *sinceField() const { return m_since; }
    QLineEdit *untilField() const { return m_until; }
    QComboBox *setupChoice() const { return m_setup; }
    QComboBox *verdictChoice() const { return m_verdict; }
    QLineEdit *serialField() const { return m_serial; }
    QString noticeText() const;

private:
    std::optional<measurelog::LogFilter> filterFromFields();
    void fillSetups();
    void chooseExportFile(measurelog::ExportForm form);
    void say(const QString &text);

    QString m_logPath;
    Prompts &m_prompts;
    QString m_currentSetup;
    LogModel *m_model;
    QTableView *m_table;
    QLineEdit *m_since;
    QLineEdit *m_until;
    QComboBox *m_setup;
    QComboBox *m_verdict;
    QLineEdit *m_serial;
    QLabel *m_notice;
};
