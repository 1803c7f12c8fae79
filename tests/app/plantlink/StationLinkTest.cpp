#include "PartDocumentCheck.h"
#include "PlantLinkCommands.h"
#include "PlantLinkDialog.h"
#include "PlantLinkStatus.h"
#include "SecretStore.h"
#include "StationLinkFixture.h"
#include "TestSubscriber.h"
#include "WaitFor.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

using namespace plantlink;
using measurelog::Committed;
using measurelog::LogWriter;
using measurelog::PartRecord;

namespace {

const QByteArray PartTopic = "qorview/line-7/part";

QJsonObject objectOf(const QByteArray &document) {
    return QJsonDocument::fromJson(document).object();
}

// The uuids of the log's parts, in recording order.
QStringList uuidsOf(const std::vector<PartRecord> &parts) {
    QStringList uuids;
    for (const PartRecord &part : parts)
        uuids << part.uuid;
    return uuids;
}

using StationLink = StationLinkFixture;

TEST_F(StationLink, CommittedPartsArriveWithTheLogsValuesAndTheCounterAfterThem) {
    BrokerProcess broker;
    ASSERT_TRUE(broker.start());
    TestSubscriber subscriber(broker.port(), "qorview/+/#", "historian");
    ASSERT_TRUE(subscriber.waitUntilSubscribed());
    switchOn(broker.port());

    LogWriter writer(logPath());
    PlantLinkCommands commands(m_window, writer, m_prompts);
    commands.setSetupName(QStringLiteral("shaft-12.qsu"));
    record(writer, 5);
    ASSERT_TRUE(waitFor([&] { return subscriber.payloadsOn(PartTopic).size() >= 5; }))
        << commands.client().state().text.toStdString();
    ASSERT_TRUE(waitFor([&] { return unsentInLog() == 0; })) << "acknowledged parts are marked";

    const std::vector<PartRecord> parts = logParts();
    const QList<QByteArray> documents = subscriber.payloadsOn(PartTopic);
    ASSERT_EQ(uniqueUuids(documents), uuidsOf(parts));
    for (size_t i = 0; i < parts.size(); ++i)
        EXPECT_EQ(differencesFromLog(documents[qsizetype(i)], parts[i]), QStringList())
            << "part " << i + 1;

    ASSERT_TRUE(waitFor([&] {
        const QList<QByteArray> counters = subscriber.payloadsOn("qorview/line-7/counter");
        return !counters.isEmpty() && objectOf(counters.last())[QLatin1String("parts")] == 5;
    })) << "the counter after the last part";
    const QList<QByteArray> status = subscriber.payloadsOn("qorview/line-7/status");
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(objectOf(status.last())[QLatin1String("state")], QLatin1String("online"));
    EXPECT_EQ(objectOf(status.last())[QLatin1String("setup")], QLatin1String("shaft-12.qsu"));
    EXPECT_TRUE(waitFor([&] {
        return commands.statusWidget()->text() == QLatin1String("Plant link: connected");
    })) << commands.statusWidget()->text().toStdString();
}

TEST_F(StationLink, PartsRecordedWhileTheBrokerIsAwayAllArriveInOrderAlsoAfterARestart) {
    BrokerProcess broker;
    broker.saveSessionsAtOnce();
    ASSERT_TRUE(broker.start());
    TestSubscriber subscriber(broker.port(), PartTopic, "historian");
    ASSERT_TRUE(subscriber.waitUntilSubscribed());
    switchOn(broker.port());
    LogWriter writer(logPath());
    int recorded = 0;
    auto allArrived = [&] {
        return waitFor(
            [&] { return uniqueUuids(subscriber.payloadsOn(PartTopic)).size() == recorded; },
            30000);
    };
    {
        auto commands = std::make_unique<PlantLinkCommands>(m_window, writer, m_prompts);
        for (int round = 1; round <= 3; ++round) {
            record(writer, 2);
            recorded += 2;
            ASSERT_TRUE(waitFor([&] { return commands->outbox().unsentCount() == 0; }));
            broker.stop();
            record(writer, 4);
            recorded += 4;
            ASSERT_TRUE(waitFor([&] {
                return commands->statusWidget()->text().endsWith(
                    QLatin1String(", 4 parts to send"));
            })) << "round "
                << round << ": " << commands->statusWidget()->text().toStdString();
            ASSERT_TRUE(broker.start()) << broker.log().toStdString();
            ASSERT_TRUE(allArrived()) << "round " << round;
        }
    }

    // The station ends while the broker is away and starts again: the log still knows.
    broker.stop();
    record(writer, 5);
    recorded += 5;
    ASSERT_TRUE(broker.start());
    PlantLinkCommands restarted(m_window, writer, m_prompts);
    ASSERT_TRUE(allArrived());
    ASSERT_TRUE(waitFor([&] { return unsentInLog() == 0; }));

    EXPECT_EQ(uniqueUuids(subscriber.payloadsOn(PartTopic)), uuidsOf(logParts()))
        << "every part, once each after dropping repeats, in recording order";
}

TEST_F(StationLink, LiveValuesOnlyWhenSwitchedOnOnChangeAndNotOlderThanSent) {
    BrokerProcess broker;
    ASSERT_TRUE(broker.start());
    TestSubscriber live(broker.port(), "qorview/line-7/live/#", "live");
    ASSERT_TRUE(live.waitUntilSubscribed());
    switchOn(broker.port(), [](PlantLinkSettings &settings) {
        settings.config.liveValues = true;
        settings.config.liveMinIntervalMs = 200;
    });
    LogWriter writer(logPath());
    PlantLinkCommands commands(m_window, writer, m_prompts);
    ASSERT_TRUE(waitFor([&] { return commands.client().wantsLiveValues(); }));

    qint64 tick = 0;
    commands.liveReading(++tick, 1, 1.0, QStringLiteral(" 1.000"));
    commands.liveReading(++tick, 1, 1.0, QStringLiteral(" 1.000"));  // unchanged
    commands.liveReading(tick - 1, 2, 7.0, QStringLiteral(" 7.00")); // came late
    // A new value goes out once the interval has passed, as the readings keep coming.
    ASSERT_TRUE(waitFor([&] {
        commands.liveReading(++tick, 1, 1.25, QStringLiteral(" 1.250"));
        return live.payloadsOn("qorview/line-7/live/chan/1").size() >= 2;
    }));
    commands.liveReading(++tick, 3, std::nullopt, QString());
    ASSERT_TRUE(waitFor([&] { return !live.payloadsOn("qorview/line-7/live/chan/3").isEmpty(); }));

    QStringList values;
    for (const QByteArray &payload : live.payloadsOn("qorview/line-7/live/chan/1"))
        values << objectOf(payload)[QLatin1String("value")].toVariant().toString();
    EXPECT_EQ(values, QStringList({"1", "1.25"}));
    EXPECT_TRUE(live.payloadsOn("qorview/line-7/live/chan/2").isEmpty());
    EXPECT_TRUE(
        objectOf(live.payloadsOn("qorview/line-7/live/chan/3").first())[QLatin1String("value")]
            .isNull())
        << "no reading is sent as null";
}

TEST_F(StationLink, ThePasswordIsKeptOutOfTheSettingsAndComesBackToTheDialog) {
    BrokerProcess broker;
    ASSERT_TRUE(broker.requirePassword(QStringLiteral("gauge"), QStringLiteral("s3cret")));
    ASSERT_TRUE(broker.start());
    LogWriter writer(logPath());
    {
        PlantLinkCommands commands(m_window, writer, m_prompts);
        EXPECT_FALSE(commands.client().isStarted()) << "off by default";
        EXPECT_FALSE(commands.statusWidget()->isVisibleTo(&m_window));
        commands.showDialog();
        PlantLinkSettings settings;
        settings.enabled = true;
        settings.config = loopbackConfig(broker.port(), Station);
        settings.config.userName = QStringLiteral("gauge");
        settings.config.password = QStringLiteral("s3cret");
        commands.dialog()->setSettings(settings);
        commands.dialog()->accept();
        ASSERT_TRUE(waitFor([&] { return commands.client().state().kind == LinkState::Connected; }))
            << commands.client().state().text.toStdString();
        EXPECT_TRUE(commands.statusWidget()->isVisibleTo(&m_window));
    }

    int files = 0;
    for (QDirIterator it(configFolder(), QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile file(it.next());
        if (QFileInfo(file).fileName() == QLatin1String("secrets")) {
            EXPECT_EQ(file.permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
            continue;
        }
        ++files;
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains("s3cret")) << file.fileName().toStdString();
    }
    EXPECT_GT(files, 0) << "the settings were stored";

    // Switched off, the station reads the password only when the dialog opens, and the dialog
    // takes it when it comes unless the operator typed one.
    {
        SettingsStore store;
        PlantLinkSettings off = loadPlantLinkSettings(store);
        off.enabled = false;
        ASSERT_TRUE(savePlantLinkSettings(store, off));
    }
    {
        PlantLinkCommands off(m_window, writer, m_prompts);
        off.showDialog();
        ASSERT_TRUE(waitFor(
            [&] { return off.dialog()->settings().config.password == QLatin1String("s3cret"); }));
        off.dialog()->reject();
    }
    // Switched on before the password came: the empty field leaves the stored password alone,
    // and the link uses it.
    PlantLinkCommands switchedOn(m_window, writer, m_prompts);
    switchedOn.showDialog();
    switchedOn.dialog()->findChild<QCheckBox *>(QStringLiteral("enabled"))->setChecked(true);
    switchedOn.dialog()->accept();
    ASSERT_TRUE(waitFor([&] { return switchedOn.client().state().kind == LinkState::Connected; }))
        << switchedOn.client().state().text.toStdString();
    SecretStore secrets(SecretServiceName, QFileInfo(SettingsStore().fileName()).absolutePath());
    QString stored;
    secrets.read(PasswordKey,
                 [&](const SecretStore::Outcome &outcome) { stored = outcome.secret; });
    EXPECT_TRUE(waitFor([&] { return stored == QLatin1String("s3cret"); }));
}

} // namespace
