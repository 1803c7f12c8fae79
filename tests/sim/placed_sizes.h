// The true sizes the simulator announces: "part 12 placed: P1=0.001234567 P2=..." or a status
// line's "true P1=... P2=...", in probe order.
#pragma once

#include <regex>
#include <string>
#include <vector>

namespace qorsim {

inline std::vector<double> sizesIn(const std::string &line) {
    static const std::regex probe("P(\\d+)=(-?[0-9.]+)");
    std::vector<double> sizes;
    for (std::sregex_iterator it(line.begin(), line.end(), probe), end; it != end; ++it)
        sizes.push_back(std::stod((*it)[2]));
    return sizes;
}

} // namespace qorsim
