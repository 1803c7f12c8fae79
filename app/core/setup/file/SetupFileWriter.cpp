#include "SetupFileWriter.h"

#include "SetupFileLayout.h"
#include "SetupLines.h"
#include "SetupNumbers.h"

#include <algorithm>
#include <limits>
#include <string>

namespace setupfile {

namespace {

class LineWriter {
public:
    void line(std::string_view text) {
        m_bytes.append(text.data(), static_cast<qsizetype>(text.size()));
        m_bytes.append("\r\n");
    }
    void item(std::string_view key, int16_t value) {
        line(std::string(key) + "=" + wholeNumberField(value));
    }

    void field(const QString &text) {
        QByteArray bytes = text.left(layout::MaxLineLength).toLatin1();
        for (char &c : bytes) {
            if (isControlByte(static_cast<unsigned char>(c)))
                c = ' ';
        }
        line(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    }
    void field(int16_t number) { line(wholeNumberField(number)); }
    void field(float number) { line(singleField(number)); }
    void field(bool flag) { line(flagField(flag)); }
    template <typename Record, size_t N>
    void fields(const Record &record, const std::array<layout::Field<Record>, N> &table) {
        for (const auto &member : table)
            std::visit([&](auto pointer) { field(record.*pointer); }, member);
    }

    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
};

bool withinCount(int16_t index, int16_t count) {
    return index >= 1 && index <= count;
}

void writeInputs(LineWriter &out, const std::vector<InputRecord> &records, int16_t count,
                 std::string_view section, std::string_view end) {
    for (const InputRecord &record : records) {
        if (!withinCount(record.index, count))
            continue;
        out.line(section);
        out.field(record.index);
        out.fields(record, layout::InputFields);
        out.line(end);
    }
}

void writeGroup(LineWriter &out, const GroupRecord &group) {
    const size_t count = std::min<size_t>(group.channels.size(),
                                          static_cast<size_t>(std::numeric_limits<int16_t>::max()));
    out.line(layout::GroupSection);
    out.field(group.index);
    out.field(group.description);
    out.field(static_cast<int16_t>(count));
    for (size_t i = 0; i < count; ++i)
        out.field(group.channels[i]);
    for (const auto member : layout::GroupWindowFields)
        out.field(group.*member);
    out.line(layout::GroupEnd);
}

} // namespace

QByteArray writeSetup(const SetupDocument &document) {
    const SetupStationValues &station = document.station;
    LineWriter out;
    out.line(layout::Header);
    out.line(layout::GeneralSection);
    out.item(layout::MaxChannelKey, station.channelCount);
    out.item(layout::MaxLvdtKey, station.probeCount);
    out.item(layout::MaxAnalogKey, station.analogCount);
    out.line(layout::MaxDigitalLine);
    out.line(layout::MaxStrainLine);
    out.item(layout::DecimalsKey, station.decimals);
    out.line(layout::GeneralEnd);
    for (size_t section = 0; section < layout::WindowSections.size(); ++section) {
        out.line(layout::WindowSections[section]);
        for (size_t side = 0; side < 4; ++side)
            out.field(station.windowLayout[section * 4 + side]);
    }
    for (const ChannelRecord &channel : document.channels) {
        if (!withinCount(channel.index, station.channelCount))
            continue;
        out.line(layout::ChannelSection);
        out.field(channel.index);
        out.fields(channel, layout::ChannelFields);
        out.line(layout::ChannelEnd);
    }
    writeInputs(out, document.probes, station.probeCount, layout::ProbeSection, layout::ProbeEnd);
    writeInputs(out, document.analogs, station.analogCount, layout::AnalogSection,
                layout::AnalogEnd);
    for (const GroupRecord &group : document.groups)
        writeGroup(out, group);
    out.line(layout::SetupEnd);
    return out.take();
}

} // namespace setupfile
