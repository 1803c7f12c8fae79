#include "LogReader.h"
#include "LogTestSupport.h"
#include "SampleParts.h"
#include "WaitFor.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <functional>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

using namespace measurelog;

namespace {

void storeSampleLog(const QString &log, int parts) {
    std::vector<PartRecord> stored;
    for (int seed = 0; seed < parts; ++seed)
        stored.push_back(samplePart(seed, 8, SampleSetup, true));
    storeParts(log, stored);
}

class BadGroundTest : public LogFolder {
protected:
    // Runs the probe on the log; its lines once it has answered every part.
    QStringList runProbe(const QStringList &options, int *exitCode = nullptr) {
        QProcess probe;
        probe.start(QStringLiteral(MEASURELOG_PROBE), QStringList{logPath()} + options);
        EXPECT_TRUE(probe.waitForFinished(120000));
        if (exitCode != nullptr)
            *exitCode = probe.exitCode();
        return QString::fromUtf8(probe.readAllStandardOutput())
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

struct RefusedCase {
    const char *legend;
    // Makes the ground in an empty folder; returns the log's path.
    std::function<QString(const QDir &)> prepare;
    LogState state;
    const char *reasonHolds;
};

// Overwrites part of the last page of the file, where the values of the newest parts are.
void damageLastPage(const QString &path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(file.size() - 4096 + 8));
    ASSERT_EQ(file.write(QByteArray(64, '\x5a')), 64);
}

// A log the station must not write to is left exactly as it was, says why once it is opened,
// and gives each part submitted the same reason.
TEST_F(BadGroundTest, ALogThatMustNotBeWrittenIsLeftAsItWas) {
    const RefusedCase cases[] = {
        {"a folder that cannot be created",
         [](const QDir &folder) {
             EXPECT_TRUE(writeBytes(folder.filePath(QStringLiteral("file")), "not a folder"));
             return folder.filePath(QStringLiteral("file/QorView/measurements.sqlite"));
         },
         LogState::FolderUnavailable,
         "file/QorView for the measurement log does not exist and cannot be created"},
        {"a log written by a newer version",
         [](const QDir &folder) {
             const QString log = folder.filePath(QStringLiteral("measurements.sqlite"));
             storeSampleLog(log, 5);
             sqliteCli(log, QStringLiteral("PRAGMA user_version = 99"));
             return log;
         },
         LogState::NewerVersion, "was written by a newer version of QorView (log version 99)"},
        {"a damaged log",
         [](const QDir &folder) {
             const QString log = folder.filePath(QStringLiteral("measurements.sqlite"));
             storeSampleLog(log, 300);
             damageLastPage(log);
             return log;
         },
         LogState::Damaged, "measurements.sqlite is damaged (On tree page "},
        {"a file that is no database",
         [](const QDir &folder) {
             const QString log = folder.filePath(QStringLiteral("measurements.sqlite"));
             EXPECT_TRUE(writeBytes(log, QByteArray("part,value\n").repeated(500)));
             return log;
         },
         LogState::Damaged, "file is not a database"},
        {"another program's database",
         [](const QDir &folder) {
             const QString log = folder.filePath(QStringLiteral("measurements.sqlite"));
             sqliteCli(log, QStringLiteral("CREATE TABLE parts (x)"));
             return log;
         },
         LogState::NotALog, "is a database of another program"},
    };
    int folders = 0;
    for (const RefusedCase &c : cases) {
        QDir folder(m_folder.path());
        const QString name = QString::number(++folders);
        ASSERT_TRUE(folder.mkdir(name) && folder.cd(name));
        const QString log = c.prepare(folder);
        const QByteArray before = fileState(log);
        {
            LogWriter writer(log);
            WriterAnswers answers(writer);
            const QString uuid = writer.submit(samplePart(1, 8));
            ASSERT_TRUE(answers.waitForAnswers(1)) << c.legend;
            ASSERT_TRUE(answers.opened) << c.legend;
            EXPECT_EQ(answers.opened->state, c.state) << c.legend;
            EXPECT_TRUE(answers.opened->reason.contains(QLatin1String(c.reasonHolds)))
                << c.legend << ": " << answers.opened->reason.toStdString();
            ASSERT_EQ(answers.failed.size(), 1u) << c.legend;
            EXPECT_EQ(answers.failed[0], std::make_pair(uuid, *answers.opened)) << c.legend;
        }
        EXPECT_EQ(fileState(log), before) << c.legend;
    }
}

TEST_F(BadGroundTest, ALogOfANewerVersionIsStillRead) {
    storeSampleLog(logPath(), 5);
    sqliteCli(logPath(), QStringLiteral("PRAGMA user_version = 99"));
    EXPECT_EQ(LogReader(logPath()).count({}).value, 5);
}

// Root writes through any file mode, so the probe drops to nobody to meet a read-only file as
// an operator would.
TEST_F(BadGroundTest, AReadOnlyLogIsReadAndNotWritten) {
    storeSampleLog(logPath(), 5);
    ASSERT_EQ(chmod(QFile::encodeName(m_folder.path()).constData(), 0555), 0);
    ASSERT_EQ(chmod(QFile::encodeName(logPath()).constData(), 0444), 0);
    const QByteArray before = fileState(logPath());
    int exitCode = 0;
    const QStringList lines = runProbe({QStringLiteral("--parts"), QStringLiteral("2"),
                                        QStringLiteral("--unprivileged"), QStringLiteral("--read")},
                                       &exitCode);
    chmod(QFile::encodeName(m_folder.path()).constData(), 0700);
    if (exitCode == 77)
        GTEST_SKIP() << "this system does not let root become nobody";
    ASSERT_EQ(lines.size(), 4) << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("opened ReadOnly\tThe measurement log ")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(QLatin1String(": parts are not recorded.")));
    for (const QString &line : lines.mid(1, 2))
        EXPECT_TRUE(line.startsWith(QLatin1String("failed "))) << line.toStdString();
    EXPECT_EQ(lines[3], QStringLiteral("read 5")) << "the log window can still read it";
    EXPECT_EQ(fileState(logPath()), before);
}

struct FullDiskCase {
    const char *legend;
    // The shell that runs the script: the probe's lines, then "===" and what the sqlite3
    // program reads back.
    QStringList shell;
    QString setUp; // before the probe runs: %1 the room, %2 the folder, %3 the log to copy in
    QString limit; // the probe's size limit option, %1 the room
};

// The disk fills up while parts are recorded: each part that does not fit is refused with the
// reason, whichever way the system reports it, and nothing stored before is lost. A tiny
// file system in a mount namespace of the probe's own (gone when it ends) where root may mount
// one; the process's file size limit everywhere.
TEST_F(BadGroundTest, AFullDiskLosesNoPartAlreadyStored) {
    const QString sqlite = QStringLiteral(SQLITE3_PROGRAM);
    const FullDiskCase cases[] = {
        {"a file size limit", {QStringLiteral("sh")}, {}, QStringLiteral("--file-size-limit %1")},
        {"a full file system",
         {QStringLiteral("unshare"), QStringLiteral("-m"), QStringLiteral("--propagation"),
          QStringLiteral("private"), QStringLiteral("sh")},
         QStringLiteral(
             "mount -t tmpfs -o size=%1 tmpfs '%2' && cp '%3' '%2/measurements.sqlite' && "),
         {}},
    };
    int folders = 0;
    for (const FullDiskCase &c : cases) {
        const QString folder = path(QString::number(++folders));
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString log = folder + QStringLiteral("/measurements.sqlite");
        const QString seed = path(QStringLiteral("seed.sqlite"));
        QFile::remove(seed);
        storeSampleLog(c.setUp.isEmpty() ? log : seed, 20);
        const qint64 room = QFileInfo(c.setUp.isEmpty() ? log : seed).size() + 256 * 1024;
        const QString script =
            (c.setUp.isEmpty() ? QString() : c.setUp.arg(room).arg(folder, seed)) +
            QStringLiteral("'%1' '%2' --parts 120 --channels 128 %3; echo ===; "
                           "'%4' '%2' 'PRAGMA integrity_check; SELECT parts FROM counters; "
                           "SELECT uuid FROM parts'")
                .arg(QStringLiteral(MEASURELOG_PROBE), log,
                     c.limit.isEmpty() ? QString() : c.limit.arg(room), sqlite);
        QProcess shell;
        shell.start(c.shell.first(), c.shell.mid(1) + QStringList{QStringLiteral("-c"), script});
        ASSERT_TRUE(shell.waitForFinished(120000)) << c.legend;
        const QString output = QString::fromUtf8(shell.readAllStandardOutput());
        if (!output.startsWith(QLatin1String("opened ")) && !c.setUp.isEmpty()) {
            std::cout << c.legend << " left out: " << shell.readAllStandardError().constData();
            continue;
        }
        const QStringList probe = output.section(QStringLiteral("===\n"), 0, 0)
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList readBack =
            output.section(QStringLiteral("===\n"), 1).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QStringList committed;
        int full = 0;
        for (const QString &line : probe) {
            if (line.startsWith(QLatin1String("committed ")))
                committed << line.section(QLatin1Char(' '), 1, 1);
            full +=
                line.contains(QLatin1String(" DiskFull\tThe disk that holds the measurement log "));
        }
        EXPECT_EQ(probe.value(0), QStringLiteral("opened Ready\t")) << c.legend;
        EXPECT_GT(committed.size(), 0) << c.legend;
        EXPECT_GT(full, 0) << c.legend << ": the disk was full";
        EXPECT_EQ(committed.size() + full, 120) << c.legend << probe.join('\n').toStdString();
        ASSERT_EQ(readBack.value(0), QStringLiteral("ok")) << c.legend;
        EXPECT_EQ(readBack.value(1), QString::number(20 + committed.size())) << c.legend;
        const QStringList stored = readBack.mid(2);
        EXPECT_EQ(stored.size(), 20 + committed.size()) << c.legend;
        for (const QString &uuid : committed)
            EXPECT_TRUE(stored.contains(uuid)) << c.legend << ": " << uuid.toStdString();
    }
}

// Another program holding the write lock past the busy time-out costs the part, not the log:
// once the lock is gone the next part goes in.
TEST_F(BadGroundTest, ALockedLogRefusesThePartAndRecoversWhenReleased) {
    storeSampleLog(logPath(), 3);
    QProcess holder;
    holder.start(QStringLiteral(SQLITE3_PROGRAM), {logPath()});
    ASSERT_TRUE(holder.waitForStarted());
    holder.write("BEGIN EXCLUSIVE;\nSELECT 'held';\n");
    QByteArray said;
    ASSERT_TRUE(waitFor([&] { return (said += holder.readAllStandardOutput()).contains("held"); }));

    LogWriter writer(logPath(), {{300}, 64});
    WriterAnswers answers(writer);
    const QString refused = writer.submit(samplePart(1, 8));
    ASSERT_TRUE(answers.waitForAnswers(1));
    EXPECT_EQ(answers.opened, LogStatus{});
    ASSERT_EQ(answers.failed.size(), 1u);
    EXPECT_EQ(answers.failed[0].first, refused);
    EXPECT_EQ(answers.failed[0].second.state, LogState::Locked);
    EXPECT_TRUE(answers.failed[0].second.reason.contains(
        QLatin1String("is locked by another program: the part was not recorded.")));

    holder.write("ROLLBACK;\n.quit\n");
    ASSERT_TRUE(holder.waitForFinished());
    writer.submit(samplePart(2, 8));
    ASSERT_TRUE(answers.waitForAnswers(2));
    ASSERT_EQ(answers.committed.size(), 1u);
    EXPECT_EQ(answers.committed[0].serialNumber, 4);
}

} // namespace
