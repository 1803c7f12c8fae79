#pragma once

#include <QString>

#include <optional>

struct LinkSession;
class PortMap;

struct ConnectionTestResult {
    bool passed = false;
    QString text; // for lblTestResult; lines separated by "\n"
};

// The wizard's connection test: opens the chosen port with the station's error handler kept
// quiet, asks the unit to start its scan, and closes the port again. A port or rate that is not
// one of the wizard's entries is refused without touching the link. When the port will not
// open, the device it maps to is examined to say why; when it opens, the result also names a
// USB adapter's latency timer that is not 1 ms (read under sysfsRoot).
ConnectionTestResult testConnection(LinkSession &state, std::optional<int> port,
                                    std::optional<int> rate, const PortMap &ports,
                                    const QString &sysfsRoot = QStringLiteral("/sys"));
