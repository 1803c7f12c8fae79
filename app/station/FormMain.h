#pragma once

#include "DisplayedState.h"
#include "LinkScheduler.h"
#include "LiveItemSource.h"
#include "PollCycle.h"
#include "SetupWindows.h"
#include "View.h"

#include <QMainWindow>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class CommandLine;
class FormGridDisplay;
class FormSelectGroup;
class FormSetupGroup;
class FormGroupMastering;
class FormMastering;
class FormLinGage;
class FormSetupChan;
class FormSetupAnalog;
class FormSetupLvdt;
class FormSetupSystem;
class dlgCalibrate;
class QLabel;
class dlgCopyLink;
class HelpViewer;
class SetupFileCommands;
struct Station;

namespace Ui {
class FormMain;
}

// The station's one permanent window: six command buttons and the menu from which everything is
// opened. It owns the 400 ms poll (run by its link scheduler), the views, the hidden channel labels
// LabelChan(n) that carry live values to followers, the File menu's setup files, and closing in
// order.
class FormMain : public QMainWindow,
                 private PollTargets,
                 private LiveItemSource,
                 private SetupWindows {
    Q_OBJECT

public:
    FormMain(Station &state, const CommandLine &commandLine, HelpViewer &help,
             QWidget *parent = nullptr);
    ~FormMain() override;

    // The first load, before the window first shows: caption, size and place, the channel labels,
    // the start-up displays and view from the settings and the command line, the poll timer.
    void Form_Load();

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
    // else the channel command. ZeroMode is what the last command said; each dialog keeps its
    // own copy from when it was shown.
    void ZeroChannel_Click() { startChannelMastering(true); }
    void MasterChannel_Click() { startChannelMastering(false); }
    void ZeroGroup_Click() { startGroupMastering(true); }
    void MasterGroup_Click() { startGroupMastering(false); }
    void CommandZero_Click();
    void CommandMaster_Click();
    int16_t ZeroMode = 0;
    FormMastering *masteringDialog() const { return m_mastering.get(); }
    FormGroupMastering *groupMasteringDialog() const { return m_groupMastering.get(); }
    void mnuHelpContents_Click();
    void AboutQorView_Click();

    // One whole tick at once, outside the scheduler; false when it was skipped because an
    // earlier tick is still running.
    bool Timer1_Timer();
    // Runs the poll's ticks and every sequence of requests the dialogs send.
    LinkScheduler &linkScheduler() { return m_scheduler; }

    // Closes the station for a signal: no question is asked (nobody may be at the desk), the
    // layout and position are stored as on any close.
    void closeForSignal();

    // The File menu's work on setup files (New, Open, Store, Save, Save As).
    SetupFileCommands &setupFiles() { return *m_setupFiles; }
    // The group selection dialog, modal: sets SelectedGroup and GroupSelectCancelled. When a
    // group was chosen (SelectedGroup > 0, not cancelled) the PollHold the dialog raised is still
    // up, for the caller's next UpdateMainDisplay to lower (the caller must not raise it a second
    // time); otherwise the hold is lowered already and a group view without a group has become
    // the channel view.
    std::function<void()> selectGroup;
    // The set-up dialog of a display row, modal: view, then the channel, probe or analog number;
    // true when a dialog was shown.
    bool showSetupDialog(View view, int item);
    // A right click on bar (1-based) of the bar display: the copy-link dialog for the bar's
    // channel in the group and channel views, the calibration dialog in the probe view.
    void LGauge1_RightClick(int bar, QPoint globalPos);

    // Every other window of the station registers here when it is loaded, with the steps that
    // unload it; closing the main window unloads them, the most recently loaded first.
    void registerLoadedWindow(QWidget *window, std::function<void()> unload);

    // Caption of LabelChan(n), 0 ... MaxChannel.
    QString labelChanCaption(int n) const;
    int labelChanCount() const { return static_cast<int>(m_labelChan.size()); }
    QLabel *labelChan(int n) const;
    // The channel labels as the items other programs follow.
    const LiveItemSource &liveItems() const { return *this; }

    // The amplifier calibration of a probe, opened from the probe view's gauges (right button)
    // when setups are enabled; the dialog's top-left corner at screenPos.
    void showCalibrateAt(int probe, QPoint screenPos);
    dlgCalibrate *calibrationDialog() const { return m_calibrate.get(); }

    // The channel setup dialog at `channel` (0: the channel it showed last), modal or modeless;
    // one already open moves to the channel and comes to the front.
    void showChannelSetup(int channel, bool modal);
    FormSetupChan *channelSetupDialog() const { return m_setupChan.get(); }
    // The probe and analog setup dialogs on an input, modal (from a view) or not (from the Setup
    // menu); a dialog already open moves to the input and comes to the front.
    void showProbeSetup(int probe, bool modal);
    void showAnalogSetup(int input, bool modal);
    // Setup > System (modeless); an open dialog comes to the front.
    void showSystemSetup();
    FormSetupLvdt *probeSetupDialog() const { return m_probeSetup.get(); }
    FormSetupAnalog *analogSetupDialog() const { return m_analogSetup.get(); }
    FormSetupSystem *systemSetupDialog() const { return m_systemSetup.get(); }

    FormGridDisplay *gridDisplay() const { return m_grid.get(); }
    FormLinGage *barDisplay() const { return m_bars.get(); }
    bool gridChecked() const;
    bool barsChecked() const;
    const PollCycle &pollCycle() const { return m_poll; }
    dlgCopyLink *copyLinkDialog() const { return m_copyLink.get(); }

    // Setup > Groups: the group editor, modeless; an open one comes to the front.
    void SetupGroups_Click();
    FormSetupGroup *groupEditor() const { return m_groupEditor.get(); }
    FormSelectGroup *groupSelection() const { return m_groupSelection.get(); }

Q_SIGNALS:
    // The caption of LabelChan(channel) changed: the poll read a value that shows differently.
    void channelCaptionChanged(int channel, const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // PollTargets
    void setChannelLabel(int channel, const QString &text) override;
    bool gridShown() const override { return gridChecked(); }
    bool barsShown() const override { return barsChecked(); }
    void setGridValue(int row, const QString &text) override;
    void setBarValue(int row, float value) override;
    void setGridStale(int row, bool stale) override;
    void setBarStale(int row, bool stale) override;
    void setCalibrationValue(const QString &text) override;
    void setChannelSetupValue(const QString &text) override;
    void setMasteringValue(const QString &text) override;
    void setGroupMasterValue(int row, const QString &text) override;
    int probeSetupCurrentInput() const override;
    void setProbeSetupValue(const QString &text) override;
    int analogSetupCurrentInput() const override;
    void setAnalogSetupValue(const QString &text) override;

    // LiveItemSource
    int channelCount() const override { return labelChanCount() - 1; }
    QString channelText(int channel) const override;
    // SetupWindows
    void setChannelLabelCount(int count) override;
    void setCaption(const QString &caption) override { setWindowTitle(caption); }
    void refreshMainDisplay() override;
    bool updatesChosen() const override { return m_updateToggleState; }
    int currentChannel() const override;
    void setCurrentChannel(int channel) override;

    void connectCommands();
    void connectFileCommands();
    void connectSetupCommands();
    void connectMasteringCommands();
    void startChannelMastering(bool zero);
    void startGroupMastering(bool zero);
    FormMastering &mastering();
    FormGroupMastering &groupMastering();
    int currentLvdt() const override;
    void setCurrentLvdt(int probe) override;
    int currentAnalog() const override;
    void setCurrentAnalog(int input) override;

    void connectInputSetupCommands();
    FormSetupLvdt &probeSetup();
    FormSetupAnalog &analogSetup();
    void makeSeparators();
    // One hidden label per channel of the unit, LabelChan(1 ... MaxChannel).
    void sizeChannelLabels();
    void showCopyLinkFor(int channel, QPoint globalPos);
    FormGridDisplay &grid();
    FormLinGage &bars();
    DisplayedState displayed();
    std::function<void(LinkSequence)> readRunner();
    void placeDisplaysBelowMainWindow();
    static constexpr int DisplayGap = 8;
    void showSelectedGroup(int group);
    // The group dialogs: the selection behind selectGroup, the editor's end of editing.
    void connectGroupCommands();
    void runGroupSelection();
    void groupEditingDone();
    bool queryUnload();
    bool leaveUnprogrammedEdits(const QString &question) override;
    void setupReplacing() override;
    void setupReplaced() override;
    // The setup and mastering dialogs loaded so far.
    std::vector<QWidget *> setupDialogs() const;
    // The probe and analog setup dialogs that are open show their input afresh, edits dropped.
    void showOpenInputsAgain();
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
    bool m_closingForSignal = false;
    // The setup question was answered with a Save As that has ended: closing goes on without it.
    bool m_setupQuestionAnswered = false;
    std::vector<QLabel *> m_labelChan;
    std::unique_ptr<FormGridDisplay> m_grid;
    std::unique_ptr<FormLinGage> m_bars;
    std::unique_ptr<dlgCopyLink> m_copyLink;
    std::unique_ptr<dlgCalibrate> m_calibrate;
    std::unique_ptr<FormSetupGroup> m_groupEditor;
    std::unique_ptr<FormSelectGroup> m_groupSelection;
    std::unique_ptr<FormSetupChan> m_setupChan;
    std::unique_ptr<FormMastering> m_mastering;
    std::unique_ptr<FormGroupMastering> m_groupMastering;
    std::unique_ptr<FormSetupLvdt> m_probeSetup;
    std::unique_ptr<FormSetupAnalog> m_analogSetup;
    std::unique_ptr<FormSetupSystem> m_systemSetup;
    bool m_updateToggleState = false;
    bool m_gridPlaced = false;
    bool m_barsPlaced = false;
    bool m_placingDeferred = false;

    struct LoadedWindow {
        QPointer<QWidget> window;
        std::function<void()> unload;
    };
    std::vector<LoadedWindow> m_loaded;
};
