#include "PortDiagnosis.h"

#include "ConnectionTest.h"
#include "LinkLibrary.h"
#include "LinkSession.h"
#include "PortMap.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct stat withMode(mode_t mode, uid_t owner, gid_t group) {
    struct stat info {};
    info.st_mode = S_IFCHR | mode;
    info.st_uid = owner;
    info.st_gid = group;
    return info;
}

// The kernel's rule: the first matching class alone decides (owner, then group, then others).
TEST(PortDiagnosis, ReadWritePermission) {
    const struct {
        const char *legend;
        mode_t mode;
        uid_t uid;
        std::vector<gid_t> groups;
        bool expected;
    } cases[] = {
        {"serial device, member of its group", 0660, 1000, {1000, 20}, true},
        {"serial device, not a member", 0660, 1000, {1000}, false},
        {"owner may read and write", 0600, 500, {1}, true},
        {"owner may only read", 0460, 500, {20}, false},
        {"owner class wins over a generous group", 0066, 500, {20}, false},
        {"others may read and write", 0666, 1000, {1000}, true},
        {"group class wins over generous others", 0606, 1000, {20}, false},
        {"root may always", 0000, 0, {0}, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(grantsReadWrite(withMode(c.mode, 500, 20), c.uid, c.groups), c.expected)
            << c.legend;
}

TEST(PortDiagnosis, FindsTheReasonFromTheFileAlone) {
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(diagnoseOpenFailure(dir.filePath(QStringLiteral("missing"))).failure,
              OpenFailure::NoSuchDevice);
    EXPECT_EQ(diagnoseOpenFailure(plain).failure, OpenFailure::NotADevice);
    // A device this process may use but the library could not open is held by someone else.
    EXPECT_EQ(diagnoseOpenFailure(QStringLiteral("/dev/null")).failure, OpenFailure::InUse);
    EXPECT_EQ(diagnoseOpenFailure(QStringLiteral("/dev/null"), true).failure,
              OpenFailure::RefusesSettings);
    EXPECT_EQ(diagnoseOpenFailure(plain, true).failure, OpenFailure::NotADevice);
}

TEST(PortDiagnosis, TextsNameTheDeviceAndTheFix) {
    const QString device = QStringLiteral("/dev/ttyUSB0");
    EXPECT_TRUE(describeOpenFailure({OpenFailure::NoSuchDevice, {}}, device)
                    .startsWith(QStringLiteral("There is no device /dev/ttyUSB0.")));
    const QString denied = describeOpenFailure({OpenFailure::PermissionDenied, {}}, device);
    EXPECT_TRUE(denied.contains(QStringLiteral("Permission denied on /dev/ttyUSB0")));
    EXPECT_TRUE(denied.contains(QStringLiteral("dialout group")));
    EXPECT_TRUE(denied.contains(QStringLiteral("/usr/lib/udev/rules.d/60-qorview.rules")))
        << "names the rule that gives USB adapters to the user at the desk";
    EXPECT_TRUE(describeOpenFailure({OpenFailure::PermissionDenied, QStringLiteral("uucp")}, device)
                    .contains(QStringLiteral("uucp group")));
    EXPECT_TRUE(describeOpenFailure({OpenFailure::InUse, {}}, device)
                    .contains(QStringLiteral("in use by another program")));
}

// A folder standing in for /sys: class/tty/<name>/device/latency_timer holding text.
class FakeSysfs {
public:
    void setTimer(const QString &tty, const QByteArray &text) {
        const QString folder = m_root.filePath(QStringLiteral("class/tty/") + tty + "/device");
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile timer(folder + QStringLiteral("/latency_timer"));
        ASSERT_TRUE(timer.open(QIODevice::WriteOnly));
        timer.write(text);
    }
    QString root() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
};

TEST(PortDiagnosis, ReadsTheAdaptersLatencyTimer) {
    FakeSysfs sysfs;
    sysfs.setTimer(QStringLiteral("ttyUSB0"), "16\n");
    sysfs.setTimer(QStringLiteral("ttyUSB1"), "1\n");
    sysfs.setTimer(QStringLiteral("ttyUSB2"), "busy\n");
    QTemporaryDir dev;
    QFile adapter(dev.filePath(QStringLiteral("ttyUSB0")));
    ASSERT_TRUE(adapter.open(QIODevice::WriteOnly));
    const QString byId = dev.filePath(QStringLiteral("usb-FTDI_FT232R_A1-if00-port0"));
    ASSERT_TRUE(QFile::link(adapter.fileName(), byId));

    const struct {
        const char *legend;
        QString device;
        std::optional<int> expected;
    } cases[] = {
        {"the factory's 16 ms", QStringLiteral("/dev/ttyUSB0"), 16},
        {"set by the rule", QStringLiteral("/dev/ttyUSB1"), 1},
        {"a stable link counts as the tty it points to", byId, 16},
        {"no timer: not an FTDI adapter", QStringLiteral("/dev/ttyS0"), std::nullopt},
        {"a pseudo-terminal has none", QStringLiteral("/dev/pts/3"), std::nullopt},
        {"what is not a number is no reading", QStringLiteral("/dev/ttyUSB2"), std::nullopt},
        {"no device named", QString(), std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(adapterLatencyTimer(c.device, sysfs.root()), c.expected) << c.legend;
}

TEST(PortDiagnosis, LatencyNoteOnlyWhenNotOneMillisecond) {
    EXPECT_EQ(describeLatencyTimer(1), QString());
    const QString note = describeLatencyTimer(16);
    EXPECT_TRUE(note.contains(QStringLiteral("latency timer is 16 ms"))) << note.toStdString();
    EXPECT_TRUE(note.contains(QStringLiteral("/usr/lib/udev/rules.d/60-qorview.rules")));
}

LinkLibrary &loadedLink() {
    static LinkLibrary link;
    QString error;
    if (!link.isLoaded() && !link.load(&error))
        ADD_FAILURE() << "link library: " << error.toStdString();
    return link;
}

// The wizard's test reads the timer of the device the port maps to, once the port has opened.
TEST(PortDiagnosis, ConnectionTestNamesASlowAdapter) {
    ASSERT_TRUE(SimulatedUnit::available()) << "qorsim is built with the tests";
    SimulatedUnit unit;
    ASSERT_TRUE(unit.isRunning());
    const PortOverride com1(1, unit.device());
    const QString tty = QFileInfo(QFileInfo(unit.device()).canonicalFilePath()).fileName();
    const PortMap ports = PortMap::fromEnvironment();
    LinkSession session{loadedLink()};

    FakeSysfs sysfs;
    sysfs.setTimer(tty, "16\n");
    const ConnectionTestResult slow = testConnection(session, 1, 9600, ports, sysfs.root());
    EXPECT_TRUE(slow.passed);
    EXPECT_EQ(slow.text, QStringLiteral("Communication good\n") + describeLatencyTimer(16));

    sysfs.setTimer(tty, "1\n");
    EXPECT_EQ(testConnection(session, 1, 9600, ports, sysfs.root()).text,
              QStringLiteral("Communication good"));
}

} // namespace
