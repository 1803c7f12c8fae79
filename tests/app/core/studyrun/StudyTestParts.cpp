#include "StudyTestParts.h"

#include "LogStore.h"
#include "PublishedExample.h"
#include "StudyLayout.h"
#include "StudyPlan.h"

#include <utility>

namespace studyrun::testing {

SimulatedGauge::SimulatedGauge(ScriptedReadingSource &source, Settings settings)
    : m_source(source), m_settings(std::move(settings)), m_noise(m_settings.seed ^ 0x9e3779b9) {}

double SimulatedGauge::trueSize(int part, int channel) const {
    std::mt19937_64 draw(m_settings.seed * 1000003u + static_cast<std::uint64_t>(part) * 131u +
                         static_cast<std::uint64_t>(channel));
    std::normal_distribution<double> normal(0.0, 1.0);
    return m_settings.nominal + m_settings.partSpread * normal(draw);
}

void SimulatedGauge::place(const studies::StudyStep &step) {
    std::normal_distribution<double> noise(0.0, m_settings.noise);
    const double bias = step.appraiser < static_cast<int>(m_settings.appraiserBias.size())
                            ? m_settings.appraiserBias[studies::slot(step.appraiser)]
                            : 0.0;
    std::map<int, double> readings;
    for (const SourceChannel &channel : m_source.channels())
        readings[channel.number] = trueSize(step.part, channel.number) + bias + noise(m_noise);
    m_source.tick(readings);
}

std::vector<SourceChannel> gaugeChannels() {
    return {{1, QStringLiteral("Bore"), 4, 0.1}, {2, QStringLiteral("Shaft"), 4, 0.08}};
}

qint64 storeStudy(const QString &logPath, measurelog::StudyRecord study,
                  const studies::RrReadings &readings) {
    measurelog::LogStore store(logPath);
    store.open();
    if (study.uuid.isEmpty())
        study.uuid = QStringLiteral("stored-%1").arg(study.seed);
    const measurelog::StudyCreated created = store.createStudy(study);
    if (!created.status.isReady())
        return 0;
    qint64 sequence = 0;
    for (const studies::StudyStep &step : orderOf(study)) {
        measurelog::StudyReadingRecord reading;
        reading.studyUuid = study.uuid;
        reading.sequence = sequence;
        reading.appraiser = step.appraiser;
        reading.part = step.part;
        reading.trial = step.trial;
        reading.values = {readings[studies::slot(step.appraiser)][studies::slot(step.part)]
                                  [studies::slot(step.trial)]};
        reading.timeMs = study.createdMs + 20000 * sequence++;
        if (!store.storeStudyReading(reading).isReady())
            return 0;
    }
    if (!store.setStudyStatus(study.uuid, measurelog::StudyStatus::Complete).isReady())
        return 0;
    return created.studyId;
}

qint64 storePublishedStudy(const QString &logPath) {
    measurelog::StudyRecord study = gaugeRrStudy({{1, QStringLiteral("Bore"), 2, 5.0}});
    study.station = QStringLiteral("Station 1");
    study.setupFile = GaugeSetup;
    study.seed = 20240304;
    study.createdMs = 1709532000000; // 2024-03-04 06:00 UTC
    return storeStudy(logPath, study, studies::example::publishedExample());
}

} // namespace studyrun::testing
