#include "LinkTest.h"

#include "Topics.h"

#include <chrono>
#include <mutex>

namespace plantlink {

namespace {

// As for the link's own connection: the stop is seen within a second, and only a name lookup
// that hangs takes longer; such a thread is let go and ends on its own.

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
    m_running = true;
    const quint64 attempt = ++m_attempt;
    m_session.start(std::make_shared<BrokerSession>(config, testSessionOptions(config)),
                    [gate = m_gate, config, attempt](BrokerSession &session) {
                        const LinkState outcome = runTestAttempt(session, config);
                        std::lock_guard lock(gate->mutex);
                        if (LinkTest *owner = gate->owner)
                            QMetaObject::invokeMethod(
                                owner,
                                [owner, attempt, outcome] { owner->finish(attempt, outcome); },
                                Qt::QueuedConnection);
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
    m_session.end();
    m_gate.reset();
    m_running = false;
}

} // namespace plantlink
