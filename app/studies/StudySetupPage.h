#pragma once

#include "StudyPlan.h"
#include "StudyReadingSource.h"

#include <QWidget>

#include <vector>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStackedWidget;

// The study's set-up: its kind, for a type-1 study the channel, the reference part's size, the
// tolerance and the repeats; for a repeatability and reproducibility study the parts, appraisers
// (named) and trials and the channels; the spread the study variation spans. Below, the studies
// left unfinished in the log, to go on with.
class StudySetupPage : public QWidget {
    Q_OBJECT

public:
    explicit StudySetupPage(QWidget *parent = nullptr);

    // The channels of the loaded setup to choose from; a type-1 study's tolerance starts as the
    // channel's when it has one.
    void setChannels(const std::vector<studyrun::SourceChannel> &channels);
    // The unfinished studies offered: their ids and a line each.
    void setUnfinished(const std::vector<std::pair<qint64, QString>> &studies);
    void setMessage(const QString &text);

    // The study as set up (not yet checked).
    studyrun::StudyRecord study() const;

    QComboBox *kind() const { return m_kind; }
    QComboBox *type1Channel() const { return m_type1Channel; }
    QDoubleSpinBox *reference() const { return m_reference; }
    QDoubleSpinBox *tolerance() const { return m_tolerance; }
    QSpinBox *repeats() const { return m_repeats; }
    QSpinBox *parts() const { return m_parts; }
    QSpinBox *appraisers() const { return m_appraisers; }
    QSpinBox *trials() const { return m_trials; }
    QLineEdit *appraiserNames() const { return m_names; }
    QListWidget *rrChannels() const { return m_rrChannels; }
    QComboBox *spread() const { return m_spread; }
    QPushButton *startButton() const { return m_start; }
    QComboBox *unfinished() const { return m_unfinished; }
    QPushButton *continueButton() const { return m_continue; }
    QLabel *message() const { return m_message; }

Q_SIGNALS:
    void startAsked();
    void continueAsked(qint64 studyId);

private:
    void type1ChannelChosen(int index);
    void appraiserCountChanged(int count);
    measurelog::StudyChannelRecord channelRecord(const studyrun::SourceChannel &channel) const;

    std::vector<studyrun::SourceChannel> m_channels;
    QComboBox *m_kind;
    QStackedWidget *m_kindPages;
    QComboBox *m_type1Channel;
    QDoubleSpinBox *m_reference;
    QDoubleSpinBox *m_tolerance;
    QSpinBox *m_repeats;
    QSpinBox *m_parts;
    QSpinBox *m_appraisers;
    QSpinBox *m_trials;
    QLineEdit *m_names;
    QListWidget *m_rrChannels;
    QComboBox *m_spread;
    QPushButton *m_start;
    QComboBox *m_unfinished;
    QPushButton *m_continue;
    QLabel *m_message;
};
