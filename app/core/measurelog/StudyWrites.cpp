#include "StudyWrites.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <string>

namespace measurelog {

namespace {

QString notInLog(const QString &uuid) {
    return QStringLiteral("The study %1 is not in the measurement log.").arg(uuid);
}

QString text(std::string_view word) {
    return QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
}

} // namespace

StudyWrites::StudyWrites(const SqliteDatabase &db)
    : m_insertStudy(db.prepare(
          "INSERT INTO studies (uuid, kind, created_ms, station, setup_file, appraisers, parts, "
          "trials, appraiser_names, reference, seed, sigma_multiplier, status) "
          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id")),
      m_insertChannel(db.prepare("INSERT INTO study_channels (study_id, position, channel, "
                                 "description, decimals, tolerance) VALUES (?, ?, ?, ?, ?, ?)")),
      m_findStudy(db.prepare("SELECT id, appraisers, parts, trials, (SELECT count(*) FROM "
                             "study_channels WHERE study_id = studies.id) FROM studies "
                             "WHERE uuid = ?")),
      m_replaceStep(db.prepare("UPDATE study_readings SET replaced = 1 WHERE study_id = ? AND "
                               "appraiser = ? AND part = ? AND trial = ? AND replaced = 0")),
      // The channel's number comes from the study's own list, by its place in the reading.
      m_insertValue(db.prepare(
          "INSERT INTO study_readings (study_id, sequence, position, appraiser, part, trial, "
          "channel, value, time_ms, replaced) SELECT study_id, ?, position, ?, ?, ?, channel, ?, "
          "?, 0 FROM study_channels WHERE study_id = ? AND position = ?")),
      m_setStatus(db.prepare("UPDATE studies SET status = ? WHERE uuid = ? RETURNING id")) {}

qint64 StudyWrites::insertStudy(const StudyRecord &study) {
    const QByteArray names = QJsonDocument(QJsonArray::fromStringList(study.appraiserNames))
                                 .toJson(QJsonDocument::Compact);
    m_insertStudy.bind(1, study.uuid)
        .bind(2, text(studyKindWord(study.kind)))
        .bind(3, study.createdMs)
        .bind(4, study.station)
        .bind(5, study.setupFile)
        .bind(6, study.appraisers)
        .bind(7, study.parts)
        .bind(8, study.trials)
        .bindUtf8(9, names)
        .bind(10, study.reference)
        .bind(11, study.seed)
        .bind(12, study.sigmaMultiplier)
        .bind(13, text(studyStatusWord(study.status)));
    m_insertStudy.step();
    const qint64 id = m_insertStudy.int64(0);
    m_insertStudy.reset();
    int position = 0;
    for (const StudyChannelRecord &channel : study.channels) {
        m_insertChannel.bind(1, id)
            .bind(2, position++)
            .bind(3, channel.channel)
            .bind(4, channel.description)
            .bind(5, channel.decimals)
            .bind(6, channel.tolerance);
        m_insertChannel.run();
    }
    return id;
}

QString StudyWrites::insertReading(const StudyReadingRecord &reading) {
    m_findStudy.bind(1, reading.studyUuid);
    if (!m_findStudy.step())
        return notInLog(reading.studyUuid);
    const qint64 id = m_findStudy.int64(0);
    const bool inLayout = reading.appraiser >= 0 && reading.appraiser < m_findStudy.int64(1) &&
                          reading.part >= 0 && reading.part < m_findStudy.int64(2) &&
                          reading.trial >= 0 && reading.trial < m_findStudy.int64(3);
    const qint64 channels = m_findStudy.int64(4);
    m_findStudy.reset();
    if (!inLayout)
        return QStringLiteral("Appraiser %1, part %2, trial %3 is not a step of the study %4.")
            .arg(reading.appraiser + 1)
            .arg(reading.part + 1)
            .arg(reading.trial + 1)
            .arg(reading.studyUuid);
    if (static_cast<qint64>(reading.values.size()) != channels)
        return QStringLiteral("A reading of the study %1 has %2 values, one a channel; %3 came.")
            .arg(reading.studyUuid)
            .arg(channels)
            .arg(reading.values.size());

    m_replaceStep.bind(1, id)
        .bind(2, reading.appraiser)
        .bind(3, reading.part)
        .bind(4, reading.trial);
    m_replaceStep.run();
    int position = 0;
    for (double value : reading.values) {
        m_insertValue.bind(1, reading.sequence)
            .bind(2, reading.appraiser)
            .bind(3, reading.part)
            .bind(4, reading.trial)
            .bind(5, value)
            .bind(6, reading.timeMs)
            .bind(7, id)
            .bind(8, position++);
        m_insertValue.run();
    }
    return {};
}

QString StudyWrites::setStatus(const QString &studyUuid, StudyStatus status) {
    m_setStatus.bind(1, text(studyStatusWord(status))).bind(2, studyUuid);
    const bool found = m_setStatus.step();
    m_setStatus.reset();
    return found ? QString() : notInLog(studyUuid);
}

} // namespace measurelog
