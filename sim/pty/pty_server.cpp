#include "pty_server.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qorsim {

namespace {

volatile std::sig_atomic_t gStop = 0;

void onStopSignal(int) {
    gStop = 1;
}

} // namespace

PtyServer::PtyServer(const Options &options, PtyPort &port, Unit &unit, ExchangeLog &log,
                     PartAnnouncer &announcer)
    : options_(options), port_(port), unit_(unit), log_(log), announcer_(announcer),
      faults_(options) {
    stdin_.fd = STDIN_FILENO;
    if (!options_.controlFifo.empty()) {
        ::mkfifo(options_.controlFifo.c_str(), 0600);
        // Opened for writing too, so the FIFO never reports end of file between writers.
        fifo_.fd = ::open(options_.controlFifo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fifo_.fd < 0)
            std::perror(("qorsim: " + options_.controlFifo).c_str());
    }
}

void PtyServer::queueReply(const std::string &reply, std::size_t requestSize) {
    double ready = monotonicSeconds() + options_.delayMs / 1000.0;
    std::vector<double> due;
    if (options_.pace) {
        const int baud = port_.stationLine().baud > 0 ? port_.stationLine().baud : options_.baud;
        // The station's write lands at once, but on a real line the unit has the whole request
        // only after its last character has crossed.
        ready += static_cast<double>(requestSize) * LinePacer::kBitsPerCharacter / baud;
        pacer_.schedule(ready, reply.size(), baud, due);
    } else {
        due.assign(reply.size(), ready);
    }
    for (std::size_t i = 0; i < reply.size(); ++i)
        out_.push_back({reply[i], due[i]});
}

void PtyServer::releaseDue() {
    if (port_.masterFd() < 0) {
        out_.clear();
        return;
    }
    double now = monotonicSeconds();
    std::string chunk;
    for (const Pending &p : out_) {
        if (p.due > now)
            break;
        chunk += p.byte;
    }
    if (chunk.empty())
        return;
    ssize_t n = ::write(port_.masterFd(), chunk.data(), chunk.size());
    if (n > 0)
        out_.erase(out_.begin(), out_.begin() + n);
}

void PtyServer::serveRequests() {
    char buf[4096];
    ssize_t n = ::read(port_.masterFd(), buf, sizeof buf);
    if (n <= 0)
        return;
    std::vector<Request> requests;
    reader_.feed(std::string_view(buf, static_cast<std::size_t>(n)), monotonicSeconds(), requests);
    for (const Request &request : requests) {
        if (!faults_.respondsTo()) {
            log_.write(monotonicSeconds(), request.raw, {});
            continue;
        }
        std::string reply = faults_.answerOrRefuse(unit_, request, Transport::Serial);
        if (!(port_.stationLine() == unitSerialLine(options_)))
            reply = faults_.garbage(reply.size());
        reply = faults_.shape(reply);
        log_.write(monotonicSeconds(), request.raw, reply);
        queueReply(reply, request.raw.size());
        announcer_.announce(unit_);
    }
}

bool PtyServer::readControl(LineInput &in) {
    char buf[1024];
    ssize_t n = ::read(in.fd, buf, sizeof buf);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
        return false;
    if (n > 0)
        in.buffer.append(buf, static_cast<std::size_t>(n));
    for (std::size_t eol; (eol = in.buffer.find('\n')) != std::string::npos;) {
        std::string line = in.buffer.substr(0, eol);
        in.buffer.erase(0, eol + 1);
        ControlOutcome outcome = applyControl(unit_, faults_, line);
        announcer_.announce(unit_);
        if (!outcome.text.empty()) {
            std::FILE *to = outcome.ok ? stdout : stderr;
            std::fprintf(to, "%s\n", outcome.text.c_str());
            std::fflush(to);
        }
        quit_ = quit_ || outcome.quit;
    }
    return true;
}

int PtyServer::run() {
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
    // Run in the background of an interactive shell, reading the terminal would stop the
    // simulator; ignored, the read fails instead and standard input is no longer watched.
    for (int sig : {SIGPIPE, SIGTTIN, SIGTTOU})
        std::signal(sig, SIG_IGN);
    // Signals are only taken inside ppoll, so none slips in between a check and the wait.
    sigset_t blocked, during;
    sigemptyset(&blocked);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&blocked, sig);
    ::sigprocmask(SIG_BLOCK, &blocked, &during);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigdelset(&during, sig);

    while (!quit_ && !gStop) {
        // Closing the master discards what the station has not read, and written bytes reach
        // the slave's queue a little later; so the last reply gets 100 ms, and up to two seconds
        // while it lies unread, before the line drops.
        if (faults_.hungUp() && out_.empty()) {
            double now = monotonicSeconds();
            if (hangupAt_ < 0)
                hangupAt_ = now;
            if ((now >= hangupAt_ + 0.1 && port_.unreadByStation() == 0) ||
                now >= hangupAt_ + 2.0) {
                port_.hangUp();
                std::fprintf(stderr, "qorsim: hung up after %ld requests\n", options_.hangupAfter);
                return 0;
            }
        }
        unit_.followFixture();
        announcer_.announce(unit_);
        // Bytes already due wait for room on the master; later ones for their deadline, which
        // ppoll takes in nanoseconds (a paced character is due sooner than a millisecond). A
        // cycle of parts wakes the loop when it places or takes out the next one.
        const double now = monotonicSeconds();
        const bool dueNow = !out_.empty() && out_.front().due <= now;
        double wake = unit_.nextFixtureChange();
        if (!out_.empty() && !dueNow)
            wake = std::min(wake, out_.front().due);
        double left = wake - now;
        pollfd fds[4] = {{port_.masterFd(), static_cast<short>(POLLIN | (dueNow ? POLLOUT : 0)), 0},
                         {port_.watchFd(), POLLIN, 0},
                         {stdin_.fd, POLLIN, 0},
                         {fifo_.fd, POLLIN, 0}};
        timespec ts{};
        timespec *tsp = nullptr;
        if (hangupAt_ >= 0)
            left = 0.01;
        if (std::isfinite(left)) {
            left = std::max(left, 0.0);
            ts.tv_sec = static_cast<time_t>(left);
            ts.tv_nsec = static_cast<long>((left - static_cast<double>(ts.tv_sec)) * 1e9);
            tsp = &ts;
        }
        int ready = ::ppoll(fds, 4, tsp, &during);
        if (ready < 0 && errno != EINTR) {
            std::perror("qorsim: poll");
            return 1;
        }
        if (ready > 0) {
            if (fds[1].revents & POLLIN) {
                // The station let go of the port: what it did not read is not wanted.
                if (port_.handleCloseEvents()) {
                    reader_.reset();
                    out_.clear();
                }
            }
            if (fds[0].revents & POLLIN)
                serveRequests();
            if ((fds[2].revents & (POLLIN | POLLHUP)) && !readControl(stdin_))
                stdin_.fd = -1;
            if ((fds[3].revents & POLLIN) && !readControl(fifo_))
                fifo_.fd = -1;
        }
        releaseDue();
    }
    return 0;
}

} // namespace qorsim
