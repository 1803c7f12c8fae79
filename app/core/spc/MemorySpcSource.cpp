#include "MemorySpcSource.h"

#include <algorithm>
#include <cmath>

namespace spc {

MemorySpcSource::MemorySpcSource(QString setup, QObject *parent)
    : SpcDataSource(parent), setup_(std::move(setup)) {}

void MemorySpcSource::addChannel(const SpcChannel &channel) {
    channels_[channel.number] = channel;
}

qint64 MemorySpcSource::addPart(int channel, double value, qint64 timeMs,
                                const PartLimits &limits) {
    if (!channels_.contains(channel))
        addChannel({channel, QStringLiteral("Channel %1").arg(channel), 4});
    const qint64 id = nextId_++;
    parts_[channel].push_back({id, timeMs, value, limits});
    return id;
}

qint64 MemorySpcSource::recordPart(int channel, double value, qint64 timeMs,
                                   const PartLimits &limits) {
    const qint64 id = addPart(channel, value, timeMs, limits);
    Q_EMIT partsRecorded();
    return id;
}

void MemorySpcSource::setSetup(const QString &setup) {
    setup_ = setup;
    channels_.clear();
}

void MemorySpcSource::failWith(const QString &reason) {
    failure_ = reason;
}

std::vector<SpcChannel> MemorySpcSource::channels() const {
    std::vector<SpcChannel> list;
    for (const auto &[number, channel] : channels_)
        list.push_back(channel);
    return list;
}

bool MemorySpcSource::found(const PartQuery &query, std::vector<const RecordedPart *> *parts,
                            QString *error) const {
    if (!failure_.isEmpty()) {
        *error = failure_;
        return false;
    }
    const auto channel = parts_.find(query.channel);
    if (channel == parts_.end())
        return true;
    const std::vector<RecordedPart> &recorded = channel->second;
    auto part =
        std::upper_bound(recorded.begin(), recorded.end(), query.afterId,
                         [](qint64 id, const RecordedPart &stored) { return id < stored.id; });
    for (; part != recorded.end(); ++part) {
        if (query.throughId && part->id > *query.throughId)
            break;
        if (query.sinceMs && part->timeMs < *query.sinceMs)
            continue;
        if (query.untilMs && part->timeMs > *query.untilMs)
            continue;
        if (std::isfinite(part->value))
            parts->push_back(&*part);
    }
    return true;
}

bool MemorySpcSource::readParts(const PartQuery &query, const PartVisitor &visit, QString *error) {
    std::vector<const RecordedPart *> parts;
    if (!found(query, &parts, error))
        return false;
    auto first = parts.begin();
    auto end = parts.end();
    if (query.limit > 0 && query.limit < parts.size()) {
        const auto limit = static_cast<std::ptrdiff_t>(query.limit);
        if (query.newest)
            first = end - limit;
        else
            end = first + limit;
    }
    for (; first != end; ++first)
        visit(**first);
    return true;
}

bool MemorySpcSource::countParts(const PartQuery &query, PartCount *count, QString *error) {
    std::vector<const RecordedPart *> parts;
    if (!found(query, &parts, error))
        return false;
    *count = {parts.size(), parts.empty() ? 0 : parts.back()->id};
    return true;
}

std::optional<FrozenLimits> MemorySpcSource::frozenLimits(int channel, int subgroupSize) const {
    const auto found = frozen_.find({setup_, channel, subgroupSize});
    if (found == frozen_.end())
        return std::nullopt;
    return found->second;
}

bool MemorySpcSource::storeFrozenLimits(const FrozenLimits &limits, QString *error) {
    if (!failure_.isEmpty()) {
        *error = failure_;
        return false;
    }
    frozen_[{limits.setup, limits.channel, limits.values.plan.size}] = limits;
    return true;
}

int MemorySpcSource::subgroupSize(int channel) const {
    const auto found = sizes_.find({setup_, channel});
    return found == sizes_.end() ? DefaultSubgroupSize : found->second;
}

void MemorySpcSource::storeSubgroupSize(int channel, int size) {
    sizes_[{setup_, channel}] = size;
}

} // namespace spc
