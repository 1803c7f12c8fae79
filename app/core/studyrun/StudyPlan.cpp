#include "StudyPlan.h"

#include <QSet>

#include <cmath>

namespace studyrun {

namespace {

QString boundsRefusal(const char *what, int count, CountBounds bounds) {
    if (count >= bounds.least && count <= bounds.most)
        return {};
    return QStringLiteral("The number of %1 must be from %2 to %3; %4 was given.")
        .arg(QLatin1String(what))
        .arg(bounds.least)
        .arg(bounds.most)
        .arg(count);
}

QString channelsRefusal(const StudyRecord &study) {
    if (study.channels.empty())
        return QStringLiteral("Choose the channel the study measures.");
    if (study.kind == StudyKind::Type1 && study.channels.size() != 1)
        return QStringLiteral("A type-1 study measures one channel.");
    QSet<int> seen;
    for (const measurelog::StudyChannelRecord &channel : study.channels) {
        if (seen.contains(channel.channel))
            return QStringLiteral("Channel %1 is chosen twice.").arg(channel.channel);
        seen.insert(channel.channel);
        if (channel.tolerance && !(std::isfinite(*channel.tolerance) && *channel.tolerance > 0.0))
            return QStringLiteral("The tolerance of channel %1 must be a number above 0.")
                .arg(channel.channel);
    }
    return {};
}

QString namesRefusal(const StudyRecord &study) {
    if (study.appraiserNames.size() != study.appraisers)
        return QStringLiteral("Name each of the %1 appraisers.").arg(study.appraisers);
    QSet<QString> seen;
    for (const QString &name : study.appraiserNames) {
        const QString trimmed = name.trimmed();
        if (trimmed.isEmpty())
            return QStringLiteral("Name each of the %1 appraisers.").arg(study.appraisers);
        if (trimmed != name || name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r')))
            return QStringLiteral("The name \"%1\" starts or ends with a space or holds a line "
                                  "break.")
                .arg(trimmed);
        if (seen.contains(name))
            return QStringLiteral("Two appraisers are named \"%1\".").arg(name);
        seen.insert(name);
    }
    return {};
}

QString type1Refusal(const StudyRecord &study) {
    if (study.appraisers != 1 || study.parts != 1)
        return QStringLiteral("A type-1 study is one appraiser measuring one reference part.");
    if (const QString refusal = boundsRefusal("repeats", study.trials, RepeatBounds);
        !refusal.isEmpty())
        return refusal;
    if (!study.reference || !std::isfinite(*study.reference))
        return QStringLiteral("Enter the reference part's size.");
    if (!study.channels.front().tolerance)
        return QStringLiteral("Enter the tolerance of the characteristic.");
    return {};
}

QString gaugeRrRefusal(const StudyRecord &study) {
    for (const QString &refusal : {boundsRefusal("parts", study.parts, PartBounds),
                                   boundsRefusal("appraisers", study.appraisers, AppraiserBounds),
                                   boundsRefusal("trials", study.trials, TrialBounds)})
        if (!refusal.isEmpty())
            return refusal;
    return {};
}

} // namespace

StudyRecord type1Study(const measurelog::StudyChannelRecord &channel, double reference) {
    StudyRecord study;
    study.kind = StudyKind::Type1;
    study.channels = {channel};
    study.appraisers = 1;
    study.parts = 1;
    study.trials = DefaultRepeats;
    study.appraiserNames = studies::defaultAppraiserNames(1);
    study.reference = reference;
    return study;
}

StudyRecord gaugeRrStudy(std::vector<measurelog::StudyChannelRecord> channels) {
    StudyRecord study;
    study.kind = StudyKind::GaugeRr;
    study.channels = std::move(channels);
    study.appraisers = DefaultAppraisers;
    study.parts = DefaultParts;
    study.trials = DefaultTrials;
    study.appraiserNames = studies::defaultAppraiserNames(DefaultAppraisers);
    return study;
}

QString checkStudy(const StudyRecord &study) {
    if (const QString refusal = channelsRefusal(study); !refusal.isEmpty())
        return refusal;
    const QString refusal =
        study.kind == StudyKind::Type1 ? type1Refusal(study) : gaugeRrRefusal(study);
    if (!refusal.isEmpty())
        return refusal;
    if (study.sigmaMultiplier != 6.0 && study.sigmaMultiplier != 5.15)
        return QStringLiteral("The study variation spans 6 σ, or 5.15 σ as older reports had it.");
    return namesRefusal(study);
}

studies::StudyLayout layoutOf(const StudyRecord &study) {
    return {study.appraisers, study.parts, study.trials};
}

studies::Spread spreadOf(const StudyRecord &study) {
    return study.sigmaMultiplier == 5.15 ? studies::Spread::FiveFifteenSigma
                                         : studies::Spread::SixSigma;
}

std::vector<int> channelNumbers(const StudyRecord &study) {
    std::vector<int> numbers;
    for (const measurelog::StudyChannelRecord &channel : study.channels)
        numbers.push_back(channel.channel);
    return numbers;
}

std::vector<studies::StudyStep> orderOf(const StudyRecord &study) {
    return studies::runOrder(layoutOf(study), static_cast<std::uint64_t>(study.seed));
}

QString promptFor(const StudyRecord &study, const studies::StudyStep &step) {
    if (study.kind == StudyKind::Type1)
        return studies::referencePrompt(step.trial, study.trials);
    return studies::stepPrompt(step, study.appraiserNames);
}

QString kindName(StudyKind kind) {
    return kind == StudyKind::Type1 ? QStringLiteral("type-1 study") : QStringLiteral("gauge R&R");
}

Restored restoreReadings(const measurelog::StoredStudy &stored) {
    const StudyRecord &study = stored.study;
    if (const QString refusal = checkStudy(study); !refusal.isEmpty())
        return {
            std::nullopt,
            QStringLiteral("The study %1 in the log is not sound: %2").arg(study.id).arg(refusal)};
    studies::StudyReadings readings(layoutOf(study), static_cast<int>(study.channels.size()));
    for (const measurelog::StudyReadingRecord &reading : stored.readings) {
        const QString refusal =
            readings.record({reading.appraiser, reading.part, reading.trial}, reading.values);
        if (!refusal.isEmpty())
            return {std::nullopt, QStringLiteral("Reading %1 of the study %2 in the log does not "
                                                 "fit it: %3")
                                      .arg(reading.sequence + 1)
                                      .arg(study.id)
                                      .arg(refusal)};
    }
    return {std::move(readings), {}};
}

} // namespace studyrun
