#include "StationLinkFixture.h"

#include "LogReader.h"
#include "SampleParts.h"
#include "Settings.h"
#include "WaitFor.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <algorithm>

using measurelog::Committed;
using measurelog::LogWriter;
using measurelog::PartRecord;

void StationLinkFixture::SetUp() {
    ASSERT_TRUE(BrokerProcess::available()) << "the mosquitto broker is not installed";
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
    QCoreApplication::setApplicationVersion(QStringLiteral("6.0-test"));
}

void StationLinkFixture::switchOn(
    int port, const std::function<void(plantlink::PlantLinkSettings &)> &change) {
    plantlink::PlantLinkSettings settings;
    settings.enabled = true;
    settings.config = loopbackConfig(port, Station);
    if (change)
        change(settings);
    SettingsStore store;
    ASSERT_TRUE(plantlink::savePlantLinkSettings(store, settings));
}

std::vector<Committed> StationLinkFixture::record(LogWriter &writer, int count) {
    std::vector<Committed> committed;
    auto connection = QObject::connect(&writer, &LogWriter::committed, &writer,
                                       [&](const Committed &part) { committed.push_back(part); });
    for (int i = 0; i < count; ++i)
        writer.submit(measurelog::samplePart(++m_seed, 8));
    EXPECT_TRUE(waitFor([&] { return committed.size() == size_t(count); }, 30000));
    QObject::disconnect(connection);
    return committed;
}

std::vector<PartRecord> StationLinkFixture::logParts() const {
    measurelog::LogReader reader(logPath());
    std::vector<PartRecord> parts = reader.newestFirst({}, 0, 1000000).value.parts;
    std::reverse(parts.begin(), parts.end());
    return parts;
}

qsizetype StationLinkFixture::unsentInLog() const {
    return static_cast<qsizetype>(measurelog::LogReader(logPath()).unsent(0, 1000000).value.size());
}

QString uuidOf(const QByteArray &document) {
    return QJsonDocument::fromJson(document).object()[QLatin1String("uuid")].toString();
}

QStringList uniqueUuids(const QList<QByteArray> &documents) {
    QStringList kept;
    for (const QByteArray &document : documents) {
        const QString uuid = uuidOf(document);
        if (!kept.contains(uuid))
            kept << uuid;
    }
    return kept;
}
