#include "part_announcer.h"

namespace qorsim {

PartAnnouncer::~PartAnnouncer() {
    if (log_)
        std::fclose(log_);
}

bool PartAnnouncer::open(const std::string &path) {
    log_ = std::fopen(path.c_str(), "a");
    return log_ != nullptr;
}

void PartAnnouncer::announce(Unit &unit) {
    const std::vector<std::string> placed = unit.fixture().takePlacements();
    if (placed.empty())
        return;
    for (const std::string &line : placed) {
        std::printf("qorsim: %s\n", line.c_str());
        if (log_)
            std::fprintf(log_, "%s\n", line.c_str());
    }
    std::fflush(stdout);
    if (log_)
        std::fflush(log_);
}

} // namespace qorsim
