#include "CsvExport.h"
#include "ExportLogCommand.h"
#include "LogTestSupport.h"
#include "LogTime.h"
#include "SampleParts.h"
#include "ShownDecimal.h"
#include "ValueFormat.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <random>

using namespace measurelog;

namespace {

QByteArray expectedFile(const char *name) {
    QFile file(QStringLiteral(MEASURELOG_EXPECTED_DIR "/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

QByteArray contentsOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ValueRecord value(int channel, const char *description, double reading, int decimals,
                  std::optional<double> nominal, std::optional<double> tolerance, Verdict verdict) {
    ValueRecord v;
    v.channel = channel;
    v.description = QString::fromUtf8(description);
    v.value = reading;
    v.decimals = decimals;
    v.nominal = nominal;
    if (tolerance) {
        v.lowTolerance = *nominal - *tolerance;
        v.highTolerance = *nominal + *tolerance;
        v.lowApproach = *nominal - *tolerance * 0.8;
        v.highApproach = *nominal + *tolerance * 0.8;
    }
    v.verdict = verdict;
    return v;
}

// Three parts that show what an export must get right: texts to quote, a small negative
// reading that rounds to zero, limits missing, a channel one part lacks, a second setup.
class CsvExportTest : public LogFolder {
protected:
    void SetUp() override {
        PartRecord first;
        first.uuid = QStringLiteral("6f1c0d9e-2b1a-4c3d-9e8f-000000000001");
        first.timeMs = 1796669672123;
        first.station = QStringLiteral("Line 3");
        first.operatorName = QStringLiteral("Jörg \"JJ\" Müller");
        first.serialText = QStringLiteral("LOT 7, box 2");
        first.setupFile = QStringLiteral("bore.qor");
        first.setupHash = QStringLiteral("5e7a9c");
        first.viewName = QStringLiteral("Display Channels");
        first.values = {value(1, "Bore Ø", 12.0004, 3, 12.0, 0.01, Verdict::Good),
                        value(2, "Depth", -0.0004, 3, 0.0, 0.005, Verdict::Good),
                        value(4, "Free", 3.14159, 4, {}, {}, Verdict::NoLimits)};
        PartRecord second = first;
        second.uuid = QStringLiteral("6f1c0d9e-2b1a-4c3d-9e8f-000000000002");
        second.timeMs = 1796669733000;
        second.operatorName = QStringLiteral("Ana");
        second.serialText.clear();
        second.values = {value(1, "Bore Ø", 12.0115, 3, 12.0, 0.01, Verdict::Reject),
                         value(2, "Depth", 0.0045, 3, 0.0, 0.005, Verdict::Warn)};
        PartRecord third = first;
        third.uuid = QStringLiteral("6f1c0d9e-2b1a-4c3d-9e8f-000000000003");
        third.timeMs = 1796756399999;
        third.setupFile = QStringLiteral("gear.qor");
        third.viewName = QStringLiteral("Group \"teeth\"\nsecond line");
        third.values = {value(7, "Pitch", 25.4, 2, 25.4, 0.05, Verdict::Good)};
        storeParts(logPath(), {first, second, third});
    }

    QString csvPath() const { return path(QStringLiteral("export.csv")); }
};

TEST_F(CsvExportTest, AKnownLogIsExportedByteForByte) {
    struct Case {
        const char *legend;
        ExportRequest request;
        const char *expected;
    };
    const Case cases[] = {
        {"wide, one setup",
         {{{}, {}, QStringLiteral("bore.qor"), {}, {}}, ExportForm::Wide},
         "bore-wide.csv"},
        {"wide, every setup", {{}, ExportForm::Wide}, "all-wide.csv"},
        {"long", {{}, ExportForm::Long}, "all-long.csv"},
    };
    for (const Case &c : cases) {
        const ExportResult result = exportCsv(logPath(), csvPath(), c.request);
        EXPECT_EQ(result.outcome, ExportOutcome::Written) << c.legend;
        EXPECT_EQ(contentsOf(csvPath()), expectedFile(c.expected)) << c.legend;
    }
}

class CsvExportLargeTest : public LogFolder {
protected:
    void SetUp() override {
        std::vector<PartRecord> parts;
        for (int seed = 0; seed < 3000; ++seed)
            parts.push_back(samplePart(seed, 8));
        storeParts(logPath(), parts);
    }
};

TEST_F(CsvExportLargeTest, ProgressClimbsToTheEnd) {
    std::vector<double> fractions;
    const ExportResult result =
        exportCsv(logPath(), path(QStringLiteral("out.csv")), {{}, ExportForm::Long},
                  {[&](double fraction) { fractions.push_back(fraction); }, nullptr});
    EXPECT_EQ(result.outcome, ExportOutcome::Written);
    EXPECT_EQ(result.parts, 3000);
    ASSERT_GT(fractions.size(), 3u);
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
    EXPECT_GT(fractions.front(), 0.0);
    EXPECT_EQ(fractions.back(), 1.0);
}

// Cancel, or a failure half way, leaves the file that was there, or none.
TEST_F(CsvExportLargeTest, ACancelledExportLeavesNoFile) {
    std::atomic_bool cancel = false;
    const ExportControl control{[&](double) { cancel = true; }, &cancel};
    for (const ExportForm form : {ExportForm::Wide, ExportForm::Long}) {
        EXPECT_EQ(
            exportCsv(logPath(), path(QStringLiteral("new.csv")), {{}, form}, control).outcome,
            ExportOutcome::Cancelled);
        EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("new.csv"))));
        ASSERT_TRUE(writeBytes(path(QStringLiteral("old.csv")), "kept"));
        cancel = false;
        EXPECT_EQ(
            exportCsv(logPath(), path(QStringLiteral("old.csv")), {{}, form}, control).outcome,
            ExportOutcome::Cancelled);
        EXPECT_EQ(contentsOf(path(QStringLiteral("old.csv"))), "kept");
        cancel = false;
    }
    EXPECT_EQ(
        QDir(m_folder.path()).entryList({QStringLiteral("*.csv*")}, QDir::Files | QDir::Hidden),
        QStringList({QStringLiteral("old.csv")}))
        << "no temporary file is left behind";
}

struct CommandCase {
    const char *legend;
    ExportLogOptions options; // file and log are relative to the test's folder
    int exitCode;
    const char *message; // part of what it says
};

TEST_F(CsvExportTest, TheCommandLineExportSaysWhatHappenedInItsExitCode) {
    const QString log = QStringLiteral("measurements.sqlite");
    const QString file = QStringLiteral("out.csv");
    const CommandCase cases[] = {
        {"written", {file, {}, {}, {}, {}, log}, 0, "3 parts written to "},
        {"a setup and a time range",
         {file, QStringLiteral("2026-12-07T18:55Z"), QStringLiteral("2026-12-09"),
          QStringLiteral("bore.qor"), QStringLiteral("long"), log},
         0,
         "1 part written to "},
        {"no file named",
         {{}, {}, {}, {}, {}, log},
         2,
         "--export-log: the name of the file to write is missing."},
        {"an unknown format",
         {file, {}, {}, {}, QStringLiteral("xlsx"), log},
         2,
         "--format: \"xlsx\" is neither wide nor long."},
        {"a time that is none",
         {file, QStringLiteral("yesterday"), {}, {}, {}, log},
         2,
         "--since: \"yesterday\" is not a date and time such as 2026-12-07T18:54:32Z."},
        {"a range that ends before it starts",
         {file, QStringLiteral("2026-12-08"), QStringLiteral("2026-12-07"), {}, {}, log},
         2,
         "--since: 2026-12-08 is not before --until 2026-12-07."},
        {"no log there",
         {file, {}, {}, {}, {}, QStringLiteral("none.sqlite")},
         1,
         "There is no measurement log at "},
        {"a folder that is not there",
         {QStringLiteral("no/out.csv"), {}, {}, {}, {}, log},
         1,
         "The export file "},
        {"the log itself",
         {log, {}, {}, {}, {}, log},
         1,
         "measurements.sqlite is the measurement log itself: choose another file."},
    };
    for (const CommandCase &c : cases) {
        QFile::remove(path(file));
        ExportLogOptions options = c.options;
        if (!options.file.isEmpty())
            options.file = path(options.file);
        options.logPath = path(options.logPath);
        const CommandOutcome outcome = exportLogCommand(options);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.legend;
        EXPECT_TRUE(outcome.message.contains(QString::fromUtf8(c.message)))
            << c.legend << ": " << outcome.message.toStdString();
        EXPECT_EQ(QFileInfo::exists(path(file)), c.exitCode == 0) << c.legend;
    }
    EXPECT_EQ(sqliteCli(path(log), QStringLiteral("SELECT count(*) FROM parts")), "3")
        << "the log is still there";
}

// The gauges' own formatting, less its blank before a positive value, its point after a whole
// number and its sign before a zero.
std::string shownOnGauge(double value, int decimals) {
    std::string text = formatValue(value, decimals).trimmed().toStdString();
    if (text.ends_with('.'))
        text.pop_back();
    if (text.starts_with('-') && text.find_first_of("123456789") == std::string::npos)
        text.erase(0, 1);
    return text;
}

TEST(ShownDecimal, AValueIsWrittenAsTheGaugesShowIt) {
    const struct {
        double value;
        int decimals;
        const char *text;
    } cases[] = {
        {12.0115, 3, "12.012"}, // half away from zero on the decimal form, not the binary one
        {-12.0115, 3, "-12.012"},
        {0.125, 2, "0.13"},
        {2.5, 0, "3"},
        {-0.0004, 3, "0.000"}, // rounds to zero: no sign
        {9.9996, 3, "10.000"}, // the carry adds a digit
        {0.000001234, 8, "0.00000123"},
        {1e20, 2, "100000000000000000000.00"},
        {3.14159, 25, "3.141590000000000"}, // at most 15 decimals
    };
    for (const auto &c : cases) {
        std::string text;
        appendShownDecimal(text, c.value, c.decimals);
        EXPECT_EQ(text, c.text) << c.value << " with " << c.decimals;
    }
    std::mt19937 random(7);
    std::uniform_real_distribution<double> values(-2000.0, 2000.0);
    for (int i = 0; i < 20000; ++i) {
        const double value = values(random) / std::pow(10.0, i % 7);
        const int decimals = i % 9;
        std::string text;
        appendShownDecimal(text, value, decimals);
        ASSERT_EQ(text, shownOnGauge(value, decimals)) << value << " with " << decimals;
    }
}

TEST(LogTime, TimesAreWrittenInUtcWithMillisecondsAndReadAsIso) {
    const struct {
        qint64 ms;
        const char *text;
    } written[] = {
        {0, "1970-01-01T00:00:00.000Z"},
        {1796669672123, "2026-12-07T18:54:32.123Z"},
        {-1, "1969-12-31T23:59:59.999Z"},
        {951782400000, "2000-02-29T00:00:00.000Z"},
    };
    for (const auto &w : written)
        EXPECT_EQ(utcText(w.ms), QLatin1String(w.text)) << w.text;

    const qint64 localMidnight = QDateTime(QDate(2026, 12, 7), QTime(0, 0)).toMSecsSinceEpoch();
    const struct {
        const char *text;
        std::optional<qint64> ms;
    } read[] = {
        {"2026-12-07T18:54:32.123Z", 1796669672123},
        {"2026-12-07T19:54:32.123+01:00", 1796669672123},
        {"2026-12-07T18:54Z", 1796669640000},
        {"2026-12-07", localMidnight},
        {"2026-13-01", std::nullopt},
        {"yesterday", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &r : read)
        EXPECT_EQ(parseTimeText(QLatin1String(r.text)), r.ms) << r.text;
}

TEST(PartVerdict, ThePartTakesTheWorstVerdictOfItsChannelsWithLimits) {
    const struct {
        const char *legend;
        std::vector<Verdict> channels;
        Verdict part;
    } cases[] = {
        {"no channels", {}, Verdict::NoLimits},
        {"no channel has limits", {Verdict::NoLimits, Verdict::NoLimits}, Verdict::NoLimits},
        {"a channel without limits does not count",
         {Verdict::NoLimits, Verdict::Good},
         Verdict::Good},
        {"warn over good", {Verdict::Good, Verdict::Warn, Verdict::NoLimits}, Verdict::Warn},
        {"reject over all", {Verdict::Warn, Verdict::Reject, Verdict::Good}, Verdict::Reject},
    };
    for (const auto &c : cases) {
        std::vector<ValueRecord> values;
        for (Verdict verdict : c.channels) {
            values.emplace_back();
            values.back().verdict = verdict;
        }
        EXPECT_EQ(worstVerdict(values), c.part) << c.legend;
    }
}

} // namespace
