// What following live values costs the station: the CPU of one poll tick of 128 channels whose
// shown values all change on every tick, with nobody following and with one client process
// advised on all 128 items, and the Changed signals each tick sends (at most one per changed
// item). The displays are closed, so the difference is the cost of the followers alone. The
// client reports at the end how many signals it received. Needs a session bus; with a private
// one:
//   dbus-run-session -- build/bin/app_live_values_bench
#include "LiveItems.h"
#include "LiveValueService.h"
#include "PolledStation.h"
#include "ResourceInit.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QLabel>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

struct FollowedStation {
    PolledStation station;
    std::unique_ptr<LiveValueService> service;
    long captionChanges = 0;
    QProcess client;

    bool publish() {
        service = std::make_unique<LiveValueService>(station.fixture.state.live,
                                                     station.window->liveItems());
        QObject::connect(station.window.get(), &FormMain::channelCaptionChanged, service.get(),
                         &LiveValueService::channelTextChanged);
        QObject::connect(station.window.get(), &FormMain::channelCaptionChanged, service.get(),
                         [this] { ++captionChanges; });
        QString why;
        if (!service->publish(QDBusConnection::sessionBus(), &why)) {
            std::fprintf(stderr, "not published: %s\n", qPrintable(why));
            return false;
        }
        return true;
    }

    // Between ticks the probes move only now and then; a real tick comes 400 ms after the last
    // one and finds every channel changed. Forgetting what was shown gives the same work.
    void forgetShownValues() {
        station.window->UpdateMainDisplay();
        for (int n = 1; n <= PolledStation::Channels; ++n)
            station.window->labelChan(n)->clear();
    }

    // A line from the client, serving its calls meanwhile.
    QByteArray clientLine() {
        const QDeadlineTimer deadline(30000);
        while (!client.canReadLine() && !deadline.hasExpired() &&
               client.state() != QProcess::NotRunning)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return client.readLine().trimmed();
    }

    bool startClient() {
        if (client.state() == QProcess::Running)
            return true;
        QStringList items;
        for (int n = 1; n <= PolledStation::Channels; ++n)
            items << LiveItems::itemName(n);
        client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client.start(QStringLiteral(QORVIEW_BENCH_LIVE_CLIENT), items);
        return clientLine() == "advised";
    }

    void endClient() {
        if (client.state() != QProcess::Running)
            return;
        client.closeWriteChannel();
        std::printf("client %s of %ld Changed signals sent\n", clientLine().constData(),
                    service->changedSignalsSent());
        client.waitForFinished(5000);
    }
};

FollowedStation *g_followed = nullptr;

void ticks(benchmark::State &run) {
    FollowedStation &f = *g_followed;
    const long sentBefore = f.service->changedSignalsSent();
    const long changedBefore = f.captionChanges;
    for (auto _ : run) {
        run.PauseTiming();
        f.forgetShownValues();
        run.ResumeTiming();
        benchmark::DoNotOptimize(f.station.window->Timer1_Timer());
    }
    const auto perTick = [&run](long count) {
        return benchmark::Counter(static_cast<double>(count) /
                                  static_cast<double>(run.iterations()));
    };
    run.counters["signals/tick"] = perTick(f.service->changedSignalsSent() - sentBefore);
    run.counters["changed/tick"] = perTick(f.captionChanges - changedBefore);
    run.counters["followers"] = f.station.fixture.state.live.DdeLinkCount;
    run.counters["boxes"] = f.station.boxes();
}

void BM_PollTickNobodyFollows(benchmark::State &run) {
    ticks(run);
}

void BM_PollTickClientFollows128(benchmark::State &run) {
    if (!g_followed->startClient()) {
        run.SkipWithError("the client did not advise its items");
        return;
    }
    ticks(run);
}

// A fixed number of ticks: 128 signals a tick sent back to back, with no 400 ms between ticks,
// would otherwise pile up hundreds of thousands of messages on the bus that no real run makes.
constexpr benchmark::IterationCount Ticks = 1000;

BENCHMARK(BM_PollTickNobodyFollows)
    ->Iterations(Ticks)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_PollTickClientFollows128)
    ->Iterations(Ticks)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    loadStationResources();
    FollowedStation followed;
    if (!followed.station.open() || !followed.publish()) {
        std::fprintf(stderr, "the station could not be prepared (a session bus is needed: run "
                             "inside dbus-run-session)\n");
        return 1;
    }
    followed.station.window->EnableGrid_Click();
    followed.station.window->EnableBarGraphs_Click();
    g_followed = &followed;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    followed.endClient();
    g_followed = nullptr;
    return 0;
}
