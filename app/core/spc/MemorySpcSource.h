#pragma once

#include "SpcDataSource.h"

#include <map>
#include <tuple>

// A data source held in memory: the tests' and the demo's stand-in for the measurement log.
// Part ids count up from 1 across all channels, as the log numbers its parts.
namespace spc {

class MemorySpcSource : public SpcDataSource {
    Q_OBJECT

public:
    explicit MemorySpcSource(QString setup, QObject *parent = nullptr);

    void addChannel(const SpcChannel &channel);
    // Adds one part to the channel without telling anyone, as if recorded before the windows
    // opened; returns its id. The channel is made (4 decimals) when missing.
    qint64 addPart(int channel, double value, qint64 timeMs, const PartLimits &limits = {});
    // Adds a part and announces it, as the log does once a part is committed.
    qint64 recordPart(int channel, double value, qint64 timeMs, const PartLimits &limits = {});
    // Another setup: its channels are cleared; parts and stored settings of every setup stay.
    void setSetup(const QString &setup);
    // From now on reading parts or storing limits fails with this reason (none: works again).
    void failWith(const QString &reason);

    QString setupName() const override { return setup_; }
    std::vector<SpcChannel> channels() const override;
    bool readParts(const PartQuery &query, const PartVisitor &visit, QString *error) override;
    bool countParts(const PartQuery &query, PartCount *count, QString *error) override;
    std::optional<FrozenLimits> frozenLimits(int channel, int subgroupSize) const override;
    bool storeFrozenLimits(const FrozenLimits &limits, QString *error) override;
    int subgroupSize(int channel) const override;
    void storeSubgroupSize(int channel, int size) override;

private:
    using SetupChannel = std::pair<QString, int>;

    // The parts of the query's channel it finds, its limit left aside; false when reading fails.
    bool found(const PartQuery &query, std::vector<const RecordedPart *> *parts,
               QString *error) const;

    QString setup_;
    QString failure_;
    std::map<int, SpcChannel> channels_;
    std::map<int, std::vector<RecordedPart>> parts_;
    std::map<std::tuple<QString, int, int>, FrozenLimits> frozen_;
    std::map<SetupChannel, int> sizes_;
    qint64 nextId_ = 1;
};

} // namespace spc
