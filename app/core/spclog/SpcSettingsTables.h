#pragma once

#include "ControlLimits.h"
#include "Sqlite.h"

#include <QString>

#include <optional>

// The SPC window's own rows in the measurement log: the control limits frozen per setup, channel
// and subgroup size, and the subgroup size chosen per setup and channel. They are written rarely
// (an engineer freezing limits), on a connection of their own that waits for the part writer, so
// the part writer's thread is never asked to wait for a window.
namespace spclog {

class SpcSettingsTables {
public:
    explicit SpcSettingsTables(QString logPath);

    std::optional<spc::FrozenLimits> frozenLimits(const QString &setup, int channel,
                                                  int subgroupSize);
    // False, with the reason, when the log cannot take them (none yet, read-only, older).
    bool storeFrozenLimits(const spc::FrozenLimits &limits, QString *error);

    std::optional<int> subgroupSize(const QString &setup, int channel);
    bool storeSubgroupSize(const QString &setup, int channel, int size, QString *error);

private:
    bool open(QString *error);

    QString m_path;
    measurelog::SqliteDatabase m_db;
};

} // namespace spclog
