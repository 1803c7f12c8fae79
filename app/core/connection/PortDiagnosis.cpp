#include "PortDiagnosis.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

#include <grp.h>
#include <unistd.h>

namespace {

std::vector<gid_t> processGroups() {
    std::vector<gid_t> groups{getegid()};
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> extra(static_cast<size_t>(count));
        const int got = getgroups(count, extra.data());
        if (got > 0)
            groups.insert(groups.end(), extra.begin(), extra.begin() + got);
    }
    return groups;
}

QString groupNameOf(gid_t gid) {
    const struct group *entry = getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QStringLiteral("dialout");
}

} // namespace

bool grantsReadWrite(const struct stat &info, uid_t uid, const std::vector<gid_t> &groups) {
    if (uid == 0)
        return true;
    constexpr mode_t ownerRw = S_IRUSR | S_IWUSR, groupRw = S_IRGRP | S_IWGRP,
                     otherRw = S_IROTH | S_IWOTH;
    // The kernel applies only the first class that matches: owner, then group, then others.
    if (info.st_uid == uid)
        return (info.st_mode & ownerRw) == ownerRw;
    if (std::find(groups.begin(), groups.end(), info.st_gid) != groups.end())
        return (info.st_mode & groupRw) == groupRw;
    return (info.st_mode & otherRw) == otherRw;
}

OpenDiagnosis diagnoseOpenFailure(const QString &device, bool refusedSettings) {
    struct stat info {};
    const QByteArray path = QFile::encodeName(device);
    if (stat(path.constData(), &info) != 0) {
        if (errno == EACCES)
            return {OpenFailure::PermissionDenied, {}};
        return {OpenFailure::NoSuchDevice, {}};
    }
    if (!S_ISCHR(info.st_mode))
        return {OpenFailure::NotADevice, {}};
    if (refusedSettings)
        return {OpenFailure::RefusesSettings, {}};
    if (!grantsReadWrite(info, geteuid(), processGroups()))
        return {OpenFailure::PermissionDenied, groupNameOf(info.st_gid)};
    // It exists and we may use it, so the library's refusal was the exclusive lock of another
    // program.
    return {OpenFailure::InUse, {}};
}

QString describeOpenFailure(const OpenDiagnosis &diagnosis, const QString &device) {
    switch (diagnosis.failure) {
    case OpenFailure::NoSuchDevice:
        return QStringLiteral("There is no device %1. Check that the adapter is plugged in, or map "
                              "the port to a device that is present.")
            .arg(device);
    case OpenFailure::PermissionDenied: {
        const QString group =
            diagnosis.groupName.isEmpty() ? QStringLiteral("dialout") : diagnosis.groupName;
        return QStringLiteral("Permission denied on %1. Add your user to the %2 group "
                              "(sudo usermod -aG %2 $USER), then log out and in again. An FTDI "
                              "USB adapter is given to the user at the desk by the rule %3 of "
                              "the qorview package: plug it in again once that is installed.")
            .arg(device, group, QLatin1String(DeviceAccessRule));
    }
    case OpenFailure::NotADevice:
        return QStringLiteral("%1 is not a serial device.").arg(device);
    case OpenFailure::RefusesSettings:
        return QStringLiteral("%1 refuses the serial line settings; it is not a serial port.")
            .arg(device);
    case OpenFailure::InUse:
        break;
    }
    return QStringLiteral("%1 is in use by another program. Close that program and test again.")
        .arg(device);
}

std::optional<int> adapterLatencyTimer(const QString &device, const QString &sysfsRoot) {
    // The kernel names the adapter's tty, so a link such as /dev/serial/by-id/... counts as the
    // ttyUSB<n> it points to.
    const QString real = QFileInfo(device).canonicalFilePath();
    const QString name = QFileInfo(real.isEmpty() ? device : real).fileName();
    if (name.isEmpty())
        return std::nullopt;
    QFile timer(sysfsRoot + QStringLiteral("/class/tty/") + name +
                QStringLiteral("/device/latency_timer"));
    if (!timer.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool isNumber = false;
    const int milliseconds = QString::fromLatin1(timer.read(16)).trimmed().toInt(&isNumber);
    if (!isNumber)
        return std::nullopt;
    return milliseconds;
}

QString describeLatencyTimer(int milliseconds) {
    if (milliseconds == 1)
        return {};
    return QStringLiteral("The adapter's latency timer is %1 ms, so every reply waits that long; "
                          "the rule %2 sets it to 1 ms when the adapter is plugged in.")
        .arg(milliseconds)
        .arg(QLatin1String(DeviceAccessRule));
}
