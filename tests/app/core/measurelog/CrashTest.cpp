#include "LogTestSupport.h"
#include "WaitFor.h"

#include <QProcess>

#include <random>
#include <set>
#include <signal.h>
#include <thread>

using namespace measurelog;

namespace {

class CrashTest : public LogFolder {};

// The uuids the probe has printed as committed so far.
void collectCommitted(QProcess &probe, QByteArray &pending, std::set<QString> &committed) {
    pending += probe.readAllStandardOutput();
    for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
        const QString line = QString::fromUtf8(pending.left(end));
        pending.remove(0, end + 1);
        if (line.startsWith(QLatin1String("committed ")))
            committed.insert(line.section(QLatin1Char(' '), 1, 1));
    }
}

// A writer killed at any moment leaves a sound log holding every part it reported committed,
// each with all its values and counted exactly once.
TEST_F(CrashTest, AWriterKilledAtRandomMomentsLosesNoCommittedPart) {
    std::mt19937 random(20261207);
    std::set<QString> committed;
    for (int round = 0; round < 12; ++round) {
        QProcess probe;
        probe.start(QStringLiteral(MEASURELOG_PROBE),
                    {logPath(), QStringLiteral("--parts"), QStringLiteral("0"),
                     QStringLiteral("--channels"), QStringLiteral("32")});
        ASSERT_TRUE(probe.waitForStarted());
        const size_t before = committed.size();
        const size_t wanted = before + std::uniform_int_distribution<size_t>(1, 40)(random);
        QByteArray pending;
        ASSERT_TRUE(waitFor([&] {
            collectCommitted(probe, pending, committed);
            return committed.size() >= wanted;
        })) << "round "
            << round;
        // Past the last answer read, the writer is somewhere in its next commit or between two.
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<>(0, 3000)(random)));
        ::kill(static_cast<pid_t>(probe.processId()), SIGKILL);
        ASSERT_TRUE(probe.waitForFinished());
        collectCommitted(probe, pending, committed);

        ASSERT_EQ(sqliteCli(logPath(), QStringLiteral("PRAGMA integrity_check")), "ok")
            << "round " << round;
        const QStringList stored =
            sqliteCli(logPath(), QStringLiteral("SELECT uuid FROM parts")).split(QLatin1Char('\n'));
        const std::set<QString> storedSet(stored.begin(), stored.end());
        for (const QString &uuid : committed)
            ASSERT_TRUE(storedSet.count(uuid)) << "round " << round << ": " << uuid.toStdString();
        EXPECT_EQ(sqliteCli(logPath(),
                            QStringLiteral("SELECT count(*) FROM parts WHERE (SELECT count(*) "
                                           "FROM part_values WHERE part_id = parts.id) != 32")),
                  "0")
            << "round " << round;
        EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("SELECT parts FROM counters")),
                  QString::number(stored.size()))
            << "round " << round;
    }
}

} // namespace
