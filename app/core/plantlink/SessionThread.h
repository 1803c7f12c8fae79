#pragma once

#include "BrokerSession.h"

#include <future>
#include <memory>
#include <thread>
#include <utility>

namespace plantlink {

// A broker session and the thread that serves it. Ending it stops the session and waits a
// bounded time for the thread: one stuck in a system call is let go to end by itself (it holds
// its own share of the session) rather than freeze the window that ended it.
class SessionThread {
public:
    SessionThread() = default;
    SessionThread(const SessionThread &) = delete;
    SessionThread &operator=(const SessionThread &) = delete;
    ~SessionThread() { end(); }

    // Ends the session under way, if any, then runs serve(*session) on a thread of its own.
    template <typename Serve> void start(std::shared_ptr<BrokerSession> session, Serve serve) {
        end();
        m_session = session;
        std::promise<void> ended;
        m_ended = ended.get_future();
        m_thread = std::thread([session = std::move(session), serve = std::move(serve),
                                ended = std::move(ended)]() mutable {
            serve(*session);
            ended.set_value();
        });
    }
    void end();

    // The session under way; null when there is none.
    BrokerSession *session() const { return m_session.get(); }

private:
    std::shared_ptr<BrokerSession> m_session;
    std::thread m_thread;
    std::future<void> m_ended;
};

} // namespace plantlink
