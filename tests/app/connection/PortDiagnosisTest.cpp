#include "PortDiagnosis.h"

#include <QFile>
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
    EXPECT_TRUE(describeOpenFailure({OpenFailure::PermissionDenied, QStringLiteral("uucp")}, device)
                    .contains(QStringLiteral("uucp group")));
    EXPECT_TRUE(describeOpenFailure({OpenFailure::InUse, {}}, device)
                    .contains(QStringLiteral("in use by another program")));
}

} // namespace
