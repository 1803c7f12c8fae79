#include "StationDialogs.h"

#include "FormGroupMastering.h"
#include "FormMastering.h"
#include "FormSelectGroup.h"
#include "FormSetupAnalog.h"
#include "FormSetupChan.h"
#include "FormSetupGroup.h"
#include "FormSetupLvdt.h"
#include "FormSetupSystem.h"
#include "GroupSelection.h"
#include "LinkScheduler.h"
#include "LiveItems.h"
#include "Prompts.h"
#include "Station.h"
#include "Twips.h"
#include "dlgCalibrate.h"
#include "dlgCopyLink.h"

#include <initializer_list>

StationDialogs::StationDialogs(Station &state, LinkScheduler &scheduler, LiveValues &live,
                               HelpViewer &help, DialogHostHooks hooks)
    : QObject(hooks.parent), m_state(state), m_scheduler(scheduler), m_live(live), m_help(help),
      m_hooks(std::move(hooks)),
      m_setup(SetupParts{state.session, state.prompts, state.config, state.unit, state.view,
                         state.live, state.setup, *this}) {}

StationDialogs::~StationDialogs() = default;

template <typename Dialog>
void StationDialogs::registerLoaded(Dialog &dialog, std::function<void()> unload) {
    if (m_hooks.registerLoadedWindow)
        m_hooks.registerLoadedWindow(&dialog, std::move(unload));
}

// The parts every form that works on the unit is handed.
FormParts StationDialogs::formParts() {
    return {m_state.session, m_state.unit, m_scheduler, m_state.prompts, m_state.setup, m_live};
}

// ---- setup dialogs ----------------------------------------------------------------------------

void StationDialogs::showChannelSetup(int channel, bool modal) {
    if (!m_setupChan) {
        ChannelSetupParts parts{formParts(), m_state.live.ChannelSetupLiveChannel,
                                m_hooks.updateMainDisplay};
        m_setupChan = std::make_unique<FormSetupChan>(std::move(parts), m_hooks.parent);
        registerLoaded(*m_setupChan, [this] { m_setupChan->hide(); });
    }
    m_setupChan->showAt(channel, modal);
}

FormSetupLvdt &StationDialogs::probeSetup() {
    if (!m_probeSetup) {
        m_probeSetup = std::make_unique<FormSetupLvdt>(
            InputSetupParts{formParts(), m_state.live.LvdtSetupLiveInput}, m_hooks.parent);
        connect(m_probeSetup.get(), &InputSetupDialog::closed, this, [this](bool changed) {
            if (changed)
                m_hooks.updateMainDisplay();
        });
        registerLoaded(*m_probeSetup, [this] { m_probeSetup->closeForShutdown(); });
    }
    return *m_probeSetup;
}

FormSetupAnalog &StationDialogs::analogSetup() {
    if (!m_analogSetup) {
        m_analogSetup = std::make_unique<FormSetupAnalog>(
            InputSetupParts{formParts(), m_state.live.AnalogSetupLiveInput}, m_hooks.parent);
        connect(m_analogSetup.get(), &InputSetupDialog::closed, this, [this](bool changed) {
            if (changed)
                m_hooks.updateMainDisplay();
        });
        registerLoaded(*m_analogSetup, [this] { m_analogSetup->closeForShutdown(); });
    }
    return *m_analogSetup;
}

void StationDialogs::showProbeSetup(int probe, bool modal) {
    FormSetupLvdt &dialog = probeSetup();
    dialog.openAt(probe != 0 ? probe : dialog.GetCurrentLvdt(), modal);
}

void StationDialogs::showAnalogSetup(int input, bool modal) {
    FormSetupAnalog &dialog = analogSetup();
    dialog.openAt(input != 0 ? input : dialog.GetCurrentAnalog(), modal);
}

void StationDialogs::showSystemSetup() {
    if (!m_systemSetup) {
        m_systemSetup = std::make_unique<FormSetupSystem>(
            SystemSetupParts{formParts(), m_setup, m_state.view.PollHold,
                             [this] { refreshMainDisplay(); }, m_state.settings},
            m_hooks.parent);
        registerLoaded(*m_systemSetup, [this] { m_systemSetup->closeForShutdown(); });
    }
    m_systemSetup->openDialog();
}

