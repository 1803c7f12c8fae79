#include "frmWizard.h"

#include "ConnectionTest.h"
#include "LinkSession.h"
#include "Prompts.h"
#include "Settings.h"
#include "StationIcon.h"
#include "StringTable.h"
#include "WizardPictures.h"
#include "ui_frmWizard.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QShortcut>

namespace {

constexpr int PortCount = 6;
constexpr std::array BaudRates{9600, 19200, 38400};
const QSize PictureSize(150, 300);

// Gives every widget whose "Tag" property is a number the table entry of that number, as its
// caption or, failing that, its text.
void applyStringTable(QWidget *root, const StringTable &table) {
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        bool numeric = false;
        const int tag = widget->property("Tag").toInt(&numeric);
        if (!numeric)
            continue;
        if (auto *box = qobject_cast<QGroupBox *>(widget))
            box->setTitle(table.text(tag));
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setText(table.text(tag));
        else if (auto *label = qobject_cast<QLabel *>(widget))
            label->setText(table.text(tag));
    }
}

// The stored number of the selected entry; nothing when no entry is selected.
std::optional<int> selectedNumber(const QComboBox *box) {
    if (box->currentIndex() < 0)
        return std::nullopt;
    return box->currentData().toInt();
}

void showResult(QLabel *label, const ConnectionTestResult &result) {
    label->setText(result.text);
    // Results are black, problems red.
    label->setStyleSheet(result.passed ? QString() : QStringLiteral("color: #d00000;"));
}

// The step widgets sit in arrays by page number, which the steps count in int from 0.
std::size_t slot(int page) {
    return static_cast<std::size_t>(page);
}

} // namespace

frmWizard::frmWizard(LinkSession &session, SettingsStore &settings, Prompts &prompts,
                     QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmWizard>()), m_session(session),
      m_settings(settings), m_prompts(prompts), m_ports(PortMap::fromEnvironment()) {
    ui->setupUi(this);
    setWindowIcon(stationIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    fraStep = {ui->fraStep_0, ui->fraStep_1, ui->fraStep_2, ui->fraStep_3};
    lblStep = {ui->lblStep_0, ui->lblStep_1, ui->lblStep_2, ui->lblStep_3};
    imgStep = {ui->imgStep_0, ui->imgStep_1, ui->imgStep_2, ui->imgStep_3};
    cmdNav = {ui->cmdNav_0, ui->cmdNav_1, ui->cmdNav_2, ui->cmdNav_3, ui->cmdNav_4};

    applyStringTable(this, StringTable::wizard());
    for (int page = 0; page < WizardSteps::PageCount; ++page) {
        QFont text = lblStep[slot(page)]->font();
        text.setFamily(QStringLiteral("Tahoma"));
        text.setStyleHint(QFont::SansSerif);
        lblStep[slot(page)]->setFont(text);
        imgStep[slot(page)]->setPixmap(wizardPicture(page, PictureSize, devicePixelRatioF()));
    }

    for (int port = 1; port <= PortCount; ++port)
        ui->cboPortSelect->addItem(QStringLiteral("COM%1").arg(port), port);
    for (int rate : BaudRates)
        ui->cboBaudSelect->addItem(QString::number(rate), rate);
    // A stored text that is not one of the entries leaves that box without a selection.
    ui->cboPortSelect->setCurrentIndex(
        ui->cboPortSelect->findText(m_settings.text(SettingKeys::Port, QStringLiteral("COM1"))));
    ui->cboBaudSelect->setCurrentIndex(ui->cboBaudSelect->findText(
        m_settings.text(SettingKeys::BaudRate, QStringLiteral("9600"))));

    for (int index = 0; index < NavCount; ++index)
        connect(cmdNav[slot(index)], &QPushButton::clicked, this,
                [this, index] { cmdNavClick(index); });
    connect(ui->cmdTestConnection, &QPushButton::clicked, this, &frmWizard::cmdTestConnectionClick);
    connect(ui->cmdMapPort, &QPushButton::clicked, this, &frmWizard::cmdMapPortClick);
    connect(ui->cboPortSelect, &QComboBox::currentIndexChanged, this,
            &frmWizard::refreshPortDevice);
    connect(ui->cboDeviceSelect, &QComboBox::currentIndexChanged, this,
            &frmWizard::refreshMapButton);
    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, &frmWizard::showHelp);

    refreshPortDevice();
    SetStep(WizardSteps::Introduction, 0);
}

frmWizard::~frmWizard() = default;

void frmWizard::SetStep(int page, int /*direction*/) {
    const int previous = m_steps.page();
    m_steps.setStep(page);
    fraStep[slot(previous)]->setEnabled(false);
    ui->stackSteps->setCurrentWidget(fraStep[slot(m_steps.page())]);
    fraStep[slot(m_steps.page())]->setEnabled(true);
    if (m_steps.page() == WizardSteps::Confirm)
        refreshSummary();
    SetCaption(m_steps.page());
    SetNavBtns(m_steps.page());
}

