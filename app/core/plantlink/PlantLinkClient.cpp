#include "PlantLinkClient.h"

#include "BrokerSession.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <algorithm>

namespace plantlink {

// Carries one session's reports from its thread to the client's thread. It touches nothing of
// the client there but the acknowledgement queue, which has its own lock.
class PlantLinkClient::Relay : public SessionEvents {
public:
    Relay(PlantLinkClient *client, quint64 generation)
        : m_client(client), m_generation(generation) {}

    void accepted() override {
        PlantLinkClient *client = m_client;
        const quint64 generation = m_generation;
        QMetaObject::invokeMethod(
            client, [client, generation] { client->sessionAccepted(generation); },
            Qt::QueuedConnection);
    }

    void acknowledged(int messageId) override {
        bool wasEmpty = false;
        {
            QMutexLocker lock(&m_client->m_ackMutex);
            wasEmpty = m_client->m_acks.empty();
            m_client->m_acks.emplace_back(m_generation, messageId);
        }
        if (wasEmpty) {
            PlantLinkClient *client = m_client;
            QMetaObject::invokeMethod(
                client, [client] { client->takeAcknowledgements(); }, Qt::QueuedConnection);
        }
    }

    void ended(const LinkState &why) override {
        PlantLinkClient *client = m_client;
        const quint64 generation = m_generation;
        QMetaObject::invokeMethod(
            client, [client, generation, why] { client->sessionEnded(generation, why); },
            Qt::QueuedConnection);
    }

private:
    PlantLinkClient *m_client;
    quint64 m_generation;
};

PlantLinkClient::PlantLinkClient(Outbox &outbox, QObject *parent)
    : QObject(parent), m_outbox(outbox) {
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &PlantLinkClient::beginAttempt);
    m_clock.start();
}

PlantLinkClient::~PlantLinkClient() {
    // Says "offline" and ends the connection, without telling receivers that may be going too.
    blockSignals(true);
    stop();
}

void PlantLinkClient::start(const PlantLinkConfig &config) {
    stop();
    m_config = config;
    m_config.window = std::max(1, config.window);
    m_topics.emplace(stationName(m_config));
    m_live = LiveRateLimiter(std::max(0, config.liveMinIntervalMs));
    m_policy.reset();
    m_started = true;
    setState(connectingTo(m_config.host, m_config.port));
    reportBacklog();
    beginAttempt();
}

void PlantLinkClient::stop() {
    m_retry.stop();
    const bool wasStarted = m_started;
    m_started = false;
    if (m_session && m_accepted)
        m_session->publish(m_topics->status, offlineDocument(), 1, true);
    endSession();
    if (wasStarted)
        setState(stopped());
}

std::chrono::milliseconds PlantLinkClient::nextAttemptIn() const {
    return m_retry.isActive() ? m_retry.remainingTimeAsDuration() : std::chrono::milliseconds(0);
}

void PlantLinkClient::beginAttempt() {
    if (!m_started)
        return;
    SessionOptions options;
    options.clientId = clientId(stationName(m_config));
    options.keepSession = true;
    options.willTopic = m_topics->status;
    options.willPayload = offlineDocument();
    options.maxInFlight = m_config.window;
    ++m_generation;
    m_session = std::make_unique<BrokerSession>(m_config, options);
    m_relay = std::make_unique<Relay>(this, m_generation);
    m_thread =
        std::thread([session = m_session.get(), relay = m_relay.get()] { session->run(*relay); });
}

void PlantLinkClient::endSession() {
    if (m_session)
        m_session->stop();
    if (m_thread.joinable())
        m_thread.join();
    m_session.reset();
    m_relay.reset();
    // Whatever was in flight on that connection goes out again on the next one, from the
    // first unsent record on.
    m_inFlight.clear();
    m_handedOut = 0;
    m_accepted = false;
    ++m_generation;
}

