// CPU cost of the bar display at the unit's largest view: one full repaint of 128 configured
// gauges rendered offscreen, and handing 128 new readings to the gauges.

#include "FormLinGage.h"
#include "GaugeTestSetup.h"
#include "StationFixture.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr int Gauges = 128;

// The bar window of a station without a unit, showing 128 channels with limits and readings.
struct BarWindow {
    BarWindow() : form(station.displayed()) {
        std::vector<GaugeSetup> setups;
        for (int i = 0; i < Gauges; ++i)
            setups.push_back(
                channelGaugeSetup(QStringLiteral("Channel %1 diameter").arg(i + 1), 0.005, 0.003));
        form.showSetups(QStringLiteral("Display Channels"), setups);
        form.resize(1400, 900);
        for (int i = 1; i <= Gauges; ++i)
            form.SetBarValue(i, static_cast<float>(0.0065 * std::sin(i)));
    }

    OfflineStation station;
    FormLinGage form;
};

void BM_RepaintAllGauges(benchmark::State &bench) {
    BarWindow window;
    QImage image(window.form.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : bench) {
        window.form.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RepaintAllGauges)->Unit(benchmark::kMillisecond);

void BM_SetBarValueAllGauges(benchmark::State &bench) {
    BarWindow window;
    window.form.show();
    QCoreApplication::processEvents();
    float offset = 0.0f;
    for (auto _ : bench) {
        offset = offset == 0.0f ? 0.0001f : 0.0f; // every reading changes each round
        for (int i = 1; i <= Gauges; ++i)
            window.form.SetBarValue(i, static_cast<float>(0.004 * std::sin(i)) + offset);
        // The repaint the readings asked for is measured above, not here.
        bench.PauseTiming();
        QCoreApplication::processEvents();
        bench.ResumeTiming();
    }
}
BENCHMARK(BM_SetBarValueAllGauges)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
