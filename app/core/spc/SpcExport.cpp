#include "SpcExport.h"

#include "SpcAnalysis.h"
#include "SpcCsv.h"
#include "TextFileStore.h"

namespace spc {

namespace {

SpcExportResult badOptions(const QString &message) {
    return {SpcExportBadOptions, message};
}

std::optional<qint64> milliseconds(const std::optional<QDateTime> &time) {
    if (!time)
        return std::nullopt;
    return time->toMSecsSinceEpoch();
}

} // namespace

SpcExportResult exportSpc(SpcDataSource &source, const SpcExportOptions &options) {
    const std::optional<SpcChannel> channel = findChannel(source.channels(), options.channel);
    if (!channel)
        return badOptions(QStringLiteral("Channel %1 is not in the setup %2.")
                              .arg(options.channel)
                              .arg(source.setupName()));
    const int size = options.subgroupSize.value_or(source.subgroupSize(channel->number));
    if (size < 1 || size > LargestSubgroupSize)
        return badOptions(QStringLiteral("The subgroup size must be 1 to %1, not %2.")
                              .arg(LargestSubgroupSize)
                              .arg(size));
    if (options.baselineSubgroups && *options.baselineSubgroups < MinimumBaselineSubgroups)
        return badOptions(QStringLiteral("The baseline needs at least %1 subgroups, not %2.")
                              .arg(MinimumBaselineSubgroups)
                              .arg(*options.baselineSubgroups));
    for (const auto &time : {options.since, options.until}) {
        if (time && !time->isValid())
            return badOptions(QStringLiteral("A time of the range is not a valid date and time."));
    }
    if (options.since && options.until && *options.since > *options.until)
        return badOptions(QStringLiteral("The range starts after it ends."));
    if (options.file.isEmpty())
        return badOptions(QStringLiteral("No file is named to write the figures to."));

    AnalysisSettings settings;
    settings.subgroupSize = size;
    settings.baselineSubgroups = options.baselineSubgroups.value_or(DefaultBaselineSubgroups);
    settings.useFrozenLimits = !options.baselineSubgroups;
    settings.sinceMs = milliseconds(options.since);
    settings.untilMs = milliseconds(options.until);
    SpcAnalysis analysis(source, *channel, settings);
    QString error;
    if (!analysis.load(&error))
        return {SpcExportFailed, QStringLiteral("The parts of channel %1 cannot be read: %2")
                                     .arg(channel->number)
                                     .arg(error)};
    if (analysis.partCount() == 0)
        return {SpcExportFailed,
                QStringLiteral("No parts of channel %1 are recorded in the range; nothing was "
                               "written.")
                    .arg(channel->number)};
    const QString failure = textfile::saveFileBytes(options.file, spcCsv(analysis));
    if (!failure.isEmpty())
        return {SpcExportFailed, failure};
    return {SpcExportDone, QStringLiteral("Wrote %1: channel %2, %3 parts in %4 subgroups.")
                               .arg(options.file)
                               .arg(channel->number)
                               .arg(analysis.partCount())
                               .arg(analysis.series().subgroupCount())};
}

} // namespace spc
