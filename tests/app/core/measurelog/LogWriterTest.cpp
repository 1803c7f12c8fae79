#include "LogWriter.h"
#include "LogLocation.h"
#include "LogReader.h"
#include "LogTestSupport.h"
#include "SampleParts.h"
#include "WaitFor.h"

#include <QFileInfo>
#include <QJsonObject>

#include <cmath>
#include <limits>

using namespace measurelog;

namespace {

class LogWriterTest : public LogFolder {};

// A number column as text, NULL as an empty text. The sqlite3 program prints some 16 significant
// digits, so these are compared to that; the reader below compares every bit.
QString numberColumn(const char *column) {
    return QStringLiteral("iif(%1 IS NULL, '', printf('%.17g', %1)) AS %2")
        .arg(QLatin1String(column), QString::fromLatin1(column).section(QLatin1Char('.'), 1));
}

void expectNumber(const QJsonObject &row, const char *name, std::optional<double> expected,
                  const std::string &where) {
    const QString text = row.value(QLatin1String(name)).toString();
    ASSERT_EQ(text.isEmpty(), !expected.has_value()) << where << " " << name;
    if (expected) {
        EXPECT_NEAR(text.toDouble(), *expected, std::abs(*expected) * 1e-14) << where << name;
    }
}

Counters tally(const std::vector<PartRecord> &parts) {
    Counters counters;
    for (const PartRecord &part : parts) {
        ++counters.parts;
        counters.good += part.verdict == Verdict::Good;
        counters.warn += part.verdict == Verdict::Warn;
        counters.reject += part.verdict == Verdict::Reject;
    }
    return counters;
}

TEST_F(LogWriterTest, ARunOfPartsReadsBackWithEveryValueAndVerdict) {
    std::vector<PartRecord> parts;
    {
        LogWriter writer(logPath());
        WriterAnswers answers(writer);
        for (int seed = 0; seed < 40; ++seed) {
            parts.push_back(samplePart(seed, 12));
            parts.back().timeMs = 1796669672123 + seed;
            parts.back().uuid = writer.submit(parts.back());
        }
        ASSERT_TRUE(answers.waitForAnswers(parts.size()));
        ASSERT_TRUE(answers.failed.empty()) << answers.failed.front().second.reason.toStdString();
        ASSERT_EQ(answers.opened, LogStatus{});
        for (size_t i = 0; i < parts.size(); ++i) {
            EXPECT_EQ(answers.committed[i].uuid, parts[i].uuid) << "answers in submit order";
            EXPECT_EQ(answers.committed[i].serialNumber, qint64(i + 1)) << "serials count up";
            parts[i].id = answers.committed[i].partId;
            parts[i].serialNumber = answers.committed[i].serialNumber;
        }
        EXPECT_EQ(answers.committed.back().counters, tally(parts));
    }

    // Read by another program, as a plant's tools would.
    const QJsonArray rows = sqliteRows(
        logPath(), QStringLiteral("SELECT p.uuid, p.time_ms, p.serial_number, p.verdict AS "
                                  "part_verdict, p.operator, p.setup_file, v.channel, "
                                  "v.description, v.decimals, v.verdict, %1, %2, %3, %4, %5, %6 "
                                  "FROM parts p JOIN part_values v ON v.part_id = p.id "
                                  "ORDER BY p.id, v.position")
                       .arg(numberColumn("v.value"), numberColumn("v.nominal"),
                            numberColumn("v.low_tolerance"), numberColumn("v.high_tolerance"),
                            numberColumn("v.low_approach"), numberColumn("v.high_approach")));
    ASSERT_EQ(rows.size(), 40 * 12);
    int at = 0;
    for (const PartRecord &part : parts) {
        for (const ValueRecord &value : part.values) {
            const QJsonObject row = rows[at++].toObject();
            const std::string where =
                part.uuid.toStdString() + " channel " + std::to_string(value.channel);
            EXPECT_EQ(row[QLatin1String("uuid")].toString(), part.uuid) << where;
            EXPECT_EQ(row[QLatin1String("time_ms")].toInteger(), part.timeMs) << where;
            EXPECT_EQ(row[QLatin1String("serial_number")].toInteger(), part.serialNumber);
            EXPECT_EQ(row[QLatin1String("part_verdict")].toInt(), int(part.verdict)) << where;
            EXPECT_EQ(row[QLatin1String("operator")].toString(), part.operatorName) << where;
            EXPECT_EQ(row[QLatin1String("setup_file")].toString(), part.setupFile) << where;
            EXPECT_EQ(row[QLatin1String("channel")].toInt(), value.channel) << where;
            EXPECT_EQ(row[QLatin1String("description")].toString(), value.description) << where;
            EXPECT_EQ(row[QLatin1String("decimals")].toInt(), value.decimals) << where;
            EXPECT_EQ(row[QLatin1String("verdict")].toInt(), int(value.verdict)) << where;
            expectNumber(row, "value", value.value, where);
            expectNumber(row, "nominal", value.nominal, where);
            expectNumber(row, "low_tolerance", value.lowTolerance, where);
            expectNumber(row, "high_tolerance", value.highTolerance, where);
            expectNumber(row, "low_approach", value.lowApproach, where);
            expectNumber(row, "high_approach", value.highApproach, where);
        }
    }
    // And by the log window's reader, whole records at a time.
    LogReader reader(logPath());
    for (const PartRecord &part : parts)
        EXPECT_EQ(reader.part(part.id).value, part);
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("PRAGMA integrity_check")), "ok");
}

