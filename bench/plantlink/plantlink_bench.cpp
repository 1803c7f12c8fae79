// The plant link's speed against a real mosquitto on the loopback: how soon a part reaches a
// subscriber, how fast a backlog drains (and how late the event loop runs meanwhile), what live
// values cost a poll tick, and a plant of N stations publishing one part a second each.
//
// `plantlink_bench --plant-worker PORT FIRST COUNT SECONDS` runs COUNT station publishers for the
// plant benchmark in a process of its own (see plantPublishers below).
#include "BrokerProcess.h"
#include "LivePublisher.h"
#include "PlantLinkClient.h"
#include "TestSubscriber.h"
#include "WaitFor.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>
#include <QUuid>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

using namespace plantlink;

namespace {

// libmosquitto's loop waits with select(), which takes no descriptor from 1024 on; a station
// publisher holds three (its socket and a wake-up pair). Plants larger than this run their
// publishers in worker processes of this size.
constexpr int PublishersPerProcess = 250;

qint64 clockNs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The same clock in every process, so a worker's record time is comparable here.
qint64 monotonicNs() {
    return clockNs(CLOCK_MONOTONIC);
}

// An 8-channel part whose lot carries the monotonic time it was recorded at.
QByteArray benchPart(const QString &station, qint64 serial, qint64 recordedNs) {
    PartMessage part;
    part.uuid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    part.time = QDateTime::currentDateTimeUtc();
    part.serial = serial;
    part.lot = QString::number(recordedNs);
    part.operatorName = QStringLiteral("bench");
    part.setup = QStringLiteral("shaft.qsu");
    part.station = station;
    part.verdict = Verdict::Good;
    for (int channel = 1; channel <= 8; ++channel) {
        PartValue value{channel,
                        QStringLiteral("Diameter %1").arg(channel),
                        10.0 + channel + static_cast<double>(serial % 100) * 0.001,
                        3,
                        10.0 + channel,
                        {},
                        Verdict::Good};
        value.limits = {9.95 + channel, 9.97 + channel, 10.03 + channel, 10.05 + channel};
        part.values.push_back(value);
    }
    return partDocument(part);
}

PlantLinkConfig configFor(int port, const QString &station) {
    PlantLinkConfig config = loopbackConfig(port, station);
    // Hundreds of stations knock at once.
    config.connectTimeoutMs = 60000;
    return config;
}

bool started(BrokerProcess &broker, benchmark::State &state) {
    if (broker.start())
        return true;
    state.SkipWithError("the broker did not start");
    return false;
}

double percentile(std::vector<double> values, double q) {
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

// Receives parts and notes, per uuid, when each first arrived after it was recorded.
class Receiver {
public:
    explicit Receiver(int port)
        : m_subscriber(port, "qorview/+/part", "bench-receiver",
                       [this](const TestSubscriber::Message &m) { take(m.payload); }) {}

    bool waitUntilSubscribed() { return m_subscriber.waitUntilSubscribed(); }
    qint64 received() const { return m_received; }
    std::size_t unique() {
        std::lock_guard lock(m_mutex);
        return m_uuids.size();
    }
    std::vector<double> latenciesMs() {
        std::lock_guard lock(m_mutex);
        return m_latenciesMs;
    }

private:
    void take(const QByteArray &payload) {
        const qint64 now = monotonicNs();
        const QJsonObject part = QJsonDocument::fromJson(payload).object();
        const qint64 recorded = part[QLatin1String("lot")].toString().toLongLong();
        std::lock_guard lock(m_mutex);
        if (m_uuids.insert(part[QLatin1String("uuid")].toString()).second)
            m_latenciesMs.push_back(static_cast<double>(now - recorded) / 1e6);
        ++m_received;
    }

    std::mutex m_mutex;
    std::set<QString> m_uuids;
    std::vector<double> m_latenciesMs;
    std::atomic<qint64> m_received{0};
    TestSubscriber m_subscriber; // last: its thread calls take() until it is gone
};

bool connected(const std::vector<std::unique_ptr<PlantLinkClient>> &clients) {
    return std::all_of(clients.begin(), clients.end(), [](const auto &client) {
        return client->state().kind == LinkState::Connected;
    });
}

// COUNT station publishers, each with its own connection and outbox, each recording an 8-channel
// part once a second for SECONDS seconds, spread evenly over the second. Returns the parts
// recorded once every outbox is empty (all acknowledged), or -1 when that did not happen.
qint64 plantPublishers(int port, int first, int count, int seconds) {
    std::vector<std::unique_ptr<MemoryOutbox>> outboxes;
    std::vector<std::unique_ptr<PlantLinkClient>> clients;
    for (int i = 0; i < count; ++i) {
        outboxes.push_back(std::make_unique<MemoryOutbox>());
        clients.push_back(std::make_unique<PlantLinkClient>(*outboxes.back()));
        clients.back()->start(configFor(port, QStringLiteral("plant-%1").arg(first + i)));
    }
    if (!waitFor([&] { return connected(clients); }, 180000))
        return -1;
    const qint64 start = monotonicNs();
    std::vector<int> recorded(static_cast<std::size_t>(count), 0);
    qint64 total = 0;
    const qint64 all = qint64(count) * seconds;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        const qint64 now = monotonicNs() - start;
        for (int i = 0; i < count; ++i) {
            const auto n = static_cast<std::size_t>(i);
            const qint64 due = qint64(1000000000) * i / count + qint64(1000000000) * recorded[n];
            if (recorded[n] < seconds && now >= due) {
                ++recorded[n];
                ++total;
                outboxes[n]->add(benchPart(QStringLiteral("plant-%1").arg(first + i), recorded[n],
                                           monotonicNs()));
                clients[n]->outboxChanged();
            }
        }
    });
    poll.start(2);
    const bool drained = waitFor(
        [&] {
            return total == all &&
                   std::all_of(outboxes.begin(), outboxes.end(),
                               [](const auto &outbox) { return outbox->unsentCount() == 0; });
        },
        (seconds + 120) * 1000);
    return drained ? total : -1;
}

