#include "PlantLinkClient.h"

#include "BrokerSession.h"
#include "LinkTest.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <algorithm>
#include <mutex>

namespace plantlink {

namespace {

// How long stopping waits for the connection's thread: the flush of what is queued takes at most
// a second. Only a name lookup that hangs takes longer; that thread is let go, finishes on its
// own and takes its session with it.

} // namespace

// What a connection's thread may reach of the client: the client itself until it is gone, and
// the queue of acknowledgements.
struct PlantLinkClient::Gate {
    std::mutex mutex;
    PlantLinkClient *client = nullptr;
    std::vector<std::pair<quint64, int>> acks;
};

// Carries one session's reports from its thread to the client's thread, through the gate.
class PlantLinkClient::Relay : public SessionEvents {
public:
    Relay(std::shared_ptr<Gate> gate, quint64 generation)
        : m_gate(std::move(gate)), m_generation(generation) {}

    void accepted() override {
        post([generation = m_generation](PlantLinkClient *client) {
            client->sessionAccepted(generation);
        });
    }

    void acknowledged(int messageId) override {
        std::lock_guard lock(m_gate->mutex);
        if (!m_gate->client)
            return;
        m_gate->acks.emplace_back(m_generation, messageId);
        // One call takes all that gathered until it runs.
        if (m_gate->acks.size() == 1) {
            PlantLinkClient *client = m_gate->client;
            QMetaObject::invokeMethod(
                client, [client] { client->takeAcknowledgements(); }, Qt::QueuedConnection);
        }
    }

    void ended(const LinkState &why) override {
        post([generation = m_generation, why](PlantLinkClient *client) {
            client->sessionEnded(generation, why);
        });
    }

private:
    template <typename F> void post(F call) {
        std::lock_guard lock(m_gate->mutex);
        PlantLinkClient *client = m_gate->client;
        if (client)
            QMetaObject::invokeMethod(
                client, [client, call] { call(client); }, Qt::QueuedConnection);
    }

    std::shared_ptr<Gate> m_gate;
    quint64 m_generation;
};

PlantLinkClient::PlantLinkClient(Outbox &outbox, QObject *parent)
    : QObject(parent), m_outbox(outbox), m_gate(std::make_shared<Gate>()) {
    m_gate->client = this;
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &PlantLinkClient::beginAttempt);
    m_clock.start();
}

PlantLinkClient::~PlantLinkClient() {
    // Says "offline" and ends the connection, without telling receivers that may be going too.
    blockSignals(true);
    stop();
    std::lock_guard lock(m_gate->mutex);
    m_gate->client = nullptr;
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
    if (m_broker.session() && m_accepted)
        m_broker.session()->publish(m_topics->status, offlineDocument(), 1, true);
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
    m_broker.start(std::make_shared<BrokerSession>(m_config, options),
                   [relay = Relay(m_gate, m_generation)](BrokerSession &session) mutable {
                       session.run(relay);
                   });
}

void PlantLinkClient::endSession() {
    m_broker.end();
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
        std::lock_guard lock(m_gate->mutex);
        acks.swap(m_gate->acks);
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
                m_broker.session()->publish(m_topics->part, record.payload, 1, false);
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
    m_broker.session()->publish(m_topics->status,
                                onlineDocument(m_info, QDateTime::currentDateTimeUtc()), 1, true);
}

void PlantLinkClient::publishCounter(const CounterState &counter) {
    m_counter = counter;
    if (m_accepted)
        m_broker.session()->publish(
            m_topics->counter, counterDocument(counter, QDateTime::currentDateTimeUtc()), 1, true);
}

void PlantLinkClient::publishLiveValue(int channel, std::optional<double> value, int decimals) {
    if (wantsLiveValues())
        publishLiveText(channel, shownValue(value, decimals));
}

void PlantLinkClient::publishLiveText(int channel, const QString &shown) {
    if (!wantsLiveValues())
        return;
    if (!m_live.admit(channel, shown, m_clock.elapsed()))
        return;
    // A tick's values share their millisecond, and its text is made once.
    const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
    if (nowMs != m_liveTimeMs) {
        m_liveTimeMs = nowMs;
        m_liveTime = isoTime(QDateTime::fromMSecsSinceEpoch(nowMs, Qt::UTC));
    }
    m_broker.session()->publish(m_topics->live(channel), liveDocument(shown, m_liveTime), 0, false);
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
    BrokerSession session(config, testSessionOptions(config));
    return runTestAttempt(session, config);
}

} // namespace plantlink