bool StationDialogs::showSetupDialog(View view, int item) {
    switch (view) {
    case View::Group:
    case View::Channels:
    case View::Digitals:
        // A group may still name a channel the set no longer has: there is nothing to set up.
        if (item < 1 || item > static_cast<int>(m_state.unit.Channels.size()))
            return false;
        showChannelSetup(item, true);
        return true;
    case View::Probes:
        showProbeSetup(item, true);
        return true;
    case View::Analogs:
        showAnalogSetup(item, true);
        return true;
    default:
        return false;
    }
}

void StationDialogs::showCalibrateAt(int probe, QPoint screenPos) {
    if (!m_calibrate) {
        m_calibrate = std::make_unique<dlgCalibrate>(
            CalibrationParts{formParts(), m_scheduler, m_state.live.CalibrationLiveProbe,
                             m_state.config, m_help},
            m_hooks.parent);
        registerLoaded(*m_calibrate, [this] { m_calibrate->hide(); });
    }
    m_calibrate->ShowCalibrateAt(probe, screenPos);
}

// ---- groups -----------------------------------------------------------------------------------

void StationDialogs::showGroupEditor() {
    if (!m_groupEditor) {
        m_groupEditor = std::make_unique<FormSetupGroup>(
            GroupEditorParts{m_state.unit, m_state.view, m_state.setup, m_state.prompts,
                             [this](LinkSequence reads) {
                                 m_scheduler.run(std::move(reads));
                             }},
            m_hooks.parent);
        connect(m_groupEditor.get(), &FormSetupGroup::editingDone, this,
                &StationDialogs::groupEditingDone);
        registerLoaded(*m_groupEditor, [this] { m_groupEditor->closeForShutdown(); });
    }
    m_groupEditor->ShowEditor();
}

void StationDialogs::groupEditingDone() {
    keepSelectedGroupWithin(m_state.view, m_state.unit.groupCount());
    m_hooks.updateMainDisplay();
}

void StationDialogs::refreshMainDisplay() {
    m_hooks.updateMainDisplay();
    if (m_groupEditor)
        m_groupEditor->reloadGroups();
}

void StationDialogs::selectGroup() {
    if (m_choose)
        m_choose();
    else
        runGroupSelection();
}

void StationDialogs::runGroupSelection() {
    if (!m_groupSelection) {
        m_groupSelection =
            std::make_unique<FormSelectGroup>(m_state.view, m_state.unit, m_hooks.parent);
        registerLoaded(*m_groupSelection, [this] { m_groupSelection->reject(); });
    }
    const View before = m_state.view.ViewMode;
    m_groupSelection->SelectGroup();
    // A group view left without a group fell back to the channel view: the displays follow it.
    if (m_state.view.ViewMode != before) {
        m_state.view.PollHold.holdUntilRefresh();
        m_hooks.updateMainDisplay();
    }
}

// ---- zeroing and mastering --------------------------------------------------------------------

FormMastering &StationDialogs::mastering() {
    if (!m_mastering) {
        m_mastering = std::make_unique<FormMastering>(MasteringParts{formParts(),
                                                                     m_state.live.MasteringChannel,
                                                                     m_state.live.MasteringReading},
                                                      m_hooks.parent);
        registerLoaded(*m_mastering, [this] {
            m_state.live.MasteringChannel = 0;
            m_mastering->hide();
        });
    }
    return *m_mastering;
}

FormGroupMastering &StationDialogs::groupMastering() {
    if (!m_groupMastering) {
        m_groupMastering = std::make_unique<FormGroupMastering>(
            GroupMasteringParts{formParts(), m_state.live.MasteringGroup}, m_hooks.parent);
        // Closing the dialog refreshes the main list; the hold it takes for that is ended by the
        // refresh itself, so a hold of another window is left as it was.
        connect(m_groupMastering.get(), &QDialog::rejected, this, [this] {
            m_state.view.PollHold.holdUntilRefresh();
            m_hooks.updateMainDisplay();
        });
        registerLoaded(*m_groupMastering, [this] {
            m_state.live.MasteringGroup = 0;
            m_groupMastering->hide();
        });
    }
    return *m_groupMastering;
}

void StationDialogs::showMastering(bool zero, View view) {
    mastering().ShowMastering(procedures::MasteringMode::fromZeroModeFlag(zero ? -1 : 0),
                              viewNumber(view));
}

void StationDialogs::showGroupMastering(bool zero, int group, View view) {
    groupMastering().ShowGroupMastering(procedures::MasteringMode::fromZeroModeFlag(zero ? -1 : 0),
                                        group, viewNumber(view));
}

