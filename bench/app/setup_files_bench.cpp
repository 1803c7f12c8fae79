// Loading and saving a large setup against the simulated unit on a pseudo-terminal, paced at
// 38400 baud, the station's line set to the same rate: 128 channels (every one in use), 8 probes,
// 4 analog inputs and 16 groups, loaded from the station's start-up state (8 channels, 8 probes,
// one analog input) and saved back under another name.
//
// Reported: the exchanges made, the exchanges the setup's reader (or writer) requires, the time
// taken, the line-rate bound of those exchanges (every request and reply byte at 11 bits a
// character, as the exchange log counts them) and the ratio of the two.
#include "CommandLine.h"
#include "FormMain.h"
#include "ResourceInit.h"
#include "Settings.h"
#include "SetupFileCommands.h"
#include "SetupFileWriter.h"
#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "Startup.h"
#include "StationFixture.h"
#include "StationHelp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int LineRate = 38400;
constexpr double BitsPerCharacter = 11.0; // start, 8 data, 2 stop
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

// The exchanges in the log from line `from` on and the bytes they put on the line: "<time>
// <request> -> <reply>", non-printing bytes escaped (\r, \xNN, ...).
struct LoggedExchanges {
    long count = 0;
    double lineBytes = 0;
};

double unescapedSize(const QByteArray &text) {
    double bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++bytes) {
        if (text[i] == '\\')
            i += text.mid(i + 1, 1) == "x" ? 3 : 1;
    }
    return bytes;
}

LoggedExchanges loggedExchanges(const QString &logFile, qsizetype from) {
    QFile file(logFile);
    LoggedExchanges logged;
    if (!file.open(QIODevice::ReadOnly))
        return logged;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = from; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const qsizetype space = line.indexOf(' ');
        const qsizetype arrow = line.indexOf(" -> ");
        if (space < 0 || arrow < 0)
            continue;
        logged.lineBytes += unescapedSize(line.mid(space + 1, arrow - space - 1)) +
                            unescapedSize(line.mid(arrow + 4));
        ++logged.count;
    }
    return logged;
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

    bool open() {
        const QString path = folder.filePath(QStringLiteral("qor1"));
        log = folder.filePath(QStringLiteral("exchanges.log"));
        unit = std::make_unique<SimulatedUnit>(QStringList{
            QStringLiteral("--preset"), QStringLiteral("empty"), QStringLiteral("--pace"),
            QStringLiteral("--baud"), QString::number(LineRate), QStringLiteral("--link"), path,
            QStringLiteral("--log"), log});
        if (!unit->isRunning())
            return false;
        port = std::make_unique<PortOverride>(1, path);
        Station &state = fixture.state;
        state.settings.setText(SettingKeys::Port, QStringLiteral("COM1"));
        state.settings.setText(SettingKeys::BaudRate, QString::number(LineRate));
        state.settings.setText(SettingKeys::BarsAtStartup, QStringLiteral("0"));
        state.settings.setText(SettingKeys::NumericDisplay, QStringLiteral("0"));
        QString why;
        if (!fixture.link.load(&why))
            return false;
        StationStartup startup(state, line, [] {});
        if (!startup.OpenUnitLink())
            return false;
        startup.prepareUnit();
        help = std::make_unique<StationHelp>(state.config, state.prompts);
        window = std::make_unique<FormMain>(state, line, *help);
        window->Form_Load();
        // Only the setup's exchanges go to the unit while it is measured.
        window->linkScheduler().stopPolling();
        window->show();
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

void BM_LoadLargeSetup(benchmark::State &run) {
    PacedStation station;
    if (!station.open()) {
        run.SkipWithError("the paced simulator could not be prepared");
        return;
    }
    const QString file = station.folder.filePath(QStringLiteral("large.qor"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(setupfile::writeSetup(largeSetup())) < 0) {
        run.SkipWithError("the setup file could not be written");
        return;
    }
    out.close();
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
    PacedStation station;
    if (!station.open()) {
        run.SkipWithError("the paced simulator could not be prepared");
        return;
    }
    const QString file = station.folder.filePath(QStringLiteral("large.qor"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(setupfile::writeSetup(largeSetup())) < 0) {
        run.SkipWithError("the setup file could not be written");
        return;
    }
    out.close();
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

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    loadStationResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
