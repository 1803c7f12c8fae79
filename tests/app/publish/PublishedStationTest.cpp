// The station program against the simulated unit: what the shell sees on the session bus, and
// the one line it writes when it cannot publish.

#include "LiveItems.h"
#include "SimulatedUnit.h"
#include "StationProcess.h"
#include "WaitFor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

const QString ServiceName = QLatin1String(LiveItems::ServiceName);

// gdbus with arguments; its standard output, or empty when it failed.
QString gdbus(const QStringList &arguments) {
    QProcess process;
    process.start(QStringLiteral("gdbus"), arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

TEST(PublishedStation, AnswersARequestFromTheShellWithTheValueShown) {
    QTemporaryDir folder;
    const QString port = folder.filePath(QStringLiteral("qor1"));
    SimulatedUnit unit(
        {QStringLiteral("--preset"), QStringLiteral("demo"), QStringLiteral("--link"), port});
    ASSERT_TRUE(unit.isRunning());
    StationProcess station(QStringLiteral(QORVIEW_TEST_STATION), port);
    ASSERT_EQ(gdbus({QStringLiteral("wait"), QStringLiteral("--session"),
                     QStringLiteral("--timeout"), QStringLiteral("30"), ServiceName}),
              QString())
        << "the station takes its name";
    // The first tick has written channel 1's label once the poll reads the channel again.
    ASSERT_TRUE(
        waitFor([&] { return unit.requests().count(QStringLiteral("~C1 1")) >= 2; }, 20000));
    const QString reply = gdbus(
        {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"), ServiceName,
         QStringLiteral("--object-path"), QStringLiteral("/Display"), QStringLiteral("--method"),
         QStringLiteral("org.qorview.Display1.Request"), QStringLiteral("labelChan(1)")});
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\('[ -]\\d+\\.\\d+',\\)$")).match(reply).hasMatch())
        << qPrintable(reply);
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
