#include "SetupFileReader.h"
#include "SetupTestText.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace setupfile;

namespace setupfile {
void PrintTo(const SetupNotice &notice, std::ostream *out) {
    *out << notice.lineNumber << " \"" << notice.text.toStdString() << "\" x" << notice.occurrences;
}
} // namespace setupfile

namespace {

const std::string Header = "[QORVIEW Version 6.0]\n";

SetupDocument readWithoutError(const QByteArray &bytes) {
    const SetupReadResult result = readSetup(bytes, testValuesInForce());
    EXPECT_TRUE(result.document) << result.error.message().toStdString();
    return result.document.value_or(SetupDocument{});
}

std::vector<int> channelIndexes(const SetupDocument &document) {
    std::vector<int> indexes;
    for (const ChannelRecord &channel : document.channels)
        indexes.push_back(channel.index);
    return indexes;
}

struct StationCase {
    const char *legend;
    std::string file;
    // Expected counts and decimals; the values in force are 8, 8, 1, 0 and 5.
    int16_t channels, probes, analogs, digital, decimals;
};

TEST(SetupFileReader, StationValuesComeFromTheFileOrStayAsTheyWere) {
    const StationCase cases[] = {
        {"the general section sets counts and decimals",
         Header + "[General Setup]\nMaxChannel= 16 \nMaxLVDT= 4 \nMaxAnalog= 2 \nMaxDigital=0\n"
                  "MaxStrain=0\nDecimals= 3 \n[End Section]\n[End Setup]\n",
         16, 4, 2, 0, 3},
        {"items left out keep the values in force",
         Header + "[General Setup]\nMaxLVDT= 4 \n[End Section]\n", 8, 4, 1, 0, 5},
        {"4.5 rounds to 4", Header + "[General Setup]\nDecimals= 4.5 \n[End Section]\n", 8, 8, 1, 0,
         4},
        {"5.5 without blanks rounds to 6", Header + "[General Setup]\nDecimals=5.5\n", 8, 8, 1, 0,
         6},
        {"MaxDigital is kept, MaxStrain changes nothing",
         Header + "[General Setup]\nMaxDigital=3\nMaxStrain=9\n[End Section]\n", 8, 8, 1, 3, 5},
        {"an empty file changes nothing", "", 8, 8, 1, 0, 5},
    };
    for (const auto &c : cases) {
        SetupStationValues expected = testValuesInForce();
        expected.channelCount = c.channels;
        expected.probeCount = c.probes;
        expected.analogCount = c.analogs;
        expected.digitalCount = c.digital;
        expected.decimals = c.decimals;
        EXPECT_EQ(readWithoutError(crlf(c.file)).station, expected) << c.legend;
    }
}

TEST(SetupFileReader, AWindowSectionFillsItsFourValues) {
    SetupStationValues expected = testValuesInForce();
    expected.windowLayout[16] = 1200;
    expected.windowLayout[17] = -15;
    expected.windowLayout[18] = 3000;
    expected.windowLayout[19] = 4500;
    EXPECT_EQ(
        readWithoutError(crlf(Header + "[LvdtBarWindow]\n 1200 \n-15 \n 3000 \n 4500 \n")).station,
        expected);
}

TEST(SetupFileReader, GroupsKeepAnyChannelNumbersAndACountBelowOneReadsNone) {
    const std::string windows = " 1 \n 2 \n 3 \n 4 \n 5 \n 6 \n 7 \n 8 \n 9 \n 10 \n 11 \n-12 \n";
    const std::string file = Header + "[Group]\n 1 \nBore\n 3 \n 1 \n 12 \n-2 \n" + windows +
                             "[End Group]\n[Group]\n 2 \nEmpty\n 0 \n" + windows +
                             "[End Group]\n[Group]\n 7 \nNegative\n-1 \n" + windows +
                             "[End Group]\n";
    const std::vector<GroupRecord> groups = readWithoutError(crlf(file)).groups;
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].channels, (std::vector<int16_t>{1, 12, -2}));
    EXPECT_TRUE(groups[1].channels.empty());
    EXPECT_TRUE(groups[2].channels.empty());
    EXPECT_EQ(groups[2].windowDialWidth, -12) << "the window values follow the count at once";
}

