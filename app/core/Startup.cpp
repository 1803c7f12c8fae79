#include "Startup.h"

#include "CommandLine.h"
#include "InstanceLock.h"
#include "LinkErrorHandler.h"
#include "Prompts.h"
#include "Settings.h"
#include "StationHelp.h"
#include "StationState.h"

#include <QDir>
#include <QFile>

#include <utility>

namespace {

constexpr int UnitChannels = 8;
constexpr int UnitProbes = 8;
constexpr int AsciiProtocol = 1;

} // namespace

int portNumberOf(const QString &port) {
    static const char *const names[] = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6"};
    for (int i = 0; i < 6; ++i) {
        if (port == QLatin1String(names[i]))
            return i + 1;
    }
    return 0;
}

int baudRateOf(const QString &rate) {
    for (int known : {9600, 19200, 38400, 57600}) {
        if (rate == QString::number(known))
            return known;
    }
    return 0;
}

StationStartup::StationStartup(StationState &state, const CommandLine &commandLine,
                               std::function<void()> showWizard)
    : m_state(state), m_commandLine(commandLine), m_showWizard(std::move(showWizard)) {}

StartupOutcome StationStartup::run(const QString &programFolder, InstanceLock &lock) {
    if (!lock.acquire()) {
        m_state.prompts.message(QStringLiteral("This application is already running"));
        return StartupOutcome::AlreadyRunning;
    }
    QString why;
    if (!m_state.link.load(&why)) {
        m_state.prompts.message(
            QStringLiteral("Cannot load the link library libqorlink.so:\r%1").arg(why),
            PromptButtons::Ok, PromptIcon::Critical);
        return StartupOutcome::LinkLibraryMissing;
    }
    setLinkErrorState(&m_state);
    setProductAndPaths(programFolder);
    readStartupSwitches();
    if (!connectUnit())
        return StartupOutcome::Cancelled;
    prepareUnit();
    return StartupOutcome::Started;
}

void StationStartup::setProductAndPaths(const QString &programFolder) {
    m_state.ProductName = QStringLiteral("QOR-128");
    m_state.CompanyName = QStringLiteral("Qor Instruments");
    m_state.AppPath = QDir::cleanPath(programFolder);
    m_state.IconResourceId = 101;
    // A help file that is missing or cannot be read leaves the station without help.
    m_state.HelpFilePath = findHelpFile(programFolder);
    m_state.HelpAttached =
        !m_state.HelpFilePath.isEmpty() && QFile(m_state.HelpFilePath).open(QIODevice::ReadOnly);
}

void StationStartup::readStartupSwitches() {
    m_state.WizardAtStart = m_state.settings.number(SettingKeys::RunWizard, 0) == 1;
    m_state.SetupsEnabled = m_state.settings.number(SettingKeys::DisableSetups, 0) == 0;
    if (m_commandLine.isEmpty())
        return;
    if (m_commandLine.containsStartupOption(QStringLiteral("/COMMSETUP")))
        m_state.WizardAtStart = true;
    if (m_commandLine.containsStartupOption(QStringLiteral("/ENABLESETUP"))) {
        m_state.SetupsEnabled = true;
        m_state.settings.setText(SettingKeys::DisableSetups, QStringLiteral("0"));
    }
    if (m_commandLine.containsStartupOption(QStringLiteral("/SPECIALCALIBRATE")))
        m_state.SpecialCalibrate = true;
}

bool StationStartup::connectUnit() {
    if (m_state.settings.text(SettingKeys::Port).isEmpty() || m_state.WizardAtStart)
        m_showWizard();
    while (!OpenUnitLink()) {
        const PromptAnswer answer =
            m_state.prompts.message(QStringLiteral("Cannot establish communication"),
                                    PromptButtons::RetryCancel, PromptIcon::Critical);
        if (answer != PromptAnswer::Retry)
            return false;
        m_showWizard();
    }
    return true;
}

void StationStartup::prepareUnit() {
    m_state.ReportLinkErrors = 1;
    m_state.MaxAnalog = 1;
    m_state.MaxDigital = 0;
    m_state.MaxStrain = 1;
    m_state.UnitSystem = std::make_unique<QorSystem>(m_state);
    m_state.UnitSystem->setMaxChannel(UnitChannels);
    m_state.UnitSystem->setMaxLvdt(UnitProbes);
    m_state.LvdtFullScale = 0.05f;
    m_state.SystemDecimals = 5;
    m_state.MasteringGroup = 0;
    LinkLibrary &link = m_state.link;
    link.QorGetScanTime(m_state.LinkHandle, &m_state.ScanTime);
    link.QorGetAdcAvg(m_state.LinkHandle, &m_state.AdcAverage);
    link.QorGetRunAvg(m_state.LinkHandle, &m_state.RunAverage);
    link.QorStartScan(m_state.LinkHandle);
    CreateMeasurementObjects(m_state);
}

QorHandle StationStartup::OpenUnitLink() {
    const int port = portNumberOf(m_state.settings.text(SettingKeys::Port, QStringLiteral("COM1")));
    const int rate =
        baudRateOf(m_state.settings.text(SettingKeys::BaudRate, QStringLiteral("9600")));
    m_state.ReportLinkErrors = 0;
    m_state.LinkInfo =
        m_state.link.QorInitInfoStructure(port, rate, AsciiProtocol, &LinkErrorHandler);
    m_state.LinkHandle = m_state.link.QorOpen(m_state.LinkInfo);
    return m_state.LinkHandle;
}
