// A simulated unit on a clock the test moves by hand, and a helper that puts bytes to it.
#pragma once

#include "protocol.h"
#include "unit.h"

#include <memory>
#include <string>
#include <vector>

namespace qorsim {

struct TestUnit {
    explicit TestUnit(Options o = Options()) : options(std::move(o)) { powerOn(); }

    void powerOn() {
        unit = std::make_unique<Unit>(options, [this] { return now; });
    }
    // Quiet probes: no noise, master 1 (displacement -0.01) in the fixture.
    void quiet() {
        unit->setNoise(0);
        unit->setPartMode(PartMode::Master1);
        pass(0.01);
    }
    // Moves the clock and lets the scan run.
    void pass(double seconds) {
        now += seconds;
        unit->advance();
    }
    // Sends one request's bytes and returns the reply.
    std::string ask(const std::string &bytes, Transport transport = Transport::Serial) {
        RequestReader reader;
        std::vector<Request> requests;
        reader.feed(bytes, now, requests);
        if (requests.size() != 1)
            return "<" + std::to_string(requests.size()) + " requests>";
        return answer(*unit, requests[0], transport);
    }

    double now = 100.0;
    Options options;
    std::unique_ptr<Unit> unit;
};

} // namespace qorsim
