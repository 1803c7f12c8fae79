#pragma once

#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

#include <vector>

// Why a serial device could not be opened, found from its name and attributes alone: the link
// library has already tried to open it, and a second attempt could disturb whoever holds it.
enum class OpenFailure { NoSuchDevice, PermissionDenied, NotADevice, InUse, RefusesSettings };

struct OpenDiagnosis {
    OpenFailure failure = OpenFailure::InUse;
    QString groupName; // the group that owns the device, for the permission fix
};

// Looks at the device with stat() and the caller's identity. refusedSettings: the device did
// open but would not take the serial line settings (the library then reports no error number).
OpenDiagnosis diagnoseOpenFailure(const QString &device, bool refusedSettings = false);

// Whether the file's mode grants both reading and writing to a process with this identity.
bool grantsReadWrite(const struct stat &info, uid_t uid, const std::vector<gid_t> &groups);

// The explanation shown under "Unable to open this port".
QString describeOpenFailure(const OpenDiagnosis &diagnosis, const QString &device);
