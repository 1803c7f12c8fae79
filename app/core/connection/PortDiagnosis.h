#pragma once

#include <QString>

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <vector>

// The udev rule installed with the station: it gives the user at the desk the FTDI USB-serial
// adapters and the unit's own USB interface, and sets the adapters' latency timer to 1 ms.
inline constexpr const char *DeviceAccessRule = "/usr/lib/udev/rules.d/60-qorview.rules";

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

// The latency timer in milliseconds of the USB-serial adapter behind device (links followed), as
// <sysfsRoot>/class/tty/<name>/device/latency_timer says; nothing when the device has none (not
// an FTDI adapter, or not present).
std::optional<int> adapterLatencyTimer(const QString &device,
                                       const QString &sysfsRoot = QStringLiteral("/sys"));

// The note under a test result when the adapter holds replies back; empty at 1 ms.
QString describeLatencyTimer(int milliseconds);
