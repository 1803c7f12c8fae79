#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>

#include <functional>

struct mosquitto;

// A plain libmosquitto client that subscribes to a topic filter with QoS 1 under a persistent
// session and keeps what arrives, as a plant's historian would. It reconnects by itself when the
// broker comes back. Messages arrive on its own thread.
class TestSubscriber {
public:
    struct Message {
        QByteArray topic;
        QByteArray payload;
        bool retained = false;
    };
    using Handler = std::function<void(const Message &)>;

    // handler, when given, is called on the subscriber's thread for each message as it arrives,
    // and the message is not kept.
    TestSubscriber(int port, QByteArray filter, QByteArray clientId = "test-subscriber",
                   Handler handler = {});
    ~TestSubscriber();
    TestSubscriber(const TestSubscriber &) = delete;
    TestSubscriber &operator=(const TestSubscriber &) = delete;

    // Waits (running the event loop) until the broker confirmed the subscription.
    bool waitUntilSubscribed();
    QList<Message> messages() const;
    qsizetype count() const;
    // The payloads that arrived on topic, in order.
    QList<QByteArray> payloadsOn(const QByteArray &topic) const;

private:
    static void onConnect(mosquitto *, void *self, int rc);
    static void onSubscribe(mosquitto *, void *self, int, int, const int *);
    static void onMessage(mosquitto *, void *self, const struct mosquitto_message *message);

    QByteArray m_filter;
    Handler m_handler;
    mosquitto *m_mosq = nullptr;
    mutable QMutex m_mutex;
    QList<Message> m_messages;
    bool m_subscribed = false;
};