struct CountCase {
    const char *legend;
    std::string file;
    std::vector<int> channels; // the channels in use afterwards; empty with failingLine
    int failingLine = 0;
};

TEST(SetupFileReader, RecordsFollowTheCountsInForceWhereTheyStand) {
    const CountCase cases[] = {
        {"without a general section the caller's counts hold",
         Header + channelRecordText(8, "last"),
         {8}},
        {"a count raised before the record admits it",
         Header + "[General Setup]\nMaxChannel= 12 \n[End Section]\n" +
             channelRecordText(10, "ten"),
         {10}},
        {"a count raised after the record does not",
         Header + channelRecordText(10, "ten") + "[General Setup]\nMaxChannel= 12 \n",
         {},
         3},
        {"a count lowered after the record drops it",
         Header + channelRecordText(3, "three") + channelRecordText(5, "five") +
             "[General Setup]\nMaxChannel= 4 \n",
         {3}},
        {"lowered and raised again, the channel is out of use",
         Header + channelRecordText(5, "five") + "[General Setup]\nMaxChannel=4\nMaxChannel=8\n",
         {}},
        {"records come out in channel order",
         Header + channelRecordText(5, "five") + channelRecordText(2, "two"),
         {2, 5}},
        {"a count of zero", Header + "[General Setup]\nMaxChannel=0\n[End Section]\n", {}},
        {"no channel 0", Header + channelRecordText(0, "zero"), {}, 3},
        {"no channel beyond a count of 0",
         Header + "[General Setup]\nMaxChannel=0\n[End Section]\n" + channelRecordText(1, "one"),
         {},
         6},
    };
    for (const auto &c : cases) {
        const SetupReadResult result = readSetup(crlf(c.file), testValuesInForce());
        if (c.failingLine != 0) {
            ASSERT_FALSE(result.document) << c.legend;
            EXPECT_EQ(result.error.lineNumber, c.failingLine) << c.legend;
            EXPECT_TRUE(result.error.reason.startsWith(QStringLiteral("there is no channel")))
                << c.legend;
            continue;
        }
        ASSERT_TRUE(result.document) << c.legend << ": " << result.error.message().toStdString();
        EXPECT_EQ(channelIndexes(*result.document), c.channels) << c.legend;
    }
}

struct NoticeCase {
    const char *legend;
    std::string file;
    std::vector<SetupNotice> notices;
};

TEST(SetupFileReader, UnknownLinesAreNoticedOnceEach) {
    const NoticeCase cases[] = {
        {"a file without header loses its first line",
         "[General Setup]\nMaxChannel= 4 \n[End Section]\n[End Setup]\n",
         {{2, QStringLiteral("Section:MaxChannel= 4  not valid"), 1},
          {3, QStringLiteral("Section:[End Section] not valid"), 1}}},
        {"an unknown general item, and the section goes on",
         Header + "[General Setup]\nMaxWidget=3\nMaxChannel=4\n[End Section]\n",
         {{3, QStringLiteral("Unknown item in [general setup]\rMaxWidget=3"), 1}}},
        {"an unknown item's value is not read",
         Header + "[General Setup]\nVersion=99999\n[End Section]\n",
         {{3, QStringLiteral("Unknown item in [general setup]\rVersion=99999"), 1}}},
        {"equal notices are counted, not repeated",
         Header + "\n\n[End Channel]\n\n",
         {{2, QStringLiteral("Section: not valid"), 3},
          {4, QStringLiteral("Section:[End Channel] not valid"), 1}}},
        {"section names match exactly",
         Header + "[channel]\n [Channel]\n",
         {{2, QStringLiteral("Section:[channel] not valid"), 1},
          {3, QStringLiteral("Section: [Channel] not valid"), 1}}},
    };
    for (const auto &c : cases) {
        const SetupReadResult result = readSetup(crlf(c.file), testValuesInForce());
        EXPECT_TRUE(result.document) << c.legend;
        EXPECT_EQ(result.notices, c.notices) << c.legend;
    }
}

