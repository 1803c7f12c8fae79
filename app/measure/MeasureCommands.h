#pragma once

#include "MeasureSettings.h"
#include "PartRecorder.h"
#include "RecordingInput.h"
#include "SetupIdentity.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class CounterLabel;
class LogWindow;
class Prompts;
class QAction;
class QMenu;
class QWidget;
class SerialLotInput;
class SettingsStore;

// The Measure menu and the recorder behind it: Record Part (F9, wherever in the station the
// operator looks: the main window, the grid or the bar display), Auto Record, Reset Counter,
// Log… and Operator…. It is fed what the poll reads through the four feed calls below, and tells
// the status bar what became of each part once the log has answered.
class MeasureCommands : public QObject {
    Q_OBJECT

public:
    // Asks for the operator's name, showing the current one; empty when the operator cancelled.
    using AskOperator = std::function<std::optional<QString>(const QString &current)>;

    // `window` is the main window: the owner of the boxes and of the Log window.
    MeasureCommands(SettingsStore &settings, Prompts &prompts, QWidget *window);
    ~MeasureCommands() override;

    // The menu's actions in its order; addTo() puts them, with separators, into `menu`.
    void addTo(QMenu *menu) const;
    QAction *recordAction() const { return m_record; }
    QAction *autoRecordAction() const { return m_autoRecord; }
    QAction *resetCounterAction() const { return m_resetCounter; }
    QAction *logAction() const { return m_log; }
    QAction *operatorAction() const { return m_operator; }

    // For the main window's status area.
    CounterLabel *makeCounterLabel(QWidget *parent) const;
    SerialLotInput *makeSerialLotInput(QWidget *parent);

    // The feed: the view the main list shows, each row read with its tick, the end of each tick,
    // and whether the list is held.
    void showView(const recording::RecordingView &view);
    void takeReading(int entry, const recording::ChannelReading &reading);
    void endTick(qint64 tick, bool complete);
    void setHeld(bool held);
    // The setup file the station loaded or saved (its full path; "" for none).
    void setSetupFile(const QString &path);
    void setSerialText(const QString &text);

    recording::PartRecorder &recorder() { return m_recorder; }
    const recording::MeasureSettings &settings() const { return m_settings; }
    LogWindow *logWindow() const;
    void setAskOperator(AskOperator ask) { m_askOperator = std::move(ask); }
    // Another window that takes the Record key while it needs readings (a gauge study): asked
    // first at each press; true when it took the press, so no part is recorded.
    void setRecordKeyTaker(std::function<bool()> taker) { m_recordKeyTaker = std::move(taker); }

    // What the menu items do.
    void record();
    void setAutoRecord(bool on);
    void resetCounter();
    LogWindow *showLog();
    void askOperator();

Q_SIGNALS:
    // A line for the main window's status bar.
    void statusText(const QString &text);

private:
    void gateChanged(const recording::GateAnswer &gate);
    void badGround(const QString &reason);
    void storeSettings();
    void updateContext();

    SettingsStore &m_store;
    Prompts &m_prompts;
    QWidget *m_window;
    recording::MeasureSettings m_settings;
    recording::PartRecorder m_recorder;
    recording::SetupIdentity m_setup; // read when the setup file changes, not at every part
    QString m_serialText;
    AskOperator m_askOperator;
    std::function<bool()> m_recordKeyTaker;
    QAction *m_record;
    QAction *m_autoRecord;
    QAction *m_resetCounter;
    QAction *m_log;
    QAction *m_operator;
    QPointer<LogWindow> m_logWindow;
};
