#include "BadGroundNotice.h"

namespace recording {

bool BadGroundNotice::shouldTell(const measurelog::LogStatus &status) {
    if (status.isReady() || m_told == status.state)
        return false;
    m_told = status.state;
    return true;
}

} // namespace recording
