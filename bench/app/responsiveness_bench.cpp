// How the window fares while the poll runs against the simulated unit on a pseudo-terminal,
// paced at the unit's default 9600 baud: the lateness of a 10 ms timer on the GUI thread
// (p50, p99, max), and the poll's exchanges per second against what the line can carry.
// Cases: the probe view of the demo's eight channels, and the channel view of 128 channels.
#include "PacedStation.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int LineRate = 9600;
constexpr int MeasureMs = 8000;
constexpr int TimerMs = 10;

struct ResponsivenessStation : PacedStation {
    bool open(View view, int channels) {
        if (!connect({QStringLiteral("--preset"), QStringLiteral("demo"),
                      QStringLiteral("--channels-max"), QStringLiteral("128")},
                     LineRate))
            return false;
        Station &state = fixture.state;
        if (channels != state.unit.UnitSystem->MaxChannel()) {
            state.unit.UnitSystem->setMaxChannel(channels);
            state.unit.Channels.clear();
            state.unit.Lvdts.clear();
            state.unit.Analogs.clear();
            CreateMeasurementObjects(state.unit, state.session, state.prompts);
            for (int n = 9; n <= channels; ++n)
                state.unit.channel(n)->setFormula(QStringLiteral("P%1").arg((n - 1) % 8 + 1));
        }
        showWindow(); // channel view, grid and bars open by default, polling starts
        if (view == View::Probes)
            window->ViewLVDTs_Click();
        return fixture.prompts.shown.empty();
    }
};

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

void measure(benchmark::State &run, View view, int channels) {
    ResponsivenessStation station;
    if (!station.open(view, channels)) {
        run.SkipWithError("the paced simulator could not be prepared");
        return;
    }
    // Let the displays read their set-up (a minute for 128 channels at 9600 baud, shared with
    // the poll) and paint, then measure the poll alone.
    QElapsedTimer settle;
    settle.start();
    while ((station.window->linkScheduler().sequenceUnderWay() || settle.elapsed() < 1500) &&
           settle.elapsed() < 180000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    std::vector<double> lateMs;
    double exchangesPerSecond = 0;
    double bytesPerExchange = 0;
    for (auto _ : run) {
        const long stepsBefore = station.window->linkScheduler().pollSteps();
        const qsizetype logBefore = logLines(station.log);
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QElapsedTimer clock;
        clock.start();
        qint64 expectedNs = 0;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            lateMs.push_back(static_cast<double>(clock.nsecsElapsed() - expectedNs) / 1e6);
            expectedNs = clock.nsecsElapsed() + TimerMs * 1000000LL;
            timer.start(TimerMs);
        });
        expectedNs = TimerMs * 1000000LL;
        timer.start(TimerMs);
        while (clock.elapsed() < MeasureMs)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        timer.stop();
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        exchangesPerSecond =
            static_cast<double>(station.window->linkScheduler().pollSteps() - stepsBefore) /
            seconds;
        const LoggedExchanges logged = loggedExchanges(station.log, logBefore);
        bytesPerExchange = logged.count ? logged.lineBytes / static_cast<double>(logged.count) : 0;
    }
    const double bound = bytesPerExchange > 0 ? LineRate / BitsPerCharacter / bytesPerExchange : 0;
    run.counters["late_p50_ms"] = percentile(lateMs, 0.50);
    run.counters["late_p99_ms"] = percentile(lateMs, 0.99);
    run.counters["late_max_ms"] =
        lateMs.empty() ? 0 : *std::max_element(lateMs.begin(), lateMs.end());
    run.counters["exchanges_per_s"] = exchangesPerSecond;
    run.counters["line_bound_per_s"] = bound;
    run.counters["throughput_ratio"] = bound > 0 ? exchangesPerSecond / bound : 0;
    run.counters["boxes"] = static_cast<double>(station.fixture.prompts.shown.size());
}

void BM_ProbeView8Channels(benchmark::State &run) {
    measure(run, View::Probes, 8);
}
void BM_ChannelView128Channels(benchmark::State &run) {
    measure(run, View::Channels, 128);
}

BENCHMARK(BM_ProbeView8Channels)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChannelView128Channels)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
