// The main of the benchmarks that need nothing prepared before they run: an offscreen
// application with the station's resources.
#include "ResourceInit.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    loadStationResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