TEST(SetupFileReader, LinesMayEndInLineFeedAloneOrNotAtAllAtTheEnd) {
    const std::string file = Header + "[General Setup]\nMaxChannel=3\n[End Section]\n" +
                             channelRecordText(2, "two") + "[End Setup]";
    const SetupDocument withCrLf = readWithoutError(crlf(file));
    const SetupDocument withLf = readWithoutError(QByteArray::fromStdString(file));
    EXPECT_EQ(withLf, withCrLf);
    EXPECT_EQ(withCrLf.station.channelCount, 3);
    ASSERT_EQ(withCrLf.channels.size(), 1u);
    EXPECT_EQ(withCrLf.channels[0].description, QStringLiteral("two"))
        << "one carriage return is the line end, not part of the text";

    QByteArray unfinished = crlf(Header + "[lvdt]\n 1 \nprobe\n 1 \n 2 \n[End lvdt]");
    EXPECT_EQ(readWithoutError(unfinished).probes.size(), 1u) << "the last line needs no end";
}

TEST(SetupFileReader, EndSetupEndsTheReadingAndIsNotNeeded) {
    QByteArray after = crlf(Header + "[End Setup]\n[Channel]\n 99 \n");
    after.append("\0\x01junk", 6);
    const SetupReadResult result = readSetup(after, testValuesInForce());
    EXPECT_TRUE(result.document) << "what follows [End Setup] is not read";
    EXPECT_TRUE(result.notices.empty());

    const SetupDocument unended = readWithoutError(crlf(Header + channelRecordText(1, "one")));
    EXPECT_EQ(unended.channels.size(), 1u);
}

struct DamageCase {
    const char *legend;
    QByteArray bytes;
    int line;
    const char *reasonStart;
};

QByteArray withNul(std::string_view before, std::string_view after) {
    QByteArray bytes = crlf(before);
    bytes += '\0';
    bytes += crlf(after);
    return bytes;
}

TEST(SetupFileReader, ADamagedFileGivesOneErrorAtItsLine) {
    const std::string record = channelRecordText(1, "one");
    const std::string truncated = record.substr(0, record.find("mm\n") + 3);
    std::string badFlag = record;
    badFlag.replace(badFlag.find("False"), 5, "Maybe");
    static const char elf[] = "\x7f\x45\x4c\x46\x02\x01\x01\x00\xff\xfe\n";
    QByteArray junk = crlf(Header + "[General Setup]\nMaxChannel=2\n[End Section]\n");
    junk.append(elf, sizeof elf - 1);
    static const char png[] = "\x89PNG\r\n\x1a\n";
    const DamageCase cases[] = {
        {"a record cut short", crlf(Header + truncated), 8,
         "the file ends inside the [Channel] record that begins on line 2"},
        {"a record without its end line", crlf(Header + record.substr(0, record.rfind('['))), 19,
         "the file ends inside the [Channel] record"},
        {"a group counting more channels than follow",
         crlf(Header + "[Group]\n 1 \nG\n 300 \n 1 \n 2 \n"), 8,
         "the file ends inside the [Group] record"},
        {"a channel past the count", crlf(Header + channelRecordText(9, "nine")), 3,
         "there is no channel 9 (the channel count is 8)"},
        {"an analog input past the count", crlf(Header + "[Analog]\n 2 \nA\n 1 \n 1 \n"), 3,
         "there is no analog input 2 (the analog input count is 1)"},
        {"a word where a single belongs", crlf(Header + "[lvdt]\n 1 \nP\nabc\n 1 \n[End lvdt]\n"),
         5, "expected a number"},
        {"a flag that is neither", crlf(Header + badFlag), 10, "expected True, False or a number"},
        {"a 16-bit field out of range", crlf(Header + "[Group]\n 40000 \n"), 3,
         "the number is outside -32768 to 32767"},
        {"a general line without =", crlf(Header + "[General Setup]\nMaxChannel 8\n"), 3,
         "expected an item of the form Name=value"},
        {"a negative count", crlf(Header + "[General Setup]\nMaxLVDT=-1\n"), 3,
         "a count cannot be negative"},
        {"a NUL byte in a text", withNul(Header + "[lvdt]\n 1 \nP", "\n"), 4,
         "the line is not text: it holds the control character 0x00"},
        {"binary junk", junk, 5, "the line is not text: it holds the control character 0x7f"},
        {"a lone carriage return inside a line", crlf(Header) + "[General Setup]\rMaxChannel=1\n",
         2, "the line is not text: it holds the control character 0x0d"},
        {"a picture", QByteArray(png, sizeof png - 1), 2, "the line is not text"},
    };
    for (const auto &c : cases) {
        const SetupReadResult result = readSetup(c.bytes, testValuesInForce());
        ASSERT_FALSE(result.document) << c.legend;
        EXPECT_EQ(result.error.lineNumber, c.line) << c.legend;
        EXPECT_TRUE(result.error.reason.startsWith(QLatin1String(c.reasonStart)))
            << c.legend << ": " << result.error.reason.toStdString();
    }
}

