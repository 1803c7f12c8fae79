#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct StartupOptionCase {
    const char *legend;
    QStringList words;
    const char *option;
    bool found;
};

TEST(CommandLine, StartupOptionsAreSubstringsOfTheWholeLineInAnyCase) {
    const StartupOptionCase cases[] = {
        {"exact word", {"/COMMSETUP"}, "/COMMSETUP", true},
        {"lower case", {"/commsetup"}, "/COMMSETUP", true},
        {"inside a longer word", {"x/CommSetupY"}, "/COMMSETUP", true},
        {"after other words", {"a.qor", "/BARS", "/enablesetup"}, "/ENABLESETUP", true},
        {"beyond the tenth word still counts",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "/SPECIALCALIBRATE"},
         "/SPECIALCALIBRATE",
         true},
        {"absent", {"/BARS"}, "/COMMSETUP", false},
        {"empty line", {}, "/COMMSETUP", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CommandLine(c.words).containsStartupOption(QString::fromLatin1(c.option)),
                  c.found)
            << c.legend;
    }
}

struct MainWindowCase {
    const char *legend;
    QStringList words;
    bool bars;
    bool nums;
    int viewMode; // 0: not set
    const char *setupFile;
};

TEST(CommandLine, MainWindowTakesWholeWordsInCapitals) {
    const MainWindowCase cases[] = {
        {"all four options", {"/BARS", "/NUMS", "/LVDT"}, true, true, 3, ""},
        {"lower case is no option", {"/bars", "/nums", "/lvdt"}, false, false, 0, ""},
        {"/CHAN after /LVDT wins", {"/LVDT", "/CHAN"}, false, false, 2, ""},
        {"part of a word is no option", {"/BARSX"}, false, false, 0, ""},
        {"relative file name", {"line3.qor"}, false, false, 0, "line3.qor"},
        {"absolute path is a file, not an option",
         {"/home/op/line3.qor"},
         false,
         false,
         0,
         "/home/op/line3.qor"},
        {"the last file name wins", {"a.qor", "/BARS", "b.qor"}, true, false, 0, "b.qor"},
        {"a file name with blanks stays one word", {"my line.qor"}, false, false, 0, "my line.qor"},
        {"start-up options are ignored here", {"/COMMSETUP", "/ENABLESETUP"}, false, false, 0, ""},
        {"an eleventh word is ignored",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "/BARS"},
         false,
         false,
         0,
         "10"},
        {"an eleventh file name is ignored",
         {"a.qor", "2", "3", "4", "5", "6", "7", "8", "9", "/NUMS", "late.qor"},
         false,
         true,
         0,
         "9"},
        {"a lone slash is a file name", {"/"}, false, false, 0, "/"},
        {"digits after the slash make a file name", {"/COM1"}, false, false, 0, "/COM1"},
    };
    for (const auto &c : cases) {
        const auto options = CommandLine(c.words).mainWindowOptions();
        EXPECT_EQ(options.bars, c.bars) << c.legend;
        EXPECT_EQ(options.nums, c.nums) << c.legend;
        EXPECT_EQ(viewNumber(options.viewMode.value_or(View::None)), c.viewMode) << c.legend;
        EXPECT_EQ(options.setupFileName, QString::fromUtf8(c.setupFile)) << c.legend;
    }
}

TEST(CommandLine, HelpAndVersionAreRecognisedAnywhere) {
    EXPECT_TRUE(CommandLine({"/BARS", "--help"}).asksForHelp());
    EXPECT_TRUE(CommandLine({"--version"}).asksForVersion());
    EXPECT_FALSE(CommandLine({"/BARS"}).asksForHelp());
    EXPECT_FALSE(CommandLine({"--helpful"}).asksForHelp());
}

// The study's export takes its two values whatever they look like, and says what is wrong with a
// line it cannot run rather than opening the station.
TEST(CommandLine, ExportStudyTakesItsFileAndStudyOrSaysWhatIsWrong) {
    EXPECT_FALSE(CommandLine({"/BARS", "line3.qor"}).scriptExport());
    const struct {
        const char *legend;
        QStringList words;
        const char *file;
        const char *study;
        const char *mistake;
    } cases[] = {
        {"both in either order",
         {"--study", "12", "--export-study", "-out.csv"},
         "-out.csv",
         "12",
         ""},
        {"a value that looks like an option",
         {"--export-study", "--study", "--study", "3"},
         "--study",
         "3",
         ""},
        {"the study left out for the export to refuse",
         {"--export-study", "a.csv"},
         "a.csv",
         "",
         ""},
        {"a value missing",
         {"--export-study", "a.csv", "--study"},
         "a.csv",
         "",
         "--study needs a value."},
        {"an option given twice",
         {"--export-study", "a.csv", "--study", "1", "--study", "2"},
         "a.csv",
         "2",
         "--study is given twice."},
        {"a word neither option takes",
         {"--export-study", "a.csv", "/BARS", "--study", "1"},
         "a.csv",
         "1",
         "\"/BARS\" is not an option of --export-study."},
        {"two exports at once",
         {"--export-study", "a.csv", "--study", "1", "--export-log", "b.csv"},
         "a.csv",
         "1",
         "Only one export at a time: --export-study and --export-log."},
        {"an option of another export",
         {"--export-study", "a.csv", "--study", "1", "--since", "2026-12-07"},
         "a.csv",
         "1",
         "--since is not an option of --export-study."},
        {"the study without the file",
         {"--study", "4"},
         "",
         "4",
         "--study is used only with --export-study FILE."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        const auto words = CommandLine(c.words).scriptExport();
        ASSERT_TRUE(words);
        EXPECT_EQ(words->file, QString::fromUtf8(c.file));
        EXPECT_EQ(words->value("--study"), QString::fromUtf8(c.study));
        EXPECT_EQ(words->mistake, QString::fromUtf8(c.mistake));
    }
}

} // namespace
