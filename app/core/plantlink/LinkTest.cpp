#include "LinkTest.h"

#include "Topics.h"

#include <chrono>
#include <mutex>

namespace plantlink {

namespace {

// As for the link's own connection: the stop is seen within a second, and only a name lookup
// that hangs takes longer; such a thread is let go and ends on its own.
constexpr std::chrono::seconds ThreadEndWait{2};

class Probe : public SessionEvents {
public:
    explicit Probe(BrokerSession &session) : m_session(session) {}
    void accepted() override {
        m_accepted = true;
        m_session.stop();
    }
    void acknowledged(int) override {}
    void ended(const LinkState &why) override { m_end = why; }

    bool m_accepted = false;
    LinkState m_end;

private:
    BrokerSession &m_session;
};

} // namespace

SessionOptions testSessionOptions(const PlantLinkConfig &config) {
    SessionOptions options;
    options.clientId = clientId(stationName(config)) + "-test";
    options.keepSession = false;
    return options;
}

LinkState runTestAttempt(BrokerSession &session, const PlantLinkConfig &config) {
    Probe probe(session);
    session.run(probe);
    return probe.m_accepted ? brokerAnswer(config.host, config.port, 0) : probe.m_end;
}

// What the attempt's thread may reach of the test: the test itself until it is gone or has
// started another attempt.
struct LinkTest::Gate {
    std::mutex mutex;
    LinkTest *owner = nullptr;
};

LinkTest::LinkTest(QObject *parent) : QObject(parent) {}

LinkTest::~LinkTest() {
    cancel();
}

void LinkTest::start(const PlantLinkConfig &config) {
    cancel();
    m_gate = std::make_shared<Gate>();
    m_gate->owner = this;
    m_session = std::make_shared<BrokerSession>(config, testSessionOptions(config));
    m_running = true;
    const quint64 attempt = ++m_attempt;
    std::promise<void> ended;
    m_threadEnded = ended.get_future();
    m_thread = std::thread(
        [gate = m_gate, session = m_session, config, attempt, ended = std::move(ended)]() mutable {
            const LinkState outcome = runTestAttempt(*session, config);
            {
                std::lock_guard lock(gate->mutex);
                if (LinkTest *owner = gate->owner)
                    QMetaObject::invokeMethod(
                        owner, [owner, attempt, outcome] { owner->finish(attempt, outcome); },
                        Qt::QueuedConnection);
            }
            ended.set_value();
        });
}

void LinkTest::finish(quint64 attempt, const LinkState &outcome) {
    // An outcome posted just before its attempt was dropped belongs to no attempt now.
    if (attempt != m_attempt || !m_running)
        return;
    m_running = false;
    Q_EMIT finished(outcome);
}

void LinkTest::cancel() {
    if (m_gate) {
        std::lock_guard lock(m_gate->mutex);
        m_gate->owner = nullptr;
    }
    if (m_session)
        m_session->stop();
    if (m_thread.joinable()) {
        if (m_threadEnded.wait_for(ThreadEndWait) == std::future_status::ready)
            m_thread.join();
        else
            m_thread.detach();
    }
    m_session.reset();
    m_gate.reset();
    m_running = false;
}

} // namespace plantlink
