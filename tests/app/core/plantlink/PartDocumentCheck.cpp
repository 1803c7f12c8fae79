#include "PartDocumentCheck.h"

#include "LogTime.h"
#include "ShownDecimal.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <optional>
#include <string>

using measurelog::PartRecord;
using measurelog::ValueRecord;
using measurelog::Verdict;

namespace {

QString verdictOnTheWire(Verdict verdict) {
    switch (verdict) {
    case Verdict::Good:
        return QStringLiteral("good");
    case Verdict::Warn:
        return QStringLiteral("warn");
    case Verdict::Reject:
        return QStringLiteral("reject");
    case Verdict::NoLimits:
        break;
    }
    return QStringLiteral("no_limits");
}

QString shown(double value, int decimals) {
    std::string text;
    measurelog::appendShownDecimal(text, value, decimals);
    return QString::fromStdString(text);
}

class Differences {
public:
    template <typename T> void check(const QString &what, const T &document, const T &log) {
        if (document != log)
            m_found << QStringLiteral("%1: the document has %2, the log %3")
                           .arg(what, QVariant::fromValue(document).toString(),
                                QVariant::fromValue(log).toString());
    }
    // A number of the document against the log's, both as the station shows them; a number the
    // log does not have must be absent.
    void checkNumber(const QString &what, const QJsonObject &object, const char *key,
                     const std::optional<double> &log, int decimals) {
        const QJsonValue value = object[QLatin1String(key)];
        const QString inDocument = value.isDouble()
                                       ? QString::number(value.toDouble(), 'f', decimals)
                                   : value.isUndefined() ? QStringLiteral("(absent)")
                                                         : QStringLiteral("(not a number)");
        check(what + QLatin1Char(' ') + QLatin1String(key), inDocument,
              log ? shown(*log, decimals) : QStringLiteral("(absent)"));
    }
    QStringList found() const { return m_found; }

private:
    QStringList m_found;
};

void checkValue(Differences &differences, const QJsonObject &document, const ValueRecord &log) {
    const QString what = QStringLiteral("channel %1").arg(log.channel);
    differences.check(what + QStringLiteral(" channel"), document[QLatin1String("channel")].toInt(),
                      log.channel);
    differences.check(what + QStringLiteral(" description"),
                      document[QLatin1String("description")].toString(), log.description);
    differences.check(what + QStringLiteral(" decimals"),
                      document[QLatin1String("decimals")].toInt(), log.decimals);
    differences.checkNumber(what, document, "value", log.value, log.decimals);
    differences.checkNumber(what, document, "nominal", log.nominal, log.decimals);
    const QJsonObject limits = document[QLatin1String("limits")].toObject();
    differences.checkNumber(what, limits, "lower_reject", log.lowTolerance, log.decimals);
    differences.checkNumber(what, limits, "lower_warn", log.lowApproach, log.decimals);
    differences.checkNumber(what, limits, "upper_warn", log.highApproach, log.decimals);
    differences.checkNumber(what, limits, "upper_reject", log.highTolerance, log.decimals);
    differences.check(what + QStringLiteral(" verdict"),
                      document[QLatin1String("verdict")].toString(), verdictOnTheWire(log.verdict));
}

} // namespace

QStringList differencesFromLog(const QByteArray &document, const PartRecord &part) {
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(document, &error);
    if (error.error != QJsonParseError::NoError || !json.isObject())
        return {QStringLiteral("not a JSON object: %1").arg(QString::fromUtf8(document))};
    return differencesFromLog(json.object(), part);
}

QStringList differencesFromLog(const QJsonObject &document, const PartRecord &part) {
    Differences differences;
    auto text = [&](const char *key) {
        return document[QLatin1String(key)].toString();
    };
    differences.check(QStringLiteral("uuid"), text("uuid"), part.uuid);
    differences.check(QStringLiteral("time"), text("time"), measurelog::utcText(part.timeMs));
    differences.check(QStringLiteral("station"), text("station"), part.station);
    differences.check(QStringLiteral("serial"), document[QLatin1String("serial")].toInteger(),
                      part.serialNumber);
    differences.check(QStringLiteral("lot"), text("lot"), part.serialText);
    differences.check(QStringLiteral("operator"), text("operator"), part.operatorName);
    differences.check(QStringLiteral("setup"), text("setup"), part.setupFile);
    differences.check(QStringLiteral("setup_hash"), text("setup_hash"), part.setupHash);
    differences.check(QStringLiteral("view"), text("view"), part.viewName);
    differences.check(QStringLiteral("verdict"), text("verdict"), verdictOnTheWire(part.verdict));
    const QJsonArray values = document[QLatin1String("values")].toArray();
    differences.check(QStringLiteral("number of values"), static_cast<qsizetype>(values.size()),
                      static_cast<qsizetype>(part.values.size()));
    for (qsizetype i = 0; i < values.size() && i < qsizetype(part.values.size()); ++i)
        checkValue(differences, values[i].toObject(), part.values[static_cast<size_t>(i)]);
    return differences.found();
}
