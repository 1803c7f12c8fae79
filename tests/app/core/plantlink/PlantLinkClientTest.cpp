#include "PlantLinkClient.h"
#include "BrokerProcess.h"
#include "TestSubscriber.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include <memory>

using namespace plantlink;
using namespace std::chrono_literals;

namespace {

const QString Station = QStringLiteral("line-3");
const QByteArray PartTopic = "qorview/line-3/part";
const QByteArray StatusTopic = "qorview/line-3/status";

PlantLinkConfig configFor(int port) {
    return loopbackConfig(port, Station);
}

QByteArray partPayload(qint64 serial) {
    PartMessage part;
    part.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    part.time = QDateTime::currentDateTimeUtc();
    part.serial = serial;
    part.station = Station;
    part.verdict = Verdict::Good;
    for (int channel = 1; channel <= 8; ++channel)
        part.values.push_back({channel,
                               QStringLiteral("Diameter %1").arg(channel),
                               10.0 + static_cast<double>(serial) * 0.001 + channel,
                               3,
                               10.0,
                               {},
                               Verdict::Good});
    return partDocument(part);
}

QString stateOf(const QByteArray &statusDocument) {
    return QJsonDocument::fromJson(statusDocument).object()[QLatin1String("state")].toString();
}

// Each uuid once, in the order it first arrived: what a historian that drops repeats keeps.
QList<QByteArray> withoutRepeats(const QList<QByteArray> &payloads) {
    QList<QByteArray> kept;
    QSet<QString> seen;
    for (const QByteArray &payload : payloads) {
        const QString uuid =
            QJsonDocument::fromJson(payload).object()[QLatin1String("uuid")].toString();
        if (!seen.contains(uuid)) {
            seen.insert(uuid);
            kept.append(payload);
        }
    }
    return kept;
}

class PlantLink : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BrokerProcess::available()) << "the mosquitto broker is not installed";
    }

    bool waitForState(PlantLinkClient &client, LinkState::Kind kind, int ms = 15000) {
        return waitFor([&] { return client.state().kind == kind; }, ms);
    }

    QTemporaryDir m_folder;
};

TEST_F(PlantLink, PartsArriveAsRecordedAndAreMarkedSentWhenAcknowledged) {
    BrokerProcess broker;
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    TestSubscriber parts(broker.port(), "qorview/+/part");
    ASSERT_TRUE(parts.waitUntilSubscribed());

    MemoryOutbox outbox;
    QList<QByteArray> sent;
    for (int serial = 1; serial <= 3; ++serial) {
        sent.append(partPayload(serial));
        outbox.add(sent.last());
    }
    PlantLinkClient client(outbox);
    std::vector<qint64> acknowledged;
    std::vector<qint64> backlog;
    QObject::connect(&client, &PlantLinkClient::partAcknowledged, &client,
                     [&](qint64 id) { acknowledged.push_back(id); });
    QObject::connect(&client, &PlantLinkClient::backlogChanged, &client,
                     [&](qint64 unsent) { backlog.push_back(unsent); });
    client.setStationInfo({QStringLiteral("0.1.0"), QStringLiteral("shaft.qsu")});
    client.start(configFor(broker.port()));
    ASSERT_TRUE(waitForState(client, LinkState::Connected)) << client.state().text.toStdString();
    client.publishCounter({3, 3, 0, 0, 100.0, {}});
    for (int serial = 4; serial <= 5; ++serial) {
        sent.append(partPayload(serial));
        outbox.add(sent.last());
        client.outboxChanged();
    }

    ASSERT_TRUE(waitFor([&] { return parts.count() >= 5 && outbox.unsentCount() == 0; }));
    EXPECT_EQ(parts.payloadsOn(PartTopic), sent) << "every part, byte for byte, in order";
    EXPECT_EQ(acknowledged, (std::vector<qint64>{1, 2, 3, 4, 5}));
    ASSERT_FALSE(backlog.empty());
    EXPECT_EQ(backlog.front(), 3) << "the backlog at the start";
    EXPECT_EQ(backlog.back(), 0);

    TestSubscriber retained(broker.port(), "qorview/line-3/+", "test-retained");
    ASSERT_TRUE(waitFor([&] { return retained.count() >= 2; }));
    const QJsonObject online =
        QJsonDocument::fromJson(retained.payloadsOn(StatusTopic).value(0)).object();
    EXPECT_EQ(online[QLatin1String("state")].toString(), QLatin1String("online"));
    EXPECT_EQ(online[QLatin1String("setup")].toString(), QLatin1String("shaft.qsu"));
    EXPECT_EQ(QJsonDocument::fromJson(retained.payloadsOn("qorview/line-3/counter").value(0))
                  .object()[QLatin1String("parts")]
                  .toInt(),
              3);

    client.stop();
    EXPECT_EQ(client.state().kind, LinkState::Disconnected);
    ASSERT_TRUE(waitFor([&] { return retained.payloadsOn(StatusTopic).size() >= 2; }));
    EXPECT_EQ(stateOf(retained.payloadsOn(StatusTopic).last()), QLatin1String("offline"))
        << "a station that stops says so";
}

