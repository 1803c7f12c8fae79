#pragma once

#include "ChannelSetupFields.h"
#include "FormParts.h"
#include "LiveValues.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <memory>

class QLineEdit;

namespace Ui {
class FormSetupChan;
}

// What the channel setup dialog works with: the form's parts, the channel it has the poll follow
// (0: none), and the main window's UpdateMainDisplay, run when the dialog closes.
struct ChannelSetupParts : FormParts {
    int16_t &ChannelSetupLiveChannel;
    std::function<void()> updateMainDisplay;
};

// The channel setup dialog: one channel's formula, description, decimals, masters, scaling and
// zero, tolerance and approach limits and bar scale, shown from the unit and programmed into it,
// with the channel's live value from the poll. The dialog lives for the station's run, so it comes
// back to the channel last shown and keeps its two check boxes' states. Every request goes through
// the link scheduler as a sequence (reading a channel, programming it, resetting max/min); the
// dialog's controls wait while one runs. A field whose read failed is unknown: Program refuses it
// (offering to read the channel again) until it is read or the operator sets it.
class FormSetupChan : public QDialog {
    Q_OBJECT

public:
    explicit FormSetupChan(ChannelSetupParts parts, QWidget *parent = nullptr);
    ~FormSetupChan() override;

    // Shows the dialog (modal or modeless) at `channel` (0: the channel last shown), reading the
    // channel afresh. When it is already open it stays as it is opened and only moves to
    // `channel`, asking first about edits of the channel it leaves, and comes to the front.
    void showAt(int channel, bool modal);

    // Makes `channel` the current channel and shows it, dropping edits without asking (the
    // channel set shrank, or the station chose the channel).
    void SetCurrentChannel(int channel);
    int GetCurrentChannel() const { return m_current; }

    // A sequence of the dialog's is under way.
    bool isBusy() const { return m_busy; }
    bool isEdited() const { return m_edited; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    int channelCount() const;
    void connectControls();
    void sizeBoxes();
    // The box of a field (not the check box); fieldControl also gives the check box.
    QLineEdit *box(setupforms::ChannelField field) const;
    QWidget *fieldControl(setupforms::ChannelField field) const;

    void showChannel(int channel);
    // Reads the channel shown as one sequence. Read again, a field the operator changed keeps
    // what was typed; shown afresh, every field shows what was read.
    void readChannel(bool again);
    void showNoChannels();
    // `definition` as read, shown as `form`.
    void fill(const setupforms::ChannelDefinition &definition, const setupforms::ChannelForm &form);
    setupforms::ChannelForm typedForm() const;
    // Checks the whole form; on a refusal selects the field, says why and returns false.
    bool programThen(std::function<void()> after);
    // The leave check, then `goOn` unless the operator stays (or a refused field stops it).
    void leaveThen(std::function<void()> goOn);
    void moveTo(int channel);
    void followLive();
    void setBusy(bool busy, const QString &status = {});
    void closeNow();

    void CommandNext_Click();
    void CommandPrev_Click();
    void CommandProgram_Click();
    void CommandResetMM_Click();
    void TextCurrentChannel_Finished();
    void decimalsStep(int step);
    void CheckUse2Masters_Click();
    void CheckShowCurrentValue_Click();
    void textEdited(QLineEdit *edit);

    std::unique_ptr<Ui::FormSetupChan> ui;
    ChannelSetupParts m;
    LiveSubscription m_live;
    int m_current = 1;
    bool m_edited = false;
    bool m_busy = false;
    // A box of the dialog is open over it: the focus leaving a box then edits nothing.
    bool m_boxOpen = false;
    // Each read or programming of a channel is numbered; one overtaken by a newer one (the station
    // chose another channel meanwhile) leaves the dialog alone when it ends.
    unsigned m_sequenceNumber = 0;
    setupforms::ChannelDefinition m_shown;
    QPointer<QWidget> m_focusBeforeBusy;
};
