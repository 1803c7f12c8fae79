#include "Startup.h"

#include "CommandLine.h"
#include "HelpFile.h"
#include "InstanceLock.h"
#include "LinkErrorHandler.h"
#include "Prompts.h"
#include "Settings.h"
#include "Station.h"

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

StationStartup::StationStartup(Station &state, const CommandLine &commandLine,
                               std::function<void()> showWizard)
    : m_state(state), m_commandLine(commandLine), m_showWizard(std::move(showWizard)) {}

StartupOutcome StationStartup::run(const QString &programFolder, InstanceLock &lock) {
    if (!lock.acquire()) {
        m_state.prompts.message(QStringLiteral("This application is already running"));
        return StartupOutcome::AlreadyRunning;
    }
    QString why;
    if (!m_state.session.link.load(&why)) {
        m_state.prompts.message(
            QStringLiteral("Cannot load the link library libqorlink.so.6:\r%1").arg(why),
            PromptButtons::Ok, PromptIcon::Critical);
        return StartupOutcome::LinkLibraryMissing;
    }
    setLinkErrorReporting(&m_state.session, &m_state.prompts);
    setProductAndPaths(programFolder);
    readStartupSwitches();
    if (!connectUnit())
        return StartupOutcome::Cancelled;
    prepareUnit();
    return StartupOutcome::Started;
}

void StationStartup::setProductAndPaths(const QString &programFolder) {
    m_state.config.ProductName = QStringLiteral("QOR-128");
    m_state.config.CompanyName = QStringLiteral("Qor Instruments");
    // A help file that is missing or cannot be read leaves the station without help.
    m_state.config.HelpFilePath = findHelpFile(programFolder);
    m_state.config.HelpAttached = !m_state.config.HelpFilePath.isEmpty() &&
                                  QFile(m_state.config.HelpFilePath).open(QIODevice::ReadOnly);
}

void StationStartup::readStartupSwitches() {
    m_state.config.WizardAtStart = m_state.settings.number(SettingKeys::RunWizard, 0) == 1;
    m_state.config.SetupsEnabled = m_state.settings.number(SettingKeys::DisableSetups, 0) == 0;
    if (m_commandLine.isEmpty())
        return;
    if (m_commandLine.containsStartupOption(QStringLiteral("/COMMSETUP")))
        m_state.config.WizardAtStart = true;
    if (m_commandLine.containsStartupOption(QStringLiteral("/ENABLESETUP"))) {
        m_state.config.SetupsEnabled = true;
        if (!m_state.settings.setText(SettingKeys::DisableSetups, QStringLiteral("0"))) {
            if (const auto failure = m_state.settings.takeWriteFailure())
                reportUnsavedSettings(*failure, &m_state.prompts);
        }
    }
    if (m_commandLine.containsStartupOption(QStringLiteral("/SPECIALCALIBRATE")))
        m_state.config.SpecialCalibrate = true;
}

bool StationStartup::connectUnit() {
    if (m_state.settings.text(SettingKeys::Port).isEmpty() || m_state.config.WizardAtStart)
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
    m_state.session.ReportLinkErrors = 1;
    m_state.unit.MaxAnalog = 1;
    m_state.unit.UnitSystem = std::make_unique<QorSystem>(m_state.session);
    m_state.unit.UnitSystem->setMaxChannel(UnitChannels);
    m_state.unit.UnitSystem->setMaxLvdt(UnitProbes);
    m_state.unit.SystemDecimals = 5;
    m_state.live.MasteringGroup = 0;
    // The unit is asked for its scan time and averaging as it always was; whoever shows them
    // reads them again.
    LinkLibrary &link = m_state.session.link;
    const QorHandle handle = m_state.session.LinkHandle;
    int16_t unused = 0;
    link.QorGetScanTime(handle, &unused);
    link.QorGetAdcAvg(handle, &unused);
    link.QorGetRunAvg(handle, &unused);
    link.QorStartScan(handle);
    CreateMeasurementObjects(m_state.unit, m_state.session, m_state.prompts);
}

QorHandle StationStartup::OpenUnitLink() {
    const int port = portNumberOf(m_state.settings.text(SettingKeys::Port, QStringLiteral("COM1")));
    const int rate =
        baudRateOf(m_state.settings.text(SettingKeys::BaudRate, QStringLiteral("9600")));
    m_state.session.ReportLinkErrors = 0;
    m_state.session.LinkInfo =
        m_state.session.link.QorInitInfoStructure(port, rate, AsciiProtocol, &LinkErrorHandler);
    m_state.session.LinkHandle = m_state.session.link.QorOpen(m_state.session.LinkInfo);
    return m_state.session.LinkHandle;
}
