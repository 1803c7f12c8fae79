#pragma once

#include "LinkState.h"

#include <chrono>

namespace plantlink {

// When to try the broker again. A broker that is away is tried after 1 s, then after twice the
// last wait, never more than a minute apart; one that turned the station's credentials or
// client id down will do so again until someone changes them, so it is asked only every five
// minutes. A spread of up to a fifth keeps a plant's stations from all knocking in the same
// second after the broker comes back.
class ReconnectPolicy {
public:
    static constexpr std::chrono::milliseconds First{1000};
    static constexpr std::chrono::milliseconds Longest{60000};
    static constexpr std::chrono::milliseconds AfterRejection{300000};

    // The wait after an attempt or a connection that ended in failure; spread in [0, 1).
    std::chrono::milliseconds next(LinkState::Kind failure, double spread);
    // The broker accepted the station: the next failure starts again from the first wait.
    void reset() { m_failures = 0; }

private:
    int m_failures = 0;
};

} // namespace plantlink
