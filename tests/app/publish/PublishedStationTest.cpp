// The station program against the simulated unit: what the shell sees on the session bus, and
// the one line it writes when it cannot publish.

#include "LiveItems.h"
#include "SimulatedUnit.h"
#include "StationProcess.h"
#include "WaitFor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString ServiceName = QLatin1String(LiveItems::ServiceName);

struct Gdbus {
    bool ok = false;
    QString output;
};

// gdbus with arguments: whether it succeeded, and its standard output.
Gdbus gdbus(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral("gdbus"), arguments);
    const bool ok = process.waitForFinished(30000) &&
                    process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return {ok, QString::fromUtf8(process.readAllStandardOutput()).trimmed()};
}

// The readings the unit sent for channel 1, as the station shows them: five decimals, a blank
// before a value that is not negative.
QStringList channelOneShown(const QString &logFile) {
    QFile log(logFile);
    QStringList shown;
    if (!log.open(QIODevice::ReadOnly))
        return shown;
    static const QRegularExpression reply(QStringLiteral("~C1 1\\\\r -> ~00 +1 (\\S+)\\\\r"));
    while (!log.atEnd()) {
        const QRegularExpressionMatch match = reply.match(QString::fromLatin1(log.readLine()));
        if (!match.hasMatch())
            continue;
        const double value = match.captured(1).toFloat();
        shown << (value < 0 ? QString() : QStringLiteral(" ")) + QString::number(value, 'f', 5);
    }
    return shown;
}

TEST(PublishedStation, AnswersARequestFromTheShellWithTheValueShown) {
    QTemporaryDir folder;
    const QString port = folder.filePath(QStringLiteral("qor1"));
    const QString logFile = folder.filePath(QStringLiteral("unit.log"));
    SimulatedUnit unit({QStringLiteral("--preset"), QStringLiteral("demo"),
                        QStringLiteral("--link"), port, QStringLiteral("--log"), logFile});
    ASSERT_TRUE(unit.isRunning());
    StationProcess station(QStringLiteral(QORVIEW_TEST_STATION), port);
    const Gdbus named = gdbus({QStringLiteral("wait"), QStringLiteral("--session"),
                               QStringLiteral("--timeout"), QStringLiteral("30"), ServiceName});
    ASSERT_TRUE(named.ok) << "the station takes its name";
    // The first tick has written channel 1's label once the poll reads the channel again.
    ASSERT_TRUE(waitFor([&] { return channelOneShown(logFile).size() >= 2; }, 20000));
    const Gdbus reply = gdbus(
        {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"), ServiceName,
         QStringLiteral("--object-path"), QStringLiteral("/Display"), QStringLiteral("--method"),
         QStringLiteral("org.qorview.Display1.Request"), QStringLiteral("labelChan(1)")});
    ASSERT_TRUE(reply.ok);
    const QRegularExpressionMatch text =
        QRegularExpression(QStringLiteral("^\\('([ -]\\d+\\.\\d{5})',\\)$")).match(reply.output);
    ASSERT_TRUE(text.hasMatch()) << qPrintable(reply.output);
    EXPECT_TRUE(channelOneShown(logFile).contains(text.captured(1)))
        << "a reading the unit sent for channel 1: " << qPrintable(text.captured(1));
    EXPECT_GE(station.endWith(SIGTERM), 0);
    EXPECT_EQ(station.exitCode(), 0);
}

TEST(PublishedStation, RunsUnpublishedAndSaysWhyInOneLine) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const struct {
        const char *legend;
        const char *busAddress;
        bool nameTaken;
        const char *reason;
    } cases[] = {
        {"no session bus", "unix:path=/nonexistent/qorview-test-bus", false, "no session bus"},
        {"the name is taken", nullptr, true, "the name org.qorview.QorView is taken"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        if (c.nameTaken) {
            ASSERT_TRUE(bus.registerService(ServiceName));
        }
        QTemporaryDir folder;
        const QString port = folder.filePath(QStringLiteral("qor1"));
        SimulatedUnit unit(
            {QStringLiteral("--preset"), QStringLiteral("demo"), QStringLiteral("--link"), port});
        ASSERT_TRUE(unit.isRunning());
        QProcessEnvironment env;
        if (c.busAddress)
            env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QLatin1String(c.busAddress));
        StationProcess station(QStringLiteral(QORVIEW_TEST_STATION), port, env,
                               StationProcess::ErrorOutput::Kept);
        const QString line = station.waitForErrorLine(QStringLiteral("qorview:"), 30000);
        EXPECT_TRUE(line.startsWith(QStringLiteral("qorview: live values are not published: ") +
                                    QLatin1String(c.reason)))
            << qPrintable(line);
        // It goes on polling.
        const qsizetype reads = unit.requests().count(QStringLiteral("~C1 1"));
        EXPECT_TRUE(waitFor(
            [&] { return unit.requests().count(QStringLiteral("~C1 1")) > reads + 1; }, 20000));
        EXPECT_GE(station.endWith(SIGTERM), 0);
        EXPECT_EQ(station.exitCode(), 0);
        if (c.nameTaken)
            bus.unregisterService(ServiceName);
    }
}

} // namespace
