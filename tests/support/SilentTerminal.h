#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal whose far end never answers: a port that opens but stays silent. It ends with
// the process that made it, also in a death test's child.
class SilentTerminal {
public:
    SilentTerminal();
    ~SilentTerminal();
    SilentTerminal(const SilentTerminal &) = delete;
    SilentTerminal &operator=(const SilentTerminal &) = delete;

    QString device() const { return m_device; }
    // Everything written to the device so far.
    QByteArray received();

private:
    int m_master = -1;
    QString m_device;
};

// Points COM<port> at device through the environment for the lifetime of the object.
class PortOverride {
public:
    PortOverride(int port, const QString &device);
    ~PortOverride();
    PortOverride(const PortOverride &) = delete;
    PortOverride &operator=(const PortOverride &) = delete;

private:
    QByteArray m_name;
};
