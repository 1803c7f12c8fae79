#pragma once

#include "PortMap.h"
#include "WizardSteps.h"

#include <QDialog>

#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class Prompts;
class SettingsStore;
struct LinkSession;

namespace Ui {
class frmWizard;
}

// The connection wizard: introduction, port and rate with a connection test, confirmation, end.
// Its only lasting effects are the Port and BaudRate settings, stored when it closes after a
// passed test, and the COM-to-device lines the operator writes into ports.conf.
class frmWizard : public QDialog {
    Q_OBJECT

public:
    frmWizard(LinkSession &session, SettingsStore &settings, Prompts &prompts,
              QWidget *parent = nullptr);
    ~frmWizard() override;

    // Shows page; direction (0 load, 1 back, 2 next) says how the operator got there.
    void SetStep(int page, int direction);
    void SetCaption(int page);
    void SetNavBtns(int page);

    const WizardSteps &steps() const { return m_steps; }

    // Navigation button by its index: 0 Help, 1 Cancel, 2 Back, 3 Next, 4 Finish.
    enum NavButton { NavHelp = 0, NavCancel, NavBack, NavNext, NavFinish, NavCount };

    // Closing by any means (Finish, Cancel, the close box) stores a passed test's choice.
    void done(int result) override;

private:
    void cmdNavClick(int index);
    void cmdTestConnectionClick();
    void cmdMapPortClick();
    void showHelp();
    void refreshPortDevice();
    void refreshMapButton();
    void refreshSummary();

    std::unique_ptr<Ui::frmWizard> ui;
    LinkSession &m_session;
    SettingsStore &m_settings;
    Prompts &m_prompts;
    WizardSteps m_steps;
    PortMap m_ports;
    std::array<QFrame *, WizardSteps::PageCount> fraStep{};
    std::array<QLabel *, WizardSteps::PageCount> lblStep{};
    std::array<QLabel *, WizardSteps::PageCount> imgStep{};
    std::array<QPushButton *, NavCount> cmdNav{};
};
