#include "CommandLine.h"
#include "LogStore.h"
#include "MeasureSettings.h"
#include "SampleParts.h"
#include "ScriptExportRun.h"
#include "Settings.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace recording {
namespace {

struct LineCase {
    const char *legend;
    QStringList words;
    bool exports;
    const char *file;
    const char *since;
    const char *until;
    std::optional<const char *> setup;
    const char *format;
    const char *mistake;
};

TEST(ExportLogLine, TheOptionsAreReadFromTheWholeLine) {
    using L = QStringList;
    const LineCase cases[] = {
        {"a station start", L{"/BARS", "line.qor"}, false, "", "", "", {}, "", ""},
        {"the file alone", L{"--export-log", "out.csv"}, true, "out.csv", "", "", {}, "", ""},
        {"every option, in any order, past the tenth word",
         L{"--format", "long", "--setup", "bore.qor", "--until", "2026-12-08", "--since",
           "2026-12-07T06:00Z", "--export-log", "/tmp/all parts.csv"},
         true, "/tmp/all parts.csv", "2026-12-07T06:00Z", "2026-12-08", "bore.qor", "long", ""},
        {"an empty setup name is the parts without a setup file",
         L{"--export-log", "x.csv", "--setup", ""}, true, "x.csv", "", "", "", "", ""},
        {"a value may begin with a dash",
         L{"--export-log", "-odd.csv"},
         true,
         "-odd.csv",
         "",
         "",
         {},
         "",
         ""},
        {"an option without its value",
         L{"--export-log", "x.csv", "--since"},
         true,
         "x.csv",
         "",
         "",
         {},
         "",
         "--since needs a value."},
        {"an option given twice",
         L{"--export-log", "a.csv", "--export-log", "b.csv"},
         true,
         "b.csv",
         "",
         "",
         {},
         "",
         "--export-log is given twice."},
        {"a word no option takes",
         L{"--export-log", "x.csv", "line.qor"},
         true,
         "x.csv",
         "",
         "",
         {},
         "",
         "\"line.qor\" is not an option of --export-log."},
        {"a filter without the export",
         L{"--since", "2026-12-07"},
         true,
         "",
         "2026-12-07",
         "",
         {},
         "",
         "--since is used only with --export-log FILE or --export-spc FILE."},
    };
    for (const auto &c : cases) {
        const std::optional<CommandLine::ScriptExport> words = CommandLine(c.words).scriptExport();
        ASSERT_EQ(words.has_value(), c.exports) << c.legend;
        if (!words)
            continue;
        EXPECT_EQ(words->file, QString::fromUtf8(c.file)) << c.legend;
        EXPECT_EQ(words->value("--since"), QString::fromUtf8(c.since)) << c.legend;
        EXPECT_EQ(words->value("--until"), QString::fromUtf8(c.until)) << c.legend;
        EXPECT_EQ(words->given("--setup"),
                  c.setup ? std::optional(QString::fromUtf8(*c.setup)) : std::nullopt)
            << c.legend;
        EXPECT_EQ(words->value("--format"), QString::fromUtf8(c.format)) << c.legend;
        EXPECT_EQ(words->mistake, QString::fromUtf8(c.mistake)) << c.legend;
    }
}

// The text a FILE* received.
QString contents(std::FILE *file) {
    std::rewind(file);
    QByteArray bytes;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, file) != nullptr)
        bytes += buffer;
    return QString::fromUtf8(bytes).trimmed();
}

struct RunCase {
    const char *legend;
    QStringList extra; // after --export-log FILE
    int exitCode;
    const char *line; // what the run said, without "qorview: "; %1 stands for the file
};

// The station's own log, named by the Measure settings, written out; a bad option writes nothing.
TEST(ExportLogLine, TheExportReadsTheLogTheStationRecordsTo) {
    QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("elsewhere/parts.sqlite"));
    std::vector<measurelog::PartRecord> parts;
    for (int seed = 0; seed < 5; ++seed)
        parts.push_back(measurelog::samplePart(
            seed, 3, seed < 3 ? QStringLiteral("bore.qor") : QStringLiteral("gear.qor"), true));
    {
        measurelog::LogStore store(log);
        ASSERT_TRUE(store.open().isReady());
        store.record(parts);
    }
    SettingsStore settings;
    MeasureSettings measure;
    measure.logFile = log;
    ASSERT_TRUE(writeMeasureSettings(settings, measure));

    const RunCase cases[] = {
        {"all parts", {}, 0, "5 parts written to %1."},
        {"one setup", {"--setup", "gear.qor"}, 0, "2 parts written to %1."},
        {"long form", {"--format", "long"}, 0, "5 parts written to %1."},
        {"a wrong format", {"--format", "tall"}, 2, "--format: \"tall\" is neither wide nor long."},
        {"a word too many", {"extra"}, 2, "\"extra\" is not an option of --export-log."},
    };
    for (const auto &c : cases) {
        const QString csv = folder.filePath(QStringLiteral("out.csv"));
        QFile::remove(csv);
        const QStringList words = QStringList{QStringLiteral("--export-log"), csv} + c.extra;
        std::FILE *out = std::tmpfile();
        std::FILE *errors = std::tmpfile();
        EXPECT_EQ(
            runScriptExport(*CommandLine(words).scriptExport(), exportLog, settings, out, errors),
            c.exitCode)
            << c.legend;
        const QString said = c.exitCode == 0 ? contents(out) : contents(errors);
        const QString line = QString::fromUtf8(c.line);
        EXPECT_EQ(said, QStringLiteral("qorview: ") + (c.exitCode == 0 ? line.arg(csv) : line))
            << c.legend;
        EXPECT_TRUE((c.exitCode == 0 ? contents(errors) : contents(out)).isEmpty()) << c.legend;
        EXPECT_EQ(QFile::exists(csv), c.exitCode == 0) << c.legend;
        std::fclose(out);
        std::fclose(errors);
    }
}

} // namespace
} // namespace recording
