// Exchanges per second of QorReadChannel over a pty against a unit that answers at once, next to
// the transport's limit: a minimal write, poll() and read() loop on the same pty. The ratio is
// taken from exchanges interleaved one by one, so that load from other processes falls on both
// alike.
#include "qorlink.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

constexpr int kPort = 41;
constexpr char kRequest[] = "~C1 1\r";
constexpr char kReply[] = "~00 001 1.234500\r";

// A pty whose master answers every carriage-return-ended request with kReply immediately.
class ImmediateUnit {
public:
    ImmediateUnit() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
            throw std::runtime_error("no pseudo-terminal");
        }
        slave_path_ = ptsname(master_);
        // Held open so that the master never sees a hang-up between the clients' opens and closes.
        keep_slave_ = open(slave_path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (keep_slave_ < 0 || pipe2(stop_, O_CLOEXEC) != 0) {
            throw std::runtime_error("no pipe");
        }
        setenv(("QORLINK_COM" + std::to_string(kPort)).c_str(), slave_path_.c_str(), 1);
        responder_ = std::thread([this] { respond(); });
    }
    ~ImmediateUnit() {
        close(stop_[1]); // wakes the responder, which then ends
        responder_.join();
        close(stop_[0]);
        close(keep_slave_);
        close(master_);
    }
    ImmediateUnit(const ImmediateUnit &) = delete;
    ImmediateUnit &operator=(const ImmediateUnit &) = delete;

    const std::string &slave_path() const { return slave_path_; }

private:
    void respond() const {
        char buffer[256];
        for (;;) {
            pollfd entries[2] = {{master_, POLLIN, 0}, {stop_[0], POLLIN, 0}};
            if (poll(entries, 2, -1) < 0 || entries[1].revents != 0) {
                return;
            }
            if ((entries[0].revents & POLLIN) == 0) {
                continue;
            }
            const ssize_t count = read(master_, buffer, sizeof buffer);
            if (count <= 0) {
                return;
            }
            for (ssize_t i = 0; i < count; ++i) {
                if (buffer[i] == '\r' && write(master_, kReply, sizeof kReply - 1) < 0) {
                    return;
                }
            }
        }
    }

    int master_ = -1;
    int keep_slave_ = -1;
    int stop_[2] = {-1, -1};
    std::string slave_path_;
    std::thread responder_;
};

// The transport's limit: one write, then poll() and read() until the carriage return.
class RawLoop {
public:
    explicit RawLoop(const std::string &path) {
        fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios settings{};
        if (fd_ < 0 || tcgetattr(fd_, &settings) != 0) {
            throw std::runtime_error("cannot open the pty slave");
        }
        cfmakeraw(&settings);
        tcsetattr(fd_, TCSANOW, &settings);
    }
    ~RawLoop() { close(fd_); }
    RawLoop(const RawLoop &) = delete;
    RawLoop &operator=(const RawLoop &) = delete;

    bool exchange() const {
        if (write(fd_, kRequest, sizeof kRequest - 1) != sizeof kRequest - 1) {
            return false;
        }
        char buffer[64];
        for (;;) {
            pollfd entry{fd_, POLLIN, 0};
            if (poll(&entry, 1, 1000) <= 0) {
                return false;
            }
            const ssize_t count = read(fd_, buffer, sizeof buffer);
            if (count <= 0) {
                return false;
            }
            if (std::memchr(buffer, '\r', static_cast<std::size_t>(count)) != nullptr) {
                return true;
            }
        }
    }

private:
    int fd_ = -1;
};

// The raw descriptor is opened first: the link takes the port exclusively.
struct Rig {
    ImmediateUnit unit;
    RawLoop raw{unit.slave_path()};
    QorHandle link = QorOpen(QorInitInfoStructure(kPort, 38400, 1, nullptr));
    ~Rig() { QorClose(link); }
};

void BM_RawPollRead(benchmark::State &state) {
    Rig rig;
    for (auto _ : state) {
        if (!rig.raw.exchange()) {
            state.SkipWithError("raw exchange failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_QorReadChannel(benchmark::State &state) {
    Rig rig;
    float value = 0.0F;
    for (auto _ : state) {
        if (QorReadChannel(rig.link, 1, &value) != 0) {
            state.SkipWithError("QorReadChannel failed");
            break;
        }
        benchmark::DoNotOptimize(value);
    }
    state.SetItemsProcessed(state.iterations());
}

double thread_cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// One raw exchange and one QorReadChannel per iteration, each timed on its own, in wall-clock and
// in this thread's CPU time.
void BM_QorReadChannelVsRaw(benchmark::State &state) {
    using Clock = std::chrono::steady_clock;
    Rig rig;
    float value = 0.0F;
    Clock::duration raw_time{};
    Clock::duration link_time{};
    double raw_cpu = 0.0;
    double link_cpu = 0.0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const double cpu_start = thread_cpu_seconds();
        const bool raw_ok = rig.raw.exchange();
        const auto middle = Clock::now();
        const double cpu_middle = thread_cpu_seconds();
        const bool link_ok = QorReadChannel(rig.link, 1, &value) == 0;
        const auto end = Clock::now();
        const double cpu_end = thread_cpu_seconds();
        if (!raw_ok || !link_ok) {
            state.SkipWithError("exchange failed");
            break;
        }
        raw_time += middle - start;
        link_time += end - middle;
        raw_cpu += cpu_middle - cpu_start;
        link_cpu += cpu_end - cpu_middle;
    }
    const double raw_seconds = std::chrono::duration<double>(raw_time).count();
    const double link_seconds = std::chrono::duration<double>(link_time).count();
    const auto n = static_cast<double>(state.iterations());
    if (raw_seconds > 0 && link_seconds > 0) {
        state.counters["raw_per_s"] = n / raw_seconds;
        state.counters["link_per_s"] = n / link_seconds;
        state.counters["ratio"] = raw_seconds / link_seconds;
        state.counters["raw_cpu_us"] = raw_cpu / n * 1e6;
        state.counters["link_cpu_us"] = link_cpu / n * 1e6;
    }
}

BENCHMARK(BM_RawPollRead)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_QorReadChannel)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_QorReadChannelVsRaw)->MinTime(4.0)->UseRealTime()->Repetitions(3);

} // namespace

BENCHMARK_MAIN();
