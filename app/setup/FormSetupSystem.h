#pragma once

#include "FormParts.h"
#include "PollHold.h"
#include "SystemSetupApply.h"

#include <QDialog>

#include <functional>
#include <map>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class SettingsStore;
class StationSetup;

// What the system settings dialog works with: what every form that works on the unit has, the
// setup whose counts it changes, the main list's refresh (held while the dialog is open, and
// started over when it closes) and the stored start-up options.
struct SystemSetupParts {
    FormParts form;
    StationSetup &setup;
    PollHoldCount &pollHold;
    std::function<void()> refreshMainDisplay;
    SettingsStore &settings;
};

// "System Setup": the counts of channels, probes and analog inputs, the unit's averaging and scan
// period, the default decimals and probe full scale, the firmware version and the start-up
// options, on five tabs. While it is open the main list's refresh is held. OK checks every field
// first, asks before removing channels from groups, then applies everything as one sequence
// (SystemSetupApply.h) and closes; a field refused or a count the unit does not take leaves the
// dialog open and the setup as it was.
class FormSetupSystem : public QDialog {
    Q_OBJECT

public:
    explicit FormSetupSystem(SystemSetupParts parts, QWidget *parent = nullptr);
    ~FormSetupSystem() override;

    // Loads the dialog (a dialog already open is only raised): holds the list's refresh, fills
    // the boxes from the station and reads the firmware version, averages and scan period.
    void openDialog();
    void closeForShutdown();
    bool isBusy() const { return m_busy; }
    // A new setup (New, Open) replaced the one whose counts and decimals an open dialog shows:
    // the boxes show the new one, so OK cannot put the old counts back.
    void setupReplaced();

    void CommandOK_Click();
    void reject() override;

Q_SIGNALS:
    // The unit's values were read (or failed to be) and the dialog can be used.
    void loaded();
    // An OK ended: applied is true when everything was applied and the dialog closed.
    void applyEnded(bool applied);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct UnitValues;

    void buildControls();
    QWidget *addTab(const QString &caption);
    QLineEdit *addBox(QWidget *tab, const char *name, const QString &caption);
    void fillStationValues();
    void fillStartupOptions();
    void readUnitValues();
    void showUnitValues(const UnitValues &values);
    void afterApply(setupforms::SystemApplyResult result, bool changesSetup);
    void selectField(setupforms::SystemField field);
    void setBusy(bool busy);
    // The dialog goes away and the list's refresh is released (UpdateMainDisplay).
    void leave();

    SystemSetupParts m;
    bool m_busy = false;
    // Loaded and not yet left: the dialog's hold on the list's refresh.
    PollHoldGuard m_hold;
    unsigned m_reading = 0;

    QTabWidget *m_tabs = nullptr;
    std::map<setupforms::SystemField, QLineEdit *> m_fields;
    QLineEdit *m_firmware = nullptr;
    QCheckBox *m_bars = nullptr;
    QCheckBox *m_numbers = nullptr;
    QRadioButton *m_groupView = nullptr;
    QRadioButton *m_channelView = nullptr;
    QRadioButton *m_probeView = nullptr;
    QCheckBox *m_commSetup = nullptr;
    QCheckBox *m_disableSetup = nullptr;
    QPushButton *m_ok = nullptr;
};
