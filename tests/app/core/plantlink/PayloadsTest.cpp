#include "Payloads.h"
#include "Topics.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace plantlink;

namespace {

const QDateTime PartTime(QDate(2025, 3, 4), QTime(5, 6, 7, 89), Qt::UTC);

PartMessage samplePart() {
    PartMessage part;
    part.uuid = QStringLiteral("5f0c2d1e-8a4b-4c7e-9b1a-2d3e4f5a6b7c");
    part.time = PartTime;
    part.serial = 1042;
    part.operatorName = QStringLiteral("Ana");
    part.setup = QStringLiteral("shaft.qsu");
    part.setupHash = QStringLiteral("sha256:ab12");
    part.view = QStringLiteral("Group 1");
    part.station = QStringLiteral("line-3");
    part.verdict = Verdict::Warn;
    PartValue bore{1, QStringLiteral("Bore"), 12.0030002f, 3, 12.0, {}, Verdict::Good};
    bore.limits = {11.95, 11.97, 12.03, 12.05};
    PartValue length{2,  QStringLiteral("Length"), std::nullopt, 2, std::nullopt,
                     {}, Verdict::NoLimits};
    PartValue runout{3, QStringLiteral("Runout"), 0.0449999, 3, std::nullopt, {}, Verdict::Warn};
    runout.limits.upperWarn = 0.04;
    runout.limits.upperReject = 0.05;
    part.values = {bore, length, runout};
    return part;
}

QJsonObject parsed(const QByteArray &document) {
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(document, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << document.constData();
    return json.object();
}

} // namespace

// The document historians parse, byte for byte: a renamed or reshaped field breaks them.
TEST(Payloads, PartDocumentIsTheDocumentedSchema) {
    const QByteArray expected =
        R"({"operator":"Ana","serial":1042,"setup":"shaft.qsu","setup_hash":"sha256:ab12",)"
        R"("station":"line-3","time":"2025-03-04T05:06:07.089Z",)"
        R"("uuid":"5f0c2d1e-8a4b-4c7e-9b1a-2d3e4f5a6b7c","values":[)"
        R"({"channel":1,"decimals":3,"description":"Bore","limits":{"lower_reject":11.95,)"
        R"("lower_warn":11.97,"upper_reject":12.05,"upper_warn":12.03},"nominal":12,)"
        R"("value":12.003,"verdict":"good"},)"
        R"({"channel":2,"decimals":2,"description":"Length","limits":{},"value":null,)"
        R"("verdict":"no_limits"},)"
        R"({"channel":3,"decimals":3,"description":"Runout","limits":{"upper_reject":0.05,)"
        R"("upper_warn":0.04},"value":0.045,"verdict":"warn"}],"verdict":"warn","view":"Group 1"})";
    EXPECT_EQ(partDocument(samplePart()), expected);
}

TEST(Payloads, PartDocumentEdges) {
    PartMessage part = samplePart();
    part.lot = QStringLiteral("LOT-7");
    part.time = QDateTime(QDate(2025, 3, 4), QTime(7, 6, 7, 89), Qt::OffsetFromUTC, 7200);
    part.values[0].value = std::numeric_limits<double>::quiet_NaN();
    part.values[1].decimals = 40;
    part.values[1].value = 1.0 / 3.0;
    const QJsonObject json = parsed(partDocument(part));
    EXPECT_EQ(json[QLatin1String("lot")].toString(), QLatin1String("LOT-7"))
        << "a typed lot is carried";
    EXPECT_EQ(json[QLatin1String("time")].toString(), QLatin1String("2025-03-04T05:06:07.089Z"))
        << "a local time is written in UTC";
    const QJsonArray values = json[QLatin1String("values")].toArray();
    EXPECT_TRUE(values[0].toObject()[QLatin1String("value")].isNull())
        << "a reading that is not a number is no value, not invalid JSON";
    EXPECT_EQ(values[1].toObject()[QLatin1String("decimals")].toInt(), 9)
        << "decimals beyond what a double holds are capped";
    EXPECT_FALSE(parsed(partDocument(samplePart())).contains(QLatin1String("lot")))
        << "no lot, no field";
}

TEST(Payloads, StatusCounterAndLiveDocuments) {
    const QDateTime now(QDate(2025, 1, 2), QTime(3, 4, 5, 6), Qt::UTC);
    const QJsonObject online =
        parsed(onlineDocument({QStringLiteral("0.1.0"), QStringLiteral("shaft.qsu")}, now));
    EXPECT_EQ(online[QLatin1String("state")].toString(), QLatin1String("online"));
    EXPECT_EQ(online[QLatin1String("version")].toString(), QLatin1String("0.1.0"));
    EXPECT_EQ(online[QLatin1String("setup")].toString(), QLatin1String("shaft.qsu"));
    EXPECT_EQ(parsed(offlineDocument())[QLatin1String("state")].toString(),
              QLatin1String("offline"));

    const QJsonObject counter = parsed(counterDocument({120, 110, 6, 4, 96.666666, now}, now));
    EXPECT_EQ(counter[QLatin1String("parts")].toInteger(), 120);
    EXPECT_EQ(counter[QLatin1String("reject")].toInteger(), 4);
    EXPECT_EQ(counter[QLatin1String("yield_percent")].toDouble(), 96.67);
    EXPECT_EQ(counter[QLatin1String("since")].toString(),
              QLatin1String("2025-01-02T03:04:05.006Z"));

    EXPECT_EQ(liveDocument(shownValue(2.0004999, 3), isoTime(now)),
              R"({"time":"2025-01-02T03:04:05.006Z","value":2.000})")
        << "the value as shown, with its decimals";
    EXPECT_EQ(liveDocument(shownValue(std::nullopt, 3), isoTime(now)),
              R"({"time":"2025-01-02T03:04:05.006Z","value":null})");
}

TEST(Topics, StationNamesBecomeOneTopicLevel) {
    struct Case {
        const char *proves;
        QString name;
        QString level;
    };
    const Case cases[] = {
        {"a plain name stays", QStringLiteral("line-3"), QStringLiteral("line-3")},
        {"a slash would add a level", QStringLiteral("hall/2"), QStringLiteral("hall_2")},
        {"wildcards cannot be published to", QStringLiteral("a+b#"), QStringLiteral("a_b_")},
        {"control characters and NUL go", QStringLiteral("a\tb") + QChar(0) + u'c',
         QStringLiteral("a_b_c")},
        {"surrounding blanks go", QStringLiteral("  gauge 1 "), QStringLiteral("gauge 1")},
        {"an empty name is not an empty level", QStringLiteral("  "), QStringLiteral("station")},
        {"letters beyond ASCII stay", QStringLiteral("Prüfplatz"), QStringLiteral("Prüfplatz")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(topicLevel(c.name), c.level) << c.proves;

    const StationTopics topics(QStringLiteral("hall/2"));
    EXPECT_EQ(topics.status, "qorview/hall_2/status");
    EXPECT_EQ(topics.part, "qorview/hall_2/part");
    EXPECT_EQ(topics.counter, "qorview/hall_2/counter");
    EXPECT_EQ(topics.live(17), "qorview/hall_2/live/chan/17");
    EXPECT_EQ(clientId(QStringLiteral("hall/2")), "qorview-hall_2");
}
