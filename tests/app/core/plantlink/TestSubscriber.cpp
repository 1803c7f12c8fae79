#include "TestSubscriber.h"

#include "WaitFor.h"

#include <mosquitto.h>

TestSubscriber::TestSubscriber(int port, QByteArray filter, QByteArray clientId, Handler handler)
    : m_filter(std::move(filter)), m_handler(std::move(handler)) {
    mosquitto_lib_init();
    m_mosq = mosquitto_new(clientId.constData(), false, this);
    mosquitto_connect_callback_set(m_mosq, &TestSubscriber::onConnect);
    mosquitto_subscribe_callback_set(m_mosq, &TestSubscriber::onSubscribe);
    mosquitto_message_callback_set(m_mosq, &TestSubscriber::onMessage);
    mosquitto_reconnect_delay_set(m_mosq, 1, 1, false);
    mosquitto_int_option(m_mosq, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_connect_async(m_mosq, "127.0.0.1", port, 30);
    mosquitto_loop_start(m_mosq);
}

TestSubscriber::~TestSubscriber() {
    mosquitto_disconnect(m_mosq);
    mosquitto_loop_stop(m_mosq, false);
    mosquitto_destroy(m_mosq);
}

void TestSubscriber::onConnect(mosquitto *mosq, void *self, int rc) {
    if (rc == 0)
        mosquitto_subscribe(mosq, nullptr,
                            static_cast<TestSubscriber *>(self)->m_filter.constData(), 1);
}

void TestSubscriber::onSubscribe(mosquitto *, void *self, int, int, const int *) {
    auto *subscriber = static_cast<TestSubscriber *>(self);
    QMutexLocker lock(&subscriber->m_mutex);
    subscriber->m_subscribed = true;
}

void TestSubscriber::onMessage(mosquitto *, void *self, const mosquitto_message *message) {
    auto *subscriber = static_cast<TestSubscriber *>(self);
    const Message m{QByteArray(message->topic),
                    QByteArray(static_cast<const char *>(message->payload), message->payloadlen),
                    message->retain};
    if (subscriber->m_handler) {
        subscriber->m_handler(m);
        return;
    }
    QMutexLocker lock(&subscriber->m_mutex);
    subscriber->m_messages.append(m);
}

bool TestSubscriber::waitUntilSubscribed() {
    return waitFor([this] {
        QMutexLocker lock(&m_mutex);
        return m_subscribed;
    });
}

QList<TestSubscriber::Message> TestSubscriber::messages() const {
    QMutexLocker lock(&m_mutex);
    return m_messages;
}

qsizetype TestSubscriber::count() const {
    QMutexLocker lock(&m_mutex);
    return m_messages.size();
}

QList<QByteArray> TestSubscriber::payloadsOn(const QByteArray &topic) const {
    QList<QByteArray> payloads;
    for (const Message &m : messages()) {
        if (m.topic == topic)
            payloads.append(m.payload);
    }
    return payloads;
}
