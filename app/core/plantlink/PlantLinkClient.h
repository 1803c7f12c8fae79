#pragma once

#include "LinkState.h"
#include "LiveRateLimiter.h"
#include "Outbox.h"
#include "Payloads.h"
#include "PlantLinkConfig.h"
#include "ReconnectPolicy.h"
#include "SessionThread.h"
#include "Topics.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace plantlink {

class BrokerSession;

// The station's link to the plant's broker. It publishes the parts of its outbox in recording
// order, each marked sent only when the broker has acknowledged it, so a part recorded while
// the broker is away, or before the station was restarted, goes out once the broker is back;
// a part may arrive twice (its uuid tells), never not at all. Beside the parts it keeps the
// station's retained status (with an "offline" will) and counter, and sends rate-limited live
// values.
//
// The connection is served on a thread of its own; what it reports is posted to this object's
// thread, where the outbox is read and marked and every signal is emitted. A failed attempt is
// retried by ReconnectPolicy and its outcome reported once, not at every try.
class PlantLinkClient : public QObject {
    Q_OBJECT
public:
    explicit PlantLinkClient(Outbox &outbox, QObject *parent = nullptr);
    ~PlantLinkClient() override;

    // Connects with these settings and keeps connecting until stop(); a running link restarts.
    void start(const PlantLinkConfig &config);
    // Says "offline" on the status topic and disconnects; unsent parts stay in the outbox.
    void stop();
    bool isStarted() const { return m_started; }
    LinkState state() const { return m_state; }
    // How long until the next attempt (for the status bar); zero when none is waiting.
    std::chrono::milliseconds nextAttemptIn() const;

    // The version and setup the "online" status names; sent again when connected.
    void setStationInfo(const StationInfo &info);
    // The outbox has new records: publish them and report the backlog.
    void outboxChanged();
    // The counter after a part or a reset, retained; the latest is sent on every connection.
    void publishCounter(const CounterState &counter);
    // A channel's value as the poll read it; sent when live values are on, it changed and the
    // channel's minimum interval has passed.
    void publishLiveValue(int channel, std::optional<double> value, int decimals);
    // The same for a value already written as the station shows it: a JSON number ("12.003",
    // "-0.50"), or empty for no reading.
    void publishLiveText(int channel, const QString &shown);
    // Whether live values go out now (connected, and switched on), so a poll tick can skip making
    // them while they would not.
    bool wantsLiveValues() const { return m_accepted && m_config.liveValues; }

    // One connection attempt with these settings, under a client id of its own so a running
    // link is not pushed off the broker; returns when the broker answered, the attempt failed
    // or the configured time ran out. It blocks: call it off the GUI thread.
    static LinkState test(const PlantLinkConfig &config);

Q_SIGNALS:
    void stateChanged(const plantlink::LinkState &state);
    // The broker acknowledged the part with this outbox id; it is marked sent.
    void partAcknowledged(qint64 recordId);
    void backlogChanged(qint64 unsent);

private:
    struct Gate;
    class Relay;
    void beginAttempt();
    void sessionAccepted(quint64 generation);
    void takeAcknowledgements();
    void sessionEnded(quint64 generation, const LinkState &why);
    void endSession();
    void drain();
    void publishStatus();
    void reportBacklog();
    void setState(const LinkState &state);

    Outbox &m_outbox;
    PlantLinkConfig m_config;
    std::optional<StationTopics> m_topics;
    StationInfo m_info;
    std::optional<CounterState> m_counter;
    LiveRateLimiter m_live{0};
    QElapsedTimer m_clock;
    qint64 m_liveTimeMs = -1;
    QByteArray m_liveTime;
    ReconnectPolicy m_policy;
    QTimer m_retry;
    LinkState m_state = stopped();
    qint64 m_backlog = -1;
    bool m_started = false;
    bool m_accepted = false;

    // One session per connection, served on a thread of its own; reports of an earlier session
    // are recognised by the generation.
    std::shared_ptr<Gate> m_gate;
    quint64 m_generation = 0;
    SessionThread m_broker;
    std::map<int, qint64> m_inFlight; // message id to outbox id
    qint64 m_handedOut = 0;           // the last outbox id given to the session
};

} // namespace plantlink
