#pragma once

#include "LogStatus.h"

#include <optional>

// The box about the measurement log's bad ground (read-only, full, locked, damaged, ...) comes
// once for each kind of trouble, not at every part the log turns away: the status bar says it for
// each part. Once a part has gone in again, the next trouble is told again.
namespace recording {

class BadGroundNotice {
public:
    // Whether a box is to be shown for this answer of the log.
    bool shouldTell(const measurelog::LogStatus &status);
    // A part was committed: the log works again.
    void logWorked() { m_told.reset(); }

private:
    std::optional<measurelog::LogState> m_told;
};

} // namespace recording
