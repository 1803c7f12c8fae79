#pragma once

#include "LinkState.h"
#include "PlantLinkConfig.h"

#include <QByteArray>
#include <QMutex>

#include <atomic>
#include <chrono>
#include <optional>

struct mosquitto;

namespace plantlink {

// What one connection reports, on the thread that runs it.
class SessionEvents {
public:
    virtual ~SessionEvents() = default;
    virtual void accepted() = 0;
    // The broker acknowledged the QoS 1 message with this id (or a QoS 0 one left).
    virtual void acknowledged(int messageId) = 0;
    // The connection is over (or never came about); nothing is reported after this.
    virtual void ended(const LinkState &why) = 0;
};

struct SessionOptions {
    QByteArray clientId;
    // The broker keeps the session between connections (MQTT's clean session off).
    bool keepSession = true;
    QByteArray willTopic; // empty: no will
    QByteArray willPayload;
    int maxInFlight = 20;
};

// One connection to the broker with the client library, from the first packet to its end,
// served by a loop on the thread that calls run(). The client library has a thread of its own,
// but that thread cannot be told to stop while a TLS handshake waits on a peer that says
// nothing (it only ends when cancelled, whatever locks it holds), and it resolves the broker's
// name on the caller's thread; this loop resolves the name on its own thread and looks at a stop
// flag at least once a second. A new connection is a new session: what was in flight on the old
// one goes out again from the outbox.
class BrokerSession {
public:
    BrokerSession(const PlantLinkConfig &config, const SessionOptions &options);
    ~BrokerSession();
    BrokerSession(const BrokerSession &) = delete;
    BrokerSession &operator=(const BrokerSession &) = delete;

    // Connects and serves the connection until it is refused, lost, not answered within the
    // configured time, or stopped. Runs once.
    void run(SessionEvents &events);

    // From any thread while run() serves the connection. The id of the queued message, or none
    // when the connection cannot take it.
    std::optional<int> publish(const QByteArray &topic, const QByteArray &payload, int qos,
                               bool retain);
    // Ends the connection: what is queued before this is written first (for at most a second)
    // and run() returns. From any thread, also before run().
    void stop();

private:
    static void onConnect(mosquitto *, void *self, int returnCode);
    static void onPublish(mosquitto *, void *self, int messageId);
    static void onLog(mosquitto *, void *self, int level, const char *line);
    void setUp(const PlantLinkConfig &config, const SessionOptions &options);
    QString tlsReason() const;
    bool shouldLeave(std::chrono::steady_clock::time_point answerBy);

    mosquitto *m_mosq = nullptr;
    QByteArray m_host;
    int m_port = 0;
    int m_connectTimeoutMs = 0;
    std::optional<LinkState> m_setupFailure;

    // Run thread only.
    SessionEvents *m_events = nullptr;
    bool m_accepted = false;
    std::optional<LinkState> m_end;

    std::atomic<bool> m_stop{false};
    std::atomic<std::chrono::steady_clock::rep> m_stopDeadline{0};
    mutable QMutex m_tlsMutex;
    QString m_tlsReason;
};

} // namespace plantlink
