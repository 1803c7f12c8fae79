#include "ReconnectPolicy.h"

#include <algorithm>

namespace plantlink {

std::chrono::milliseconds ReconnectPolicy::next(LinkState::Kind failure, double spread) {
    std::chrono::milliseconds wait = AfterRejection;
    if (failure != LinkState::NotAuthorised) {
        // 2^6 s is past the cap already; counting further would only overflow.
        const int doublings = std::min(m_failures, 6);
        wait = std::min<std::chrono::milliseconds>(First * (1 << doublings), Longest);
        ++m_failures;
    }
    const double extra = std::clamp(spread, 0.0, 1.0) / 5.0;
    return std::chrono::milliseconds(static_cast<std::chrono::milliseconds::rep>(
        static_cast<double>(wait.count()) * (1.0 + extra)));
}

} // namespace plantlink
