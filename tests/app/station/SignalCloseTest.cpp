// The station as the operator runs it, ended by a signal while the line misbehaves: it must end
// in an orderly way (exit status 0, settings stored) within 2 s plus one reply deadline.

#include "SimulatedUnit.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// 2 s for the close itself, plus the longest reply deadline at 9600 baud (1.3 s), plus slack for
// a loaded machine.
constexpr qint64 EndBoundMs = 2000 + 1300 + 700;

class StationProcess {
public:
    explicit StationProcess(const QString &port) {
        QDir(m_home.path()).mkpath(QStringLiteral("config/QorView"));
        QDir(m_home.path()).mkpath(QStringLiteral("runtime"));
        QFile ini(iniFile());
        ini.open(QIODevice::WriteOnly);
        ini.write("[QorSettings]\nPort=COM1\nBaudRate=9600\n");
        ini.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("QORLINK_COM1"), port);
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(QStringLiteral(QORVIEW_TEST_STATION), {});
        m_process.waitForStarted();
    }
    ~StationProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Sends signal and returns how long the station took to end, or -1 when it did not.
    qint64 endWith(int signal) {
        QElapsedTimer timer;
        timer.start();
        ::kill(static_cast<pid_t>(m_process.processId()), signal);
        if (!m_process.waitForFinished(10000))
            return -1;
        return timer.elapsed();
    }
    int exitCode() const { return m_process.exitCode(); }
    bool crashed() const { return m_process.exitStatus() != QProcess::NormalExit; }
    QString iniFile() const {
        return m_home.filePath(QStringLiteral("config/QorView/QorView.ini"));
    }

private:
    QTemporaryDir m_home;
    QProcess m_process;
};

template <typename F> bool waitFor(F done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QThread::msleep(50);
    return done();
}

TEST(SignalClose, WhileTheDidNotRespondBoxIsOpenAfterTheCableWasPulled) {
    QTemporaryDir folder;
    const QString port = folder.filePath(QStringLiteral("qor1"));
    SimulatedUnit unit(
        {QStringLiteral("--preset"), QStringLiteral("demo"), QStringLiteral("--link"), port});
    ASSERT_TRUE(unit.isRunning());
    StationProcess station(port);
    // Polling has begun once the last channel has been read twice.
    ASSERT_TRUE(
        waitFor([&] { return unit.requests().count(QStringLiteral("~C1 8")) >= 2; }, 20000));
    unit.stop();
    QThread::msleep(700); // the failed read returns at once on a hang-up and its box opens

    for (const int signal : {SIGTERM}) {
        const qint64 took = station.endWith(signal);
        ASSERT_GE(took, 0) << "the station did not end";
        EXPECT_LT(took, EndBoundMs);
    }
    EXPECT_FALSE(station.crashed());
    EXPECT_EQ(station.exitCode(), 0);
    QSettings ini(station.iniFile(), QSettings::IniFormat);
    EXPECT_TRUE(ini.contains(QStringLiteral("QorSettings/MainLeft"))) << "closed in order";
    EXPECT_TRUE(ini.contains(QStringLiteral("QorViewSettings/GCT")));
}

TEST(SignalClose, DuringStartUpOnALineThatOnlyCarriesNoise) {
    // A unit set to another line rate: everything it sends is noise without a "~".
    QTemporaryDir folder;
    const QString port = folder.filePath(QStringLiteral("qor1"));
    SimulatedUnit unit({QStringLiteral("--baud"), QStringLiteral("38400"), QStringLiteral("--pace"),
                        QStringLiteral("--link"), port});
    ASSERT_TRUE(unit.isRunning());
    StationProcess station(port);
    // The first request of the start-up is under way or its box is open.
    ASSERT_TRUE(waitFor([&] { return !unit.requests().isEmpty(); }, 10000));
    QThread::msleep(500);
    const qint64 took = station.endWith(SIGINT);
    ASSERT_GE(took, 0) << "the station did not end";
    EXPECT_LT(took, EndBoundMs);
    EXPECT_FALSE(station.crashed());
    EXPECT_EQ(station.exitCode(), 0);
}

} // namespace
