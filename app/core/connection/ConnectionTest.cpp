#include "ConnectionTest.h"

#include "LinkErrorHandler.h"
#include "LinkSession.h"
#include "PortDiagnosis.h"
#include "PortMap.h"

namespace {

// The library's info-record errors of a failed COM open: 263 when the device itself would not
// open, 0 when it opened but refused the line settings.
constexpr int32_t DeviceOpenFailed = 263;
constexpr int32_t SettingsRefused = 0;

QString whyNotOpened(const LinkSession &state, int port, const PortMap &ports) {
    if (!state.LinkInfo)
        return QStringLiteral("The link library is not available.");
    const int32_t error = state.LinkInfo->error;
    if (error != DeviceOpenFailed && error != SettingsRefused)
        return QStringLiteral("The link library refused the connection (error %1).").arg(error);
    const QString device = ports.resolve(port).device;
    return describeOpenFailure(diagnoseOpenFailure(device, error == SettingsRefused), device);
}

} // namespace

ConnectionTestResult testConnection(LinkSession &state, std::optional<int> port,
                                    std::optional<int> rate, const PortMap &ports,
                                    const QString &sysfsRoot) {
    if (!port || !rate)
        return {false, QStringLiteral("Not tested: choose a port and a baud rate from the lists.")};

    // Errors during the test are reported by the result text alone. The previous setting comes
    // back afterwards, so a test run while connected leaves error reporting as it was.
    const int reportedBefore = state.ReportLinkErrors;
    state.ReportLinkErrors = 0;
    state.LinkInfo = state.link.QorInitInfoStructure(*port, *rate, 1, &LinkErrorHandler);
    state.LinkHandle = state.link.QorOpen(state.LinkInfo);

    ConnectionTestResult result;
    if (!state.LinkHandle) {
        result.text =
            QStringLiteral("Unable to open this port") + u'\n' + whyNotOpened(state, *port, ports);
    } else {
        result.passed = state.link.QorStartScan(state.LinkHandle) == 0;
        result.text = result.passed ? QStringLiteral("Communication good")
                                    : QStringLiteral("Communication not functioning");
        state.link.QorClose(state.LinkHandle);
        // A closed connection is no handle to call with; whoever connects next sets a new one.
        state.LinkHandle = nullptr;
        if (const auto timer = adapterLatencyTimer(ports.resolve(*port).device, sysfsRoot)) {
            if (const QString note = describeLatencyTimer(*timer); !note.isEmpty())
                result.text += u'\n' + note;
        }
    }
    state.ReportLinkErrors = reportedBefore;
    return result;
}
