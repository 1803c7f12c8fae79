#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

// The study being run: what to do now in large letters, the progress, the live readings of the
// study's channels or why none can be taken, Take Reading (the Record key does the same), Redo
// of the last reading or of one chosen in the list of readings taken, and the report once every
// reading is in.
class StudyRunPage : public QWidget {
    Q_OBJECT

public:
    explicit StudyRunPage(QWidget *parent = nullptr);

    QLabel *prompt() const { return m_prompt; }
    QLabel *progress() const { return m_progress; }
    QLabel *live() const { return m_live; }
    QLabel *message() const { return m_message; }
    QListWidget *taken() const { return m_taken; }
    QPushButton *takeButton() const { return m_take; }
    QPushButton *redoLastButton() const { return m_redoLast; }
    QPushButton *redoChosenButton() const { return m_redoChosen; }
    QPushButton *cancelRedoButton() const { return m_cancelRedo; }
    QPushButton *reportButton() const { return m_report; }

private:
    QLabel *m_prompt;
    QLabel *m_progress;
    QLabel *m_live;
    QLabel *m_message;
    QListWidget *m_taken;
    QPushButton *m_take;
    QPushButton *m_redoLast;
    QPushButton *m_redoChosen;
    QPushButton *m_cancelRedo;
    QPushButton *m_report;
};