int plantWorker(const QStringList &arguments) {
    const qint64 sent = plantPublishers(arguments.value(2).toInt(), arguments.value(3).toInt(),
                                        arguments.value(4).toInt(), arguments.value(5).toInt());
    std::printf("sent %lld\n", static_cast<long long>(sent));
    return sent < 0 ? 1 : 0;
}

void BM_PartToSubscriber(benchmark::State &state) {
    BrokerProcess broker;
    if (!started(broker, state))
        return;
    Receiver receiver(broker.port());
    MemoryOutbox outbox;
    PlantLinkClient client(outbox);
    client.start(configFor(broker.port(), QStringLiteral("latency")));
    if (!receiver.waitUntilSubscribed() ||
        !waitFor([&] { return client.state().kind == LinkState::Connected; })) {
        state.SkipWithError("no connection");
        return;
    }
    qint64 sent = 0;
    for (auto _ : state) {
        outbox.add(benchPart(QStringLiteral("latency"), ++sent, monotonicNs()));
        client.outboxChanged();
        waitFor([&] { return receiver.received() >= sent; });
    }
    const std::vector<double> latencies = receiver.latenciesMs();
    state.counters["p50_ms"] = percentile(latencies, 0.50);
    state.counters["p99_ms"] = percentile(latencies, 0.99);
    state.counters["max_ms"] = percentile(latencies, 1.0);
}
BENCHMARK(BM_PartToSubscriber)->Iterations(2000)->Unit(benchmark::kMillisecond);

// A backlog of range(0) parts drained with a window of range(1) parts in flight, to a
// subscriber, while a 20 ms timer (the poll's stand-in) notes how late the event loop runs.
void BM_BacklogDrain(benchmark::State &state) {
    const auto backlog = static_cast<int>(state.range(0));
    BrokerProcess broker;
    if (!started(broker, state))
        return;
    std::atomic<qint64> received{0};
    TestSubscriber subscriber(broker.port(), "qorview/+/part", "bench-drain",
                              [&](const TestSubscriber::Message &) { ++received; });
    subscriber.waitUntilSubscribed();
    double seconds = 0.0;
    std::vector<double> latenessMs;
    for (auto _ : state) {
        state.PauseTiming();
        MemoryOutbox outbox;
        for (int i = 1; i <= backlog; ++i)
            outbox.add(benchPart(QStringLiteral("drain"), i, 0));
        PlantLinkClient client(outbox);
        PlantLinkConfig config = configFor(broker.port(), QStringLiteral("drain"));
        config.window = static_cast<int>(state.range(1));
        QTimer poll;
        poll.setTimerType(Qt::PreciseTimer);
        QElapsedTimer sinceTick;
        QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
            latenessMs.push_back(
                std::max(0.0, static_cast<double>(sinceTick.nsecsElapsed()) / 1e6 - 20.0));
            sinceTick.restart();
        });
        received = 0;
        state.ResumeTiming();
        const qint64 start = monotonicNs();
        client.start(config);
        poll.start(20);
        sinceTick.start();
        waitFor([&] { return outbox.unsentCount() == 0; }, 600000);
        seconds += static_cast<double>(monotonicNs() - start) / 1e9;
        state.PauseTiming();
        waitFor([&] { return received >= backlog; }, 60000);
        state.counters["lost"] = backlog - static_cast<double>(received);
        state.ResumeTiming();
    }
    state.counters["parts_per_s"] = backlog * static_cast<double>(state.iterations()) / seconds;
    state.counters["loop_late_p99_ms"] = percentile(latenessMs, 0.99);
}
BENCHMARK(BM_BacklogDrain)
    ->Args({100000, 20})
    ->Args({100000, 50})
    ->Args({100000, 100})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// One poll tick's live values for 128 channels, handed on one reading at a time with the text the