void frmWizard::SetCaption(int page) {
    const int tag = fraStep[slot(page)]->property("Tag").toInt();
    setWindowTitle(QStringLiteral("Qor Connection Wizard - ") + StringTable::wizard().text(tag));
}

void frmWizard::SetNavBtns(int /*page*/) {
    const WizardSteps::Buttons buttons = m_steps.buttons();
    cmdNav[NavBack]->setEnabled(buttons.back);
    cmdNav[NavNext]->setEnabled(buttons.next);
    cmdNav[NavFinish]->setEnabled(buttons.finish);
    // Enter moves on: Finish once it is allowed, Next before.
    cmdNav[NavFinish]->setDefault(buttons.finish);
    cmdNav[NavNext]->setDefault(!buttons.finish && buttons.next);
}

void frmWizard::cmdNavClick(int index) {
    switch (index) {
    case NavHelp:
        showHelp();
        break;
    case NavCancel:
        reject();
        break;
    case NavBack:
        SetStep(m_steps.page() - 1, 1);
        break;
    case NavNext:
        SetStep(m_steps.page() + 1, 2);
        break;
    case NavFinish:
        accept();
        break;
    default:
        break;
    }
}

void frmWizard::showHelp() {
    m_prompts.message(QStringLiteral("No help available yet"), PromptButtons::Ok,
                      PromptIcon::Information);
}

void frmWizard::cmdTestConnectionClick() {
    ui->lblTestResult->setText(QStringLiteral("Testing..."));
    ui->lblTestResult->setStyleSheet(QString());
    ui->lblTestResult->repaint();
    const ConnectionTestResult result = testConnection(m_session, selectedNumber(ui->cboPortSelect),
                                                       selectedNumber(ui->cboBaudSelect), m_ports);
    showResult(ui->lblTestResult, result);
    m_steps.setTestPassed(result.passed);
    SetNavBtns(m_steps.page());
}

void frmWizard::refreshPortDevice() {
    const auto port = selectedNumber(ui->cboPortSelect);
    ui->cboDeviceSelect->clear();
    if (!port) {
        ui->lblPortDevice->setText(QStringLiteral("(choose a port)"));
        ui->cboDeviceSelect->setEnabled(false);
        ui->cmdMapPort->setEnabled(false);
        return;
    }
    const PortMap::Mapping mapping = m_ports.resolve(*port);
    ui->lblPortDevice->setText(
        QStringLiteral("%1  (%2)")
            .arg(mapping.device, m_ports.describeSource(*port, mapping.source)));

    QStringList devices = listSerialDevices();
    if (!devices.contains(mapping.device))
        devices.prepend(mapping.device);
    QSignalBlocker quiet(ui->cboDeviceSelect);
    ui->cboDeviceSelect->addItems(devices);
    ui->cboDeviceSelect->setCurrentText(mapping.device);

    // The environment overrides the file, so a mapping written now would not take effect.
    const bool fromEnvironment = mapping.source == PortMap::Source::Environment;
    ui->cboDeviceSelect->setEnabled(!fromEnvironment);
    refreshMapButton();
    ui->cboDeviceSelect->setToolTip(
        fromEnvironment ? QStringLiteral("QORLINK_COM%1 decides this port's device").arg(*port)
                        : QStringLiteral("Serial devices present on this computer"));
}

// Use Device is offered when it would change what the port opens.
void frmWizard::refreshMapButton() {
    const auto port = selectedNumber(ui->cboPortSelect);
    bool useful = false;
    if (port && ui->cboDeviceSelect->isEnabled()) {
        const PortMap::Mapping mapping = m_ports.resolve(*port);
        useful = mapping.source != PortMap::Source::Environment &&
                 ui->cboDeviceSelect->currentText() != mapping.device;
    }
    ui->cmdMapPort->setEnabled(useful);
}

void frmWizard::cmdMapPortClick() {
    const auto port = selectedNumber(ui->cboPortSelect);
    if (!port)
        return;
    QString error;
    if (!m_ports.setUserMapping(*port, ui->cboDeviceSelect->currentText(), &error))
        m_prompts.message(error, PromptButtons::Ok, PromptIcon::Critical);
    refreshPortDevice();
}

void frmWizard::refreshSummary() {
    const auto port = selectedNumber(ui->cboPortSelect);
    if (!port || ui->cboBaudSelect->currentIndex() < 0) {
        ui->lblSummary->clear();
        return;
    }
    ui->lblSummary->setText(QStringLiteral("The Qor will be reached on %1 (%2) at %3 baud.")
                                .arg(ui->cboPortSelect->currentText(),
                                     m_ports.resolve(*port).device,
                                     ui->cboBaudSelect->currentText()));
}

void frmWizard::done(int result) {
    if (m_steps.testPassed()) {
        m_settings.setText(SettingKeys::Port, ui->cboPortSelect->currentText());
        m_settings.setText(SettingKeys::BaudRate, ui->cboBaudSelect->currentText());
        m_settings.sync();
    }
    QDialog::done(result);
}
