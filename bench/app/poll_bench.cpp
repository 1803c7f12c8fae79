// CPU cost of one poll tick of the main window: 128 channels in the channel view, the numeric
// grid and the bar gauges shown, the unit answering at once (the stand-in USB unit in-process).
#include "PolledStation.h"
#include "ResourceInit.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

PolledStation *g_station = nullptr;

void BM_PollTick(benchmark::State &run) {
    for (auto _ : run)
        benchmark::DoNotOptimize(g_station->window->Timer1_Timer());
    run.counters["boxes"] = g_station->boxes();
}

// The tick and the repaint of the grid and the gauges it causes.
void BM_PollTickAndRepaint(benchmark::State &run) {
    for (auto _ : run) {
        g_station->window->Timer1_Timer();
        QApplication::processEvents();
    }
    run.counters["boxes"] = g_station->boxes();
}

BENCHMARK(BM_PollTick)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_PollTickAndRepaint)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    loadStationResources();
    PolledStation station;
    if (!station.open()) {
        std::fprintf(stderr, "the stand-in unit could not be prepared\n");
        return 1;
    }
    g_station = &station;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_station = nullptr;
    return 0;
}
