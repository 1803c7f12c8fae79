#include "LogOutbox.h"
#include "LogReader.h"
#include "LogWriter.h"
#include "PartDocumentCheck.h"
#include "PartMessages.h"
#include "SampleParts.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <memory>

using namespace plantlink;
using measurelog::Committed;
using measurelog::LogReader;
using measurelog::LogWriter;
using measurelog::PartRecord;

namespace {

// A real log in a folder of the test's own, written through the station's writer.
class LogOutboxTest : public ::testing::Test {
protected:
    QString logPath() const { return m_folder.filePath(QStringLiteral("measurements.sqlite")); }

    // Records parts through the writer and waits for their commits; returns them.
    std::vector<Committed> record(LogWriter &writer, int count, int channels = 8) {
        std::vector<Committed> committed;
        auto connection =
            QObject::connect(&writer, &LogWriter::committed, &writer,
                             [&](const Committed &part) { committed.push_back(part); });
        for (int i = 0; i < count; ++i)
            writer.submit(measurelog::samplePart(++m_seed, channels));
        EXPECT_TRUE(waitFor([&] { return committed.size() == size_t(count); }, 30000));
        QObject::disconnect(connection);
        return committed;
    }

    std::vector<qint64> unsentInLog() {
        std::vector<qint64> ids;
        for (const PartRecord &part : LogReader(logPath()).unsent(0, 100000).value)
            ids.push_back(part.id);
        return ids;
    }

    static std::vector<qint64> idsOf(const std::vector<OutboxRecord> &records) {
        std::vector<qint64> ids;
        for (const OutboxRecord &record : records)
            ids.push_back(record.id);
        return ids;
    }

