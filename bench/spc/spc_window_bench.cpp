// The SPC window on a channel with a million recorded parts (an in-memory source, offscreen):
// opening it until its first charts are shown, and one new part arriving, charts and figures
// updated and drawn. The histogram, redrawn at most twice a second, is measured on its own. The
// same window over a real measurement log: opening it until the first charts are shown, and
// until the whole history is in.
#include "ControlChart.h"
#include "HistogramChart.h"
#include "LogSpcSource.h"
#include "LogStore.h"
#include "ScriptedPrompts.h"
#include "SpcDemo.h"
#include "SpcWindow.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

constexpr std::size_t RecordedParts = 1'000'000;
constexpr qint64 StartMs = 1709532000000;

// The demonstration bore channel (drift, far readings, a tolerance) with a million parts.
spc::MemorySpcSource &millionParts() {
    static spc::MemorySpcSource *source = [] {
        auto *s = new spc::MemorySpcSource(QStringLiteral("bench"));
        spc::addDemoRun(*s, RecordedParts, StartMs, 1);
        return s;
    }();
    return *source;
}

void showAndDraw(QWidget &window) {
    window.show();
    QCoreApplication::processEvents();
}

// Lets the window read the rest of the history between events, as it does when left alone.
void readWhole(const SpcWindow &window) {
    while (window.loading())
        QCoreApplication::processEvents();
}

// Opens the window on channel 1 of the source, with the subgroup size the benchmark's argument,
// until its first charts are drawn or, with `whole`, until the whole history is in and drawn.
// The first slice of the history, read in the turn of the event loop that draws the first
// charts (after them), is counted with them.
void openWindows(spc::SpcDataSource &source, benchmark::State &state, bool whole = false) {
    source.storeSubgroupSize(1, static_cast<int>(state.range(0)));
    ScriptedPrompts prompts;
    for (auto _ : state) {
        SpcWindow window(source, prompts);
        window.resize(1280, 840);
        showAndDraw(window);
        if (whole) {
            readWhole(window);
            QCoreApplication::processEvents();
        }
        benchmark::DoNotOptimize(window.locationChart()->pointCount());
    }
}

void OpenWindowOnAMillionParts(benchmark::State &state) {
    openWindows(millionParts(), state);
}
BENCHMARK(OpenWindowOnAMillionParts)
    ->Arg(1)
    ->Arg(5)
    ->Arg(15)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// One part recorded and announced: read from the source, added to the subgroups, rules checked,
// charts and capability table updated. With range(1) the changed widgets are drawn too;
// without, the drawing is left out of the time.
void NewPartOnAMillionParts(benchmark::State &state) {
    spc::MemorySpcSource &source = millionParts();
    source.storeSubgroupSize(1, static_cast<int>(state.range(0)));
    const bool drawn = state.range(1) != 0;
    ScriptedPrompts prompts;
    SpcWindow window(source, prompts);
    window.resize(1280, 840);
    showAndDraw(window);
    readWhole(window);
    qint64 time = StartMs + static_cast<qint64>(RecordedParts) * 30'000;
    double value = 25.0;
    for (auto _ : state) {
        value = value > 25.004 ? 24.998 : value + 0.0007;
        source.recordPart(1, value, time += 30'000, window.analysis()->newestLimits());
        if (!drawn)
            state.PauseTiming();
        QCoreApplication::processEvents();
        if (!drawn)
            state.ResumeTiming();
    }
    state.counters["subgroups"] = static_cast<double>(window.analysis()->series().subgroupCount());
}
BENCHMARK(NewPartOnAMillionParts)
    ->ArgsProduct({{1, 5, 15}, {0, 1}})
    ->ArgNames({"size", "drawn"})
    ->Unit(benchmark::kMillisecond);

// The histogram of every part, computed and handed to the chart: what the window does at most
// twice a second while parts arrive.
void HistogramRefreshOnAMillionParts(benchmark::State &state) {
    spc::MemorySpcSource &source = millionParts();
    ScriptedPrompts prompts;
    SpcWindow window(source, prompts);
    readWhole(window);
    const spc::SpcAnalysis &analysis = *window.analysis();
    for (auto _ : state) {
        const spc::Histogram histogram = spc::histogram(analysis.series().parts());
        window.histogramChart()->showHistogram(histogram, analysis.newestLimits(),
                                               analysis.channel().decimals);
    }
}
BENCHMARK(HistogramRefreshOnAMillionParts)->Unit(benchmark::kMillisecond);

// A measurement log of a million parts of eight channels, one setup, made once per run with
// SQL alone: the readings drift slowly and scatter a little around a nominal of 25.
const QString &millionPartLog() {
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString log = folder.filePath(QStringLiteral("million.sqlite"));
        measurelog::LogStore(log).open();
        measurelog::SqliteDatabase db(log, SQLITE_OPEN_READWRITE);
        db.exec("PRAGMA synchronous = OFF; BEGIN;"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
                "INSERT INTO parts (id, uuid, time_ms, station, operator, serial_number, "
                "serial_text, setup_file, setup_hash, view_name, verdict) "
                "SELECT i, 'part-' || i, 1709532000000 + i * 30000, 'bench', '', i, '', "
                "'bench.qor', '', 'Display Channels', 1 FROM n;"
                "WITH RECURSIVE c(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM c WHERE k < 8) "
                "INSERT INTO part_values SELECT id, k, k, 'Ch ' || k, "
                "25.0 + id * 1e-9 + ((abs(random()) % 2001) - 1000) * 2e-6, 4, 25.0, 24.99, "
                "25.01, 24.992, 25.008, 1 FROM parts, c;"
                "INSERT INTO setup_channels SELECT 'bench.qor', k, 'Ch ' || k FROM "
                "(WITH RECURSIVE c(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM c WHERE k < 8) "
                "SELECT k FROM c);"
                "COMMIT; PRAGMA wal_checkpoint(TRUNCATE);");
        return log;
    }();
    return path;
}

spclog::LogSpcSource millionPartSource() {
    return spclog::LogSpcSource(millionPartLog(), {[] { return QStringLiteral("bench.qor"); }, {}});
}

// Opening the window on one channel of the real log until its first charts are shown: the
// newest subgroups and the baseline read from SQLite, grouped, judged and drawn.
void OpenWindowOnAMillionLoggedParts(benchmark::State &state) {
    spclog::LogSpcSource source = millionPartSource();
    openWindows(source, state);
}
BENCHMARK(OpenWindowOnAMillionLoggedParts)
    ->Arg(1)
    ->Arg(5)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The same until the whole history is in: the million readings read in slices between events,
// then the figures over all of them worked out and drawn.
void ReadAMillionLoggedPartsWhole(benchmark::State &state) {
    spclog::LogSpcSource source = millionPartSource();
    openWindows(source, state, true);
}
BENCHMARK(ReadAMillionLoggedPartsWhole)
    ->Arg(1)
    ->Arg(5)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