void PlantLinkClient::sessionAccepted(quint64 generation) {
    if (generation != m_generation)
        return;
    m_accepted = true;
    m_policy.reset();
    setState(brokerAnswer(m_config.host, m_config.port, 0));
    publishStatus();
    if (m_counter)
        publishCounter(*m_counter);
    m_live.clear();
    drain();
}

void PlantLinkClient::sessionEnded(quint64 generation, const LinkState &why) {
    if (generation != m_generation)
        return;
    endSession();
    if (!m_started)
        return;
    setState(why);
    const double spread = QRandomGenerator::global()->generateDouble();
    m_retry.start(m_policy.next(why.kind, spread));
}

void PlantLinkClient::takeAcknowledgements() {
    std::vector<std::pair<quint64, int>> acks;
    {
        QMutexLocker lock(&m_ackMutex);
        acks.swap(m_acks);
    }
    std::vector<qint64> sent;
    for (const auto &[generation, messageId] : acks) {
        if (generation != m_generation)
            continue;
        const auto part = m_inFlight.find(messageId);
        if (part == m_inFlight.end())
            continue;
        sent.push_back(part->second);
        m_inFlight.erase(part);
    }
    if (sent.empty())
        return;
    m_outbox.markSent(sent);
    for (const qint64 id : sent)
        Q_EMIT partAcknowledged(id);
    reportBacklog();
    drain();
}

void PlantLinkClient::drain() {
    if (!m_accepted || !m_config.publishParts)
        return;
    const int window = m_config.window;
    while (static_cast<int>(m_inFlight.size()) < window) {
        const std::vector<OutboxRecord> records =
            m_outbox.nextUnsent(m_handedOut, window - static_cast<int>(m_inFlight.size()));
        if (records.empty())
            return;
        for (const OutboxRecord &record : records) {
            const std::optional<int> messageId =
                m_session->publish(m_topics->part, record.payload, 1, false);
            // The connection is going; its end starts the next attempt, which sends this again.
            if (!messageId)
                return;
            m_inFlight.emplace(*messageId, record.id);
            m_handedOut = record.id;
        }
    }
}

void PlantLinkClient::outboxChanged() {
    reportBacklog();
    drain();
}

void PlantLinkClient::setStationInfo(const StationInfo &info) {
    m_info = info;
    if (m_accepted)
        publishStatus();
}

void PlantLinkClient::publishStatus() {
    m_session->publish(m_topics->status, onlineDocument(m_info, QDateTime::currentDateTimeUtc()), 1,
                       true);
}

void PlantLinkClient::publishCounter(const CounterState &counter) {
    m_counter = counter;
    if (m_accepted)
        m_session->publish(m_topics->counter,
                           counterDocument(counter, QDateTime::currentDateTimeUtc()), 1, true);
}

void PlantLinkClient::publishLiveValue(int channel, std::optional<double> value, int decimals) {
    if (!m_accepted || !m_config.liveValues)
        return;
    const QString shown = shownValue(value, decimals);
    if (!m_live.admit(channel, shown, m_clock.elapsed()))
        return;
    m_session->publish(m_topics->live(channel),
                       liveDocument(shown, QDateTime::currentDateTimeUtc()), 0, false);
}

void PlantLinkClient::reportBacklog() {
    const qint64 unsent = m_outbox.unsentCount();
    if (unsent == m_backlog)
        return;
    m_backlog = unsent;
    Q_EMIT backlogChanged(unsent);
}

void PlantLinkClient::setState(const LinkState &state) {
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

LinkState PlantLinkClient::test(const PlantLinkConfig &config) {
    SessionOptions options;
    options.clientId = clientId(stationName(config)) + "-test";
    options.keepSession = false;
    BrokerSession session(config, options);

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
    Probe probe(session);
    session.run(probe);
    return probe.m_accepted ? brokerAnswer(config.host, config.port, 0) : probe.m_end;
}

} // namespace plantlink
