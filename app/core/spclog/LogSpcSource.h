#pragma once

#include "LogReader.h"
#include "SpcDataSource.h"
#include "SpcSettingsTables.h"

#include <functional>

// The measurement log as what the SPC window charts: the current setup's channels, each
// channel's readings recorded with that setup, and the limits and subgroup sizes kept in the
// log beside them. The station says which setup is current and which channels it has; the log
// says what was recorded.
namespace spclog {

struct CurrentSetup {
    std::function<QString()> name; // the setup file name parts are recorded with
    std::function<std::vector<spc::SpcChannel>()> channels;
};

class LogSpcSource : public spc::SpcDataSource {
    Q_OBJECT

public:
    LogSpcSource(QString logPath, CurrentSetup setup, QObject *parent = nullptr);

    QString setupName() const override;
    // The setup's channels as the station has them; when it has none (no unit, an export from
    // the command line), the channels the log saw recorded with the setup.
    std::vector<spc::SpcChannel> channels() const override;
    bool readParts(const spc::PartQuery &query, const spc::PartVisitor &visit,
                   QString *error) override;
    bool countParts(const spc::PartQuery &query, spc::PartCount *count, QString *error) override;
    std::optional<spc::FrozenLimits> frozenLimits(int channel, int subgroupSize) const override;
    bool storeFrozenLimits(const spc::FrozenLimits &limits, QString *error) override;
    int subgroupSize(int channel) const override;
    void storeSubgroupSize(int channel, int size) override;

    // A part was committed to the log: the windows read what is new.
    void notePartCommitted() { Q_EMIT partsRecorded(); }

private:
    measurelog::ChannelQuery channelQuery(const spc::PartQuery &query) const;

    CurrentSetup m_setup;
    mutable measurelog::LogReader m_reader;
    mutable SpcSettingsTables m_tables;
};

} // namespace spclog
