#include "PortMap.h"
#include "ScriptedPrompts.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString &path, const QByteArray &content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PortMapTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (int port = 1; port <= 6; ++port)
            qunsetenv(qPrintable(QStringLiteral("QORLINK_COM%1").arg(port)));
    }
    QTemporaryDir dir;
    QString user = dir.filePath(QStringLiteral("config/qorlink/ports.conf"));
    QString system = dir.filePath(QStringLiteral("etc/qorlink/ports.conf"));
    PortMap map{user, system};
};

TEST_F(PortMapTest, LookupOrder) {
    writeFile(user, "# mine\nCOM2 = /dev/user2\nCOM3=/dev/user3\nCOM3=/dev/later\n");
    writeFile(system, "COM2=/dev/system2\nCOM4=/dev/system4\nCOM5=\n");
    qputenv("QORLINK_COM3", "/dev/fromenv");
    const struct {
        int port;
        const char *device;
        PortMap::Source source;
    } cases[] = {
        {1, "/dev/ttyS0", PortMap::Source::Default},
        {2, "/dev/user2", PortMap::Source::UserFile},
        {3, "/dev/fromenv", PortMap::Source::Environment},
        {4, "/dev/system4", PortMap::Source::SystemFile},
        {5, "/dev/ttyS4", PortMap::Source::Default}, // an empty value does not count
    };
    for (const auto &c : cases) {
        const PortMap::Mapping mapping = map.resolve(c.port);
        EXPECT_EQ(mapping.device, QString::fromLatin1(c.device)) << c.port;
        EXPECT_EQ(mapping.source, c.source) << c.port;
    }
    qunsetenv("QORLINK_COM3");
    EXPECT_EQ(map.resolve(3).device, QStringLiteral("/dev/user3")) << "the first line wins";
}

TEST_F(PortMapTest, WritingCreatesTheFileAndFolder) {
    QString error;
    ASSERT_TRUE(map.setUserMapping(2, QStringLiteral("/dev/ttyUSB0"), &error))
        << error.toStdString();
    EXPECT_EQ(readFile(user), QByteArray("COM2=/dev/ttyUSB0\n"));
    EXPECT_EQ(map.resolve(2).source, PortMap::Source::UserFile);
}

TEST_F(PortMapTest, WritingReplacesOnlyItsOwnLine) {
    writeFile(user, "# adapters\nCOM1=/dev/a\n COM2 = /dev/old\nCOM3=/dev/c\nCOM2=/dev/dup\n");
    ASSERT_TRUE(map.setUserMapping(2, QStringLiteral("/dev/new"), nullptr));
    EXPECT_EQ(readFile(user), QByteArray("# adapters\nCOM1=/dev/a\nCOM2=/dev/new\nCOM3=/dev/c\n"));
    ASSERT_TRUE(map.setUserMapping(4, QStringLiteral("/dev/d"), nullptr));
    EXPECT_TRUE(readFile(user).endsWith("COM3=/dev/c\nCOM4=/dev/d\n"));
}

TEST_F(PortMapTest, WritingFailsCleanlyWhereNoFolderCanBeMade) {
    writeFile(dir.filePath(QStringLiteral("blocker")), "a file, not a folder");
    const PortMap blocked(dir.filePath(QStringLiteral("blocker/qorlink/ports.conf")), system);
    QString error;
    EXPECT_FALSE(blocked.setUserMapping(1, QStringLiteral("/dev/x"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("blocker"))) << error.toStdString();
}

TEST(SerialDevices, StableNamesFirstThenByKindInNumericOrder) {
    QTemporaryDir dev;
    for (const char *name : {"ttyS10", "ttyS2", "ttyACM0", "ttyUSB10", "ttyUSB2", "tty0",
                             "ttyprintk", "null", "serial/by-id/usb-Maker_Adapter-if00-port0"})
        writeFile(dev.filePath(QString::fromLatin1(name)), {});
    const QString root = dev.path();
    EXPECT_EQ(
        listSerialDevices(root),
        (QStringList{root + "/serial/by-id/usb-Maker_Adapter-if00-port0", root + "/ttyUSB2",
                     root + "/ttyUSB10", root + "/ttyACM0", root + "/ttyS2", root + "/ttyS10"}));
}

TEST(SerialDevices, NonePresent) {
    QTemporaryDir dev;
    EXPECT_TRUE(listSerialDevices(dev.path()).isEmpty());
}

} // namespace
