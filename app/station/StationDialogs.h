#pragma once

#include "FormParts.h"
#include "SetupWindows.h"
#include "StationSetup.h"
#include "View.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class FormGroupMastering;
class FormMastering;
class FormSelectGroup;
class FormSetupAnalog;
class FormSetupChan;
class FormSetupGroup;
class FormSetupLvdt;
class FormSetupSystem;
class HelpViewer;
class LinkScheduler;
class LiveValues;
class QWidget;
class dlgCalibrate;
class dlgCopyLink;
struct Station;

// What the dialog host asks of the main window.
struct DialogHostHooks {
    QWidget *parent = nullptr;
    // The main window's UpdateMainDisplay: shows the view afresh and ends the hold a command
    // handed over to it.
    std::function<void()> updateMainDisplay;
    // Every dialog made is registered with the steps that unload it when the station closes.
    std::function<void(QWidget *, std::function<void()>)> registerLoadedWindow;
    // What the setup lifecycle asks of the main window itself: its channel labels, its caption
    // and whether View > Update is checked.
    std::function<void(int)> setChannelLabelCount;
    std::function<void(const QString &)> setCaption;
    std::function<bool()> updatesChosen;
};

// The station's dialogs: each is made the first time it is asked for and kept until the station
// closes. Asked for again while it is open, a dialog comes to the front (and moves to the item
// asked for, or starts its procedure afresh); a new setup in place of the old one disables them
// while it is loaded and shows each one's item again from the new setup. The dialogs are handed
// only the parts of the station they use. It is what the setup lifecycle sees of the windows: the
// dialogs' rules are its own, the main window's are passed on through the hooks.
class StationDialogs : public QObject, public SetupWindows {
    Q_OBJECT

public:
    StationDialogs(Station &state, LinkScheduler &scheduler, LiveValues &live, HelpViewer &help,
                   DialogHostHooks hooks);
    ~StationDialogs() override;

    // The setup as the File menu's commands and the system settings change it.
    StationSetup &setup() { return m_setup; }

    // The channel setup dialog at `channel` (0: the channel it showed last), modal or modeless.
    void showChannelSetup(int channel, bool modal);
    // The probe and analog setup dialogs on an input, modal (from a view) or not (Setup menu);
    // 0 on the input shown last (the first the first time).
    void showProbeSetup(int probe, bool modal);
    void showAnalogSetup(int input, bool modal);
    void showSystemSetup();
    // The set-up dialog of a display row, modal: view, then the channel, probe or analog number;
    // true when a dialog was shown.
    bool showSetupDialog(View view, int item);
    // The amplifier calibration of a probe, its top-left corner at screenPos.
    void showCalibrateAt(int probe, QPoint screenPos);
    // Setup > Groups: the group editor, modeless; an open one comes to the front. Its Done ends
    // its hold on the list through the refresh that follows (groupEditingDone).
    void showGroupEditor();
    // The modal choice of a group: sets SelectedGroup and GroupSelectCancelled. When a group was
    // chosen (SelectedGroup > 0, not cancelled) the dialog's hold is handed over to the caller's
    // next UpdateMainDisplay; otherwise it is lowered already, and a group view left without a
    // group has become the channel view and been refreshed.
    void selectGroup();
    // Runs `choose` in place of the selection dialog's modal loop (scripted runs and tests); it
    // must leave the view as the dialog does.
    void setGroupSelection(std::function<void()> choose) { m_choose = std::move(choose); }
    // The mastering dialogs for the Zero or Master command (zero: the Zero command); shown again
    // while open, a procedure starts afresh with the new mode.
    void showMastering(bool zero, View view);
    void showGroupMastering(bool zero, int group, View view);
    // The Copy Link pop-up for `channel`, its caption showing `value`.
    void showCopyLink(int channel, const QString &value, QPoint globalPos);

    // The mastering dialog keeps its channel within `channels` (a setup made anew removes every
    // channel before it makes them again).
    void keepMasteringChannelWithin(int channels);

    // SetupWindows
    void setChannelLabelCount(int count) override { m_hooks.setChannelLabelCount(count); }
    void setCaption(const QString &caption) override { m_hooks.setCaption(caption); }
    // The main display, and the groups an open editor shows, from the setup loaded or begun.
    void refreshMainDisplay() override;
    bool updatesChosen() const override { return m_hooks.updatesChosen(); }
    int currentChannel() const override;
    void setCurrentChannel(int channel) override;
    int currentLvdt() const override;
    void setCurrentLvdt(int probe) override;
    int currentAnalog() const override;
    void setCurrentAnalog(int input) override;
    // Edits typed into a setup dialog and not yet programmed are in no setup and no file: the
    // operator is asked before they are dropped.
    bool leaveUnprogrammedEdits(const QString &question) override;
    void setupReplacing() override;
    void setupReplaced() override;

    // The dialogs made so far (nullptr: not yet made).
    FormMastering *masteringDialog() const { return m_mastering.get(); }
    FormGroupMastering *groupMasteringDialog() const { return m_groupMastering.get(); }
    dlgCalibrate *calibrationDialog() const { return m_calibrate.get(); }
    FormSetupChan *channelSetupDialog() const { return m_setupChan.get(); }
    FormSetupLvdt *probeSetupDialog() const { return m_probeSetup.get(); }
    FormSetupAnalog *analogSetupDialog() const { return m_analogSetup.get(); }
    FormSetupSystem *systemSetupDialog() const { return m_systemSetup.get(); }
    FormSetupGroup *groupEditor() const { return m_groupEditor.get(); }
    FormSelectGroup *groupSelection() const { return m_groupSelection.get(); }
    dlgCopyLink *copyLinkDialog() const { return m_copyLink.get(); }

private:
    FormParts formParts();
    FormMastering &mastering();
    FormGroupMastering &groupMastering();
    FormSetupLvdt &probeSetup();
    FormSetupAnalog &analogSetup();
    void runGroupSelection();
    void groupEditingDone();
    // The setup and mastering dialogs made so far.
    std::vector<QWidget *> setupDialogs() const;
    // The probe and analog setup dialogs that are open show their input afresh, edits dropped.
    void showOpenInputsAgain();
    template <typename Dialog> void registerLoaded(Dialog &dialog, std::function<void()> unload);

    Station &m_state;
    LinkScheduler &m_scheduler;
    LiveValues &m_live;
    HelpViewer &m_help;
    DialogHostHooks m_hooks;
    StationSetup m_setup;
    std::function<void()> m_choose;

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
};
