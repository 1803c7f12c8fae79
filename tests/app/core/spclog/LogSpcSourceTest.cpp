#include "LogSpcSource.h"
#include "LogStore.h"
#include "MemorySpcSource.h"
#include "SampleParts.h"
#include "SpcExport.h"
#include "Sqlite.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimeZone>

#include <sqlite3.h>

namespace spclog {
namespace {

using measurelog::PartRecord;

const QString OtherSetup = QStringLiteral("line 4, shaft.qor");

class LogSpcSourceTest : public ::testing::Test {
protected:
    QString logPath() const { return m_folder.filePath(QStringLiteral("measurements.sqlite")); }

    // Parts of the sample setup and, between them, parts of another setup, as a station that
    // changed setups records them; a memory source holds the sample setup's parts alone.
    void record(int parts, int channels) {
        std::vector<PartRecord> stored;
        for (int seed = 1; seed <= parts; ++seed) {
            stored.push_back(measurelog::samplePart(seed, channels, measurelog::SampleSetup, true));
            if (seed % 7 == 0)
                stored.push_back(measurelog::samplePart(1000 + seed, channels, OtherSetup, true));
        }
        store(stored);
    }

    void store(const std::vector<PartRecord> &stored) {
        measurelog::LogStore store(logPath());
        ASSERT_TRUE(store.open().isReady());
        for (const auto &outcome : store.record(stored))
            ASSERT_TRUE(outcome.committed.has_value());
        for (const PartRecord &part : stored) {
            if (part.setupFile != measurelog::SampleSetup)
                continue;
            for (const auto &value : part.values) {
                if (m_memory.channels().size() < part.values.size())
                    m_memory.addChannel({value.channel, value.description, 4});
                m_memory.addPart(value.channel, value.value, part.timeMs,
                                 {{value.lowTolerance, value.highTolerance}, value.nominal});
            }
        }
    }

    LogSpcSource source() const {
        return LogSpcSource(logPath(), {[] { return measurelog::SampleSetup; }, {}});
    }

    static std::string exported(spc::SpcDataSource &from, const QString &file, int channel) {
        spc::SpcExportOptions options;
        options.file = file;
        options.channel = channel;
        options.subgroupSize = 5;
        const spc::SpcExportResult result = spc::exportSpc(from, options);
        EXPECT_EQ(result.exitCode, spc::SpcExportDone) << result.message.toStdString();
        QFile written(file);
        if (!written.open(QIODevice::ReadOnly))
            return {};
        // Part ids are each source's own numbering; everything else must agree.
        static const QRegularExpression subgroupIds(QStringLiteral("^(\\d+),\\d+,\\d+,"),
                                                    QRegularExpression::MultilineOption);
        static const QRegularExpression rangeIds(QStringLiteral("^(first|last)_part,\\d+,"),
                                                 QRegularExpression::MultilineOption);
        return QString::fromUtf8(written.readAll())
            .replace(subgroupIds, QStringLiteral("\\1,,,"))
            .replace(rangeIds, QStringLiteral("\\1_part,,"))
            .toStdString();
    }

