// Tells the world which parts the fixture placed and their true sizes: a line on standard output
// for each ("qorsim: part 12 placed: P1=... P2=..."), and with --parts-log the same line without
// the prefix in that file, so that a test knows what each part it records should read.
#pragma once

#include "unit.h"

#include <cstdio>
#include <string>

namespace qorsim {

class PartAnnouncer {
public:
    PartAnnouncer() = default;
    PartAnnouncer(const PartAnnouncer &) = delete;
    PartAnnouncer &operator=(const PartAnnouncer &) = delete;
    ~PartAnnouncer();

    // Opens (appends to) the parts log; false with errno set when it cannot.
    bool open(const std::string &path);
    // Announces every part the unit's fixture placed since the last call.
    void announce(Unit &unit);

private:
    std::FILE *log_ = nullptr;
};

} // namespace qorsim
