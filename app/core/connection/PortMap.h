#pragma once

#include "port_rule.h"

#include <QString>
#include <QStringList>

#include <utility>

// Where the link library finds the device behind "COM<n>", and how the operator changes it.
// The library looks, in this order, at the environment variable QORLINK_COM<n>, a line
// "COM<n>=PATH" in the user's ports.conf, the same in the system's ports.conf, and otherwise
// uses /dev/ttyS<n-1>. That rule is the library's own (port_rule.h), so what the wizard shows is
// what the library opens. The wizard shows the result and writes the user's file.
class PortMap {
public:
    using Source = qor::portrule::Source;

    struct Mapping {
        QString device;
        Source source = Source::Default;
    };

    // The files the library reads: $XDG_CONFIG_HOME/qorlink/ports.conf (default
    // ~/.config/qorlink/ports.conf) and /etc/qorlink/ports.conf.
    static PortMap fromEnvironment();
    PortMap(QString userFile, QString systemFile)
        : m_userFile(std::move(userFile)), m_systemFile(std::move(systemFile)) {}

    QString userFile() const { return m_userFile; }
    Mapping resolve(int port) const;

    // Replaces the COM<port>= line of the user's file (adding one when there is none) and keeps
    // every other line; the file is replaced in one step, so a reader never sees half of it.
    bool setUserMapping(int port, const QString &device, QString *error) const;

    // How the source reads for the operator ("set by QORLINK_COM1", "from ~/.config/...").
    QString describeSource(int port, Source source) const;

private:
    QString m_userFile;
    QString m_systemFile;
};

// The serial devices present under devRoot (normally /dev), best names first: the stable
// serial/by-id links, then ttyUSB*, ttyACM* and ttyS* in numeric order. Only names are read;
// no device is opened.
QStringList listSerialDevices(const QString &devRoot = QStringLiteral("/dev"));
