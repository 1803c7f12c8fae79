// Feeds arbitrary bytes to the setup file reader. Whatever it accepts must survive the writer: the
// written file reads back as the same setup without notices (the digital count is always written
// as 0) and is written again byte for byte. The entries the station programs the unit from must
// lead, replayed in file order, to the document.
#include "SetupFileReader.h"
#include "SetupFileWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <variant>

namespace {

using namespace setupfile;

// Replays the entries as the station does: a count set lower drops the records beyond it.
SetupDocument replay(const SetupEntries &entries, SetupStationValues station) {
    std::map<int16_t, ChannelRecord> channels;
    std::map<int16_t, InputRecord> probes, analogs;
    SetupDocument document;
    const auto drop = [](auto &records, int16_t count) {
        records.erase(records.upper_bound(count), records.end());
    };
    for (const SetupEntry &entry : entries) {
        if (const auto *general = std::get_if<GeneralEntry>(&entry.what)) {
            switch (general->item) {
            case GeneralItem::MaxChannel:
                station.channelCount = general->value;
                break;
            case GeneralItem::MaxLvdt:
                station.probeCount = general->value;
                break;
            case GeneralItem::MaxAnalog:
                station.analogCount = general->value;
                break;
            case GeneralItem::MaxDigital:
                station.digitalCount = general->value;
                break;
            case GeneralItem::MaxStrain:
                break;
            case GeneralItem::Decimals:
                station.decimals = general->value;
                break;
            }
            drop(channels, station.channelCount);
            drop(probes, station.probeCount);
            drop(analogs, station.analogCount);
        } else if (const auto *window = std::get_if<WindowEntry>(&entry.what)) {
            for (size_t side = 0; side < 4; ++side)
                station.windowLayout[static_cast<size_t>(window->section) * 4 + side] =
                    window->values[side];
        } else if (const auto *channel = std::get_if<ChannelEntry>(&entry.what)) {
            channels[channel->record.index] = channel->record;
        } else if (const auto *probe = std::get_if<ProbeEntry>(&entry.what)) {
            probes[probe->record.index] = probe->record;
        } else if (const auto *input = std::get_if<AnalogEntry>(&entry.what)) {
            analogs[input->record.index] = input->record;
        } else {
            document.groups.push_back(std::get<GroupEntry>(entry.what).record);
        }
    }
    document.station = station;
    for (const auto &record : channels)
        document.channels.push_back(record.second);
    for (const auto &record : probes)
        document.probes.push_back(record.second);
    for (const auto &record : analogs)
        document.analogs.push_back(record.second);
    return document;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size) {
    const SetupStationValues inForce; // the station's start-up counts
    const SetupReadResult first =
        readSetup(QByteArrayView(data, static_cast<qsizetype>(size)), inForce);
    if (!first.document) {
        if (first.error.lineNumber < 1 || first.error.reason.isEmpty())
            std::abort();
        return 0;
    }
    if (!(replay(first.entries, inForce) == *first.document))
        std::abort();
    const QByteArray written = writeSetup(*first.document);
    const SetupReadResult second = readSetup(written, inForce);
    SetupDocument expected = *first.document;
    expected.station.digitalCount = 0;
    if (!second.document || !second.notices.empty() || !(*second.document == expected))
        std::abort();
    if (writeSetup(*second.document) != written)
        std::abort();
    return 0;
}
