#include "LogSpcSource.h"

namespace spclog {

LogSpcSource::LogSpcSource(QString logPath, CurrentSetup setup, QObject *parent)
    : SpcDataSource(parent), m_setup(std::move(setup)), m_reader(logPath), m_tables(logPath) {}

QString LogSpcSource::setupName() const {
    return m_setup.name ? m_setup.name() : QString();
}

std::vector<spc::SpcChannel> LogSpcSource::channels() const {
    std::vector<spc::SpcChannel> current =
        m_setup.channels ? m_setup.channels() : std::vector<spc::SpcChannel>{};
    if (!current.empty())
        return current;
    const auto seen = m_reader.channels(setupName());
    for (const measurelog::ChannelSeen &channel : seen.value)
        current.push_back({channel.channel, channel.description, spc::SpcChannel{}.decimals});
    return current;
}

measurelog::ChannelQuery LogSpcSource::channelQuery(const spc::PartQuery &query) const {
    return {setupName(),
            query.channel,
            query.afterId,
            query.sinceMs,
            query.untilMs,
            query.throughId,
            static_cast<qint64>(query.limit),
            query.newest};
}

// The log holds only readings that are numbers: its writer refuses a part with any other.
bool LogSpcSource::readParts(const spc::PartQuery &query, const spc::PartVisitor &visit,
                             QString *error) {
    spc::RecordedPart part;
    const auto read =
        m_reader.channelReadings(channelQuery(query), [&](const measurelog::ChannelReading &r) {
            part.id = r.partId;
            part.timeMs = r.timeMs;
            part.value = r.value;
            part.limits = {{r.lowTolerance, r.highTolerance}, r.nominal};
            visit(part);
        });
    if (!read.ok())
        *error = read.failure;
    return read.ok();
}

bool LogSpcSource::countParts(const spc::PartQuery &query, spc::PartCount *count, QString *error) {
    const auto counted = m_reader.channelCount(channelQuery(query));
    if (!counted.ok()) {
        *error = counted.failure;
        return false;
    }
    *count = {static_cast<std::size_t>(counted.value.readings), counted.value.newestId};
    return true;
}

std::optional<spc::FrozenLimits> LogSpcSource::frozenLimits(int channel, int subgroupSize) const {
    return m_tables.frozenLimits(setupName(), channel, subgroupSize);
}

bool LogSpcSource::storeFrozenLimits(const spc::FrozenLimits &limits, QString *error) {
    return m_tables.storeFrozenLimits(limits, error);
}

int LogSpcSource::subgroupSize(int channel) const {
    return m_tables.subgroupSize(setupName(), channel).value_or(spc::DefaultSubgroupSize);
}

void LogSpcSource::storeSubgroupSize(int channel, int size) {
    // A size that cannot be kept is only a preference lost: the window goes on with it.
    QString ignored;
    m_tables.storeSubgroupSize(setupName(), channel, size, &ignored);
}

} // namespace spclog
