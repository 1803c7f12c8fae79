#include "faults.h"

namespace qorsim {

LineSettings unitSerialLine(const Options &options) {
    return {options.baud, 8, false, 2};
}

LineSettings unitUsbLine() {
    return {115200, 8, false, 1};
}

// The fault stream has its own generator so that faults do not shift the probe noise.
FaultInjector::FaultInjector(const Options &options)
    : options_(options), rng_(options.seed ^ 0x5DEECE66DULL) {
    for (const std::string &command : options.failCommands)
        failCommand(command);
}

bool FaultInjector::chance(double p) {
    return p > 0.0 && std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p;
}

bool FaultInjector::respondsTo() {
    if (hungUp() || (options_.silentAfter >= 0 && answered_ >= options_.silentAfter))
        return false;
    ++answered_;
    return true;
}

bool FaultInjector::hungUp() const {
    return options_.hangupAfter >= 0 && answered_ >= options_.hangupAfter;
}

std::string FaultInjector::shape(std::string reply) {
    if (chance(options_.dropRate))
        return {};
    if (!reply.empty() && chance(options_.garbleRate)) {
        std::size_t at = std::uniform_int_distribution<std::size_t>(0, reply.size() - 1)(rng_);
        auto flip = static_cast<char>(1u << std::uniform_int_distribution<int>(0, 6)(rng_));
        reply[at] = static_cast<char>(reply[at] ^ flip);
    }
    return reply;
}

std::string FaultInjector::garbage(std::size_t n) {
    std::string out;
    std::uniform_int_distribution<int> byte(0x80, 0xFF);
    for (std::size_t i = 0; i < n; ++i)
        out += static_cast<char>(byte(rng_));
    return out;
}

void FaultInjector::failCommand(const std::string &command, long times) {
    if (times == 0)
        failing_.erase(command);
    else
        failing_[command] = times < 0 ? -1 : times;
}

bool FaultInjector::failsNow(const std::string &command) {
    auto it = failing_.find(command);
    if (it == failing_.end())
        return false;
    if (it->second > 0 && --it->second == 0)
        failing_.erase(it);
    return true;
}

std::string FaultInjector::answerOrRefuse(Unit &unit, const Request &request, Transport transport) {
    if (failsNow(commandOf(request)))
        return refusal(request, transport, kRefusedCommandError);
    return answer(unit, request, transport);
}

} // namespace qorsim
