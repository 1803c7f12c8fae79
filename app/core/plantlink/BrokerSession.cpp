#include "BrokerSession.h"

#include <QFileInfo>

#include <mosquitto.h>

#include <cerrno>
#include <mutex>

namespace plantlink {

namespace {

using Clock = std::chrono::steady_clock;

// A dead connection is noticed by the broker (and the will sent) after one and a half times
// this; a killed station's socket is closed by the system at once anyway.
constexpr int KeepAliveSeconds = 30;
constexpr std::chrono::milliseconds LoopWait{1000};
constexpr std::chrono::milliseconds FlushTime{1000};
// The system's authorities, for a broker whose certificate a public authority signed.
constexpr const char *SystemAuthorities = "/etc/ssl/certs";

void initialiseLibraryOnce() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// A key protected by a passphrase cannot be used: without this, the TLS library would ask for
// the passphrase on the terminal and hold the connection's thread forever.
int noPassphrase(char *, int, int, void *) {
    return 0;
}

QString unreadable(const QString &what, const QString &file) {
    return QStringLiteral("the %1 %2 cannot be read").arg(what, file);
}

std::optional<QString> tlsFileProblem(const PlantLinkConfig &config) {
    if (config.certFile.isEmpty() != config.keyFile.isEmpty())
        return QStringLiteral("a client certificate needs its key and a key its certificate");
    const std::pair<const char *, const QString *> files[] = {
        {"CA file", &config.caFile},
        {"client certificate", &config.certFile},
        {"client key", &config.keyFile},
    };
    for (const auto &[what, file] : files) {
        if (!file->isEmpty() && !QFileInfo(*file).isReadable())
            return unreadable(QLatin1String(what), *file);
    }
    return std::nullopt;
}

QByteArray optionalPath(const QString &path) {
    return path.isEmpty() ? QByteArray() : path.toLocal8Bit();
}

const char *orNull(const QByteArray &text) {
    return text.isEmpty() ? nullptr : text.constData();
}

} // namespace

BrokerSession::BrokerSession(const PlantLinkConfig &config, const SessionOptions &options)
    : m_host(config.host.toUtf8()), m_port(config.port),
      m_connectTimeoutMs(config.connectTimeoutMs) {
    initialiseLibraryOnce();
    m_mosq = mosquitto_new(options.clientId.constData(), !options.keepSession, this);
    if (!m_mosq) {
        m_setupFailure = LinkState{LinkState::Disconnected,
                                   QStringLiteral("The MQTT client could not be created.")};
        return;
    }
    setUp(config, options);
}

void BrokerSession::setUp(const PlantLinkConfig &config, const SessionOptions &options) {
    mosquitto_connect_callback_set(m_mosq, &BrokerSession::onConnect);
    mosquitto_publish_callback_set(m_mosq, &BrokerSession::onPublish);
    mosquitto_log_callback_set(m_mosq, &BrokerSession::onLog);
    mosquitto_threaded_set(m_mosq, true);
    mosquitto_int_option(m_mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    // Small messages must not wait for the previous one's acknowledgement on the wire.
    mosquitto_int_option(m_mosq, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_max_inflight_messages_set(m_mosq, static_cast<unsigned>(options.maxInFlight));
    if (!config.userName.isEmpty()) {
        const QByteArray password = config.password.toUtf8();
        mosquitto_username_pw_set(m_mosq, config.userName.toUtf8().constData(),
                                  password.isEmpty() ? nullptr : password.constData());
    }
    if (!options.willTopic.isEmpty()) {
        mosquitto_will_set(m_mosq, options.willTopic.constData(),
                           static_cast<int>(options.willPayload.size()),
                           options.willPayload.constData(), 1, true);
    }
    if (!config.tls)
        return;
    if (const std::optional<QString> problem = tlsFileProblem(config)) {
        m_setupFailure =
            LinkState{LinkState::TlsFailure, QStringLiteral("TLS failure: %1.").arg(*problem)};
        return;
    }
    const QByteArray ca = optionalPath(config.caFile);
    const QByteArray cert = optionalPath(config.certFile);
    const QByteArray key = optionalPath(config.keyFile);
    const int rc = mosquitto_tls_set(m_mosq, orNull(ca), ca.isEmpty() ? SystemAuthorities : nullptr,
                                     orNull(cert), orNull(key), &noPassphrase);
    if (rc != MOSQ_ERR_SUCCESS) {
        m_setupFailure = LinkState{
            LinkState::TlsFailure,
            QStringLiteral("TLS failure: %1.").arg(QString::fromUtf8(mosquitto_strerror(rc)))};
    }
}

BrokerSession::~BrokerSession() {
    if (m_mosq)
        mosquitto_destroy(m_mosq);
}

void BrokerSession::run(SessionEvents &events) {
    if (m_setupFailure) {
        events.ended(*m_setupFailure);
        return;
    }
    m_events = &events;
    errno = 0;
    const int rc = mosquitto_connect_async(m_mosq, m_host.constData(), m_port, KeepAliveSeconds);
    if (rc != MOSQ_ERR_SUCCESS) {
        const int error = errno;
        events.ended(attemptFailure(QString::fromUtf8(m_host), m_port, rc, error, tlsReason()));
        return;
    }
    const Clock::time_point answerBy = Clock::now() + std::chrono::milliseconds(m_connectTimeoutMs);
    while (!shouldLeave(answerBy)) {
        errno = 0;
        const int loopRc = mosquitto_loop(m_mosq, static_cast<int>(LoopWait.count()), 1);
        if (loopRc == MOSQ_ERR_SUCCESS || m_end)
            continue;
        const int error = errno;
        if (m_stop)
            m_end = stopped();
        else if (!m_accepted)
            m_end = attemptFailure(QString::fromUtf8(m_host), m_port, loopRc, error, tlsReason());
        else
            m_end = connectionLost(loopRc, error);
    }
    events.ended(m_end.value_or(stopped()));
}

bool BrokerSession::shouldLeave(Clock::time_point answerBy) {
    if (m_end)
        return true;
    const Clock::time_point now = Clock::now();
    if (m_stop) {
        // Before the broker accepted there is nothing to deliver; after, the queue gets its
        // second to go out before the disconnect.
        if (!m_accepted || now.time_since_epoch().count() > m_stopDeadline)
            m_end = stopped();
    } else if (!m_accepted && now > answerBy) {
        m_end = noAnswer(QString::fromUtf8(m_host), m_port, m_connectTimeoutMs);
    }
    return m_end.has_value();
}

std::optional<int> BrokerSession::publish(const QByteArray &topic, const QByteArray &payload,
                                          int qos, bool retain) {
    int messageId = 0;
    const int rc =
        mosquitto_publish(m_mosq, &messageId, topic.constData(), static_cast<int>(payload.size()),
                          payload.constData(), qos, retain);
    if (rc != MOSQ_ERR_SUCCESS)
        return std::nullopt;
    return messageId;
}

void BrokerSession::stop() {
    m_stopDeadline = (Clock::now() + FlushTime).time_since_epoch().count();
    m_stop = true;
    // Queues the goodbye behind what is queued and wakes the loop.
    if (m_mosq)
        mosquitto_disconnect(m_mosq);
}

QString BrokerSession::tlsReason() const {
    QMutexLocker lock(&m_tlsMutex);
    return m_tlsReason;
}

void BrokerSession::onConnect(mosquitto *, void *self, int returnCode) {
    auto *session = static_cast<BrokerSession *>(self);
    if (returnCode == 0) {
        // Only the attempt's failures are read from the log; from here on every message would
        // be formatted for nothing.
        mosquitto_log_callback_set(session->m_mosq, nullptr);
        session->m_accepted = true;
        session->m_events->accepted();
    } else {
        session->m_end =
            brokerAnswer(QString::fromUtf8(session->m_host), session->m_port, returnCode);
    }
}

void BrokerSession::onPublish(mosquitto *, void *self, int messageId) {
    static_cast<BrokerSession *>(self)->m_events->acknowledged(messageId);
}

void BrokerSession::onLog(mosquitto *, void *self, int level, const char *line) {
    if (level != MOSQ_LOG_ERR)
        return;
    const QString reason = tlsReasonOf(QString::fromUtf8(line));
    if (reason.isEmpty())
        return;
    auto *session = static_cast<BrokerSession *>(self);
    QMutexLocker lock(&session->m_tlsMutex);
    // The first error names the cause; the ones after it are its consequences.
    if (session->m_tlsReason.isEmpty())
        session->m_tlsReason = reason;
}

} // namespace plantlink
