#include "SetupFileWriter.h"
#include "SetupFileReader.h"
#include "SetupTestText.h"

#include <gtest/gtest.h>

#include <limits>

using namespace setupfile;

namespace {

SetupDocument smallSetup() {
    SetupDocument setup;
    setup.station = {.channelCount = 2,
                     .probeCount = 1,
                     .analogCount = 1,
                     .digitalCount = 5,
                     .decimals = 3,
                     .windowLayout = {}};
    setup.station.windowLayout[0] = 1200;
    setup.station.windowLayout[1] = -15;
    setup.station.windowLayout[35] = 9000;
    setup.channels.push_back({.index = 2,
                              .description = QStringLiteral("Bore"),
                              .formula = QStringLiteral("P1"),
                              .decimals = 4,
                              .units = QStringLiteral("mm"),
                              .master1 = 24.99f,
                              .master2 = 25.01f,
                              .useTwoMasters = true,
                              .hiTol = 25.003f,
                              .hiAppr = 25.0021f,
                              .loAppr = 24.9979f,
                              .loTol = 24.997f,
                              .scaling = 1.0f,
                              .zeroOffset = 25.0f,
                              .barDisplayTop = 25.005f,
                              .barDisplayBot = 1e-5f});
    setup.probes.push_back({1, QStringLiteral("Lvdt 1"), 0.05f, 0.0f});
    setup.analogs.push_back({1, QStringLiteral("Analog  1"), 1.0f, -0.5f});
    setup.groups.push_back(
        {1, QStringLiteral("Group  1"), {2, 1}, 10, 20, 30, 40, 0, 0, 0, 0, 0, 0, 0, -1});
    return setup;
}

TEST(SetupFileWriter, WritesTheSectionsItemsAndBlanksOfTheFormat) {
    const char *expected = "[QORVIEW Version 6.0]\n"
                           "[General Setup]\n"
                           "MaxChannel= 2 \n"
                           "MaxLVDT= 1 \n"
                           "MaxAnalog= 1 \n"
                           "MaxDigital=0\n"
                           "MaxStrain=0\n"
                           "Decimals= 3 \n"
                           "[End Section]\n"
                           "[ChannelGridWindow]\n 1200 \n-15 \n 0 \n 0 \n"
                           "[ChannelBarWindow]\n 0 \n 0 \n 0 \n 0 \n"
                           "[ChannelDialWindow]\n 0 \n 0 \n 0 \n 0 \n"
                           "[LvdtGridWindow]\n 0 \n 0 \n 0 \n 0 \n"
                           "[LvdtBarWindow]\n 0 \n 0 \n 0 \n 0 \n"
                           "[LvdtDialWindow]\n 0 \n 0 \n 0 \n 0 \n"
                           "[AnalogGridWindow]\n 0 \n 0 \n 0 \n 0 \n"
                           "[AnalogBarWindow]\n 0 \n 0 \n 0 \n 0 \n"
                           "[AnalogDialWindow]\n 0 \n 0 \n 0 \n 9000 \n"
                           "[Channel]\n 2 \nBore\nP1\n 4 \nmm\n 24.99 \n 25.01 \nTrue\n"
                           " 25.003 \n 25.0021 \n 24.9979 \n 24.997 \n 1 \n 25 \n 25.005 \n"
                           " 1E-05 \n"
                           "[End Channel]\n"
                           "[lvdt]\n 1 \nLvdt 1\n 0.05 \n 0 \n[End lvdt]\n"
                           "[Analog]\n 1 \nAnalog  1\n 1 \n-0.5 \n[End Analog]\n"
                           "[Group]\n 1 \nGroup  1\n 2 \n 2 \n 1 \n"
                           " 10 \n 20 \n 30 \n 40 \n 0 \n 0 \n 0 \n 0 \n 0 \n 0 \n 0 \n-1 \n"
                           "[End Group]\n"
                           "[End Setup]\n";
    EXPECT_EQ(writeSetup(smallSetup()), crlf(expected));
}

struct TextCase {
    const char *legend;
    QString text;
    QByteArray written;
};

TEST(SetupFileWriter, TextsAreWrittenSoTheyReadBack) {
    const TextCase cases[] = {
        {"line breaks become blanks", QStringLiteral("two\r\nlines\n"), "two  lines "},
        {"other control characters become blanks", QStringLiteral("a") + QChar(1) + QChar(0x7f),
         "a  "},
        {"Latin-1 letters are single bytes", QStringLiteral("Ø 25 µm °C"),
         "\xd8 25 \xb5m \xb0"
         "C"},
        {"a character outside Latin-1 becomes ?", QStringLiteral("5 €"), "5 ?"},
        {"a text that looks like a section stays a text", QStringLiteral("[End Setup]"),
         "[End Setup]"},
    };
    for (const auto &c : cases) {
        SetupDocument setup;
        setup.probes.push_back({1, c.text, 1.0f, 0.0f});
        const QByteArray bytes = writeSetup(setup);
        EXPECT_TRUE(bytes.contains("\r\n[lvdt]\r\n 1 \r\n" + c.written + "\r\n 1 \r\n"))
            << c.legend;
        const SetupReadResult back = readSetup(bytes, setup.station);
        ASSERT_TRUE(back.document) << c.legend;
        EXPECT_EQ(back.document->probes.at(0).description, QString::fromLatin1(c.written))
            << c.legend;
    }
}

TEST(SetupFileWriter, ATextLongerThanALineMayBeIsCut) {
    SetupDocument setup;
    setup.groups.push_back(groupRecord(1, QString(100000, QLatin1Char('g'))));
    const SetupReadResult back = readSetup(writeSetup(setup), setup.station);
    ASSERT_TRUE(back.document) << back.error.message().toStdString();
    EXPECT_EQ(back.document->groups.at(0).description.size(), 65536);
}

TEST(SetupFileWriter, ValuesThatCannotBeWrittenAsTheyAreStillReadBack) {
    const float inf = std::numeric_limits<float>::infinity();
    SetupDocument setup;
    setup.station.channelCount = 2;
    ChannelRecord odd;
    odd.index = 1;
    odd.master1 = std::numeric_limits<float>::quiet_NaN();
    odd.master2 = inf;
    odd.hiTol = -inf;
    setup.channels.push_back(odd);
    setup.channels.push_back(channelRecord(3)); // beyond the channel count: left out
    setup.probes.push_back(inputRecord(9));     // beyond the probe count
    const SetupReadResult back = readSetup(writeSetup(setup), setup.station);
    ASSERT_TRUE(back.document) << back.error.message().toStdString();
    ASSERT_EQ(back.document->channels.size(), 1u);
    const ChannelRecord &read = back.document->channels[0];
    EXPECT_EQ(read.master1, 0.0f);
    EXPECT_EQ(read.master2, std::numeric_limits<float>::max());
    EXPECT_EQ(read.hiTol, std::numeric_limits<float>::lowest());
    EXPECT_TRUE(back.document->probes.empty());
}

} // namespace
