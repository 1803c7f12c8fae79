// How the window fares while the poll runs against the simulated unit on a pseudo-terminal,
// paced at the unit's default 9600 baud: the lateness of a 10 ms timer on the GUI thread
// (p50, p99, max), and the poll's exchanges per second against what the line can carry.
// Cases: the probe view of the demo's eight channels, and the channel view of 128 channels.
#include "CommandLine.h"
#include "FormMain.h"
#include "ResourceInit.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "Startup.h"
#include "Station.h"
#include "StationFixture.h"
#include "StationHelp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int LineRate = 9600;
constexpr double BitsPerCharacter = 11.0; // start, 8 data, 2 stop
constexpr int MeasureMs = 8000;
constexpr int TimerMs = 10;

// Bytes a logged exchange put on the line: "<time> <request> -> <reply>", each carriage return
// written as the two characters \r.
double lineBytesPerExchange(const QString &logFile, qsizetype from) {
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lines = file.readAll().split('\n');
    double bytes = 0;
    qsizetype counted = 0;
    for (qsizetype i = from; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        const qsizetype space = line.indexOf(' ');
        if (space < 0)
            continue;
        line = line.mid(space + 1).replace("\\r", "\r").replace(" -> ", "");
        bytes += static_cast<double>(line.size());
        ++counted;
    }
    return counted ? bytes / static_cast<double>(counted) : 0;
}

qsizetype logLines(const QString &logFile) {
    QFile file(logFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll().count('\n') : 0;
}

struct PacedStation {
    QTemporaryDir folder;
    std::unique_ptr<SimulatedUnit> unit;
    std::unique_ptr<PortOverride> port;
    StationFixture fixture;
    CommandLine line;
    std::unique_ptr<StationHelp> help;
    std::unique_ptr<FormMain> window;
    QString log;

    bool open(View view, int channels) {
        const QString path = folder.filePath(QStringLiteral("qor1"));
        log = folder.filePath(QStringLiteral("exchanges.log"));
        unit = std::make_unique<SimulatedUnit>(QStringList{
            QStringLiteral("--preset"), QStringLiteral("demo"), QStringLiteral("--pace"),
            QStringLiteral("--channels-max"), QStringLiteral("128"), QStringLiteral("--link"), path,
            QStringLiteral("--log"), log});
        if (!unit->isRunning())
            return false;
        port = std::make_unique<PortOverride>(1, path);
        Station &state = fixture.state;
        QString why;
        if (!fixture.link.load(&why))
            return false;
        StationStartup startup(state, line, [] {});
        if (!startup.OpenUnitLink())
            return false;
        startup.prepareUnit();
        if (channels != state.unit.UnitSystem->MaxChannel()) {
            state.unit.UnitSystem->setMaxChannel(channels);
            state.unit.Channels.clear();
            state.unit.Lvdts.clear();
            state.unit.Analogs.clear();
            CreateMeasurementObjects(state.unit, state.session, state.prompts);
            for (int n = 9; n <= channels; ++n)
                state.unit.channel(n)->setFormula(QStringLiteral("P%1").arg((n - 1) % 8 + 1));
        }
        help = std::make_unique<StationHelp>(state.config, state.prompts);
        window = std::make_unique<FormMain>(state, line, *help);
        window->Form_Load(); // channel view, grid and bars open by default, polling starts
        if (view == View::Probes)
            window->ViewLVDTs_Click();
        window->show();
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
    PacedStation station;
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
        bytesPerExchange = lineBytesPerExchange(station.log, logBefore);
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

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    loadStationResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