struct UnitTextCase {
    const char *legend;
    QByteArray bytes;
    int line;         // 0: read
    QString expected; // part of the reason, or the channel's description when read
};

// The channel with its description and formula as given; a record of 18 lines from line 2.
QByteArray channelWith(std::string_view description, std::string_view formula = "P1") {
    std::string record = channelRecordText(1, description);
    record.replace(record.find("\nP1\n"), 4, "\n" + std::string(formula) + "\n");
    return crlf(Header + record);
}

TEST(SetupFileReader, TextsBoundForTheUnitAreRefusedAtTheirLineAsChannelSetupRefusesThem) {
    const std::string longest(246, 'd');
    const UnitTextCase cases[] = {
        {"a ~ in a description would start a second request", channelWith("Bore~C6 2"), 4,
         QStringLiteral("the description of channel 1 cannot hold the character \"~\"")},
        {"a ~ in a formula", channelWith("Bore", "P1~C6 2"), 5,
         QStringLiteral("the formula of channel 1 cannot hold the character \"~\"")},
        {"247 characters do not fit a request line", channelWith(longest + "d"), 4,
         QStringLiteral("the description of channel 1 is 247 characters long; the unit takes at "
                        "most 246")},
        {"a UTF-8 euro sign holds the code 0x82", channelWith("Price \xe2\x82\xac"), 4,
         QStringLiteral("the description of channel 1 cannot hold the code 0x82: it is no Latin-1 "
                        "character")},
        {"an 8-bit dash of another code page", channelWith("Bore", "P1 \x96 P2"), 5,
         QStringLiteral("the formula of channel 1 cannot hold the code 0x96")},
        {"246 characters fit", channelWith(longest), 0, QString::fromStdString(longest)},
        {"a Latin-1 letter fits", channelWith("\xd8 section A"), 0,
         QStringLiteral("\u00d8 section A")},
        {"a tab becomes a blank, as when typed", channelWith("Bore\tdiameter"), 0,
         QStringLiteral("Bore diameter")},
    };
    for (const auto &c : cases) {
        const SetupReadResult result = readSetup(c.bytes, testValuesInForce());
        if (c.line == 0) {
            ASSERT_TRUE(result.document)
                << c.legend << ": " << result.error.message().toStdString();
            EXPECT_EQ(result.document->channels.at(0).description, c.expected) << c.legend;
            continue;
        }
        ASSERT_FALSE(result.document) << c.legend;
        EXPECT_EQ(result.error.lineNumber, c.line) << c.legend;
        EXPECT_TRUE(result.error.reason.startsWith(c.expected))
            << c.legend << ": " << result.error.reason.toStdString();
    }
}

