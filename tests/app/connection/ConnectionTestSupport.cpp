#include "ConnectionTestSupport.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <unistd.h>

namespace {

QString simulatorPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/qorsim");
}

} // namespace

bool SimulatedUnit::available() {
    return QFileInfo(simulatorPath()).isExecutable();
}

SimulatedUnit::SimulatedUnit(const QStringList &options) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(simulatorPath(), options);
    const QString prefix = QStringLiteral("qorsim: unit on ");
    // The first line announces the terminal; waiting for it is the readiness signal.
    while (m_process.waitForReadyRead(5000) || m_process.canReadLine()) {
        if (!m_process.canReadLine())
            continue;
        const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        if (line.startsWith(prefix)) {
            m_device = line.mid(prefix.size());
            return;
        }
    }
    throw std::runtime_error("qorsim did not announce its terminal");
}

SimulatedUnit::~SimulatedUnit() {
    m_process.kill();
    m_process.waitForFinished(5000);
}

SilentTerminal::SilentTerminal() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    m_device = QString::fromLocal8Bit(ptsname(m_master));
}

SilentTerminal::~SilentTerminal() {
    close(m_master);
}

PortOverride::PortOverride(int port, const QString &device)
    : m_name(QStringLiteral("QORLINK_COM%1").arg(port).toLatin1()) {
    qputenv(m_name.constData(), device.toLocal8Bit());
}

PortOverride::~PortOverride() {
    qunsetenv(m_name.constData());
}
