#include "ExportLogCommand.h"

#include "CsvExport.h"
#include "LogLocation.h"
#include "LogTime.h"

#include <QDir>

namespace measurelog {

namespace {

CommandOutcome badOption(const QString &message) {
    return {ExportBadOption, message};
}

// Reads a time option into `ms`; the words of the failure, or empty.
QString readTime(const char *option, const QString &text, std::optional<qint64> &ms) {
    if (text.isEmpty())
        return {};
    ms = parseTimeText(text);
    if (ms)
        return {};
    return QStringLiteral("%1: \"%2\" is not a date and time such as 2026-12-07T18:54:32Z.")
        .arg(QLatin1String(option), text);
}

} // namespace

CommandOutcome exportLogCommand(const ExportLogOptions &options) {
    if (options.file.isEmpty())
        return badOption(QStringLiteral("--export-log: the name of the file to write is missing."));
    ExportRequest request;
    const QString format = options.format.isEmpty() ? QStringLiteral("wide") : options.format;
    if (format == QLatin1String("long"))
        request.form = ExportForm::Long;
    else if (format != QLatin1String("wide"))
        return badOption(
            QStringLiteral("--format: \"%1\" is neither wide nor long.").arg(options.format));
    LogFilter &filter = request.filter;
    for (const QString &failure : {readTime("--since", options.since, filter.sinceMs),
                                   readTime("--until", options.until, filter.untilMs)}) {
        if (!failure.isEmpty())
            return badOption(failure);
    }
    if (filter.sinceMs && filter.untilMs && *filter.sinceMs >= *filter.untilMs)
        return badOption(QStringLiteral("--since: %1 is not before --until %2.")
                             .arg(options.since, options.until));
    filter.setupFile = options.setup;

    const QString logPath = options.logPath.isEmpty() ? defaultLogPath() : options.logPath;
    const ExportResult result = exportCsv(logPath, options.file, request);
    if (result.outcome != ExportOutcome::Written)
        return {ExportFailed, result.failure};
    return {ExportWritten,
            QStringLiteral("%1 %2 written to %3.")
                .arg(result.parts)
                .arg(result.parts == 1 ? QStringLiteral("part") : QStringLiteral("parts"),
                     QDir::toNativeSeparators(options.file))};
}

} // namespace measurelog
