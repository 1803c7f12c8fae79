#pragma once

#include "LinkScheduler.h"
#include "LiveItemSource.h"
#include "PollCycle.h"
#include "StationDialogs.h"
#include "View.h"

#include <QMainWindow>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class ChannelLabels;
class CommandLine;
class FormGridDisplay;
class FormLinGage;
class QLabel;
class HelpViewer;
class SetupFileCommands;
class StationDisplays;
class StationMeasure;
struct Station;

namespace Ui {
class FormMain;
}

// The station's one permanent window: six command buttons and the menu from which everything is
// opened. It owns the 400 ms poll (run by its link scheduler), the views and their displays, the
// hidden channel labels LabelChan(n) that carry live values to followers, the File menu's setup
// files, and closing in order; its dialogs are made and kept by its dialog host (StationDialogs).
class FormMain : public QMainWindow {
    Q_OBJECT

public:
    FormMain(Station &state, const CommandLine &commandLine, HelpViewer &help,
             QWidget *parent = nullptr);
    ~FormMain() override;

    // The first load, before the window first shows: caption, size and place, the channel labels,
    // the start-up displays and view from the settings and the command line, the poll timer.
    void Form_Load();

    // Shows the current view afresh and ends the hold a command handed over to it.
    void UpdateMainDisplay();
    void EnableGrid_Click();
    void EnableBarGraphs_Click();
    // Opens the set-up of the item in 1-based row index of the current view.
    void GotoSetupFromView(int index);
    bool CheckForAnyGroups() const;

    // View commands.
    void ViewChannels_Click();
    void ViewLVDTs_Click();
    void ViewGroups_Click();
    void CommandViewToggle_Click();
    void UpdateToggle_Click();
    void CommandResetMM_Click();

    // Zeroing and mastering: the channel commands switch to the channel view and open the
    // channel dialog, the group commands settle the group (asking when there are several) and
    // open the group dialog; the Zero and Master buttons run the group command in the group view,
    // else the channel command.
    void ZeroChannel_Click() { startChannelMastering(true); }
    void MasterChannel_Click() { startChannelMastering(false); }
    void ZeroGroup_Click() { startGroupMastering(true); }
    void MasterGroup_Click() { startGroupMastering(false); }
    void CommandZero_Click();
    void CommandMaster_Click();
    void mnuHelpContents_Click();
    void AboutQorView_Click();
    // Setup > Groups: the group editor.
    void SetupGroups_Click();

    // One whole tick at once, outside the scheduler; false when it was skipped because an
    // earlier tick is still running.
    bool Timer1_Timer();
    // Runs the poll's ticks and every sequence of requests the dialogs send.
    LinkScheduler &linkScheduler() { return m_scheduler; }
    // Where live values are subscribed to.
    LiveValues &liveValues() { return m_poll; }
    // The station's dialogs.
    StationDialogs &dialogs() { return *m_dialogs; }
    // The Measure menu: recording parts, SPC, gauge studies, the plant link.
    StationMeasure &measure() { return *m_measure; }

    // Closes the station for a signal: no question is asked (nobody may be at the desk), the
    // layout and position are stored as on any close.
    void closeForSignal();

    // The File menu's work on setup files (New, Open, Store, Save, Save As).
    SetupFileCommands &setupFiles() { return *m_setupFiles; }
    // A right click on bar (1-based) of the bar display: the copy-link dialog for the bar's
    // channel in the group and channel views, the calibration dialog in the probe view.
    void LGauge1_RightClick(int bar, QPoint globalPos);

    // Every other window of the station registers here when it is loaded, with the steps that
    // unload it; closing the main window unloads them, the most recently loaded first.
    void registerLoadedWindow(QWidget *window, std::function<void()> unload);

    // Caption of LabelChan(n), 0 ... MaxChannel.
    QString labelChanCaption(int n) const;
    int labelChanCount() const;
    QLabel *labelChan(int n) const;
    // The channel labels as the items other programs follow.
    const LiveItemSource &liveItems() const;

    FormGridDisplay *gridDisplay() const;
    FormLinGage *barDisplay() const;
    bool gridChecked() const;
    bool barsChecked() const;

Q_SIGNALS:
    // The caption of LabelChan(channel) changed: the poll read a value that shows differently.
    void channelCaptionChanged(int channel, const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void connectCommands();
    void connectFileCommands();
    void connectDialogCommands();
    void startChannelMastering(bool zero);
    void startGroupMastering(bool zero);
    // One hidden label per channel of the unit, LabelChan(1 ... MaxChannel).
    void sizeChannelLabels();
    void showSelectedGroup(int group);
    bool queryUnload();
    void unloadOtherWindows();
    void storeMainPosition();
    // Says which settings written so far did not reach the settings file, and why.
    void reportSettingsNotSaved();

    std::unique_ptr<Ui::FormMain> ui;
    Station &m_state;
    const CommandLine &m_commandLine;
    HelpViewer &m_help;
    PollCycle m_poll;
    LinkScheduler m_scheduler;
    std::unique_ptr<SetupFileCommands> m_setupFiles;
    std::unique_ptr<ChannelLabels> m_labels;
    std::unique_ptr<StationDialogs> m_dialogs;
    std::unique_ptr<StationDisplays> m_displays;
    std::unique_ptr<StationMeasure> m_measure;
    bool m_closingForSignal = false;
    // The setup question was answered with a Save As that has ended: closing goes on without it.
    bool m_setupQuestionAnswered = false;
    bool m_updateToggleState = false;

    struct LoadedWindow {
        QPointer<QWidget> window;
        std::function<void()> unload;
    };
    std::vector<LoadedWindow> m_loaded;
};
