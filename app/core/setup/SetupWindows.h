#pragma once

#include <QString>

// What changing the setup asks of the windows: the main window's hidden channel labels, its
// caption and list, the operator's View > Update choice, and the current item of the channel,
// probe and analog setup dialogs (0 while a dialog is not loaded), which has to stay within its
// set when the set shrinks. The main window implements it and passes the dialogs' parts on.
class SetupWindows {
public:
    virtual ~SetupWindows() = default;

    // Labels LabelChan(1) ... LabelChan(count) exist, no more; LabelChan(0) always stays.
    virtual void setChannelLabelCount(int count) = 0;
    virtual void setCaption(const QString &caption) = 0;
    // UpdateMainDisplay: the displays and the poll start over from the setup as it is now.
    virtual void refreshMainDisplay() = 0;
    // Whether View > Update is checked.
    virtual bool updatesChosen() const = 0;

    virtual int currentChannel() const { return 0; }
    virtual void setCurrentChannel(int) {}
    virtual int currentLvdt() const { return 0; }
    virtual void setCurrentLvdt(int) {}
    virtual int currentAnalog() const { return 0; }
    virtual void setCurrentAnalog(int) {}

    // Before the setup is replaced: true when no setup dialog holds edits that were never
    // programmed, or the operator agreed to drop them (`question` is what is about to happen,
    // asked as "... and drop them?").
    virtual bool leaveUnprogrammedEdits(const QString &) { return true; }
    // A new setup (New, Open) is queued to replace the one the open dialogs show: until
    // setupReplaced() they take no input, so nothing they send can reach the unit between the
    // two setups or write the old setup's values over the new one, and what they read from now
    // on comes after it.
    virtual void setupReplacing() {}
    // The new setup is in place: every open dialog shows it, and a procedure built on the old
    // one starts afresh.
    virtual void setupReplaced() {}
};
