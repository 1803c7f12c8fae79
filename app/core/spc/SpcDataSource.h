#pragma once

#include "Capability.h"
#include "ControlLimits.h"

#include <QObject>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <optional>
#include <vector>

// Where the SPC window and the SPC export find what they chart: the channels of the current
// setup, each channel's recorded parts in recording order, the control limits frozen for a
// channel, setup and subgroup size, and the subgroup size chosen per channel and setup. The
// measurement log is one such source; MemorySpcSource keeps everything in memory.
namespace spc {

struct SpcChannel {
    int number = 0;
    QString description;
    int decimals = 4;

    bool operator==(const SpcChannel &) const = default;
};

// The limits a channel had when a part was recorded; each may be missing.
struct PartLimits {
    Tolerance tolerance;
    std::optional<double> nominal;

    bool operator==(const PartLimits &) const = default;
};

struct RecordedPart {
    qint64 id = 0;     // rises in recording order
    qint64 timeMs = 0; // UTC, milliseconds since 1970
    double value = 0.0;
    PartLimits limits;
};

// The parts of one channel recorded after part afterId (every part when 0) and up to part
// throughId where given, and of those only the ones recorded within [sinceMs, untilMs] where these
// are given. Of what that finds, at most `limit` parts (0: all): the oldest, or with `newest` the
// newest ones, handed over in recording order all the same.
struct PartQuery {
    int channel = 0;
    qint64 afterId = 0;
    std::optional<qint64> sinceMs;
    std::optional<qint64> untilMs;
    std::optional<qint64> throughId;
    std::size_t limit = 0;
    bool newest = false;
};

// How many parts a query finds, and the newest one's id.
struct PartCount {
    std::size_t parts = 0;
    qint64 newestId = 0; // 0 when there is none

    bool operator==(const PartCount &) const = default;
};

using PartVisitor = std::function<void(const RecordedPart &)>;

class SpcDataSource : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The setup whose channels are offered; frozen limits and subgroup sizes are kept with it.
    virtual QString setupName() const = 0;
    virtual std::vector<SpcChannel> channels() const = 0;

    // Hands each part the query asks for to visit, in recording order. False, with the reason in
    // *error, when the parts cannot be read; parts already handed over stay valid. Only parts
    // whose reading is a number are handed over (and counted): nothing else can be charted.
    virtual bool readParts(const PartQuery &query, const PartVisitor &visit, QString *error) = 0;
    // Counts the parts readParts would hand over for the query without its limit, and gives the
    // newest one's id; a part recorded meanwhile is in both or in neither.
    virtual bool countParts(const PartQuery &query, PartCount *count, QString *error) = 0;

    // The limits frozen for the channel and subgroup size in this setup, if any.
    virtual std::optional<FrozenLimits> frozenLimits(int channel, int subgroupSize) const = 0;
    // Keeps the limits for their channel, setup and subgroup size in place of earlier ones.
    virtual bool storeFrozenLimits(const FrozenLimits &limits, QString *error) = 0;

    // The subgroup size last chosen for the channel in this setup; DefaultSubgroupSize when none.
    virtual int subgroupSize(int channel) const = 0;
    virtual void storeSubgroupSize(int channel, int size) = 0;

Q_SIGNALS:
    // One or more parts have been recorded (committed) since the last signal.
    void partsRecorded();
};

std::optional<SpcChannel> findChannel(const std::vector<SpcChannel> &channels, int number);

} // namespace spc
