// CPU cost of one poll tick of the main window: 128 channels in the channel view, the numeric
// grid and the bar gauges shown, the unit answering at once (the stand-in USB unit in-process).
#include "CommandLine.h"
#include "FormMain.h"
#include "LinkErrorHandler.h"
#include "Prompts.h"
#include "ResourceInit.h"
#include "Settings.h"
#include "Startup.h"
#include "StationHelp.h"
#include "StationState.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int Channels = 128;

// Boxes would stop the measurement; a failure is counted instead.
class CountingPrompts : public Prompts {
public:
    PromptAnswer message(const QString &text, PromptButtons, PromptIcon, const QString &) override {
        ++shown;
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return PromptAnswer::Ok;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &,
                         const QString &) override {
        return {};
    }
    void setParentWindow(QWidget *) override {}
    int shown = 0;
};

// A station connected to the stand-in unit with every channel defined on a probe, so that every
// row changes on every tick (the most work a tick can have).
struct Station {
    QTemporaryDir config;
    CountingPrompts prompts;
    SettingsStore settings;
    LinkLibrary link;
    StationState state{link, prompts, settings};
    CommandLine line;
    std::unique_ptr<StationHelp> help;
    std::unique_ptr<FormMain> window;

    bool open() {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
        qputenv("QORLINK_FTD2XX", QORVIEW_BENCH_STANDIN);
        qputenv("QORSIM_OPTIONS", "--preset demo --channels-max 128");
        QString why;
        if (!link.load(&why)) {
            std::fprintf(stderr, "link library: %s\n", qPrintable(why));
            return false;
        }
        setLinkErrorState(&state);
        state.LinkInfo = link.QorInitInfoStructure(4096, 115200, 1, &LinkErrorHandler);
        state.LinkHandle = link.QorOpen(state.LinkInfo);
        if (!state.LinkHandle)
            return false;
        StationStartup(state, line, [] {}).prepareUnit();
        state.UnitSystem->setMaxChannel(Channels);
        state.Channels.clear();
        state.Lvdts.clear();
        state.Analogs.clear();
        CreateMeasurementObjects(state);
        for (int n = 1; n <= Channels; ++n)
            state.channel(n)->setFormula(QStringLiteral("P%1").arg((n - 1) % 8 + 1));
        state.ViewMode = 2;
        help = std::make_unique<StationHelp>(state);
        window = std::make_unique<FormMain>(state, line, *help);
        window->Form_Load(); // grid and bars open by default
        window->Timer1().stop();
        window->show();
        QApplication::processEvents();
        return prompts.shown == 0;
    }
};

Station *g_station = nullptr;

void BM_PollTick(benchmark::State &run) {
    for (auto _ : run)
        benchmark::DoNotOptimize(g_station->window->Timer1_Timer());
    run.counters["boxes"] = g_station->prompts.shown;
}

// The tick and the repaint of the grid and the gauges it causes.
void BM_PollTickAndRepaint(benchmark::State &run) {
    for (auto _ : run) {
        g_station->window->Timer1_Timer();
        QApplication::processEvents();
    }
    run.counters["boxes"] = g_station->prompts.shown;
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
    Station station;
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
