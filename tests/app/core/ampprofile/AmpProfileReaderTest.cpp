#include "AmpProfileReader.h"
#include "AmpProfileTestText.h"

#include <gtest/gtest.h>

using namespace procedures;

namespace {

AmpProfileDocument readWithoutError(const std::string &text) {
    const AmpProfileReadResult result = readAmpProfile(crlf(text));
    EXPECT_TRUE(result.document) << result.error.message().toStdString();
    return result.document.value_or(AmpProfileDocument{});
}

TEST(AmpProfileReader, AProfileGivesItsCountAndBlocks) {
    const AmpProfileDocument document =
        readWithoutError(ProfileStart + "[General Setup]\nMaxLVDT= 2 \n[End Section]\n" +
                         block(1, 85, 120, -20, 300) + block(2, 30, 0, 100, -500) + ProfileEnd);
    EXPECT_EQ(document.probeCount, int16_t{2});
    EXPECT_EQ(document.blocks,
              (std::vector<AmpProfileBlock>{{1, {120, 85, -20, 300}}, {2, {0, 30, 100, -500}}}))
        << "each block holds Ri before Rf";
}

TEST(AmpProfileReader, FineGainAndNullAreTheUnitsWholeFieldsBeyondTheScrollBars) {
    const AmpProfileDocument document = readWithoutError(
        ProfileStart + block(1, 85, 0, 150, -501) + block(2, 85, 0, -32768, 32767) + ProfileEnd);
    EXPECT_EQ(document.blocks,
              (std::vector<AmpProfileBlock>{{1, {0, 85, 150, -501}}, {2, {0, 85, -32768, 32767}}}));
}

TEST(AmpProfileReader, NumbersAreReadWithBlanksAndRoundedToEven) {
    const AmpProfileDocument document = readWithoutError(
        ProfileStart + "[START_AMP_PROFILE]\n1\n  84.5\t\n85.5\n-0.5 \n+7\n[END_AMP_PROFILE]\n" +
        ProfileEnd);
    ASSERT_EQ(document.blocks.size(), 1u);
    EXPECT_EQ(document.blocks[0].amplifier, (AmplifierSettings{86, 84, 0, 7}));
    EXPECT_FALSE(document.probeCount) << "no general section, no count";
}

TEST(AmpProfileReader, LinesPassedOverBecomeNoticesInTheStationsWords) {
    const AmpProfileReadResult result = readAmpProfile(
        crlf(ProfileStart + "[General Setup]\nMaxChannel= 8 \n[End Section]\n\n[Extra]\n\n" +
             ProfileEnd + "anything after the end\n"));
    ASSERT_TRUE(result.document);
    EXPECT_EQ(result.notices,
              (std::vector<AmpProfileNotice>{
                  {4, QStringLiteral("Unknown item in [general setup]\rMaxChannel= 8 "), 1},
                  {6, QStringLiteral("Section: not valid"), 2},
                  {7, QStringLiteral("Section:[Extra] not valid"), 1}}));
}

TEST(AmpProfileReader, AnEmptyFileIsAnEmptyProfile) {
    const AmpProfileReadResult result = readAmpProfile(QByteArray());
    ASSERT_TRUE(result.document);
    EXPECT_EQ(*result.document, AmpProfileDocument{});
}

struct DamagedCase {
    const char *legend;
    QByteArray bytes;
    int line;
    const char *reason;
};

TEST(AmpProfileReader, ADamagedFileIsRefusedAtItsFirstBadLine) {
    const std::string general = "[General Setup]\n";
    const DamagedCase cases[] = {
        {"a header in another letter case", crlf("[Amplifier profile]\n" + ProfileEnd), 1,
         "This is not an Amplifier Profile file"},
        {"binary junk", QByteArray("\x7f\x45LF\x02\x01\x01\0\0\0", 10), 1,
         "This is not an Amplifier Profile file"},
        {"only the header", crlf("[Amplifier Profile]\n"), 2, "the file ends after its first line"},
        {"no end line", crlf(ProfileStart + block(1, 85, 0, 0, 0)), 10,
         "the file ends before its last line [Amplifier Profile End]"},
        {"a block cut short", crlf(ProfileStart + "[START_AMP_PROFILE]\n 1 \n 85 \n"), 6,
         "the file ends inside the probe block that begins on line 3"},
        {"a general section cut short", crlf(ProfileStart + general + "MaxLVDT= 8 \n"), 5,
         "the file ends inside the general section that begins on line 3"},
        {"a block without its end line",
         crlf(ProfileStart + "[START_AMP_PROFILE]\n1\n85\n0\n0\n0\n0\n[END_AMP_PROFILE]\n" +
              ProfileEnd),
         9, "expected [END_AMP_PROFILE], the end of the block of probe 1"},
        {"a number that is not one",
         crlf(ProfileStart + block(1, 85, 0, 0, 0) +
              "[START_AMP_PROFILE]\n"
              "2\nabc\n0\n0\n0\n[END_AMP_PROFILE]\n" +
              ProfileEnd),
         12, "expected Ri, a number from 0 to 255"},
        {"a number followed by text",
         crlf(ProfileStart + "[START_AMP_PROFILE]\n1\n85\n12 gain\n0\n0\n[END_AMP_PROFILE]\n" +
              ProfileEnd),
         6, "expected Rf, a number from 0 to 255"},
        {"Ri beyond a byte", crlf(ProfileStart + block(1, 256, 0, 0, 0) + ProfileEnd), 5,
         "expected Ri, a number from 0 to 255"},
        {"a fine gain beyond 16 bits", crlf(ProfileStart + block(1, 85, 0, 32768, 0) + ProfileEnd),
         7, "expected the fine gain, a number from -32768 to 32767"},
        {"a null beyond 16 bits", crlf(ProfileStart + block(1, 85, 0, 0, -32769) + ProfileEnd), 8,
         "expected the null, a number from -32768 to 32767"},
        {"probe 0", crlf(ProfileStart + block(0, 85, 0, 0, 0) + ProfileEnd), 4,
         "expected the probe number, a number from 1 to 32767"},
        {"a count that is not a number",
         crlf(ProfileStart + general + "MaxLVDT=eight\n[End Section]\n" + ProfileEnd), 4,
         "expected the probe count, a number from 0 to 32767"},
        {"a general line without =",
         crlf(ProfileStart + general + "MaxLVDT 8\n[End Section]\n" + ProfileEnd), 4,
         "expected an item of the form Name=value"},
        {"a control character", crlf(ProfileStart + "[Extra\x01]\n" + ProfileEnd), 3,
         "the line is not text: it holds the control character 0x01"},
        {"a huge line", crlf(ProfileStart + std::string(100000, '7') + "\n" + ProfileEnd), 3,
         "the line is longer than 1024 characters"},
    };
    for (const auto &c : cases) {
        const AmpProfileReadResult result = readAmpProfile(c.bytes);
        ASSERT_FALSE(result.document) << c.legend;
        EXPECT_EQ(result.error.lineNumber, c.line) << c.legend;
        EXPECT_EQ(result.error.reason, QString::fromLatin1(c.reason)) << c.legend;
    }
}

TEST(AmpProfileReader, MessagesNameTheLine) {
    const AmpProfileReadResult notAProfile = readAmpProfile(crlf("[Amplifier profile]\n"));
    EXPECT_EQ(notAProfile.error.message(),
              QStringLiteral("This is not an Amplifier Profile file\r[Amplifier profile]"));
    const AmpProfileReadResult badNull =
        readAmpProfile(crlf(ProfileStart + block(1, 85, 0, 0, 90000) + ProfileEnd));
    EXPECT_EQ(badNull.error.message(),
              QStringLiteral("Line 8: expected the null, a number from -32768 to 32767\n 90000 "));
}

} // namespace
