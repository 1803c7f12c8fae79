// The station's side of recording:
// - the GUI thread's time to record a 128-channel part: the tick's rows fed to the recorder, the
//   tick ended (the record gate), and Record pressed (the part built and handed to the writer);
// - the Log window's first rows over a 1,000,000-part log, and each filter's first rows.
#include "LogModel.h"
#include "LogTable.h"
#include "MillionLog.h"
#include "PartRecorder.h"
#include "RecordingSamples.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <iterator>

using namespace benchlog;
using namespace recording;
using measurelog::LogFilter;
using measurelog::Verdict;

namespace {

void drainAnswers(const PartRecorder &recorder) {
    while (recorder.pending() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

void feedAndRecord(PartRecorder &recorder, const TickReadings &readings) {
    for (size_t i = 0; i < readings.channels.size(); ++i)
        recorder.takeReading(static_cast<int>(i), readings.channels[i]);
    recorder.endTick(readings.tick);
    benchmark::DoNotOptimize(recorder.record());
}

void BM_RecordPartOnGuiThread(benchmark::State &state) {
    PartRecorder recorder(folder().filePath(QStringLiteral("record.sqlite")));
    const RecordingView view = limitedView(static_cast<int>(state.range(0)));
    recorder.showView(view);
    qint64 tick = 0;
    auto next = [&] {
        ++tick;
        return uniformReadings(view, tick, Tolerance * static_cast<double>((tick % 9) - 4) / 4.0);
    };
    // The first part opens the log: a one-time cost, not a part's.
    feedAndRecord(recorder, next());
    drainAnswers(recorder);
    for (auto _ : state) {
        state.PauseTiming();
        const TickReadings readings = next();
        state.ResumeTiming();
        feedAndRecord(recorder, readings);
        state.PauseTiming();
        // The writer's answers come through the event loop; the disk's time is not the GUI's.
        drainAnswers(recorder);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RecordPartOnGuiThread)->Arg(128)->Unit(benchmark::kMicrosecond)->Iterations(300);

struct NamedFilter {
    const char *legend;
    LogFilter filter;
};

const qint64 DayInTheMiddle = Start + qint64{Parts / 2} * PartEvery;
const NamedFilter Filters[] = {
    {"none (the window opens)", {}},
    {"one setup of four", {{}, {}, QStringLiteral("gear.qor"), {}, {}}},
    {"rejects", {{}, {}, {}, {Verdict::Reject}, {}}},
    {"warns and rejects of one setup",
     {{}, {}, QStringLiteral("bore.qor"), {Verdict::Warn, Verdict::Reject}, {}}},
    {"a day half a year back", {DayInTheMiddle, DayInTheMiddle + 86400000, {}, {}, {}}},
    {"a lot", {{}, {}, {}, {}, QStringLiteral("LOT-1234")}},
    {"a lot that is not there", {{}, {}, {}, {}, QStringLiteral("LOT-none")}},
};

// What the window does when it opens or a filter is applied: the columns of the setup in view
// read from the log, then the model's first page; the rows are there when this returns.
void BM_LogWindowFirstRows(benchmark::State &state) {
    const NamedFilter &named = Filters[state.range(0)];
    state.SetLabel(named.legend);
    LogModel model(millionLog());
    for (auto _ : state) {
        const QString setup = named.filter.setupFile.value_or(Setups[0]);
        const auto channels = model.reader().channels(setup);
        if (!model.show(named.filter, LogColumns(setup, channels.value))) {
            state.SkipWithError(model.failure().toUtf8().constData());
            break;
        }
        benchmark::DoNotOptimize(model.data(model.index(0, 0), Qt::DisplayRole));
    }
    state.counters["rows"] = model.rowCount();
}
BENCHMARK(BM_LogWindowFirstRows)
    ->DenseRange(0, std::size(Filters) - 1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

// The writer answers through the event loop, and the model's colours need a GUI application.
int main(int argc, char **argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
