// CPU cost of one poll tick of the main window: 128 channels in the channel view, the numeric
// grid and the bar gauges shown, the unit answering at once (the stand-in USB unit in-process).
#include "CommandLine.h"
#include "FormMain.h"
#include "ResourceInit.h"
#include "Station.h"
#include "StationFixture.h"
#include "StationHelp.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int Channels = 128;

// A station connected to the stand-in unit with every channel defined on a probe, so that every
// row changes on every tick (the most work a tick can have). A box would stop the measurement;
// it is counted instead.
struct PolledStation {
    StationFixture fixture;
    CommandLine line;
    std::unique_ptr<StationHelp> help;
    std::unique_ptr<FormMain> window;

    bool open() {
        Station &state = fixture.state;
        QString why;
        if (!fixture.connectStandIn(QStringLiteral("--preset demo --channels-max 128"), &why)) {
            std::fprintf(stderr, "%s\n", qPrintable(why));
            return false;
        }
        state.unit.UnitSystem->setMaxChannel(Channels);
        state.unit.Channels.clear();
        state.unit.Lvdts.clear();
        state.unit.Analogs.clear();
        CreateMeasurementObjects(state.unit, state.session, state.prompts);
        for (int n = 1; n <= Channels; ++n)
            state.unit.channel(n)->setFormula(QStringLiteral("P%1").arg((n - 1) % 8 + 1));
        state.view.ViewMode = View::Channels;
        help = std::make_unique<StationHelp>(state.config, state.prompts);
        window = std::make_unique<FormMain>(state, line, *help);
        window->Form_Load(); // grid and bars open by default
        window->linkScheduler().stopPolling();
        window->show();
        QApplication::processEvents();
        return boxes() == 0;
    }
    double boxes() const { return static_cast<double>(fixture.prompts.shown.size()); }
};

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
