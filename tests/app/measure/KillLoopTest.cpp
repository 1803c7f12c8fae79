#include "MeasureTestSupport.h"
#include "WaitFor.h"

#include <QProcess>

#include <random>
#include <signal.h>

namespace {

class KillLoopTest : public MeasureFolder {};

// The station killed while it records: the log is sound every time, and every part whose commit
// the station was told of is there, whole.
TEST_F(KillLoopTest, EveryConfirmedPartSurvivesAKill) {
    std::mt19937 random(20261208);
    ProbeLines lines;
    for (int round = 0; round < 8; ++round) {
        QProcess probe;
        probe.start(QStringLiteral(RECORDER_PROBE),
                    {logPath(), QStringLiteral("--parts"), QStringLiteral("0"),
                     QStringLiteral("--channels"), QStringLiteral("16")});
        ASSERT_TRUE(probe.waitForStarted());
        const size_t wanted =
            lines.committed.size() + std::uniform_int_distribution<size_t>(1, 25)(random);
        ASSERT_TRUE(waitFor([&] {
            lines.take(probe);
            return lines.committed.size() >= wanted;
        })) << "round "
            << round;
        ::kill(static_cast<pid_t>(probe.processId()), SIGKILL);
        ASSERT_TRUE(probe.waitForFinished());
        lines.take(probe);

        ASSERT_EQ(sqliteCli(logPath(), QStringLiteral("PRAGMA integrity_check")), "ok")
            << "round " << round;
        const QStringList stored =
            sqliteCli(logPath(), QStringLiteral("SELECT uuid FROM parts")).split(QLatin1Char('\n'));
        const std::set<QString> storedSet(stored.begin(), stored.end());
        for (const QString &uuid : lines.committed)
            ASSERT_TRUE(storedSet.count(uuid)) << "round " << round << ": " << uuid.toStdString();
        EXPECT_EQ(sqliteCli(logPath(),
                            QStringLiteral("SELECT count(*) FROM parts WHERE (SELECT count(*) FROM "
                                           "part_values WHERE part_id = parts.id) != 16")),
                  "0")
            << "round " << round;
    }
}

} // namespace