TEST_F(PlantLink, PartsRecordedWhileTheBrokerIsAwayAllArriveInOrder) {
    BrokerProcess broker;
    broker.saveSessionsAtOnce();
    ASSERT_TRUE(broker.start()) << broker.log().toStdString();
    TestSubscriber historian(broker.port(), "qorview/+/part", "test-historian");
    ASSERT_TRUE(historian.waitUntilSubscribed());

    MemoryOutbox outbox;
    QList<QByteArray> sent;
    auto record = [&](PlantLinkClient &client, int count) {
        for (int i = 0; i < count; ++i) {
            sent.append(partPayload(sent.size() + 1));
            outbox.add(sent.last());
            client.outboxChanged();
        }
    };
    auto client = std::make_unique<PlantLinkClient>(outbox);
    client->start(configFor(broker.port()));
    ASSERT_TRUE(waitForState(*client, LinkState::Connected));
    record(*client, 3);

    enum class Away { Stopped, FrozenThenKilled, StoppedAndStationRestarted };
    struct Round {
        const char *proves;
        Away away;
    };
    const Round rounds[] = {
        {"the broker stopped and started again", Away::Stopped},
        {"parts in flight when the broker froze and was killed", Away::FrozenThenKilled},
        {"a second outage right after the first", Away::Stopped},
        {"the station restarted while the broker was away", Away::StoppedAndStationRestarted},
    };
    for (const Round &round : rounds) {
        if (round.away == Away::FrozenThenKilled) {
            // Handed to the connection, never acknowledged, then the connection is gone.
            broker.freeze();
            record(*client, 4);
            broker.kill();
        } else {
            broker.stop();
        }
        ASSERT_TRUE(waitFor([&] { return client->state().kind != LinkState::Connected; }))
            << round.proves;
        record(*client, 4);
        EXPECT_GE(outbox.unsentCount(), 4) << round.proves << ": kept while away";
        if (round.away == Away::StoppedAndStationRestarted) {
            client = std::make_unique<PlantLinkClient>(outbox);
            client->start(configFor(broker.port()));
        }
        ASSERT_TRUE(broker.start()) << round.proves;
        ASSERT_TRUE(waitFor([&] { return outbox.unsentCount() == 0; }, 30000))
            << round.proves << ": " << client->state().text.toStdString();
        ASSERT_TRUE(waitFor([&] {
            return withoutRepeats(historian.payloadsOn(PartTopic)).size() >= sent.size();
        })) << round.proves;
        EXPECT_EQ(withoutRepeats(historian.payloadsOn(PartTopic)), sent)
            << round.proves << ": none missing, in recording order";
    }
}

TEST_F(PlantLink, KilledStationIsShownOfflineByItsWill) {
    BrokerProcess broker;
    ASSERT_TRUE(broker.start());
    TestSubscriber status(broker.port(), "qorview/killed-1/status", "test-status");
    ASSERT_TRUE(status.waitUntilSubscribed());

    QProcess station;
    station.start(
        QStringLiteral(PLANTLINK_STATION_HELPER),
        {QStringLiteral("127.0.0.1"), QString::number(broker.port()), QStringLiteral("killed-1")});
    QByteArray said;
    ASSERT_TRUE(waitFor([&] {
        said += station.readAllStandardOutput();
        return said.contains("connected");
    }));
    ASSERT_TRUE(waitFor([&] { return !status.payloadsOn("qorview/killed-1/status").isEmpty(); }));
    EXPECT_EQ(stateOf(status.payloadsOn("qorview/killed-1/status").last()),
              QLatin1String("online"));

    station.kill();
    station.waitForFinished();
    ASSERT_TRUE(waitFor([&] {
        return stateOf(status.payloadsOn("qorview/killed-1/status").last()) ==
               QLatin1String("offline");
    })) << "kill -9 leaves the will to say it";
}