// Probe descriptions, units and group names never reach the unit: there is no request to split.
TEST(SetupFileReader, TextsThatStayInTheStationAreTakenAsTheyStand) {
    std::string record = channelRecordText(1, "Bore");
    record.replace(record.find("mm"), 2, "m~m");
    std::string group = "[Group]\n 1 \nG~\x96\n 0 \n";
    for (int value = 0; value < 12; ++value)
        group += " 0 \n";
    const SetupDocument document = readWithoutError(crlf(
        Header + record + "[lvdt]\n 1 \nLeft~1\n 1 \n 0 \n[End lvdt]\n" + group + "[End Group]\n"));
    ASSERT_EQ(document.channels.size(), 1u);
    EXPECT_EQ(document.channels.front().units, QStringLiteral("m~m"));
    ASSERT_EQ(document.probes.size(), 1u);
    EXPECT_EQ(document.probes.front().description, QStringLiteral("Left~1"));
    ASSERT_EQ(document.groups.size(), 1u);
    EXPECT_EQ(document.groups.front().description, QStringLiteral("G~\u0096"));
}

TEST(SetupFileReader, TheErrorShowsTheLineAndWhy) {
    const SetupReadResult result =
        readSetup(crlf(Header + "[lvdt]\n 1 \nP\n 0,5x \n"), testValuesInForce());
    EXPECT_EQ(result.error.lineText, QStringLiteral(" 0,5x "));
    EXPECT_EQ(result.error.message(), QStringLiteral("Line 5: expected a number\n 0,5x "));

    QByteArray nul = crlf(Header + "[lvdt]\n 1 \nA");
    nul.append("\0B\n", 3);
    EXPECT_EQ(readSetup(nul, testValuesInForce()).error.lineText,
              QStringLiteral("A") + QChar::ReplacementCharacter + QStringLiteral("B"));
}

TEST(SetupFileReader, AHugeLineFailsWithoutCopyingIt) {
    for (const char *before : {"", "[lvdt]\n 1 \n"}) {
        QByteArray bytes = crlf(Header + before);
        bytes.append(10 * 1024 * 1024, 'x');
        bytes.append(crlf("\n[End Setup]\n"));
        const SetupReadResult result = readSetup(bytes, testValuesInForce());
        ASSERT_FALSE(result.document);
        EXPECT_TRUE(result.error.reason.startsWith(QStringLiteral("the line is longer than")));
        EXPECT_EQ(result.error.lineText.size(), 201) << "200 characters and an ellipsis";
        EXPECT_TRUE(result.notices.empty());
    }
}

// "3 MaxChannel=4", "9 window 1", "14 channel 3 three", ...: an entry as a test reads it.
QString describe(const SetupEntry &entry) {
    static const char *const items[] = {"MaxChannel", "MaxLVDT",   "MaxAnalog",
                                        "MaxDigital", "MaxStrain", "Decimals"};
    const QString line = QString::number(entry.lineNumber) + QLatin1Char(' ');
    if (const auto *general = std::get_if<GeneralEntry>(&entry.what))
        return line + QLatin1String(items[static_cast<int>(general->item)]) + QLatin1Char('=') +
               QString::number(general->value);
    if (const auto *window = std::get_if<WindowEntry>(&entry.what))
        return line +
               QStringLiteral("window %1 top %2").arg(window->section).arg(window->values[0]);
    if (const auto *channel = std::get_if<ChannelEntry>(&entry.what))
        return line + QStringLiteral("channel %1 %2")
                          .arg(channel->record.index)
                          .arg(channel->record.description);
    if (const auto *probe = std::get_if<ProbeEntry>(&entry.what))
        return line + QStringLiteral("probe %1").arg(probe->record.index);
    if (const auto *input = std::get_if<AnalogEntry>(&entry.what))
        return line + QStringLiteral("analog %1").arg(input->record.index);
    const auto &g = std::get<GroupEntry>(entry.what);
    return line +
           QStringLiteral("group %1 of %2").arg(g.record.description).arg(g.record.channels.size());
}

