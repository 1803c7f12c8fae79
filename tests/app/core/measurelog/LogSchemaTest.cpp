#include "LogSchema.h"
#include "LogReader.h"
#include "LogTestSupport.h"
#include "SampleParts.h"
#include "Sqlite.h"

#include <sqlite3.h>

using namespace measurelog;

namespace {

class LogSchemaTest : public LogFolder {
protected:
    // A log as the first release left it, with one part in it.
    void makeFirstVersionLog(const char *extraSql = "") {
        SqliteDatabase db(logPath(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        db.exec("PRAGMA journal_mode = WAL; BEGIN");
        applyMigrations(db, 0, 1);
        db.exec("INSERT INTO parts VALUES (1, 'first-release-part', 1796669672123, 'Station 1', "
                "'Ana', 1, 'LOT-1', 'gear.qor', '5e7a9c', 'Display Channels', 1);"
                "INSERT INTO part_values VALUES (1, 0, 3, 'Bore', 10.001, 3, 10, 9.99, 10.01, "
                "9.992, 10.008, 1);"
                "UPDATE counters SET parts = 1, good = 1, last_serial = 1");
        db.exec(extraSql);
        db.exec("COMMIT");
    }
};

TEST_F(LogSchemaTest, AFirstVersionLogIsBroughtUpToDateAndKeepsItsParts) {
    makeFirstVersionLog();
    {
        LogReader older(logPath());
        const std::vector<PartRecord> unsent = older.unsent(0, 10).value;
        ASSERT_EQ(unsent.size(), 1u) << "before the outbox existed, nothing was sent";
    }
    LogStore store(logPath());
    ASSERT_EQ(store.open(), LogStatus{});
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("PRAGMA user_version")),
              QString::number(latestSchemaVersion()));
    EXPECT_EQ(store.counters().parts, 1);
    const std::vector<PartRecord> next{samplePart(2, 3)};
    const std::vector<RecordOutcome> outcomes = store.record(next);
    ASSERT_TRUE(outcomes[0].committed);
    EXPECT_EQ(outcomes[0].committed->serialNumber, 2);

    LogReader reader(logPath());
    const std::optional<PartRecord> first = reader.part(1).value;
    ASSERT_TRUE(first);
    EXPECT_EQ(first->uuid, "first-release-part");
    EXPECT_EQ(first->values.at(0).value, 10.001);
    EXPECT_EQ(first->sentMs, std::nullopt);
    EXPECT_EQ(reader.unsent(0, 10).value.size(), 2u);
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("EXPLAIN QUERY PLAN SELECT id FROM parts "
                                                  "WHERE sent_ms IS NULL ORDER BY id"))
                  .contains(QLatin1String("parts_unsent")),
              true)
        << "the outbox has its index";
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("PRAGMA integrity_check")), "ok");
}

// The steps after the file's version go in together or not at all.
TEST_F(LogSchemaTest, AMigrationThatFailsLeavesTheLogAtItsVersion) {
    makeFirstVersionLog("CREATE TABLE parts_unsent (x)"); // the name a later step needs
    LogStore store(logPath());
    EXPECT_EQ(store.open().state, LogState::Failed);
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("PRAGMA user_version")), "1");
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("SELECT count(*) FROM pragma_table_info('parts') "
                                                  "WHERE name = 'sent_ms'")),
              "0");
}

} // namespace
