// The read side over a log of 1,000,000 parts of 8 channels, made once per run in a temporary
// folder (one transaction, synchronous=OFF: quick to make, the same file as the writer's): the
// log window's first page, with and without filters, a filter's count, and the CSV export next
// to the sqlite3 program's own CSV output of the same query.
#include "CsvExport.h"
#include "LogReader.h"
#include "LogStore.h"
#include "PlainSqlite.h"
#include "SampleParts.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

using namespace measurelog;

namespace {

constexpr int Parts = 1000000;
constexpr int Channels = 8;
constexpr qint64 Start = 1796669672123;
constexpr qint64 PartEvery = 30000; // ms: a year of parts
const QString Setups[] = {QStringLiteral("bore.qor"), QStringLiteral("gear.qor"),
                          QStringLiteral("shaft.qor"), QStringLiteral("housing.qor")};

QTemporaryDir &folder() {
    static QTemporaryDir dir;
    return dir;
}

const QString &millionLog() {
    static const QString path = [] {
        const QString log = folder().filePath(QStringLiteral("million.sqlite"));
        LogStore(log).open();
        QElapsedTimer made;
        made.start();
        std::vector<PartRecord> templates;
        for (int i = 0; i < 997; ++i)
            templates.push_back(samplePart(i, Channels, Setups[i % 4]));
        {
            PlainSqlite plain(log, false);
            plain.begin();
            for (int i = 0; i < Parts; ++i) {
                PartRecord part = templates[static_cast<size_t>(i % 997)];
                part.uuid =
                    QStringLiteral("00000000-0000-4000-8000-%1").arg(i, 12, 10, QLatin1Char('0'));
                part.timeMs = Start + qint64{i} * PartEvery;
                part.setupFile = Setups[i % 4];
                part.serialText = QStringLiteral("LOT-%1").arg(i / 500);
                plain.insert(part, i + 1);
            }
            plain.execute("INSERT INTO setup_channels SELECT DISTINCT p.setup_file, v.channel, "
                          "v.description FROM parts AS p JOIN part_values AS v ON v.part_id = p.id "
                          "WHERE p.id <= 1000");
            plain.commit();
        }
        std::fprintf(stderr, "made a log of %d parts x %d channels, %.0f MB, in %.1f s\n", Parts,
                     Channels, static_cast<double>(QFileInfo(log).size()) / 1e6,
                     static_cast<double>(made.elapsed()) / 1000.0);
        return log;
    }();
    return path;
}

struct NamedFilter {
    const char *legend;
    LogFilter filter;
};

const qint64 DayInTheMiddle = Start + qint64{Parts / 2} * PartEvery;
const NamedFilter Filters[] = {
    {"none", {}},
    {"one setup of four", {{}, {}, QStringLiteral("gear.qor"), {}, {}}},
    {"rejects", {{}, {}, {}, {Verdict::Reject}, {}}},
    {"warns and rejects", {{}, {}, {}, {Verdict::Warn, Verdict::Reject}, {}}},
    {"a day half a year back", {DayInTheMiddle, DayInTheMiddle + 86400000, {}, {}, {}}},
    {"a lot 7/8 of the way back", {{}, {}, {}, {}, QStringLiteral("LOT-250")}},
    {"a day, a setup and good",
     {DayInTheMiddle, DayInTheMiddle + 86400000, QStringLiteral("bore.qor"), {Verdict::Good}, {}}},
    {"a day before the first part", {Start - 86400000, Start, {}, {}, {}}},
    {"the last half year", {DayInTheMiddle, {}, {}, {}, {}}},
};

// What the log window does when it opens or a filter changes: a reader of its own, the first
// 100 parts with their values.
void BM_FirstPage(benchmark::State &state) {
    const QString &log = millionLog();
    const NamedFilter &filter = Filters[state.range(0)];
    state.SetLabel(filter.legend);
    size_t rows = 0;
    for (auto _ : state) {
        LogReader reader(log);
        const Read<LogPage> page = reader.newestFirst(filter.filter, 0, 100);
        if (!page.ok())
            state.SkipWithError(page.failure.toUtf8().constData());
        rows = page.value.parts.size();
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_FirstPage)->DenseRange(0, 8)->Unit(benchmark::kMillisecond)->UseRealTime();

// The count the window shows apart from the rows, which reads every match.
void BM_FilteredCount(benchmark::State &state) {
    const NamedFilter &filter = Filters[state.range(0)];
    state.SetLabel(filter.legend);
    LogReader reader(millionLog());
    qint64 parts = 0;
    for (auto _ : state)
        parts = reader.count(filter.filter).value;
    state.counters["parts"] = static_cast<double>(parts);
}
BENCHMARK(BM_FilteredCount)->DenseRange(0, 8)->Unit(benchmark::kMillisecond)->UseRealTime();

void reportBytes(benchmark::State &state, const QString &file) {
    const double bytes = static_cast<double>(QFileInfo(file).size());
    state.counters["MB"] = bytes / 1e6;
    state.counters["MB_per_s"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
}

void BM_ExportCsv(benchmark::State &state) {
    const QString &log = millionLog();
    const ExportForm form = state.range(0) == 0 ? ExportForm::Wide : ExportForm::Long;
    state.SetLabel(form == ExportForm::Wide ? "wide" : "long");
    const QString file = folder().filePath(QStringLiteral("export.csv"));
    for (auto _ : state) {
        const ExportResult result = exportCsv(log, file, {{}, form});
        if (result.outcome != ExportOutcome::Written)
            state.SkipWithError(result.failure.toUtf8().constData());
    }
    reportBytes(state, file);
}
BENCHMARK(BM_ExportCsv)->Arg(0)->Arg(1)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// The long export's rows, written by the sqlite3 program: the same columns and texts.
QString longFormQuery() {
    auto verdict = [](const char *column) {
        return QStringLiteral("CASE %1 WHEN 1 THEN 'good' WHEN 2 THEN 'warn' WHEN 3 THEN "
                              "'reject' ELSE 'no limits' END")
            .arg(QLatin1String(column));
    };
    auto number = [](const char *column) {
        return QStringLiteral("iif(%1 IS NULL, '', printf('%.*f', v.decimals, %1))")
            .arg(QLatin1String(column));
    };
    return QStringLiteral(
               "SELECT p.uuid AS uuid, strftime('%Y-%m-%dT%H:%M:%fZ', p.time_ms / 1000.0, "
               "'unixepoch') AS time_utc, p.station AS station, p.operator AS operator, "
               "p.serial_number AS serial_number, p.serial_text AS serial_lot, p.setup_file AS "
               "setup_file, p.setup_hash AS setup_hash, p.view_name AS view, %1 AS verdict, "
               "v.channel AS channel, v.description AS description, %2 AS value, %3 AS nominal, "
               "%4 AS low_tolerance, %5 AS high_tolerance, %6 AS low_approach, %7 AS "
               "high_approach, %8 AS channel_verdict FROM parts AS p LEFT JOIN part_values AS v "
               "ON v.part_id = p.id ORDER BY p.id, v.position")
        .arg(verdict("p.verdict"), number("v.value"), number("v.nominal"),
             number("v.low_tolerance"), number("v.high_tolerance"), number("v.low_approach"),
             number("v.high_approach"), verdict("v.verdict"));
}

void BM_SqliteProgramCsv(benchmark::State &state) {
    const QString &log = millionLog();
    const QString file = folder().filePath(QStringLiteral("sqlite3.csv"));
    for (auto _ : state) {
        QProcess sqlite;
        sqlite.setStandardOutputFile(file);
        sqlite.start(QStringLiteral(SQLITE3_PROGRAM),
                     {QStringLiteral("-csv"), QStringLiteral("-header"), log, longFormQuery()});
        if (!sqlite.waitForFinished(-1) || sqlite.exitCode() != 0)
            state.SkipWithError("the sqlite3 program failed");
    }
    reportBytes(state, file);
}
BENCHMARK(BM_SqliteProgramCsv)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