void StationDialogs::keepMasteringChannelWithin(int channels) {
    if (m_mastering)
        m_mastering->keepChannelWithin(channels);
}

// ---- the Copy Link pop-up ---------------------------------------------------------------------

void StationDialogs::showCopyLink(int channel, const QString &value, QPoint globalPos) {
    if (!m_copyLink) {
        m_copyLink = std::make_unique<dlgCopyLink>();
        registerLoaded(*m_copyLink, [this] { m_copyLink->close(); });
    }
    dlgCopyLink &dialog = *m_copyLink;
    dialog.CopyLinkApplication = LiveItems::application();
    dialog.CopyLinkTopic = LiveItems::topic();
    dialog.CopyLinkItem = LiveItems::itemName(channel);
    dialog.CopyLinkValue = value;
    dialog.ShowDialogCopyAt(Twips::fromPixelsX(globalPos.x(), m_hooks.parent),
                            Twips::fromPixelsY(globalPos.y(), m_hooks.parent));
}

// ---- what the setup lifecycle asks ------------------------------------------------------------

int StationDialogs::currentChannel() const {
    return m_setupChan ? m_setupChan->GetCurrentChannel() : 0;
}

void StationDialogs::setCurrentChannel(int channel) {
    if (m_setupChan)
        m_setupChan->SetCurrentChannel(channel);
}

int StationDialogs::currentLvdt() const {
    return m_probeSetup ? m_probeSetup->GetCurrentLvdt() : 0;
}

void StationDialogs::setCurrentLvdt(int probe) {
    if (m_probeSetup)
        m_probeSetup->SetCurrentLvdt(probe);
}

int StationDialogs::currentAnalog() const {
    return m_analogSetup ? m_analogSetup->GetCurrentAnalog() : 0;
}

void StationDialogs::setCurrentAnalog(int input) {
    if (m_analogSetup)
        m_analogSetup->SetCurrentAnalog(input);
}

bool StationDialogs::leaveUnprogrammedEdits(const QString &question) {
    QStringList holding;
    const auto note = [&holding](const QDialog *dialog, bool edited) {
        if (dialog && dialog->isVisible() && edited)
            holding << dialog->windowTitle();
    };
    note(m_setupChan.get(), m_setupChan && m_setupChan->isEdited());
    note(m_probeSetup.get(), m_probeSetup && m_probeSetup->isEdited());
    note(m_analogSetup.get(), m_analogSetup && m_analogSetup->isEdited());
    if (holding.isEmpty())
        return true;
    return m_state.prompts.message(holding.join(QStringLiteral(", ")) +
                                       QStringLiteral(" holds changes that were not programmed "
                                                      "into the unit.\r") +
                                       question,
                                   PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes;
}

std::vector<QWidget *> StationDialogs::setupDialogs() const {
    std::vector<QWidget *> dialogs;
    for (QWidget *dialog : std::initializer_list<QWidget *>{
             m_setupChan.get(), m_probeSetup.get(), m_analogSetup.get(), m_systemSetup.get(),
             m_groupEditor.get(), m_mastering.get(), m_groupMastering.get()}) {
        if (dialog)
            dialogs.push_back(dialog);
    }
    return dialogs;
}

void StationDialogs::setupReplacing() {
    // Whatever a dialog sent now would run after the load, with values of the setup it replaces.
    for (QWidget *dialog : setupDialogs())
        dialog->setEnabled(false);
    // The operator agreed to drop unprogrammed edits: they go now, so that closing a dialog while
    // it waits does not offer to program them. Shown again, the item is read once the new setup
    // is in place (the read queues behind the load).
    if (m_setupChan && m_setupChan->isVisible())
        m_setupChan->SetCurrentChannel(m_setupChan->GetCurrentChannel());
    showOpenInputsAgain();
}

void StationDialogs::showOpenInputsAgain() {
    for (InputSetupDialog *input :
         std::initializer_list<InputSetupDialog *>{m_probeSetup.get(), m_analogSetup.get()}) {
        if (input && input->isVisible())
            input->setCurrentInput(input->currentInput());
    }
}

void StationDialogs::setupReplaced() {
    for (QWidget *dialog : setupDialogs())
        dialog->setEnabled(true);
    // An input's description is the station's: shown again, it comes from the new setup.
    showOpenInputsAgain();
    if (m_systemSetup)
        m_systemSetup->setupReplaced();
    if (m_mastering)
        m_mastering->setupReplaced();
    if (m_groupMastering)
        m_groupMastering->setupReplaced();
}
