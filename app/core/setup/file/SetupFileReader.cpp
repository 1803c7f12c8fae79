#include "SetupFileReader.h"

#include "LineReader.h"
#include "NoticeList.h"
#include "SetupFileLayout.h"
#include "SetupLines.h"
#include "SetupNumbers.h"
#include "UnitTexts.h"

#include <algorithm>
#include <map>

namespace setupfile {

namespace {

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// An item of the general section and the station value it sets; MaxStrain sets none.
struct GeneralItemRule {
    std::string_view key;
    GeneralItem item;
    int16_t SetupStationValues::*value;
    bool isCount;
};

constexpr std::array<GeneralItemRule, 6> GeneralItems = {{
    {layout::MaxChannelKey, GeneralItem::MaxChannel, &SetupStationValues::channelCount, true},
    {layout::MaxLvdtKey, GeneralItem::MaxLvdt, &SetupStationValues::probeCount, true},
    {layout::MaxAnalogKey, GeneralItem::MaxAnalog, &SetupStationValues::analogCount, true},
    {layout::MaxDigitalKey, GeneralItem::MaxDigital, &SetupStationValues::digitalCount, false},
    {layout::MaxStrainKey, GeneralItem::MaxStrain, nullptr, false},
    {layout::DecimalsKey, GeneralItem::Decimals, &SetupStationValues::decimals, false},
}};

using InputRecords = std::map<int16_t, InputRecord>;

class Reader {
public:
    Reader(QByteArrayView bytes, const SetupStationValues &inForce, const CountCheck &countCheck)
        : m_lines(bytes, layout::MaxLineLength), m_station(inForce), m_countCheck(countCheck) {}

    SetupReadResult read();

private:
    // The sections read by a function of their own (the window sections share one).
    struct Section {
        std::string_view name;
        void (Reader::*read)();
    };
    static const std::array<Section, 5> Sections;

    std::optional<std::string_view> nextLine() { return m_lines.next(); }
    std::string_view recordLine();
    [[noreturn]] void fail(const QString &reason) const { m_lines.fail(reason); }
    void notice(const QString &text) { m_notices.add(m_lines.lineNumber(), text); }

    void readSection(std::string_view line);
    void readGeneralSection();
    void readWindowSection(size_t section);
    void readChannel();
    void readProbe();
    void readAnalog();
    InputRecord readInput(InputRecords &records, int16_t count, const char *noun);
    void readGroup();
    int16_t readRecordIndex(int16_t count, const char *noun);

    void readField(QString &text) { text = latin1(recordLine()); }
    void readField(int16_t &number) { number = wholeNumber(recordLine()); }
    void readField(float &number);
    void readField(bool &flag);
    void checkUnitText(ChannelRecord &record, const layout::Field<ChannelRecord> &field) const;
    template <typename Record, size_t N>
    void readFields(Record &record, const std::array<layout::Field<Record>, N> &fields) {
        for (const auto &field : fields)
            std::visit([&](auto member) { readField(record.*member); }, field);
    }
    int16_t wholeNumber(std::string_view text) const;

    void dropRecordsBeyondCounts();
    SetupDocument document() const;