// The station replays the entries to program the unit as a reader assigning each value at once
// would: they keep what the document cannot, the file order, repeated records and counts, and
// records a later, lower count drops.
TEST(SetupFileReader, TheEntriesTellWhatTheFileSaysInItsOrder) {
    const std::string text =
        Header + "[General Setup]\nMaxChannel= 4 \nMaxLVDT= 2 \nNoSuchItem=1\n[End Section]\n" +
        "[LvdtGridWindow]\n 100 \n 2 \n 3 \n 4 \n" + channelRecordText(3, "three") +
        "[lvdt]\n 2 \nP\n 0.05 \n 0 \n[End lvdt]\n" + channelRecordText(1, "one") +
        channelRecordText(3, "three again") +
        "[General Setup]\nMaxChannel= 2 \nMaxStrain=3\nDecimals= 3 \n[End Section]\n" +
        "[Group]\n 1 \nG\n 1 \n 7 \n 1 \n 2 \n 3 \n 4 \n 5 \n 6 \n 7 \n 8 \n 9 \n 10 \n 11 \n"
        " 12 \n[End Group]\n[Analog]\n 1 \nA\n 1 \n 0 \n[End Analog]\n[End Setup]\n";
    const SetupReadResult result = readSetup(crlf(text), testValuesInForce());
    ASSERT_TRUE(result.document) << result.error.message().toStdString();
    QStringList entries;
    for (const SetupEntry &entry : result.entries)
        entries << describe(entry);
    EXPECT_EQ(entries, (QStringList{"3 MaxChannel=4", "4 MaxLVDT=2", "7 window 3 top 100",
                                    "12 channel 3 three", "30 probe 2", "36 channel 1 one",
                                    "54 channel 3 three again", "73 MaxChannel=2", "74 MaxStrain=3",
                                    "75 Decimals=3", "77 group G of 1", "95 analog 1"}));
    ASSERT_EQ(result.document->channels.size(), 1u) << "channel 3 went with the lower count";
}

TEST(SetupFileReader, ACountTheCallerRefusesIsAnErrorAtItsLine) {
    const CountCheck atMostFour = [](GeneralItem item, int16_t count) -> std::optional<QString> {
        if (item == GeneralItem::MaxChannel && count > 4)
            return QStringLiteral("at most 4 channels");
        return std::nullopt;
    };
    const QByteArray bytes =
        crlf(Header + "[General Setup]\nMaxChannel= 4 \nMaxLVDT= 9 \nMaxChannel= 5 \n");
    const SetupReadResult result = readSetup(bytes, testValuesInForce(), atMostFour);
    ASSERT_FALSE(result.document);
    EXPECT_EQ(result.error.lineNumber, 5);
    EXPECT_EQ(result.error.lineText, QStringLiteral("MaxChannel= 5 "));
    EXPECT_EQ(result.error.reason, QStringLiteral("at most 4 channels"));
    EXPECT_TRUE(result.entries.empty());
}

// Whatever the bytes, the reader ends with a document or an error at a real line. Run under the
// sanitizers this also proves that no cut or changed byte makes it read out of bounds.
TEST(SetupFileReader, EveryCutAndChangedByteEndsInADocumentOrAnError) {
    const std::string windows = " 1 \n 2 \n 3 \n 4 \n 5 \n 6 \n 7 \n 8 \n 9 \n 10 \n 11 \n 12 \n";
    const QByteArray whole = crlf(Header + "[General Setup]\nMaxChannel= 3 \n[End Section]\n" +
                                  channelRecordText(2, "two") +
                                  "[lvdt]\n 1 \nP\n 0.05 \n 0 \n[End lvdt]\n[Group]\n 1 \nG\n 2 \n"
                                  " 1 \n 2 \n" +
                                  windows + "[End Group]\n[End Setup]\n");
    const int lines = static_cast<int>(whole.count('\n'));
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        const SetupReadResult result = readSetup(whole.left(cut), testValuesInForce());
        if (!result.document) {
            EXPECT_GE(result.error.lineNumber, 1) << cut;
            EXPECT_LE(result.error.lineNumber, lines + 1) << cut;
        }
    }
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        QByteArray changed = whole;
        for (int n = 0; n < 1 + round % 4; ++n)
            changed[static_cast<qsizetype>(random() % static_cast<std::size_t>(changed.size()))] =
                static_cast<char>(random());
        const SetupReadResult result = readSetup(changed, testValuesInForce());
        EXPECT_TRUE(result.document || result.error.lineNumber >= 1) << round;
    }
}

} // namespace
