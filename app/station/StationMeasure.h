#pragma once

#include "DisplayedState.h"
#include "LinkSequence.h"
#include "LiveValues.h"
#include "RecordingInput.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

struct GaugeSetup;
class GaugeStudyWindow;
class MeasureCommands;
class PlantLinkCommands;
class Prompts;
class QAction;
class QMainWindow;
class QMenu;
class QToolBar;
class SettingsStore;
class SpcWindow;
class StationStudySource;
namespace spclog {
class LogSpcSource;
}

// What the Measure menu asks of the main window.
struct MeasureHooks {
    // Runs the set-up reads of the view's channels (through the link scheduler).
    std::function<void(LinkSequence)> runReads;
    // Every window made is registered with the steps that unload it when the station closes.
    std::function<void(QWidget *, std::function<void()>)> registerLoadedWindow;
};

// The Measure menu and what stands behind it: recording parts from the main list's readings
// (Record Part on F9 in every window, Auto Record, the counter, the log), the SPC window and the
// gauge studies over the measurement log, and the plant link. It follows the main list through
// the poll's view subscription, reads the limits of the view's channels when the view changes,
// and hands each tick's readings to the recorder and the study source; nothing here reads the
// unit outside the poll and the scheduler.
class StationMeasure : public QObject {
    Q_OBJECT

public:
    StationMeasure(QMainWindow &window, DisplayedState shown, LiveValues &live,
                   SettingsStore &settings, Prompts &prompts, MeasureHooks hooks);
    ~StationMeasure() override;

    // The Measure menu, the Record Part button, the serial/lot field and the counter into the
    // window's menu bar (before `before`), a tool bar and the status bar.
    void addToWindow(QAction *before);
    // What the Measure tool bar and the status bar add to the main window's height.
    int extraHeight() const;
    // The setup file the station has loaded or saved (its full path; "" for none).
    void setSetupFile(const QString &path);

    MeasureCommands &commands() { return *m_commands; }
    // From now on the limits of the view's channels are read whenever the view changes (Record
    // and the studies need them; a station that does not measure spares its line the reads).
    // Measuring starts when the Measure menu is first opened, Auto Record is on, or a log is
    // there already from an earlier run.
    void startMeasuring();
    SpcWindow *showSpc();
    GaugeStudyWindow *showGaugeStudy();
    // The plant link, made when it is switched on at start or first asked for.
    PlantLinkCommands *plantLink() const { return m_plantLink.get(); }
    void showPlantLink();

private:
    void startPlantLink();
    void viewChanged(const ViewShown &shown);
    void readSetups();
    void showView();
    void setupRead(qsizetype row, const GaugeSetup &setup);
    void rowRead(const ViewRowReading &row);
    void tickEnded(const TickEnd &end);
    QString setupName() const;

    QMainWindow &m_window;
    DisplayedState m_shown;
    LiveValues &m_live;
    SettingsStore &m_settings;
    Prompts &m_prompts;
    MeasureHooks m_hooks;
    std::unique_ptr<MeasureCommands> m_commands;
    std::unique_ptr<StationStudySource> m_studySource;
    std::unique_ptr<spclog::LogSpcSource> m_spcSource;
    std::unique_ptr<PlantLinkCommands> m_plantLink;
    QPointer<SpcWindow> m_spc;
    QPointer<GaugeStudyWindow> m_study;
    QMenu *m_menu = nullptr;
    QAction *m_plantLinkAction = nullptr;
    QToolBar *m_toolBar = nullptr;
    QString m_setupFile;
    recording::RecordingView m_view;
    // Counts the views shown, so set-up reads of a view left behind are dropped.
    quint64 m_viewNumber = 0;
    bool m_measuring = false;
    bool m_setupsAsked = false; // the set-ups of the view shown have been asked for
    LiveSubscription m_rows;
    LiveSubscription m_plantLinkValues;
};
