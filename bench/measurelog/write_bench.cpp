// The write side: what recording a 128-channel part costs the GUI thread, and how many parts per
// second the writer stores with the log's durability next to a plain sqlite3 C loop.
#include "LogStore.h"
#include "LogWriter.h"
#include "PlainSqlite.h"
#include "SampleParts.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QUuid>

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

using namespace measurelog;

namespace {

constexpr int Channels = 128;
constexpr int PartsPerRound = 200;

// Runs the event loop until `count` parts have been answered, sleeping between answers: a
// waiting loop that spun would take a core from the writer thread.
void waitForAnswers(const qint64 &answered, qint64 count) {
    while (answered < count)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

struct CountedWriter {
    explicit CountedWriter(const QString &path, int maxBatch = 64) : writer(path, {{}, maxBatch}) {
        QObject::connect(&writer, &LogWriter::committed, &writer, [this] { ++answered; });
        QObject::connect(&writer, &LogWriter::failed, &writer, [this] { ++answered; });
    }

    LogWriter writer;
    qint64 answered = 0;
};

// What the GUI thread does on Record: build the record from the readings and the channels'
// set-up it already has, decide the verdicts, hand it over.
void BM_RecordPartOnGuiThread(benchmark::State &state) {
    QTemporaryDir folder;
    CountedWriter log(folder.filePath(QStringLiteral("log.sqlite")));
    const PartRecord setup = samplePart(1, Channels);
    std::vector<double> readings;
    for (const ValueRecord &value : setup.values)
        readings.push_back(value.value);
    qint64 submitted = 0;
    for (auto _ : state) {
        PartRecord part;
        part.station = setup.station;
        part.operatorName = setup.operatorName;
        part.serialText = setup.serialText;
        part.setupFile = setup.setupFile;
        part.setupHash = setup.setupHash;
        part.viewName = setup.viewName;
        part.values.reserve(Channels);
        for (int i = 0; i < Channels; ++i) {
            ValueRecord value = setup.values[static_cast<size_t>(i)];
            value.value =
                readings[static_cast<size_t>(i)] + 1e-6 * static_cast<double>(submitted % 7);
            value.verdict = zoneVerdict(value);
            part.values.push_back(std::move(value));
        }
        benchmark::DoNotOptimize(log.writer.submit(std::move(part)));
        // Let the writer catch up now and then, outside the measurement, so the queue stays short.
        if (++submitted % 256 == 0) {
            state.PauseTiming();
            waitForAnswers(log.answered, submitted);
            state.ResumeTiming();
        }
    }
    waitForAnswers(log.answered, submitted);
}
BENCHMARK(BM_RecordPartOnGuiThread)->Unit(benchmark::kMicrosecond)->Iterations(5000);

std::vector<PartRecord> roundOfParts(int round) {
    std::vector<PartRecord> parts;
    for (int i = 0; i < PartsPerRound; ++i) {
        parts.push_back(samplePart(round * PartsPerRound + i, Channels));
        parts.back().uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        parts.back().timeMs = 1796669672123 + round * PartsPerRound + i;
    }
    return parts;
}

QString newLog(const QTemporaryDir &folder) {
    const QString path = folder.filePath(QStringLiteral("log.sqlite"));
    LogStore(path).open();
    return path;
}

// A queued burst, which the writer may store in shared transactions (up to 64 parts each).
void BM_WriterBurst(benchmark::State &state) {
    QTemporaryDir folder;
    CountedWriter log(newLog(folder), 64);
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<PartRecord> parts = roundOfParts(round++);
        const qint64 target = log.answered + PartsPerRound;
        state.ResumeTiming();
        for (PartRecord &part : parts)
            log.writer.submit(std::move(part));
        waitForAnswers(log.answered, target);
    }
    state.counters["parts_per_s"] =
        benchmark::Counter(static_cast<double>(round * PartsPerRound), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WriterBurst)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration time) {
    return std::chrono::duration<double>(time).count();
}

// One transaction per part, three ways taking turns round by round, so that the disk's changing
// sync times (the machine is shared) fall on all three alike: the writer (its thread, its queue
// and its answers), the store alone on this thread, and a plain sqlite3 C loop doing the same
// inserts with the same durability. Each writes its own log.
void BM_OneTransactionPerPart(benchmark::State &state) {
    QTemporaryDir writerFolder, storeFolder, plainFolder;
    CountedWriter log(newLog(writerFolder), 1);
    LogStore store(newLog(storeFolder));
    store.open();
    PlainSqlite plain(newLog(plainFolder), true);
    Clock::duration writerTime{}, storeTime{}, plainTime{};
    int round = 0;
    qint64 serial = 0;
    for (auto _ : state) {
        const std::vector<PartRecord> parts = roundOfParts(round++);
        std::vector<PartRecord> submitted = parts;
        const qint64 target = log.answered + PartsPerRound;
        Clock::time_point start = Clock::now();
        for (PartRecord &part : submitted)
            log.writer.submit(std::move(part));
        waitForAnswers(log.answered, target);
        writerTime += Clock::now() - start;

        start = Clock::now();
        for (const PartRecord &part : parts)
            benchmark::DoNotOptimize(store.record(std::span(&part, 1)));
        storeTime += Clock::now() - start;

        start = Clock::now();
        for (const PartRecord &part : parts) {
            plain.begin();
            plain.insert(part, ++serial);
            plain.commit();
        }
        plainTime += Clock::now() - start;
    }
    const double parts = static_cast<double>(round * PartsPerRound);
    state.counters["writer_parts_per_s"] = parts / seconds(writerTime);
    state.counters["store_parts_per_s"] = parts / seconds(storeTime);
    state.counters["plain_parts_per_s"] = parts / seconds(plainTime);
    state.counters["writer_vs_plain"] = seconds(plainTime) / seconds(writerTime);
}
BENCHMARK(BM_OneTransactionPerPart)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