// station shows, as the station's poll hands them to the link. range(0): 1 every value changed (all
// are sent; the minimum interval is 0), 0 none did (all are held). The time is the calling
// thread's; the counter adds the connection thread's work, measured over all ticks once they are
// written.
void BM_LiveValuesTick(benchmark::State &state) {
    const bool changing = state.range(0) != 0;
    BrokerProcess broker;
    if (!started(broker, state))
        return;
    MemoryOutbox outbox;
    PlantLinkClient client(outbox);
    PlantLinkConfig config = configFor(broker.port(), QStringLiteral("live"));
    config.liveValues = true;
    config.liveMinIntervalMs = 0;
    client.start(config);
    if (!waitFor([&] { return client.state().kind == LinkState::Connected; })) {
        state.SkipWithError("no connection");
        return;
    }
    LivePublisher publisher(client);
    const qint64 processStart = clockNs(CLOCK_PROCESS_CPUTIME_ID);
    qint64 tick = 0;
    for (auto _ : state) {
        ++tick;
        for (int channel = 1; channel <= 128; ++channel) {
            const double value =
                10.0 + channel + (changing ? static_cast<double>(tick) * 0.001 : 0.0);
            publisher.onReading(tick, {channel, value, QString::number(value, 'f', 3)});
        }
    }
    // A QoS 1 part behind the last tick: its acknowledgement means every live value is written.
    outbox.add(benchPart(QStringLiteral("live"), 1, 0));
    client.outboxChanged();
    waitFor([&] { return outbox.unsentCount() == 0; }, 120000);
    state.counters["process_cpu_ms_per_tick"] =
        static_cast<double>(clockNs(CLOCK_PROCESS_CPUTIME_ID) - processStart) / 1e6 /
        static_cast<double>(tick);
}
BENCHMARK(BM_LiveValuesTick)->Arg(1)->Arg(0)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// A plant on this machine: range(0) station publishers, one broker, one subscriber; every
// station records an 8-channel part a second for PlantSeconds seconds.
constexpr int PlantSeconds = 20;

void BM_Plant(benchmark::State &state) {
    const auto stations = static_cast<int>(state.range(0));
    BrokerProcess broker;
    if (!started(broker, state))
        return;
    Receiver receiver(broker.port());
    receiver.waitUntilSubscribed();
    qint64 sent = 0;
    for (auto _ : state) {
        if (stations <= PublishersPerProcess) {
            sent = plantPublishers(broker.port(), 0, stations, PlantSeconds);
        } else {
            std::vector<std::unique_ptr<QProcess>> workers;
            for (int first = 0; first < stations; first += PublishersPerProcess) {
                workers.push_back(std::make_unique<QProcess>());
                workers.back()->start(
                    QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--plant-worker"), QString::number(broker.port()),
                     QString::number(first),
                     QString::number(std::min(PublishersPerProcess, stations - first)),
                     QString::number(PlantSeconds)});
            }
            for (const auto &worker : workers) {
                worker->waitForFinished(-1);
                const QByteArray said = worker->readAllStandardOutput();
                const qint64 workerSent =
                    said.startsWith("sent ") ? said.mid(5).trimmed().toLongLong() : -1;
                sent = (sent < 0 || workerSent < 0) ? -1 : sent + workerSent;
            }
        }
        waitFor(
            [&] {
                return receiver.unique() >= static_cast<std::size_t>(std::max<qint64>(sent, 0));
            },
            60000);
    }
    if (sent < 0) {
        state.SkipWithError("the publishers did not get everything acknowledged");
        return;
    }
    const std::vector<double> latencies = receiver.latenciesMs();
    state.counters["stations"] = stations;
    state.counters["delivered_parts_per_s"] = static_cast<double>(receiver.unique()) / PlantSeconds;
    state.counters["p99_ms"] = percentile(latencies, 0.99);
    state.counters["lost"] = static_cast<double>(sent) - static_cast<double>(receiver.unique());
    state.counters["repeats"] =
        static_cast<double>(receiver.received() - static_cast<qint64>(receiver.unique()));
}
BENCHMARK(BM_Plant)->Arg(1)->Arg(10)->Arg(100)->Arg(500)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) == QLatin1String("--plant-worker"))
        return plantWorker(app.arguments());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
