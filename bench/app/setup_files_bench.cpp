// Loading and saving a large setup against the simulated unit on a pseudo-terminal, paced at
// 38400 baud, the station's line set to the same rate: 128 channels (every one in use), 8 probes,
// 4 analog inputs and 16 groups, loaded from the station's start-up state (8 channels, 8 probes,
// one analog input) and saved back under another name.
//
// Reported: the exchanges made, the exchanges the setup's reader (or writer) requires, the time
// taken, the line-rate bound of those exchanges (every request and reply byte at 11 bits a
// character, as the exchange log counts them) and the ratio of the two.
#include "PacedStation.h"
#include "Settings.h"
#include "SetupFileCommands.h"
#include "SetupFileWriter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int LineRate = 38400;
constexpr int Channels = 128;
constexpr int Probes = 8;
constexpr int Analogs = 4;
constexpr int Groups = 16;

setupfile::SetupDocument largeSetup() {
    setupfile::SetupDocument setup;
    setup.station.channelCount = Channels;
    setup.station.probeCount = Probes;
    setup.station.analogCount = Analogs;
    for (int16_t n = 1; n <= Channels; ++n) {
        setupfile::ChannelRecord channel;
        channel.index = n;
        channel.description = QStringLiteral("Diameter %1").arg(n);
        channel.formula = QStringLiteral("P%1").arg((n - 1) % Probes + 1);
        channel.units = QStringLiteral("mm");
        channel.master1 = 10.0f + static_cast<float>(n) / 8.0f;
        channel.hiTol = 0.05f;
        channel.hiAppr = 0.04f;
        channel.loAppr = -0.04f;
        channel.loTol = -0.05f;
        channel.barDisplayTop = 0.1f;
        channel.barDisplayBot = -0.1f;
        setup.channels.push_back(channel);
    }
    for (int16_t n = 1; n <= Probes; ++n)
        setup.probes.push_back({n, QStringLiteral("Probe %1").arg(n), 0.05f, 0.0f});
    for (int16_t n = 1; n <= Analogs; ++n)
        setup.analogs.push_back({n, QStringLiteral("Analog %1").arg(n), 1.0f, 0.0f});
    for (int16_t g = 1; g <= Groups; ++g) {
        setupfile::GroupRecord group;
        group.index = g;
        group.description = QStringLiteral("Station %1").arg(g);
        for (int16_t k = 1; k <= Channels / Groups; ++k)
            group.channels.push_back(static_cast<int16_t>((g - 1) * (Channels / Groups) + k));
        setup.groups.push_back(group);
    }
    return setup;
}

// Exchanges the setup's reader requires from the start-up state: ClearSetup (two counts, the one
// analog input's zero and full scale), the channel count twice, the probe count twice each
// followed by the channel count, two for each new analog input, 13 a channel, 2 a probe or
// analog input. The writer reads 13 a channel in use and 2 a probe or analog input.
constexpr long LoadExchangesRequired =
    4 + 2 + 4 + 2 * (Analogs - 1) + 13L * Channels + 2 * Probes + 2 * Analogs;
constexpr long SaveExchangesRequired = 13L * Channels + 2 * Probes + 2 * Analogs;

struct SetupStation : PacedStation {
    bool open() {
        fixture.state.settings.setText(SettingKeys::BarsAtStartup, QStringLiteral("0"));
        fixture.state.settings.setText(SettingKeys::NumericDisplay, QStringLiteral("0"));
        if (!connect({QStringLiteral("--preset"), QStringLiteral("empty"), QStringLiteral("--baud"),
                      QString::number(LineRate)},
                     LineRate))
            return false;
        showWindow();
        // Only the setup's exchanges go to the unit while it is measured.
        window->linkScheduler().stopPolling();
        return fixture.prompts.shown.empty();
    }

    // Runs work, then the event loop until the setup files are idle; the seconds it took.
    template <typename Work> double timed(Work work) {
        QElapsedTimer clock;
        clock.start();
        work();
        while (window->setupFiles().busy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return static_cast<double>(clock.nsecsElapsed()) / 1e9;
    }
};

void report(benchmark::State &run, double seconds, const LoggedExchanges &logged, long required) {
    const double bound = logged.lineBytes * BitsPerCharacter / LineRate;
    run.counters["exchanges"] = static_cast<double>(logged.count);
    run.counters["exchanges_required"] = static_cast<double>(required);
    run.counters["seconds"] = seconds;
    run.counters["line_bound_s"] = bound;
    run.counters["time_over_bound"] = bound > 0 ? seconds / bound : 0;
}

// The station on the paced simulator and the large setup in a file beside it; empty (the
// benchmark skipped) when either could not be had.
QString prepare(benchmark::State &run, SetupStation &station) {
    if (!station.open()) {
        run.SkipWithError("the paced simulator could not be prepared");
        return {};
    }
    const QString file = station.folder.filePath(QStringLiteral("large.qor"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(setupfile::writeSetup(largeSetup())) < 0) {
        run.SkipWithError("the setup file could not be written");
        return {};
    }
    return file;
}

void BM_LoadLargeSetup(benchmark::State &run) {
    SetupStation station;
    const QString file = prepare(run, station);
    if (file.isEmpty())
        return;
    double seconds = 0;
    LoggedExchanges logged;
    for (auto _ : run) {
        const qsizetype before = logLines(station.log);
        seconds = station.timed([&] { station.window->setupFiles().loadAtStart(file); });
        logged = loggedExchanges(station.log, before);
    }
    report(run, seconds, logged, LoadExchangesRequired);
    run.counters["boxes"] = static_cast<double>(station.fixture.prompts.shown.size());
}

void BM_SaveLargeSetup(benchmark::State &run) {
    SetupStation station;
    const QString file = prepare(run, station);
    if (file.isEmpty())
        return;
    station.timed([&] { station.window->setupFiles().loadAtStart(file); });
    const QString copy = station.folder.filePath(QStringLiteral("copy.qor"));
    double seconds = 0;
    LoggedExchanges logged;
    for (auto _ : run) {
        const qsizetype before = logLines(station.log);
        station.fixture.prompts.fileNames = {copy};
        seconds = station.timed([&] { station.window->setupFiles().SaveAsFile(); });
        logged = loggedExchanges(station.log, before);
    }
    report(run, seconds, logged, SaveExchangesRequired);
    QFile original(file), saved(copy);
    const bool same = original.open(QIODevice::ReadOnly) && saved.open(QIODevice::ReadOnly) &&
                      original.readAll() == saved.readAll();
    run.counters["same_file"] = same ? 1 : 0;
}

BENCHMARK(BM_LoadLargeSetup)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveLargeSetup)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
