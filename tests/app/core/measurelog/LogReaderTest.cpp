#include "LogReader.h"
#include "LogTestSupport.h"
#include "SampleParts.h"

#include <QFileInfo>

#include <algorithm>
#include <functional>

using namespace measurelog;

namespace {

constexpr qint64 Start = 1796669672123;

// 60 parts over three setups (one of them "no setup file"), a minute apart but for one recorded
// after the clock was set back, with every verdict and a serial text that holds LIKE's own
// wildcards.
class LogReaderTest : public LogFolder {
protected:
    void SetUp() override {
        const QString setups[] = {SampleSetup, QStringLiteral("gear.qor"), QString()};
        for (int seed = 0; seed < 60; ++seed) {
            PartRecord part = samplePart(seed, 4 + seed / 3 % 3, setups[seed % 3]);
            // Part 45 was recorded after the clock had been set back by 40 minutes.
            part.timeMs = Start + (seed == 45 ? 5 : seed) * 60000;
            if (seed == 33)
                part.serialText = QStringLiteral("50%_off");
            m_parts.push_back(part);
        }
        const std::vector<RecordOutcome> outcomes = storeParts(logPath(), m_parts);
        for (size_t i = 0; i < m_parts.size(); ++i) {
            m_parts[i].id = outcomes[i].committed->partId;
            m_parts[i].uuid = outcomes[i].committed->uuid;
            m_parts[i].serialNumber = outcomes[i].committed->serialNumber;
        }
    }

    // The ids of the stored parts that pass, newest first.
    std::vector<qint64> idsWhere(const std::function<bool(const PartRecord &)> &passes) const {
        std::vector<qint64> ids;
        for (auto part = m_parts.rbegin(); part != m_parts.rend(); ++part) {
            if (passes(*part))
                ids.push_back(part->id);
        }
        return ids;
    }

