#include "SessionThread.h"

#include <chrono>

namespace plantlink {

namespace {

constexpr std::chrono::seconds ThreadEndWait{2};

} // namespace

void SessionThread::end() {
    if (m_session)
        m_session->stop();
    if (m_thread.joinable()) {
        if (m_ended.wait_for(ThreadEndWait) == std::future_status::ready)
            m_thread.join();
        else
            m_thread.detach();
    }
    m_session.reset();
}

} // namespace plantlink