    QTemporaryDir m_folder;
    spc::MemorySpcSource m_memory{measurelog::SampleSetup};
};

TEST_F(LogSpcSourceTest, ChartsTheSetupsRecordedReadingsAsMemoryHoldingThemWould) {
    record(160, 5);
    LogSpcSource log = source();
    for (int channel : {1, 2, 5}) {
        SCOPED_TRACE(channel);
        EXPECT_EQ(exported(log, m_folder.filePath(QStringLiteral("log.csv")), channel),
                  exported(m_memory, m_folder.filePath(QStringLiteral("memory.csv")), channel))
            << "channel 5 has no limits; the others change nothing between the sources";
    }
}

// Parts by their place among all of a channel's parts; the two sources number them differently.
struct Asked {
    const char *proves;
    std::optional<std::size_t> after;   // afterId: this part's id
    std::optional<std::size_t> through; // throughId: this part's id
    std::optional<std::size_t> since;   // sinceMs: this part's time
    std::optional<std::size_t> until;   // untilMs: this part's time
    std::size_t limit;
    bool newest;
    std::size_t first; // the parts expected: all[first] to all[first + count - 1]
    std::size_t count;
};

TEST_F(LogSpcSourceTest, ReadsAndCountsOnlyWhatIsAskedFor) {
    record(30, 2);
    // The newest part has no reading of the channel asked for.
    store({measurelog::samplePart(99, 1, measurelog::SampleSetup, true)});
    {
        // Two parts of the other setup removed: the setup's parts before and after them meet.
        measurelog::SqliteDatabase db(logPath(), SQLITE_OPEN_READWRITE);
        db.exec(QStringLiteral("PRAGMA foreign_keys = ON; DELETE FROM parts WHERE id IN (SELECT "
                               "id FROM parts WHERE setup_file = '%1' ORDER BY id LIMIT 2)")
                    .arg(OtherSetup)
                    .toUtf8()
                    .constData());
        ASSERT_EQ(db.singleInt("SELECT count(*) FROM parts"), 31 + 2);
    }
    LogSpcSource log = source();
    for (spc::SpcDataSource *from : std::initializer_list<spc::SpcDataSource *>{&log, &m_memory}) {
        SCOPED_TRACE(from == &log ? "the log" : "memory");
        const auto read = [from](const spc::PartQuery &query) {
            std::vector<spc::RecordedPart> parts;
            QString error;
            EXPECT_TRUE(from->readParts(
                query, [&](const spc::RecordedPart &p) { parts.push_back(p); }, &error))
                << error.toStdString();
            return parts;
        };
        spc::PartQuery everything;
        everything.channel = 2;
        const std::vector<spc::RecordedPart> all = read(everything);
        ASSERT_EQ(all.size(), 30u) << "the other setup's parts are left out";
        ASSERT_TRUE(std::is_sorted(all.begin(), all.end(),
                                   [](const auto &a, const auto &b) { return a.id < b.id; }));

        const Asked rows[] = {
            {"the parts after one", 19, {}, {}, {}, 0, false, 20, 10},
            {"both ends of a time range count", {}, {}, 5, 9, 0, false, 5, 5},
            {"up to a part, that one included", {}, 11, {}, {}, 0, false, 0, 12},
            {"a limit takes the oldest", {}, {}, {}, {}, 7, false, 0, 7},
            {"a limit of the newest takes them in order", {}, {}, {}, {}, 7, true, 23, 7},
            {"the newest up to a part", 2, 20, {}, {}, 4, true, 17, 4},
            {"the newest within times", {}, {}, 3, 12, 4, true, 9, 4},
            {"a limit beyond the parts takes them all", 24, {}, {}, {}, 100, true, 25, 5},
            {"nothing after the newest", 29, {}, {}, {}, 5, false, 30, 0},
        };
        for (const Asked &row : rows) {
            SCOPED_TRACE(row.proves);
            spc::PartQuery query = everything;
            if (row.after)
                query.afterId = all[*row.after].id;
            if (row.through)
                query.throughId = all[*row.through].id;
            if (row.since)
                query.sinceMs = all[*row.since].timeMs;
            if (row.until)
                query.untilMs = all[*row.until].timeMs;
            query.limit = row.limit;
            query.newest = row.newest;
            std::vector<qint64> ids;
            for (const spc::RecordedPart &part : read(query))
                ids.push_back(part.id);
            std::vector<qint64> expected;
            for (std::size_t i = row.first; i < row.first + row.count; ++i)
                expected.push_back(all[i].id);
            EXPECT_EQ(ids, expected);

            // The count is of what the query finds without its limit.
            spc::PartQuery unlimited = query;
            unlimited.limit = 0;
            const std::vector<spc::RecordedPart> found = read(unlimited);
            spc::PartCount count;
            QString error;
            ASSERT_TRUE(from->countParts(query, &count, &error)) << error.toStdString();
            EXPECT_EQ(count, (spc::PartCount{found.size(), found.empty() ? 0 : found.back().id}));
        }
    }
}

TEST_F(LogSpcSourceTest, FrozenLimitsAndSubgroupSizesStayWithTheirSetupAndChannel) {
    LogSpcSource before = source();
    spc::FrozenLimits limits;
    limits.channel = 2;
    limits.setup = measurelog::SampleSetup;
    limits.setAt = QDateTime(QDate(2026, 12, 7), QTime(18, 54, 32, 123), QTimeZone::utc());
    limits.values.plan = {5, spc::ChartKind::XbarR};
    limits.values.location = {10.99, 11.0, 11.01};
    limits.values.spread = {0.0, 0.004, 0.009};
    limits.values.sigmaWithin = 0.0019;
    limits.values.baselineSubgroups = 25;
    QString error;
    EXPECT_FALSE(before.storeFrozenLimits(limits, &error)) << "no log yet";
    EXPECT_TRUE(error.contains(QStringLiteral("No part has been recorded"))) << error.toStdString();

    record(10, 2);
    LogSpcSource log = source();
    ASSERT_TRUE(log.storeFrozenLimits(limits, &error)) << error.toStdString();
    log.storeSubgroupSize(2, 8);

    LogSpcSource reopened = source();
    EXPECT_EQ(reopened.frozenLimits(2, 5), limits);
    EXPECT_FALSE(reopened.frozenLimits(2, 8)) << "limits belong to their subgroup size";
    EXPECT_FALSE(reopened.frozenLimits(1, 5)) << "and to their channel";
    EXPECT_EQ(reopened.subgroupSize(2), 8);
    EXPECT_EQ(reopened.subgroupSize(1), spc::DefaultSubgroupSize);

    LogSpcSource other(logPath(), {[] { return OtherSetup; }, {}});
    EXPECT_FALSE(other.frozenLimits(2, 5)) << "and to their setup";
    EXPECT_EQ(other.subgroupSize(2), spc::DefaultSubgroupSize);
}

TEST_F(LogSpcSourceTest, OffersTheStationsChannelsOrElseThoseTheLogSaw) {
    record(3, 3);
    EXPECT_EQ(source().channels().size(), 3u);
    const std::vector<spc::SpcChannel> station{{4, QStringLiteral("Flange"), 3}};
    LogSpcSource current(logPath(), {[] { return measurelog::SampleSetup; },
                                     [station] {
                                         return station;
                                     }});
    EXPECT_EQ(current.channels(), station);
}

} // namespace
} // namespace spclog
