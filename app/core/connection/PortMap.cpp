#include "PortMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

namespace {

QString portKey(int port) {
    return QString::fromStdString(qor::portrule::key_of(port));
}

// The key of a "KEY=VALUE" line as the link library reads it, or nothing for lines it skips.
std::optional<QString> lineKey(const QString &line) {
    const QByteArray bytes = line.toUtf8();
    const auto parsed = qor::portrule::parse_line(
        std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())));
    if (!parsed)
        return std::nullopt;
    return QString::fromUtf8(parsed->key.data(), static_cast<qsizetype>(parsed->key.size()));
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
    const qor::portrule::Files files = qor::portrule::files_from_environment();
    return PortMap(QFile::decodeName(files.user.c_str()), QFile::decodeName(files.system.c_str()));
}

PortMap::Mapping PortMap::resolve(int port) const {
    const qor::portrule::Files files{QFile::encodeName(m_userFile).toStdString(),
                                     QFile::encodeName(m_systemFile).toStdString()};
    const qor::portrule::Resolution resolution = qor::portrule::resolve(port, files);
    return {QFile::decodeName(resolution.device.c_str()), resolution.source};
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
