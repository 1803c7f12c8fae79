#include "StudyCsv.h"

#include "CsvField.h"
#include "LogTime.h"
#include "StudyPlan.h"

#include <QLocale>

#include <QStringList>

namespace studyrun {

namespace {

// Every digit the number holds, and no more: it reads back as the same number.
QString number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString optionalNumber(const std::optional<double> &value) {
    return value ? number(*value) : QString();
}

using textfile::CsvText;

QString word(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void studyRows(CsvText &csv, const measurelog::StudyRecord &study) {
    QStringList channels;
    for (const measurelog::StudyChannelRecord &channel : study.channels)
        channels << QStringLiteral("%1 %2").arg(channel.channel).arg(channel.description);
    const QStringList rows[] = {
        {QStringLiteral("study"), QString::number(study.id)},
        {QStringLiteral("uuid"), study.uuid},
        {QStringLiteral("kind"), word(measurelog::studyKindWord(study.kind))},
        {QStringLiteral("created_utc"), measurelog::utcText(study.createdMs)},
        {QStringLiteral("station"), study.station},
        {QStringLiteral("setup_file"), study.setupFile},
        {QStringLiteral("channels"), channels.join(QLatin1Char(';'))},
        {QStringLiteral("appraisers"), study.appraiserNames.join(QLatin1Char(';'))},
        {QStringLiteral("parts"), QString::number(study.parts)},
        {QStringLiteral("trials"), QString::number(study.trials)},
        {QStringLiteral("reference"), optionalNumber(study.reference)},
        {QStringLiteral("sigma_multiplier"), number(study.sigmaMultiplier)},
        {QStringLiteral("status"), word(measurelog::studyStatusWord(study.status))},
    };
    csv.row({QStringLiteral("key"), QStringLiteral("value")});
    for (const QStringList &row : rows)
        csv.row(row);
}

class FigureRows {
public:
    FigureRows(CsvText &csv, int channel, const char *method)
        : m_csv(csv), m_channel(QString::number(channel)), m_method(QString::fromUtf8(method)) {}
    void add(const QString &figure, const std::optional<double> &value) {
        if (value)
            m_csv.row({m_channel, m_method, figure, number(*value)});
    }
    void component(const QString &name, const studies::ComponentFigures &figures) {
        add(name + QStringLiteral("_sigma"), figures.sigma);
        add(name + QStringLiteral("_study_variation"), figures.studyVariation);
        add(name + QStringLiteral("_percent_of_total"), figures.percentOfTotal);
        add(name + QStringLiteral("_percent_contribution"), figures.percentContribution);
        add(name + QStringLiteral("_percent_of_tolerance"), figures.percentOfTolerance);
    }
    void rr(const studies::RrFigures &figures) {
        component(QStringLiteral("ev"), figures.ev);
        component(QStringLiteral("av"), figures.av);
        if (figures.interaction)
            component(QStringLiteral("interaction"), *figures.interaction);
        component(QStringLiteral("grr"), figures.grr);
        component(QStringLiteral("pv"), figures.pv);
        component(QStringLiteral("tv"), figures.tv);
        add(QStringLiteral("ndc"), figures.ndc);
    }
    void note(const QString &text) {
        m_csv.row({m_channel, m_method, QStringLiteral("note"), text});
    }

private:
    CsvText &m_csv;
    QString m_channel;
    QString m_method;
};

void anovaTableRows(FigureRows &rows, const studies::AnovaTable &table) {
    const auto source = [&](const QString &name, const studies::AnovaRow &row) {
        rows.add(name + QStringLiteral("_df"), row.degreesOfFreedom);
        rows.add(name + QStringLiteral("_ss"), row.sumOfSquares);
        rows.add(name + QStringLiteral("_ms"), row.meanSquare);
        rows.add(name + QStringLiteral("_f"), row.f);
        rows.add(name + QStringLiteral("_p"), row.p);
    };
    source(QStringLiteral("parts"), table.parts);
    source(QStringLiteral("appraisers"), table.appraisers);
    if (table.interaction)
        source(QStringLiteral("interaction"), *table.interaction);
    source(QStringLiteral("repeatability"), table.repeatability);
    source(QStringLiteral("total"), table.total);
}

void type1FigureRows(CsvText &csv, const measurelog::StudyRecord &study,
                     const studies::Type1Outcome &outcome) {
    FigureRows rows(csv, study.channels.front().channel, "type-1");
    if (!outcome.result) {
        rows.note(outcome.refusal);
        return;
    }
    const studies::Type1Result &r = *outcome.result;
    rows.add(QStringLiteral("n"), r.count);
    rows.add(QStringLiteral("mean"), r.mean);
    rows.add(QStringLiteral("bias"), r.bias);
    rows.add(QStringLiteral("s"), r.s);
    rows.add(QStringLiteral("six_s"), 6.0 * r.s);
    rows.add(QStringLiteral("cg"), r.cg);
    rows.add(QStringLiteral("cgk"), r.cgk);
    rows.add(QStringLiteral("t"), r.t);
    rows.add(QStringLiteral("p"), r.p);
    rows.add(QStringLiteral("outside_band"), r.outsideBand);
    for (const QString &note : r.notes)
        rows.note(note);
}

void rrFigureRows(CsvText &csv, const ChannelFigures &channel) {
    FigureRows anova(csv, channel.channel.channel, "anova");
    if (const auto &result = channel.anova.result) {
        anovaTableRows(anova, result->withInteraction);
        anova.add(QStringLiteral("interaction_pooled"), result->interactionPooled ? 1.0 : 0.0);
        anova.rr(result->figures);
        for (const QString &note : result->notes)
            anova.note(note);
    } else {
        anova.note(channel.anova.refusal);
    }
    FigureRows averageRange(csv, channel.channel.channel, "average-range");
    if (const auto &analysis = channel.averageRange.analysis) {
        averageRange.add(QStringLiteral("k1"), analysis->result.k1.value);
        averageRange.add(QStringLiteral("k2"), analysis->result.k2.value);
        averageRange.add(QStringLiteral("k3"), analysis->result.k3.value);
        averageRange.rr(analysis->result.figures);
        for (const QString &note : analysis->result.notes)
            averageRange.note(note);
    } else {
        averageRange.note(channel.averageRange.refusal);
    }
}

void readingRows(CsvText &csv, const measurelog::StoredStudy &stored) {
    const measurelog::StudyRecord &study = stored.study;
    csv.row({QStringLiteral("sequence"), QStringLiteral("time_utc"), QStringLiteral("appraiser"),
             QStringLiteral("appraiser_name"), QStringLiteral("part"), QStringLiteral("trial"),
             QStringLiteral("channel"), QStringLiteral("value"), QStringLiteral("replaced")});
    for (const measurelog::StudyReadingRecord &reading : stored.readings) {
        for (std::size_t c = 0; c < reading.values.size() && c < study.channels.size(); ++c)
            csv.row({QString::number(reading.sequence + 1), measurelog::utcText(reading.timeMs),
                     QString::number(reading.appraiser + 1),
                     study.appraiserNames.value(reading.appraiser),
                     QString::number(reading.part + 1), QString::number(reading.trial + 1),
                     QString::number(study.channels[c].channel), number(reading.values[c]),
                     reading.replaced ? QStringLiteral("1") : QStringLiteral("0")});
    }
}

} // namespace

QByteArray studyReadingsCsv(const measurelog::StoredStudy &stored) {
    CsvText csv;
    readingRows(csv, stored);
    return csv.bytes();
}

QByteArray studyCsv(const measurelog::StoredStudy &stored, const StudyFigures &figures) {
    CsvText csv;
    studyRows(csv, stored.study);
    csv.blank();
    csv.row({QStringLiteral("channel"), QStringLiteral("method"), QStringLiteral("figure"),
             QStringLiteral("value")});
    if (!figures.pending.isEmpty())
        csv.row({{}, {}, QStringLiteral("note"), figures.pending});
    if (figures.type1)
        type1FigureRows(csv, stored.study, *figures.type1);
    for (const ChannelFigures &channel : figures.channels)
        rrFigureRows(csv, channel);
    csv.blank();
    readingRows(csv, stored);
    return csv.bytes();
}

} // namespace studyrun