    QTemporaryDir m_folder;
    int m_seed = 0;
};

TEST_F(LogOutboxTest, UnsentPartsComeInRecordingOrderAsTheLogKeepsThem) {
    LogWriter writer(logPath());
    LogOutbox outbox(writer, QStringLiteral("line-7"));
    EXPECT_EQ(outbox.unsentCount(), 0) << "a log not made yet holds nothing to send";
    EXPECT_TRUE(outbox.nextUnsent(0, 10).empty());
    for (const Committed &part : record(writer, 5))
        outbox.partCommitted(part);
    EXPECT_EQ(outbox.unsentCount(), 5);

    const std::vector<OutboxRecord> first = outbox.nextUnsent(0, 3);
    EXPECT_EQ(idsOf(first), (std::vector<qint64>{1, 2, 3}));
    EXPECT_EQ(idsOf(outbox.nextUnsent(3, 10)), (std::vector<qint64>{4, 5}));
    LogReader reader(logPath());
    for (const OutboxRecord &sent : first) {
        const PartRecord part = reader.part(sent.id).value.value();
        EXPECT_EQ(differencesFromLog(sent.payload, part), QStringList()) << "part " << sent.id;
    }
}

TEST_F(LogOutboxTest, MarksGoToTheWriterInBatchesAndAreNotSentAgainMeanwhile) {
    LogWriter writer(logPath());
    std::vector<QList<qint64>> batches;
    QObject::connect(&writer, &LogWriter::markedSent, &writer,
                     [&](const QList<qint64> &ids, const measurelog::LogStatus &status) {
                         EXPECT_TRUE(status.isReady());
                         batches.push_back(ids);
                     });
    LogOutbox outbox(writer, QStringLiteral("line-7"));
    for (const Committed &part : record(writer, 6))
        outbox.partCommitted(part);

    outbox.markSent({1});
    // Acknowledged while the writer stores the first batch: they wait and go together.
    outbox.markSent({2});
    outbox.markSent({3, 2});
    EXPECT_EQ(outbox.unsentCount(), 3) << "each part acknowledged counts once";
    EXPECT_EQ(idsOf(outbox.nextUnsent(0, 2)), (std::vector<qint64>{4, 5}))
        << "acknowledged parts whose marks are not stored yet are skipped, page after page";
    ASSERT_TRUE(waitFor([&] { return batches.size() == 2; }));
    EXPECT_EQ(batches[0], QList<qint64>({1}));
    EXPECT_EQ(batches[1], QList<qint64>({2, 3}));
    EXPECT_EQ(unsentInLog(), (std::vector<qint64>{4, 5, 6}));
}

TEST_F(LogOutboxTest, WaitingMarksAreStoredWhenTheOutboxAndTheWriterEnd) {
    auto writer = std::make_unique<LogWriter>(logPath());
    record(*writer, 4);
    {
        LogOutbox outbox(*writer, QStringLiteral("line-7"));
        outbox.markSent({1});
        outbox.markSent({2, 3}); // waits for the first batch, which is not answered before the end
    }
    writer.reset(); // stores all it was handed before its thread ends
    EXPECT_EQ(unsentInLog(), (std::vector<qint64>{4}));
}

TEST_F(LogOutboxTest, TheWaitingCountFollowsCommitsAndAcknowledgementsAcrossARestart) {
    {
        LogWriter writer(logPath());
        record(writer, 7);
        LogOutbox outbox(writer, QStringLiteral("line-7"));
        outbox.markSent({1, 2, 3});
        ASSERT_TRUE(waitFor([&] { return unsentInLog().size() == 4; }));
    }
    LogWriter writer(logPath());
    LogOutbox outbox(writer, QStringLiteral("line-7"));
    EXPECT_EQ(outbox.unsentCount(), 4) << "counted from the log at a restart";
    EXPECT_EQ(idsOf(outbox.nextUnsent(0, 10)), (std::vector<qint64>{4, 5, 6, 7}))
        << "the sent do not go again";
    const std::vector<Committed> later = record(writer, 2);
    for (const Committed &part : later)
        outbox.partCommitted(part);
    outbox.partCommitted(later.back()); // a commit heard twice counts once
    EXPECT_EQ(outbox.unsentCount(), 6);
    outbox.markSent({4, 9});
    EXPECT_EQ(outbox.unsentCount(), 4);
}

TEST(PartMessages, EveryFieldIsTheLogsAndNumbersAreAsShown) {
    PartRecord part = measurelog::samplePart(3, 6);
    part.id = 3;
    part.uuid = QStringLiteral("00000000-0000-4000-8000-000000000003");
    part.timeMs = 1796669672123;
    part.serialNumber = 1042;
    // The gauges round half away from zero on the decimal form: 12.0115 shows as 12.012, though
    // the double is a hair below it.
    part.values[0].value = 12.0115;
    part.values[0].decimals = 3;
    part.values[1].decimals = 0;
    part.values[1].value = 2.5;

    struct Case {
        const char *proves;
        QString recordedStation;
        QString linkStation;
        QString expectedStation;
    };
    const Case cases[] = {
        {"the station the part was recorded at", QStringLiteral("Station 1"),
         QStringLiteral("line-7"), QStringLiteral("Station 1")},
        {"a part recorded without one takes the link's", QString(), QStringLiteral("line-7"),
         QStringLiteral("line-7")},
    };
    for (const Case &c : cases) {
        part.station = c.recordedStation;
        const QByteArray document = partDocument(partMessage(part, c.linkStation));
        PartRecord expected = part;
        expected.station = c.expectedStation;
        EXPECT_EQ(differencesFromLog(document, expected), QStringList()) << c.proves;
        const QJsonArray values =
            QJsonDocument::fromJson(document).object()[QLatin1String("values")].toArray();
        EXPECT_EQ(values[0].toObject()[QLatin1String("value")].toDouble(), 12.012) << c.proves;
        EXPECT_EQ(values[1].toObject()[QLatin1String("value")].toDouble(), 3.0) << c.proves;
    }
}

TEST(PartMessages, CounterFromTheLogsCounters) {
    struct Case {
        const char *proves;
        measurelog::Counters counters;
        double yieldPercent;
        bool since; // the counter was reset at some time
    };
    const Case cases[] = {
        {"a fresh counter", {}, 0.0, false},
        {"warn parts are not rejected", {120, 110, 6, 4, 1709532000000}, 100.0 * 116 / 120, true},
        {"parts without limits are not rejected either", {10, 0, 0, 1, 0}, 90.0, false},
        {"all rejected", {3, 0, 0, 3, 0}, 0.0, false},
    };
    for (const Case &c : cases) {
        const CounterState state = counterState(c.counters);
        EXPECT_EQ(state.parts, c.counters.parts) << c.proves;
        EXPECT_EQ(state.good, c.counters.good) << c.proves;
        EXPECT_EQ(state.warn, c.counters.warn) << c.proves;
        EXPECT_EQ(state.reject, c.counters.reject) << c.proves;
        EXPECT_DOUBLE_EQ(state.yieldPercent, c.yieldPercent) << c.proves;
        EXPECT_EQ(state.since.isValid() ? state.since.toMSecsSinceEpoch() : 0,
                  c.since ? c.counters.resetMs : 0)
            << c.proves;
    }
}

} // namespace