TEST_F(PlantLink, ConnectionTestSaysWhatHappened) {
    TestCertificates certificates;
    ASSERT_TRUE(makeCertificates(m_folder.path(), certificates));
    BrokerProcess plain;
    ASSERT_TRUE(plain.start());
    BrokerProcess guarded;
    ASSERT_TRUE(guarded.requirePassword(QStringLiteral("gauge"), QStringLiteral("s3cret")));
    ASSERT_TRUE(guarded.start());
    BrokerProcess tls;
    tls.useTls(certificates.caFile, certificates.serverCert, certificates.serverKey);
    ASSERT_TRUE(tls.start()) << tls.log().toStdString();
    SilentListener silent;

    struct Case {
        const char *proves;
        PlantLinkConfig config;
        LinkState::Kind kind;
        const char *words;
    };
    auto with = [](PlantLinkConfig config, auto change) {
        change(config);
        return config;
    };
    auto useTls = [&](const QString &ca) {
        return [ca](PlantLinkConfig &c) {
            c.tls = true;
            c.caFile = ca;
        };
    };
    auto credentials = [](const char *password) {
        return [password](PlantLinkConfig &c) {
            c.userName = QStringLiteral("gauge");
            c.password = QString::fromLatin1(password);
        };
    };
    const Case cases[] = {
        {"a broker that accepts", configFor(plain.port()), LinkState::Connected, "Connected to"},
        {"a name nobody knows",
         with(configFor(1883), [](PlantLinkConfig &c) { c.host = "no-such-broker.invalid"; }),
         LinkState::NameNotResolved, "was not found"},
        {"a port nothing listens on", configFor(freeLoopbackPort()), LinkState::Refused,
         "no broker listens there"},
        {"a peer that never answers",
         with(configFor(silent.port()), [](PlantLinkConfig &c) { c.connectTimeoutMs = 300; }),
         LinkState::Unreachable, "did not answer within 1 s"},
        {"a peer that never answers the TLS handshake",
         with(with(configFor(silent.port()), useTls(certificates.caFile)),
              [](PlantLinkConfig &c) { c.connectTimeoutMs = 300; }),
         LinkState::Unreachable, "did not answer"},
        {"the right password", with(configFor(guarded.port()), credentials("s3cret")),
         LinkState::Connected, "Connected to"},
        {"a wrong password", with(configFor(guarded.port()), credentials("wrong")),
         LinkState::NotAuthorised, "did not accept the user name and password"},
        {"no credentials where they are needed", configFor(guarded.port()),
         LinkState::NotAuthorised, "did not accept"},
        {"TLS with the authority that signed the broker",
         with(configFor(tls.port()), useTls(certificates.caFile)), LinkState::Connected,
         "Connected to"},
        {"TLS with another authority",
         with(configFor(tls.port()), useTls(certificates.otherCaFile)), LinkState::TlsFailure,
         "certificate verify failed"},
        {"TLS with a CA file that is not there",
         with(configFor(tls.port()), useTls(m_folder.filePath("missing.crt"))),
         LinkState::TlsFailure, "cannot be read"},
        {"TLS to a plain listener", with(configFor(plain.port()), useTls(certificates.caFile)),
         LinkState::TlsFailure, "TLS failure"},
        {"plain MQTT to a TLS listener", configFor(tls.port()), LinkState::Refused,
         "does it expect TLS?"},
    };
    for (const Case &c : cases) {
        const LinkState outcome = PlantLinkClient::test(c.config);
        EXPECT_EQ(outcome.kind, c.kind) << c.proves << ": " << outcome.text.toStdString();
        EXPECT_TRUE(outcome.text.contains(QLatin1String(c.words)))
            << c.proves << ": " << outcome.text.toStdString();
        EXPECT_FALSE(outcome.text.contains(QLatin1String("s3cret"))) << c.proves;
    }
}