    textfile::LineReader m_lines;
    SetupStationValues m_station;
    const CountCheck &m_countCheck;
    std::map<int16_t, ChannelRecord> m_channels;
    InputRecords m_probes;
    InputRecords m_analogs;
    std::vector<GroupRecord> m_groups;
    textfile::NoticeList<SetupNotice> m_notices;
    SetupEntries m_entries;
    // The section of the record being read and its line, for a file that ends inside it.
    std::string_view m_record;
    int m_recordLine = 0;
};

const std::array<Reader::Section, 5> Reader::Sections = {{
    {layout::GeneralSection, &Reader::readGeneralSection},
    {layout::ChannelSection, &Reader::readChannel},
    {layout::ProbeSection, &Reader::readProbe},
    {layout::AnalogSection, &Reader::readAnalog},
    {layout::GroupSection, &Reader::readGroup},
}};

SetupReadResult Reader::read() {
    SetupReadResult result;
    try {
        nextLine(); // the header, whatever it says
        while (const std::optional<std::string_view> line = nextLine()) {
            if (*line == layout::SetupEnd)
                break;
            readSection(*line);
        }
        result.document = document();
        result.entries = std::move(m_entries);
    } catch (const textfile::LineFailure &failure) {
        result.error = {failure.lineNumber, failure.lineText, failure.reason};
    }
    result.notices = m_notices.take();
    return result;
}

// A line a record cannot do without: the end of the file is a failure here.
std::string_view Reader::recordLine() {
    if (const std::optional<std::string_view> line = nextLine())
        return *line;
    m_lines.failAtEnd(QStringLiteral("the file ends inside the %1 record that begins on line %2")
                          .arg(latin1(m_record), QString::number(m_recordLine)));
}

void Reader::readSection(std::string_view line) {
    m_recordLine = m_lines.lineNumber();
    for (const Section &section : Sections) {
        if (line == section.name) {
            m_record = section.name;
            (this->*section.read)();
            return;
        }
    }
    for (size_t k = 0; k < layout::WindowSections.size(); ++k) {
        if (line == layout::WindowSections[k]) {
            m_record = layout::WindowSections[k];
            readWindowSection(k);
            return;
        }
    }
    notice(QStringLiteral("Section:") + displayText(line) + QStringLiteral(" not valid"));
}

// Items up to the end line or the end of the file; a count takes effect at once, so the records
// that follow are checked against it.
void Reader::readGeneralSection() {
    while (const std::optional<std::string_view> line = nextLine()) {
        if (*line == layout::GeneralEnd)
            return;
        const size_t equals = line->find('=');
        if (equals == std::string_view::npos)
            fail(QStringLiteral("expected an item of the form Name=value"));
        const std::string_view key = line->substr(0, equals);
        const auto item =
            std::find_if(GeneralItems.begin(), GeneralItems.end(),
                         [key](const GeneralItemRule &known) { return known.key == key; });
        if (item == GeneralItems.end()) {
            notice(QStringLiteral("Unknown item in [general setup]\r") + displayText(*line));
            continue;
        }
        const int16_t value = wholeNumber(line->substr(equals + 1));
        if (item->isCount && value < 0)
            fail(QStringLiteral("a count cannot be negative"));
        if (item->isCount && m_countCheck) {
            if (const std::optional<QString> refused = m_countCheck(item->item, value))
                fail(*refused);
        }
        if (item->value)
            m_station.*(item->value) = value;
        m_entries.push_back({m_lines.lineNumber(), GeneralEntry{item->item, value}});
        dropRecordsBeyondCounts();
    }
}

void Reader::readWindowSection(size_t section) {
    WindowEntry entry{static_cast<int>(section), {}};
    for (size_t side = 0; side < 4; ++side) {
        readField(entry.values[side]);
        m_station.windowLayout[section * 4 + side] = entry.values[side];
    }
    m_entries.push_back({m_recordLine, entry});
}

void Reader::readChannel() {
    ChannelRecord record;
    record.index = readRecordIndex(m_station.channelCount, "channel");
    for (const auto &field : layout::ChannelFields) {
        std::visit([&](auto member) { readField(record.*member); }, field);
        checkUnitText(record, field);
    }
    recordLine(); // the end line, whatever it holds
    m_entries.push_back({m_recordLine, ChannelEntry{record}});
    m_channels[record.index] = std::move(record);
}

void Reader::readProbe() {
    m_entries.push_back(
        {m_recordLine, ProbeEntry{readInput(m_probes, m_station.probeCount, "probe")}});
}

void Reader::readAnalog() {
    m_entries.push_back(
        {m_recordLine, AnalogEntry{readInput(m_analogs, m_station.analogCount, "analog input")}});
}

InputRecord Reader::readInput(InputRecords &records, int16_t count, const char *noun) {
    InputRecord record;
    record.index = readRecordIndex(count, noun);
    readFields(record, layout::InputFields);
    recordLine();
    records[record.index] = record;
    return record;
}

// A group's count is not checked against anything: a negative one reads no channel numbers.
void Reader::readGroup() {
    GroupRecord group;
    readField(group.index);
    readField(group.description);
    int16_t count = 0;
    readField(count);
    for (int i = 0; i < count; ++i) {
        int16_t channel = 0;
        readField(channel);
        group.channels.push_back(channel);
    }
    for (const auto member : layout::GroupWindowFields)
        readField(group.*member);
    recordLine();
    m_entries.push_back({m_recordLine, GroupEntry{group}});
    m_groups.push_back(std::move(group));
}

// A text bound for the unit, just read: refused at its own line as Channel Setup would refuse it,
// before anything of the file has been sent; a tab in it becomes a blank, as when typed.
void Reader::checkUnitText(ChannelRecord &record, const layout::Field<ChannelRecord> &field) const {
    const auto *text = std::get_if<QString ChannelRecord::*>(&field);
    if (!text)
        return;
    for (const layout::UnitTextField &unitText : layout::ChannelUnitTexts) {
        if (*text != unitText.member)
            continue;
        QString &value = record.*unitText.member;
        const QString name =
            QStringLiteral("the %1 of channel %2").arg(latin1(unitText.name)).arg(record.index);
        if (std::optional<QString> why = whyUnitTextRefused(name, value)) {
            // A reader's reason is a clause that the message around it ends.
            if (why->endsWith(QLatin1Char('.')))
                why->chop(1);
            fail(*why);
        }
        value = unitTextFromTyped(value);
    }
}

int16_t Reader::readRecordIndex(int16_t count, const char *noun) {
    const int16_t index = wholeNumber(recordLine());
    if (index < 1 || index > count)
        fail(QStringLiteral("there is no %1 %2 (the %1 count is %3)")
                 .arg(QLatin1String(noun), QString::number(index), QString::number(count)));
    return index;
}

void Reader::readField(float &number) {
    const std::optional<float> value = parseSingle(recordLine());
    if (!value)
        fail(QStringLiteral("expected a number"));
    number = *value;
}

void Reader::readField(bool &flag) {
    const std::optional<bool> value = parseFlag(recordLine());
    if (!value)
        fail(QStringLiteral("expected True, False or a number"));
    flag = *value;
}

int16_t Reader::wholeNumber(std::string_view text) const {
    const std::optional<int16_t> value = parseWholeNumber(text);
    if (!value)
        fail(QStringLiteral("the number is outside -32768 to 32767"));
    return *value;
}

// A lower count removes the objects beyond it, and with them what the file gave them.
void Reader::dropRecordsBeyondCounts() {
    m_channels.erase(m_channels.upper_bound(m_station.channelCount), m_channels.end());
    m_probes.erase(m_probes.upper_bound(m_station.probeCount), m_probes.end());
    m_analogs.erase(m_analogs.upper_bound(m_station.analogCount), m_analogs.end());
}

SetupDocument Reader::document() const {
    SetupDocument document;
    document.station = m_station;
    for (const auto &entry : m_channels)
        document.channels.push_back(entry.second);
    for (const auto &entry : m_probes)
        document.probes.push_back(entry.second);
    for (const auto &entry : m_analogs)
        document.analogs.push_back(entry.second);
    document.groups = m_groups;
    return document;
}

} // namespace

QString SetupReadError::message() const {
    if (lineNumber == 0)
        return reason;
    QString text = QStringLiteral("Line %1: %2").arg(QString::number(lineNumber), reason);
    if (!lineText.isEmpty())
        text += QLatin1Char('\n') + lineText;
    return text;
}

SetupReadResult readSetup(QByteArrayView bytes, const SetupStationValues &inForce,
                          const CountCheck &countCheck) {
    return Reader(bytes, inForce, countCheck).read();
}

} // namespace setupfile
