#include "ExportSpcCommand.h"

#include "LogLocation.h"
#include "LogReader.h"
#include "LogSpcSource.h"
#include "LogTime.h"
#include "SpcExport.h"

#include <QDir>
#include <QTimeZone>

namespace spclog {

namespace {

using measurelog::CommandOutcome;

static_assert(spc::SpcExportDone == measurelog::ExportWritten &&
              spc::SpcExportFailed == measurelog::ExportFailed &&
              spc::SpcExportBadOptions == measurelog::ExportBadOption);

CommandOutcome badOption(const QString &message) {
    return {measurelog::ExportBadOption, message};
}

// A whole number option; `failure` says what is wrong with it.
std::optional<int> readCount(const char *option, const QString &text, QString &failure) {
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        failure =
            QStringLiteral("%1: \"%2\" is not a whole number.").arg(QLatin1String(option), text);
    return value;
}

std::optional<QDateTime> readTime(const char *option, const QString &text, QString &failure) {
    if (text.isEmpty())
        return std::nullopt;
    const std::optional<qint64> ms = measurelog::parseTimeText(text);
    if (!ms) {
        failure = QStringLiteral("%1: \"%2\" is not a date and time such as 2026-12-07T18:54:32Z.")
                      .arg(QLatin1String(option), text);
        return std::nullopt;
    }
    return QDateTime::fromMSecsSinceEpoch(*ms, QTimeZone::utc());
}

// The setup the newest part was recorded with; why there is none in `failure`.
std::optional<QString> newestSetup(const QString &logPath, QString &failure) {
    measurelog::LogReader reader(logPath);
    const auto newest = reader.newestFirst({}, 0, 1, false);
    if (!newest.ok()) {
        failure = newest.failure;
        return std::nullopt;
    }
    if (newest.value.parts.empty()) {
        failure = QStringLiteral("The measurement log %1 holds no parts.")
                      .arg(QDir::toNativeSeparators(logPath));
        return std::nullopt;
    }
    return newest.value.parts.front().setupFile;
}

} // namespace

CommandOutcome exportSpcCommand(const ExportSpcOptions &options) {
    if (options.file.isEmpty())
        return badOption(QStringLiteral("--export-spc: the name of the file to write is missing."));
    if (options.channel.isEmpty())
        return badOption(QStringLiteral("--export-spc needs --channel N."));
    spc::SpcExportOptions asked;
    asked.file = options.file;
    QString failure;
    asked.channel = readCount("--channel", options.channel, failure).value_or(0);
    asked.subgroupSize = readCount("--subgroup", options.subgroup, failure);
    asked.baselineSubgroups = readCount("--baseline", options.baseline, failure);
    asked.since = readTime("--since", options.since, failure);
    asked.until = readTime("--until", options.until, failure);
    if (!failure.isEmpty())
        return badOption(failure);

    const QString logPath =
        options.logPath.isEmpty() ? measurelog::defaultLogPath() : options.logPath;
    const std::optional<QString> setup =
        options.setup ? options.setup : newestSetup(logPath, failure);
    if (!setup)
        return {measurelog::ExportFailed, failure};
    LogSpcSource source(logPath, {[name = *setup] { return name; }, {}});
    const spc::SpcExportResult result = spc::exportSpc(source, asked);
    return {result.exitCode, result.message};
}

} // namespace spclog
