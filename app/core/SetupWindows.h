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
};
