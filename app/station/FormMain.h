#pragma once

#include "DisplayedState.h"
#include "LinkScheduler.h"
#include "PollCycle.h"
#include "View.h"

#include <QMainWindow>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class CommandLine;
class FormGridDisplay;
class FormLinGage;
class dlgCalibrate;
class QLabel;
class HelpViewer;
struct Station;

namespace Ui {
class FormMain;
}

// The station's one permanent window: six command buttons and the menu from which everything is
// opened. It owns the 400 ms poll (run by its link scheduler), the views, the hidden channel labels
// LabelChan(n) that carry live values to followers, and closing in order.
class FormMain : public QMainWindow, private PollTargets {
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

    // Setup files come with their own work. Until then a file named on the command line is only
    // remembered in SetupFileName, and Save As (asked for by closing with a changed setup) saves
    // nothing; these two are where that work plugs in.
    std::function<void(const QString &fileName)> loadSetupFile;
    std::function<void()> saveSetupAs;
    // The group selection dialog (sets SelectedGroup and GroupSelectCancelled) and the set-up
    // dialogs opened from a display row (view, then the channel, probe or analog number; true when
    // a dialog was shown) come with the group editor and the set-up dialogs. Without them View >
    // Group and picks in the displays change nothing.
    std::function<void()> selectGroup;
    std::function<bool(View view, int item)> showSetupDialog;

    // Every other window of the station registers here when it is loaded, with the steps that
    // unload it; closing the main window unloads them, the most recently loaded first.
    void registerLoadedWindow(QWidget *window, std::function<void()> unload);

    // Caption of LabelChan(n), 0 ... MaxChannel.
    QString labelChanCaption(int n) const;
    int labelChanCount() const { return static_cast<int>(m_labelChan.size()); }
    QLabel *labelChan(int n) const;

    // The amplifier calibration of a probe, opened from the probe view's gauges (right button)
    // when setups are enabled; the dialog's top-left corner at screenPos.
    void showCalibrateAt(int probe, QPoint screenPos);
    dlgCalibrate *calibrationDialog() const { return m_calibrate.get(); }

    FormGridDisplay *gridDisplay() const { return m_grid.get(); }
    FormLinGage *barDisplay() const { return m_bars.get(); }
    bool gridChecked() const;
    bool barsChecked() const;
    const PollCycle &pollCycle() const { return m_poll; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // PollTargets
    void setChannelLabel(int channel, const QString &text) override;
    bool gridShown() const override { return gridChecked(); }
    bool barsShown() const override { return barsChecked(); }
    void setGridValue(int row, const QString &text) override;
    void setBarValue(int row, float value) override;
    void setCalibrationValue(const QString &text) override;
    void probeGaugeRightClicked(int item, QPoint screenPos);

    void connectCommands();
    void makeSeparators();
    void createChannelLabels();
    FormGridDisplay &grid();
    FormLinGage &bars();
    DisplayedState displayed();
    void placeDisplaysBelowMainWindow();
    static constexpr int DisplayGap = 8;
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
    bool m_closingForSignal = false;
    std::vector<QLabel *> m_labelChan;
    std::unique_ptr<FormGridDisplay> m_grid;
    std::unique_ptr<FormLinGage> m_bars;
    std::unique_ptr<dlgCalibrate> m_calibrate;
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
