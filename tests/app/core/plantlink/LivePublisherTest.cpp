#include "LivePublisher.h"
#include "BrokerProcess.h"
#include "PlantLinkClient.h"
#include "TestSubscriber.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

using namespace plantlink;

namespace {

TEST(LivePublisher, ReadingsAsJsonNumbers) {
    struct Case {
        const char *proves;
        LiveReading reading;
        const char *json;
    };
    const Case cases[] = {
        {"the station's leading blank goes", {1, 12.003, QStringLiteral(" 12.003")}, "12.003"},
        {"a negative value", {1, -0.5, QStringLiteral("-0.50")}, "-0.50"},
        {"the decimals shown are kept", {1, 2.0, QStringLiteral(" 2.000")}, "2.000"},
        {"no decimals: the point that ends it goes", {1, 3.0, QStringLiteral(" 3.")}, "3"},
        {"a negative zero as shown", {1, -0.0001, QStringLiteral("-0.00")}, "-0.00"},
        {"the shown text is the value: it wins over the double",
         {1, 0.12499999, QStringLiteral(" 0.13")},
         "0.13"},
        {"no reading", {1, std::nullopt, QStringLiteral(" 1.000")}, ""},
        {"a reading that is no number", {1, std::nan(""), QStringLiteral("NaN")}, ""},
        {"a text that is not a number gives the value", {1, 4.25, QStringLiteral("4,25")}, "4.25"},
        {"leading zeros are no JSON number", {1, 7.5, QStringLiteral("007.5")}, "7.5"},
        {"a point without decimals inside", {1, 1.0, QStringLiteral("1..")}, "1"},
        {"an exponent as the value gives it", {1, 1e20, QStringLiteral("#####")}, "1e+20"},
    };
    for (const Case &c : cases) {
        const QString json = liveNumberText(c.reading);
        EXPECT_EQ(json, QLatin1String(c.json)) << c.proves;
        if (!json.isEmpty()) {
            const QByteArray document = "[" + json.toLatin1() + "]";
            EXPECT_FALSE(QJsonDocument::fromJson(document).isNull()) << c.proves << ": JSON";
        }
    }
}

TEST(LivePublisher, ValuesGoOutOnlyOnChangeAtMostOncePerIntervalAndNeverOlderThanSent) {
    ASSERT_TRUE(BrokerProcess::available());
    BrokerProcess broker;
    ASSERT_TRUE(broker.start());
    TestSubscriber live(broker.port(), "qorview/line-7/live/#", "test-live");
    ASSERT_TRUE(live.waitUntilSubscribed());
    MemoryOutbox outbox;
    PlantLinkClient client(outbox);
    LivePublisher publisher(client);
    PlantLinkConfig config = loopbackConfig(broker.port(), QStringLiteral("line-7"));
    config.liveMinIntervalMs = 300;

    client.start(config);
    ASSERT_TRUE(waitFor([&] { return client.state().kind == LinkState::Connected; }));
    EXPECT_FALSE(client.wantsLiveValues());
    publisher.onReadings(1, {{1, 5.0, QStringLiteral(" 5.000")}}); // live values off: nothing
    config.liveValues = true;
    client.start(config);
    ASSERT_TRUE(waitFor([&] { return client.wantsLiveValues(); }));

    qint64 tick = 10;
    publisher.onReadings(++tick,
                         {{1, 1.0, QStringLiteral(" 1.000")}, {2, 2.0, QStringLiteral(" 2.00")}});
    publisher.onReadings(++tick, {{1, 1.0, QStringLiteral(" 1.000")}});  // unchanged
    publisher.onReadings(++tick, {{1, 1.5, QStringLiteral(" 1.500")}});  // within the interval
    publisher.onReadings(tick - 2, {{2, 9.0, QStringLiteral(" 9.00")}}); // came late: dropped
    // The held change goes out once the interval has passed, as the readings keep coming.
    ASSERT_TRUE(waitFor([&] {
        publisher.onReadings(++tick, {{1, 1.5, QStringLiteral(" 1.500")}});
        return live.payloadsOn("qorview/line-7/live/chan/1").size() >= 2;
    }));
    // The last value, so all before it have arrived.
    publisher.onReadings(++tick, {{9, 0.0, QStringLiteral(" 0.0")}});
    ASSERT_TRUE(waitFor([&] { return !live.payloadsOn("qorview/line-7/live/chan/9").isEmpty(); }));

    auto values = [&](const QByteArray &topic) {
        QStringList shown;
        for (const QByteArray &payload : live.payloadsOn(topic)) {
            const QByteArray value = payload.mid(payload.indexOf("\"value\":") + 8);
            shown << QString::fromLatin1(value.left(value.size() - 1));
        }
        return shown;
    };
    EXPECT_EQ(values("qorview/line-7/live/chan/1"), QStringList({"1.000", "1.500"}));
    EXPECT_EQ(values("qorview/line-7/live/chan/2"), QStringList({"2.00"}))
        << "an older tick's value never follows a newer one";
    EXPECT_EQ(live.count(), 4) << "nothing while live values were off";
}

} // namespace