    std::vector<PartRecord> m_parts;
};

struct FilterCase {
    const char *legend;
    LogFilter filter;
    std::function<bool(const PartRecord &)> passes;
};

TEST_F(LogReaderTest, PagesNewestFirstHoldEveryMatchingPartOnce) {
    const qint64 since = Start + 10 * 60000;
    const qint64 until = Start + 40 * 60000;
    const FilterCase cases[] = {
        {"no filter",
         {},
         [](const PartRecord &) {
             return true;
         }},
        {"from a part's own time, up to but not including another's",
         {since, until, {}, {}, {}},
         [&](const PartRecord &p) {
             return p.timeMs >= since && p.timeMs < until;
         }},
        {"one setup",
         {{}, {}, QStringLiteral("gear.qor"), {}, {}},
         [](const PartRecord &p) {
             return p.setupFile == QLatin1String("gear.qor");
         }},
        {"parts recorded without a setup file",
         {{}, {}, QString(), {}, {}},
         [](const PartRecord &p) {
             return p.setupFile.isEmpty();
         }},
        {"rejects",
         {{}, {}, {}, {Verdict::Reject}, {}},
         [](const PartRecord &p) {
             return p.verdict == Verdict::Reject;
         }},
        {"warns and rejects",
         {{}, {}, {}, {Verdict::Warn, Verdict::Reject}, {}},
         [](const PartRecord &p) {
             return p.verdict >= Verdict::Warn;
         }},
        {"every verdict is no filter",
         {{}, {}, {}, {Verdict::NoLimits, Verdict::Good, Verdict::Warn, Verdict::Reject}, {}},
         [](const PartRecord &) {
             return true;
         }},
        {"a serial text in any case",
         {{}, {}, {}, {}, QStringLiteral("lot-2")},
         [](const PartRecord &p) {
             return p.serialText == QLatin1String("LOT-2");
         }},
        {"LIKE's wildcards taken literally",
         {{}, {}, {}, {}, QStringLiteral("%_")},
         [](const PartRecord &p) {
             return p.serialText == QLatin1String("50%_off");
         }},
        {"a number finds the automatic serial too",
         {{}, {}, {}, {}, QStringLiteral("5")},
         [](const PartRecord &p) {
             return p.serialNumber == 5 || p.serialText.contains(QLatin1Char('5'));
         }},
        {"all at once",
         {since, until, SampleSetup, {Verdict::Good}, QStringLiteral("LOT")},
         [&](const PartRecord &p) {
             return p.timeMs >= since && p.timeMs < until && p.setupFile == SampleSetup &&
                    p.verdict == Verdict::Good && p.serialText.startsWith(QLatin1String("LOT"));
         }},
    };
    LogReader reader(logPath());
    for (const FilterCase &c : cases) {
        const std::vector<qint64> expected = idsWhere(c.passes);
        std::vector<qint64> ids;
        qint64 before = 0;
        for (bool atEnd = false; !atEnd;) {
            const Read<LogPage> page = reader.newestFirst(c.filter, before, 7, false);
            ASSERT_TRUE(page.ok()) << c.legend << ": " << page.failure.toStdString();
            for (const PartRecord &part : page.value.parts)
                ids.push_back(part.id);
            before = page.value.nextBeforeId;
            atEnd = page.value.atEnd;
            ASSERT_LE(ids.size(), m_parts.size()) << c.legend;
        }
        EXPECT_EQ(ids, expected) << c.legend;
        EXPECT_EQ(reader.count(c.filter).value, qint64(expected.size())) << c.legend;
    }
}

TEST_F(LogReaderTest, APartComesWithItsValuesAndTheSetupsWithTheirChannels) {
    LogReader reader(logPath());
    EXPECT_EQ(reader.part(m_parts[17].id).value, m_parts[17]);
    EXPECT_EQ(reader.part(9999).value, std::nullopt);
    const LogPage page = reader.newestFirst({}, 0, 2).value;
    ASSERT_EQ(page.parts.size(), 2u);
    EXPECT_EQ(page.parts[0], m_parts[59]) << "a page holds whole records";

    EXPECT_EQ(reader.setups().value,
              QStringList({QString(), QStringLiteral("gear.qor"), SampleSetup}));
    // Parts of a setup had 4 to 6 channels: the columns are every channel ever seen with it.
    std::vector<ChannelSeen> expected;
    for (const ValueRecord &value : samplePart(0, 6).values)
        expected.push_back({value.channel, value.description});
    EXPECT_EQ(reader.channels(SampleSetup).value, expected);
    EXPECT_TRUE(reader.channels(QStringLiteral("unknown.qor")).value.empty());
}

TEST_F(LogReaderTest, TheOutboxGivesUnsentPartsInRecordingOrder) {
    LogReader reader(logPath());
    auto unsentIds = [&](qint64 after, int limit) {
        std::vector<qint64> ids;
        for (const PartRecord &part : reader.unsent(after, limit).value)
            ids.push_back(part.id);
        return ids;
    };
    EXPECT_EQ(unsentIds(0, 3), (std::vector<qint64>{1, 2, 3}));
    EXPECT_EQ(unsentIds(3, 2), (std::vector<qint64>{4, 5}));
    EXPECT_EQ(reader.unsent(0, 1).value.front(), m_parts[0]) << "with its values, to publish";

    LogStore store(logPath());
    ASSERT_EQ(store.open(), LogStatus{});
    const qint64 ids[] = {1, 3};
    ASSERT_EQ(store.markSent(ids, 1000), LogStatus{});
    const QString uuids[] = {m_parts[1].uuid};
    ASSERT_EQ(store.markSent(uuids, 2000), LogStatus{});
    ASSERT_EQ(store.markSent(ids, 3000), LogStatus{});
    EXPECT_EQ(unsentIds(0, 3), (std::vector<qint64>{4, 5, 6}));
    EXPECT_EQ(reader.part(1).value->sentMs, 1000) << "the first acknowledgement counts";
    EXPECT_EQ(reader.part(2).value->sentMs, 2000);
}

TEST_F(LogFolder, ALogNotYetCreatedReadsAsEmpty) {
    LogReader reader(path(QStringLiteral("nothing/here.sqlite")));
    const Read<LogPage> page = reader.newestFirst({}, 0, 50);
    EXPECT_TRUE(page.ok());
    EXPECT_TRUE(page.value.parts.empty());
    EXPECT_TRUE(page.value.atEnd);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("nothing")))) << "reading creates nothing";
}

} // namespace
