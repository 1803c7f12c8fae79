// The event loop of the pty front end: requests from the station, control lines, close events
// of the port, reply bytes released on their deadlines, and parts a cycle places on its own.
#pragma once

#include "clock.h"
#include "control.h"
#include "exchange_log.h"
#include "faults.h"
#include "pacer.h"
#include "part_announcer.h"
#include "protocol.h"
#include "pty_port.h"
#include "unit.h"

#include <deque>
#include <string>
#include <vector>

namespace qorsim {

class PtyServer {
public:
    PtyServer(const Options &options, PtyPort &port, Unit &unit, ExchangeLog &log,
              PartAnnouncer &announcer);

    // Serves until quit, a termination signal or a hang-up; returns the exit status.
    int run();

private:
    struct Pending {
        char byte;
        double due; // monotonic seconds
    };
    struct LineInput {
        int fd = -1;
        std::string buffer;
    };

    void serveRequests();
    // requestSize: characters of the request the reply answers, which --pace lets cross first.
    void queueReply(const std::string &reply, std::size_t requestSize);
    void releaseDue();
    bool readControl(LineInput &in);

    Options options_;
    PtyPort &port_;
    Unit &unit_;
    ExchangeLog &log_;
    PartAnnouncer &announcer_;
    FaultInjector faults_;
    RequestReader reader_;
    std::deque<Pending> out_;
    LinePacer pacer_;
    bool quit_ = false;
    double hangupAt_ = -1; // when the last reply left, once the unit is to hang up
    LineInput stdin_;
    LineInput fifo_;
};

} // namespace qorsim