TEST_F(LogWriterTest, TheCounterAndTheSerialsLastAcrossRestartsAndTheCounterResets) {
    std::vector<PartRecord> parts;
    for (int seed = 0; seed < 30; ++seed)
        parts.push_back(samplePart(seed, 6));
    const Counters expected = tally(parts);
    ASSERT_GT(expected.good, 0);
    ASSERT_GT(expected.warn, 0);
    ASSERT_GT(expected.reject, 0);
    {
        LogWriter writer(logPath());
        WriterAnswers answers(writer);
        for (const PartRecord &part : parts)
            writer.submit(part);
        ASSERT_TRUE(answers.waitForAnswers(parts.size()));
        EXPECT_EQ(answers.committed.back().counters, expected);
    }
    qint64 resetMs = 0;
    {
        LogWriter writer(logPath());
        WriterAnswers answers(writer);
        ASSERT_TRUE(waitFor([&] { return answers.opened.has_value(); }));
        EXPECT_EQ(answers.openedCounters, expected) << "the counter survives a restart";
        writer.resetCounters();
        ASSERT_TRUE(waitFor([&] { return answers.reset.has_value(); }));
        EXPECT_EQ(answers.reset->first, LogStatus{});
        resetMs = answers.reset->second.resetMs;
        EXPECT_GT(resetMs, 0);
        EXPECT_EQ(answers.reset->second, (Counters{0, 0, 0, 0, resetMs}));
        writer.submit(samplePart(1, 6));
        ASSERT_TRUE(answers.waitForAnswers(1));
        EXPECT_EQ(answers.committed[0].serialNumber, 31) << "a reset leaves the serials going";
        EXPECT_EQ(answers.committed[0].counters.parts, 1);
    }
    LogWriter writer(logPath());
    WriterAnswers answers(writer);
    ASSERT_TRUE(waitFor([&] { return answers.opened.has_value(); }));
    EXPECT_EQ(answers.openedCounters.parts, 1) << "the reset is stored";
    EXPECT_EQ(answers.openedCounters.resetMs, resetMs);
}

// A burst goes in together, yet a part the log refuses on its own fails alone.
TEST_F(LogWriterTest, InABurstEachPartIsAllOrNothing) {
    std::vector<QString> uuids;
    {
        LogWriter writer(logPath(), {{}, 64});
        WriterAnswers answers(writer);
        for (int seed = 0; seed < 100; ++seed) {
            PartRecord part = samplePart(seed, 8);
            if (seed == 50)
                part.uuid = uuids[10]; // stored already
            if (seed == 70)
                part.values[3].value = std::numeric_limits<double>::quiet_NaN();
            uuids.push_back(writer.submit(part));
        }
        ASSERT_TRUE(answers.waitForAnswers(100));
        ASSERT_EQ(answers.failed.size(), 2u);
        EXPECT_EQ(answers.failed[0].first, uuids[50]);
        EXPECT_EQ(answers.failed[0].second.state, LogState::Failed);
        EXPECT_EQ(answers.failed[1].first, uuids[70]);
        EXPECT_EQ(answers.failed[1].second.reason,
                  QStringLiteral("The part %1 was not recorded: channel 4 has no valid reading.")
                      .arg(uuids[70]));
        ASSERT_EQ(answers.committed.size(), 98u);
        for (size_t i = 0; i < answers.committed.size(); ++i)
            EXPECT_EQ(answers.committed[i].serialNumber, qint64(i + 1)) << "no serial skipped";
    }
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("SELECT count(*), sum(n = 8) FROM (SELECT "
                                                  "(SELECT count(*) FROM part_values WHERE "
                                                  "part_id = id) AS n FROM parts)")),
              "98|98");
    EXPECT_EQ(sqliteCli(logPath(), QStringLiteral("SELECT parts FROM counters")), "98");
}

TEST_F(LogWriterTest, ClosingTheWriterStoresEveryPartSubmitted) {
    {
        LogWriter writer(logPath());
        for (int seed = 0; seed < 25; ++seed)
            writer.submit(samplePart(seed, 16));
    }
    EXPECT_EQ(LogReader(logPath()).count({}).value, 25);
}

TEST_F(LogWriterTest, TheLogLivesInTheDataFolderUnlessTold) {
    const QString expected =
        qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/QorView/measurements.sqlite");
    EXPECT_EQ(defaultLogPath(), expected);
    LogWriter writer(defaultLogPath());
    WriterAnswers answers(writer);
    writer.submit(samplePart(1, 2));
    ASSERT_TRUE(answers.waitForAnswers(1));
    EXPECT_EQ(answers.committed.size(), 1u) << "the folder is created on first use";
    EXPECT_TRUE(QFileInfo::exists(expected));
}

} // namespace
