#include "SilentTerminal.h"

#include <fcntl.h>
#include <stdexcept>
#include <stdlib.h>
#include <unistd.h>

SilentTerminal::SilentTerminal() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    m_device = QString::fromLocal8Bit(::ptsname(m_master));
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

SilentTerminal::~SilentTerminal() {
    ::close(m_master);
}

QByteArray SilentTerminal::received() {
    QByteArray bytes;
    char buffer[256];
    for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    return bytes;
}

PortOverride::PortOverride(int port, const QString &device)
    : m_name(QStringLiteral("QORLINK_COM%1").arg(port).toLatin1()) {
    qputenv(m_name.constData(), device.toLocal8Bit());
}

PortOverride::~PortOverride() {
    qunsetenv(m_name.constData());
}
