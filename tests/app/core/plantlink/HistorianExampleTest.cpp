#include "BrokerProcess.h"
#include "PlantLinkClient.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

using namespace plantlink;

namespace {

QString sqlite(const QString &database, const QString &query) {
    QProcess process;
    process.start(QStringLiteral("sqlite3"), {database, query});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QByteArray part(qint64 serial, const QString &uuid) {
    PartMessage message;
    message.uuid = uuid;
    message.time = QDateTime::currentDateTimeUtc();
    message.serial = serial;
    message.station = QStringLiteral("line-7");
    message.verdict = Verdict::Reject;
    for (int channel = 1; channel <= 8; ++channel) {
        PartValue value{
            channel,      QStringLiteral("D%1").arg(channel), 5.0 + channel / 1000.0, 3, 5.0, {},
            Verdict::Good};
        value.limits.upperReject = 5.005;
        message.values.push_back(value);
    }
    return partDocument(message);
}

// The example subscriber of the documentation keeps each part once, whatever comes twice or
// cannot be read.
TEST(HistorianExample, StoresEachPartOnceAndSkipsWhatItCannotRead) {
    ASSERT_EQ(QProcess::execute(QStringLiteral("/usr/bin/python3"),
                                {QStringLiteral("-c"), QStringLiteral("import paho.mqtt.client")}),
              0)
        << "the example needs Debian's python3-paho-mqtt";
    BrokerProcess broker;
    ASSERT_TRUE(broker.start());
    QTemporaryDir folder;
    const QString database = QDir(folder.path()).filePath(QStringLiteral("parts.sqlite"));
    QProcess historian;
    historian.start(QStringLiteral(PLANTLINK_HISTORIAN),
                    {QStringLiteral("--host"), QStringLiteral("127.0.0.1"),
                     QStringLiteral("--port"), QString::number(broker.port()),
                     QStringLiteral("--db"), database});
    QByteArray said;
    auto saidLines = [&](const char *what) {
        said += historian.readAllStandardOutput();
        return said.count(what);
    };
    ASSERT_TRUE(waitFor([&] { return saidLines("subscribed") == 1; }))
        << historian.readAllStandardError().constData();

    MemoryOutbox outbox;
    const QString repeated = QUuid::createUuid().toString(QUuid::WithoutBraces);
    outbox.add(part(1, QUuid::createUuid().toString(QUuid::WithoutBraces)));
    outbox.add(part(2, repeated));
    outbox.add("not a part");
    outbox.add(part(2, repeated));
    outbox.add(part(3, QUuid::createUuid().toString(QUuid::WithoutBraces)));
    PlantLinkClient client(outbox);
    client.start(loopbackConfig(broker.port(), QStringLiteral("line-7")));
    ASSERT_TRUE(waitFor([&] { return saidLines("stored") + saidLines("repeat dropped") == 4; }))
        << said.constData();
    EXPECT_EQ(saidLines("repeat dropped"), 1);

    EXPECT_EQ(sqlite(database, QStringLiteral("SELECT count(*) FROM parts")), QLatin1String("3"));
    EXPECT_EQ(sqlite(database, QStringLiteral("SELECT count(*) FROM part_values")),
              QLatin1String("24"));
    EXPECT_EQ(
        sqlite(database,
               QStringLiteral("SELECT serial, verdict FROM parts WHERE uuid = '%1'").arg(repeated)),
        QLatin1String("2|reject"));
    EXPECT_EQ(sqlite(database,
                     QStringLiteral("SELECT value, upper_reject FROM part_values WHERE part_uuid "
                                    "= '%1' AND channel = 3")
                         .arg(repeated)),
              QLatin1String("5.003|5.005"));

    historian.terminate();
    EXPECT_TRUE(historian.waitForFinished(10000));
    EXPECT_EQ(historian.exitCode(), 0) << historian.readAllStandardError().constData();
}

} // namespace
