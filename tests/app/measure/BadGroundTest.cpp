#include "MeasureCommands.h"
#include "MeasureTestSupport.h"
#include "RecordingSamples.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "WaitFor.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QWidget>

#include <memory>

using namespace recording;

namespace {

class BadGroundTest : public MeasureFolder {
protected:
    // A process recording through the station's recorder, run to its end.
    ProbeLines runProbe(const QStringList &options) {
        QProcess probe;
        probe.start(QStringLiteral(RECORDER_PROBE), QStringList{logPath()} + options);
        EXPECT_TRUE(probe.waitForFinished(60000));
        ProbeLines lines;
        lines.take(probe);
        m_probeExit = probe.exitCode();
        return lines;
    }

    int m_probeExit = 0;
};

// Whatever the trouble, the operator hears it in one box, the status bar says it at each part,
// nothing is recorded, and the log's bytes stay as they were.
TEST_F(BadGroundTest, ALogThatCannotBeWrittenIsSaidOnceAndLeftAlone) {
    struct Case {
        const char *legend;
        QByteArray bytes; // the log file's bytes; empty: its folder cannot be made
        const char *said;
    };
    const Case cases[] = {
        {"not a database", QByteArray("this is a text file, not a log\n").repeated(200),
         "measurements.sqlite"},
        {"folder cannot be made", {}, "log"},
    };
    for (const Case &c : cases) {
        QDir(path(QStringLiteral("log"))).removeRecursively();
        QFile::remove(path(QStringLiteral("log")));
        if (c.bytes.isEmpty()) {
            // A file where the folder should be: not even root can make the folder then.
            QFile blocker(path(QStringLiteral("log")));
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
        } else {
            ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("log"))));
            QFile file(logPath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.bytes) == c.bytes.size());
        }
        SettingsStore settings;
        ScriptedPrompts prompts;
        QWidget window;
        MeasureCommands commands(settings, prompts, &window);
        QStringList status;
        QObject::connect(&commands, &MeasureCommands::statusText, &window,
                         [&](const QString &text) { status << text; });
        const RecordingView view = limitedView(2);
        commands.showView(view);
        for (qint64 tick = 1; tick <= 3; ++tick) {
            feedTick(commands, uniformReadings(view, tick, 0.0));
            commands.record();
            ASSERT_TRUE(waitFor([&] { return commands.recorder().pending() == 0; })) << c.legend;
        }
        ASSERT_TRUE(waitFor([&] { return !prompts.shown.empty(); })) << c.legend;
        ASSERT_EQ(prompts.shown.size(), 1u) << c.legend << ": one box, not one per part";
        EXPECT_TRUE(prompts.shown[0].text.contains(QLatin1String(c.said)))
            << c.legend << ": " << prompts.shown[0].text.toStdString();
        EXPECT_FALSE(commands.recordAction()->isEnabled()) << c.legend;
        EXPECT_GE(status.filter(QStringLiteral("Record: ")).size(), 2) << c.legend;
        EXPECT_EQ(commands.recorder().counter().counters().parts, 0) << c.legend;
        if (!c.bytes.isEmpty()) {
            EXPECT_EQ(contentsOf(logPath()), c.bytes) << c.legend << ": the file is untouched";
        }
    }
}

// Root writes through any file mode, so the probe drops to nobody to meet a read-only folder.
TEST_F(BadGroundTest, AReadOnlyLogKeepsItsPartsAndRecordsNothing) {
    ProbeLines first = runProbe({QStringLiteral("--parts"), QStringLiteral("5")});
    ASSERT_EQ(first.committed.size(), 5u) << first.lines.join(QLatin1Char('\n')).toStdString();
    const QString folder = path(QStringLiteral("log"));
    ASSERT_TRUE(QFile::setPermissions(m_folder.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ExeOwner | QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(logPath(), QFile::ReadOwner | QFile::ReadOther));

    ProbeLines second = runProbe(
        {QStringLiteral("--parts"), QStringLiteral("3"), QStringLiteral("--unprivileged")});
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(logPath(), QFile::ReadOwner | QFile::WriteOwner);
    if (m_probeExit == 77)
        GTEST_SKIP() << "cannot drop to an unprivileged user here";
    EXPECT_EQ(second.committed.size(), 0u);
    EXPECT_EQ(second.count(QStringLiteral("box ")), 1) << second.lines.join('\n').toStdString();
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("PRAGMA integrity_check")), "ok");
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("SELECT count(*) FROM parts")), "5");
}

// A full disk, as a file size limit: the parts that fit are kept whole, the rest are refused
// with a reason, and the log stays sound.
TEST_F(BadGroundTest, AFullDiskLosesNoPartAlreadyStored) {
    ProbeLines first = runProbe({QStringLiteral("--parts"), QStringLiteral("5")});
    ASSERT_EQ(first.committed.size(), 5u);
    const qint64 size = QFileInfo(logPath()).size();
    ProbeLines limited = runProbe(
        {QStringLiteral("--parts"), QStringLiteral("40"), QStringLiteral("--channels"),
         QStringLiteral("64"), QStringLiteral("--file-size-limit"), QString::number(size + 8192)});
    EXPECT_GT(limited.count(QStringLiteral("refused ")), 0)
        << limited.lines.join('\n').toStdString();
    EXPECT_EQ(limited.count(QStringLiteral("box ")), 1);
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("PRAGMA integrity_check")), "ok");
    const qint64 stored =
        sqliteCli(logPath(), QStringLiteral("SELECT count(*) FROM parts")).toLongLong();
    EXPECT_EQ(stored, 5 + qint64(limited.committed.size()));
    for (const QString &uuid : first.committed)
        EXPECT_EQ(
            sqliteCli(logPath(),
                      QStringLiteral("SELECT count(*) FROM parts WHERE uuid = '%1'").arg(uuid)),
            "1");
}

} // namespace
