// The station as the operator runs it, ended by a signal: while the line misbehaves it must end
// in an orderly way (exit status 0, settings stored) within 2 s plus one reply deadline, and a
// close whose settings could not be stored must not end as a success.

#include "ProcessEnd.h"
#include "SimulatedUnit.h"
#include "StationProcess.h"
#include "WaitFor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// 2 s for the close itself, plus the longest reply deadline at 9600 baud (1.3 s), plus slack for
// a loaded machine.
constexpr qint64 EndBoundMs = 2000 + 1300 + 700;

TEST(SignalClose, WhileTheDidNotRespondBoxIsOpenAfterTheCableWasPulled) {
    QTemporaryDir folder;
    const QString port = folder.filePath(QStringLiteral("qor1"));
    SimulatedUnit unit(
        {QStringLiteral("--preset"), QStringLiteral("demo"), QStringLiteral("--link"), port});
    ASSERT_TRUE(unit.isRunning());
    StationProcess station(QStringLiteral(QORVIEW_TEST_STATION), port);
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
    StationProcess station(QStringLiteral(QORVIEW_TEST_STATION), port);
    // The first request of the start-up is under way or its box is open.
    ASSERT_TRUE(waitFor([&] { return !unit.requests().isEmpty(); }, 10000));
    QThread::msleep(500);
    const qint64 took = station.endWith(SIGINT);
    ASSERT_GE(took, 0) << "the station did not end";
    EXPECT_LT(took, EndBoundMs);
    EXPECT_FALSE(station.crashed());
    EXPECT_EQ(station.exitCode(), 0);
}

// Whoever sent the signal (a supervisor, a logout) learns from the exit status alone whether
// the close stored the settings; standard error says what was lost. The settings folder is
// replaced by a plain file while the station runs, which stops the writes for root as well.
TEST(SignalClose, ExitStatusSaysWhetherTheSettingsWereStored) {
    const struct {
        const char *legend;
        bool folderBlocked;
        int exitCode;
    } cases[] = {
        {"settings stored: success", false, 0},
        {"settings folder replaced by a file: failure", true, SettingsNotSavedStatus},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        QTemporaryDir folder;
        const QString port = folder.filePath(QStringLiteral("qor1"));
        SimulatedUnit unit(
            {QStringLiteral("--preset"), QStringLiteral("demo"), QStringLiteral("--link"), port});
        ASSERT_TRUE(unit.isRunning());
        StationProcess station(QStringLiteral(QORVIEW_TEST_STATION), port, {},
                               StationProcess::ErrorOutput::Kept);
        ASSERT_TRUE(
            waitFor([&] { return unit.requests().count(QStringLiteral("~C1 8")) >= 2; }, 20000));
        const QString settingsFolder = QFileInfo(station.iniFile()).absolutePath();
        if (c.folderBlocked) {
            ASSERT_TRUE(QDir().rename(settingsFolder, settingsFolder + QStringLiteral(".moved")));
            QFile blocker(settingsFolder);
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        }

        ASSERT_GE(station.endWith(SIGTERM), 0) << "the station did not end";
        EXPECT_FALSE(station.crashed());
        EXPECT_EQ(station.exitCode(), c.exitCode);
        const QString report = station.waitForErrorLine(QStringLiteral("could not save"), 1000);
        if (c.folderBlocked) {
            EXPECT_TRUE(report.contains(QStringLiteral("the display window layout")))
                << report.toStdString();
            EXPECT_TRUE(report.contains(settingsFolder + QStringLiteral(" is not a folder")))
                << report.toStdString();
        } else {
            EXPECT_TRUE(report.isEmpty()) << report.toStdString();
            QSettings ini(station.iniFile(), QSettings::IniFormat);
            EXPECT_TRUE(ini.contains(QStringLiteral("QorViewSettings/GCT")));
        }
    }
}

} // namespace
