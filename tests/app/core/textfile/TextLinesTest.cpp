#include "TextLines.h"
#include "LineReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace textfile;

namespace {

std::vector<std::string> linesOf(QByteArrayView bytes) {
    std::vector<std::string> lines;
    LineSplitter splitter(bytes);
    while (const std::optional<std::string_view> line = splitter.next())
        lines.emplace_back(*line);
    EXPECT_EQ(splitter.lineNumber(), static_cast<int>(lines.size()));
    return lines;
}

struct SplitCase {
    const char *legend;
    QByteArrayView bytes;
    std::vector<std::string> lines;
};

TEST(TextLines, LinesEndInALineFeedWithOrWithoutACarriageReturn) {
    const SplitCase cases[] = {
        {"CR LF and LF alone both end a line", "a\r\nb\nc\r\n", {"a", "b", "c"}},
        {"the last line needs no end", "a\r\nb", {"a", "b"}},
        {"a carriage return alone at the end is the last line's cut-off end",
         "a\r\nb\r",
         {"a", "b"}},
        {"a carriage return inside a line stays in it", "a\rb\n", {"a\rb"}},
        {"empty lines count", "\n\r\n", {"", ""}},
        {"no bytes, no lines", "", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(linesOf(c.bytes), c.lines) << c.legend;
}

struct CheckCase {
    const char *legend;
    std::string line;
    std::optional<QString> problem;
};

TEST(TextLines, ALineIsTextNoLongerThanTheFilesLimit) {
    const CheckCase cases[] = {
        {"a line of exactly the limit", std::string(8, 'x'), std::nullopt},
        {"tabs and Latin-1 letters are text", "\tH\xf6he", std::nullopt},
        {"one byte over the limit", std::string(9, 'x'),
         QStringLiteral("the line is longer than 8 characters")},
        {"a NUL byte", std::string("a\0b", 3),
         QStringLiteral("the line is not text: it holds the control character 0x00")},
        {"a delete character", "a\x7f",
         QStringLiteral("the line is not text: it holds the control character 0x7f")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(whyNotText(c.line, 8), c.problem) << c.legend;
}

TEST(TextLines, AMessageShowsTwoHundredCharactersWithoutControlCharacters) {
    EXPECT_EQ(displayText(std::string(200, 'x')), QString(200, QLatin1Char('x')));
    EXPECT_EQ(displayText(std::string(100'000, 'x')),
              QString(200, QLatin1Char('x')) + QChar(0x2026));
    EXPECT_EQ(displayText(std::string("A\0\tH\xf6he", 7)),
              QStringLiteral("A") + QChar::ReplacementCharacter + QStringLiteral("\tH\u00f6he"));
}

struct StopCase {
    const char *legend;
    QByteArrayView bytes;
    int lineNumber;
    QString lineText;
    QString reason;
};

// The reader asks for lines until one fails; the failure names the line and shows it.
TEST(LineReader, AReadStopsAtTheFirstLineThatCannotBeTaken) {
    const StopCase cases[] = {
        {"a line over the limit", "ok\r\n123456789\r\n\x01\r\n", 2, QStringLiteral("123456789"),
         QStringLiteral("the line is longer than 8 characters")},
        {"a control character", "ok\r\nA\x01\r\n", 2,
         QStringLiteral("A") + QChar::ReplacementCharacter,
         QStringLiteral("the line is not text: it holds the control character 0x01")},
        {"a line the reader refuses", "ok\r\nstop\r\n", 2, QStringLiteral("stop"),
         QStringLiteral("refused")},
        {"the end of the file where a line is needed", "ok\r\n", 2, QString(),
         QStringLiteral("the file ends too soon")},
    };
    for (const auto &c : cases) {
        LineReader lines(c.bytes, 8);
        try {
            for (;;) {
                const std::optional<std::string_view> line = lines.next();
                if (!line)
                    lines.failAtEnd(QStringLiteral("the file ends too soon"));
                if (*line == "stop")
                    lines.fail(QStringLiteral("refused"));
            }
        } catch (const LineFailure &failure) {
            EXPECT_EQ(failure.lineNumber, c.lineNumber) << c.legend;
            EXPECT_EQ(failure.lineText, c.lineText) << c.legend;
            EXPECT_EQ(failure.reason, c.reason) << c.legend;
        }
    }
}

TEST(LineReader, AnUncheckedLineIsTakenAsItIs) {
    LineReader lines("\x7f"
                     "ELF\r\n",
                     2);
    EXPECT_EQ(lines.nextUnchecked(), std::string_view("\x7f"
                                                      "ELF"));
    EXPECT_EQ(lines.lineNumber(), 1);
    EXPECT_EQ(lines.nextUnchecked(), std::nullopt);
}

} // namespace
