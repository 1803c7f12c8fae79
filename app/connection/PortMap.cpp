#include "PortMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

QString portKey(int port) {
    return QStringLiteral("COM%1").arg(port);
}

// The key of a "KEY=VALUE" line, or nothing for blank lines and comments.
std::optional<QString> lineKey(const QString &line) {
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals <= 0)
        return std::nullopt;
    return trimmed.left(equals).trimmed();
}

QStringList readLines(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

std::optional<QString> lookUp(const QString &path, int port) {
    const QString key = portKey(port);
    for (const QString &line : readLines(path)) {
        if (lineKey(line) != key)
            continue;
        const QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
        if (!value.isEmpty())
            return value;
    }
    return std::nullopt;
}

QString tildeForHome(const QString &path) {
    const QString home = QDir::homePath();
    return path.startsWith(home + u'/') ? u'~' + path.mid(home.size()) : path;
}

// Sorts device names so that ttyUSB2 comes before ttyUSB10: by the name without its trailing
// digits, then by their value.
void sortNumerically(QStringList &names) {
    auto split = [](const QString &name) {
        qsizetype digits = name.size();
        while (digits > 0 && name[digits - 1].isDigit())
            --digits;
        return std::pair(name.left(digits), name.mid(digits).toULongLong());
    };
    std::sort(names.begin(), names.end(), [&](const QString &a, const QString &b) {
        const auto keyA = split(a), keyB = split(b);
        return keyA != keyB ? keyA < keyB : a < b;
    });
}

} // namespace

PortMap PortMap::fromEnvironment() {
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty())
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return PortMap(configHome + QStringLiteral("/qorlink/ports.conf"),
                   QStringLiteral("/etc/qorlink/ports.conf"));
}

PortMap::Mapping PortMap::resolve(int port) const {
    const QString fromEnvironment =
        qEnvironmentVariable(qPrintable(QStringLiteral("QORLINK_") + portKey(port)));
    if (!fromEnvironment.isEmpty())
        return {fromEnvironment, Source::Environment};
    if (auto device = lookUp(m_userFile, port))
        return {*device, Source::UserFile};
    if (auto device = lookUp(m_systemFile, port))
        return {*device, Source::SystemFile};
    return {QStringLiteral("/dev/ttyS%1").arg(port - 1), Source::Default};
}

bool PortMap::setUserMapping(int port, const QString &device, QString *error) const {
    const QString key = portKey(port);
    QStringList lines = readLines(m_userFile);
    bool replaced = false;
    for (auto line = lines.begin(); line != lines.end();) {
        if (lineKey(*line) != key) {
            ++line;
        } else if (!replaced) {
            *line++ = key + u'=' + device;
            replaced = true;
        } else {
            line = lines.erase(line); // a later duplicate would only confuse the next reader
        }
    }
    if (!replaced)
        lines << key + u'=' + device;

    const QString folder = QFileInfo(m_userFile).absolutePath();
    QSaveFile file(m_userFile);
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(m_userFile, file.errorString());
        return false;
    }
    file.write((lines.join(u'\n') + u'\n').toUtf8());
    if (!file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(m_userFile, file.errorString());
        return false;
    }
    return true;
}

QString PortMap::describeSource(int port, Source source) const {
    switch (source) {
    case Source::Environment:
        return QStringLiteral("set by QORLINK_%1").arg(portKey(port));
    case Source::UserFile:
        return QStringLiteral("from %1").arg(tildeForHome(m_userFile));
    case Source::SystemFile:
        return QStringLiteral("from %1").arg(m_systemFile);
    case Source::Default:
        break;
    }
    return QStringLiteral("default");
}

QStringList listSerialDevices(const QString &devRoot) {
    QStringList devices;
    const QDir byId(devRoot + QStringLiteral("/serial/by-id"));
    QStringList stable = byId.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    sortNumerically(stable);
    for (const QString &name : stable)
        devices << byId.filePath(name);

    const QDir dev(devRoot);
    for (const char *pattern : {"ttyUSB*", "ttyACM*", "ttyS*"}) {
        QStringList names =
            dev.entryList({QString::fromLatin1(pattern)}, QDir::System | QDir::Files);
        sortNumerically(names);
        for (const QString &name : names)
            devices << dev.filePath(name);
    }
    return devices;
}
