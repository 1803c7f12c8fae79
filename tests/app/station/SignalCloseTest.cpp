// The station ended by a signal: while a link box is open or the line misbehaves it must end in
// an orderly way (settings stored; as the operator runs it, exit status 0 within 2 s plus one
// reply deadline), and a close whose settings could not be stored must not end as a success.

#include "CommandLine.h"
#include "FormMain.h"
#include "LinkErrorHandler.h"
#include "MessageBoxPrompts.h"
#include "ProcessEnd.h"
#include "ShutdownSignals.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "Startup.h"
#include "StationFixture.h"
#include "StationHelp.h"
#include "StationProcess.h"
#include "WaitFor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

// 2 s for the close itself, plus the longest reply deadline at 9600 baud (1.3 s), plus slack for
// a loaded machine.
constexpr qint64 EndBoundMs = 2000 + 1300 + 700;

// The station with its real message boxes, over the simulated unit on a pseudo-terminal, closed
// by a real signal as the program wires it.
class SignalWithBoxOpen : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(unit.isRunning());
        QString why;
        ASSERT_TRUE(link.load(&why)) << why.toStdString();
        setLinkErrorReporting(&station.session, &boxes);
        station.session.LinkInfo = link.QorInitInfoStructure(1, 9600, 1, &LinkErrorHandler);
        station.session.LinkHandle = link.QorOpen(station.session.LinkInfo);
        ASSERT_NE(station.session.LinkHandle, nullptr);
        StationStartup(station, line, [] {}).prepareUnit();
        window = std::make_unique<FormMain>(station, line, help);
        boxes.setParentWindow(window.get());
        window->Form_Load();
        window->show();
    }
    void TearDown() override {
        window.reset();
        setLinkErrorReporting(nullptr, nullptr);
        if (station.session.LinkHandle)
            link.QorClose(station.session.LinkHandle);
    }

    SimulatedUnit unit{{QStringLiteral("--preset"), QStringLiteral("demo")}};
    PortOverride port{1, unit.device()};
    MessageBoxPrompts boxes;
    Station station{link, boxes, settings};
    CommandLine line;
    StationHelp help{station.config, boxes};
    std::unique_ptr<FormMain> window;
};

// The box that says the unit did not respond runs its own event loop inside the failed call: the
// signal is taken there, the box goes, and the station closes in order.
TEST_F(SignalWithBoxOpen, AfterTheCableWasPulledTheBoxGoesAndTheStationCloses) {
    ShutdownSignals signals(window.get(), [this] { window->linkScheduler().requestClose(); });
    ASSERT_TRUE(signals.isInstalled());
    // Polling has begun once the last channel has been read twice.
    ASSERT_TRUE(
        waitFor([&] { return unit.requests().count(QStringLiteral("~C1 8")) >= 2; }, 20000));

    // Looked for from inside the box's own event loop, where the test's loop does not run. A box
    // the signal left open would hold that loop for good: it is answered Retry after a while, so
    // the test fails instead of hanging (with the close requested, Retry ends the recovery).
    QString boxText;
    QTimer watch, stayedOpen;
    stayedOpen.setSingleShot(true);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            watch.stop();
            boxText = box->text();
            EXPECT_EQ(box->standardButtons(), QMessageBox::Retry | QMessageBox::Cancel);
            std::raise(SIGTERM);
            stayedOpen.start(10000);
        }
    });
    QObject::connect(&stayedOpen, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "the box stayed open after the signal";
            box->done(QMessageBox::Retry);
        }
    });
    watch.start(10);
    unit.stop();
    ASSERT_TRUE(waitFor([&] { return !window->isVisible(); })) << "the station did not close";
    EXPECT_TRUE(boxText.contains(QStringLiteral("respond"))) << boxText.toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the box went with the signal";
    EXPECT_TRUE(station.session.CloseRequested);
    QSettings ini(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QorView"),
                  QStringLiteral("QorView"));
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
    // The first request of the start-up is under way: on noise it waits out its reply deadline.
    ASSERT_TRUE(waitFor([&] { return !unit.requests().isEmpty(); }, 10000));
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