TEST_F(PlantLink, RejectedCredentialsAreReportedOnceAndAskedAgainOnlySlowly) {
    BrokerProcess broker;
    ASSERT_TRUE(broker.requirePassword(QStringLiteral("gauge"), QStringLiteral("s3cret")));
    ASSERT_TRUE(broker.start());
    MemoryOutbox outbox;
    outbox.add(partPayload(1));
    PlantLinkClient client(outbox);
    QList<LinkState> states;
    QObject::connect(&client, &PlantLinkClient::stateChanged, &client,
                     [&](const LinkState &state) { states.append(state); });
    PlantLinkConfig config = configFor(broker.port());
    config.userName = QStringLiteral("gauge");
    config.password = QStringLiteral("wrong");
    client.start(config);
    ASSERT_TRUE(waitForState(client, LinkState::NotAuthorised));
    EXPECT_GT(client.nextAttemptIn(), 240s) << "the broker is not asked again for minutes";
    ASSERT_EQ(states.size(), 2);
    EXPECT_EQ(states[0].kind, LinkState::Connecting);
    EXPECT_EQ(outbox.unsentCount(), 1) << "nothing is marked sent without the broker";

    config.password = QStringLiteral("s3cret");
    client.start(config);
    ASSERT_TRUE(waitFor([&] { return outbox.unsentCount() == 0; })) << "corrected, it sends";
}

TEST_F(PlantLink, PartsGoOverTls) {
    TestCertificates certificates;
    ASSERT_TRUE(makeCertificates(m_folder.path(), certificates));
    BrokerProcess broker;
    broker.useTls(certificates.caFile, certificates.serverCert, certificates.serverKey);
    ASSERT_TRUE(broker.start());
    MemoryOutbox outbox;
    const QByteArray part = partPayload(1);
    outbox.add(part);
    PlantLinkClient client(outbox);
    PlantLinkConfig config = configFor(broker.port());
    config.tls = true;
    config.caFile = certificates.caFile;
    client.start(config);
    ASSERT_TRUE(waitFor([&] { return outbox.unsentCount() == 0; }))
        << client.state().text.toStdString();
}

TEST_F(PlantLink, StopEndsAnAttemptStuckInTheTlsHandshake) {
    SilentListener silent;
    MemoryOutbox outbox;
    PlantLinkClient client(outbox);
    PlantLinkConfig config = configFor(silent.port());
    config.tls = true;
    config.connectTimeoutMs = 600000;
    client.start(config);
    EXPECT_EQ(client.state().kind, LinkState::Connecting);
    client.stop(); // would wait for the peer forever if the loop could not be told to stop
    EXPECT_EQ(client.state().kind, LinkState::Disconnected);
}

TEST_F(PlantLink, LiveValuesGoOutOnChangeAtMostOncePerInterval) {
    BrokerProcess broker;
    ASSERT_TRUE(broker.start());
    TestSubscriber live(broker.port(), "qorview/line-3/live/#", "test-live");
    ASSERT_TRUE(live.waitUntilSubscribed());
    MemoryOutbox outbox;
    PlantLinkClient client(outbox);
    PlantLinkConfig config = configFor(broker.port());
    config.liveValues = true;
    config.liveMinIntervalMs = 200;
    client.start(config);
    ASSERT_TRUE(waitForState(client, LinkState::Connected));

    client.publishLiveValue(1, 1.0, 3);
    client.publishLiveValue(1, 1.0, 3);
    client.publishLiveValue(1, 2.0, 3); // within the interval: held
    client.publishLiveValue(2, 5.0, 3);
    client.publishLiveValue(2, 5.0004, 3); // the same as shown
    client.publishLiveValue(3, std::nullopt, 3);
    // The held change goes out once the interval has passed, as the poll goes on.
    ASSERT_TRUE(waitFor([&] {
        client.publishLiveValue(1, 2.0, 3);
        return live.payloadsOn("qorview/line-3/live/chan/1").size() >= 2;
    }));
    client.publishLiveValue(9, 0.0, 3); // the last one: all before it have arrived with it
    ASSERT_TRUE(waitFor([&] { return !live.payloadsOn("qorview/line-3/live/chan/9").isEmpty(); }));

    auto values = [&](const QByteArray &topic) {
        QList<QJsonValue> result;
        for (const QByteArray &payload : live.payloadsOn(topic))
            result.append(QJsonDocument::fromJson(payload).object()[QLatin1String("value")]);
        return result;
    };
    EXPECT_EQ(values("qorview/line-3/live/chan/1"), (QList<QJsonValue>{1.0, 2.0}));
    EXPECT_EQ(values("qorview/line-3/live/chan/2"), (QList<QJsonValue>{5.0}));
    EXPECT_EQ(values("qorview/line-3/live/chan/3"), (QList<QJsonValue>{QJsonValue::Null}));
}

} // namespace
