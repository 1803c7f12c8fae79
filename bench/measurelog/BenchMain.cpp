#include <QCoreApplication>

#include <benchmark/benchmark.h>

// The writer answers through the event loop, so the benchmarks run inside an application.
int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
