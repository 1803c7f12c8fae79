#include "LinkState.h"

#include <mosquitto.h>

#include <cerrno>
#include <cstring>

namespace plantlink {

namespace {

QString address(const QString &host, int port) {
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

LinkState closedBeforeAnswer(const QString &host, int port) {
    return {LinkState::Refused,
            QStringLiteral("%1 closed the connection before the broker answered; does it expect "
                           "TLS?")
                .arg(address(host, port))};
}

} // namespace

LinkState attemptFailure(const QString &host, int port, int rc, int error,
                         const QString &tlsReason) {
    switch (rc) {
    case MOSQ_ERR_EAI:
        return {LinkState::NameNotResolved,
                QStringLiteral("The broker's name %1 was not found.").arg(host)};
    case MOSQ_ERR_TLS:
        return {LinkState::TlsFailure,
                QStringLiteral("TLS failure: %1.")
                    .arg(tlsReason.isEmpty() ? QStringLiteral("the handshake failed") : tlsReason)};
    case MOSQ_ERR_CONN_LOST:
        return closedBeforeAnswer(host, port);
    case MOSQ_ERR_ERRNO:
        if (error == ECONNREFUSED)
            return {LinkState::Refused,
                    QStringLiteral("%1 refused the connection: no broker listens there.")
                        .arg(address(host, port))};
        if (error == ECONNRESET || error == EPIPE)
            return closedBeforeAnswer(host, port);
        return {LinkState::Unreachable, QStringLiteral("%1 cannot be reached: %2.")
                                            .arg(address(host, port), systemError(error))};
    default:
        break;
    }
    return {LinkState::Unreachable,
            QStringLiteral("%1 cannot be reached: %2.")
                .arg(address(host, port), QString::fromUtf8(mosquitto_strerror(rc)))};
}

LinkState brokerAnswer(const QString &host, int port, int returnCode) {
    switch (returnCode) {
    case 0:
        return {LinkState::Connected, QStringLiteral("Connected to %1.").arg(address(host, port))};
    case 1:
        return {LinkState::Refused,
                QStringLiteral("The broker refused the connection: it does not speak MQTT 3.1.1.")};
    case 2:
        return {LinkState::Refused,
                QStringLiteral("The broker refused the connection: it does not accept the "
                               "station's client id.")};
    case 3:
        return {LinkState::Refused,
                QStringLiteral("The broker refused the connection: it is unavailable.")};
    case 4:
    case 5:
        return {LinkState::NotAuthorised,
                QStringLiteral("The broker did not accept the user name and password.")};
    default:
        break;
    }
    return {LinkState::Refused,
            QStringLiteral("The broker refused the connection (code %1).").arg(returnCode)};
}

LinkState connectingTo(const QString &host, int port) {
    return {LinkState::Connecting, QStringLiteral("Connecting to %1…").arg(address(host, port))};
}

LinkState noAnswer(const QString &host, int port, int timeoutMs) {
    return {LinkState::Unreachable, QStringLiteral("%1 did not answer within %2 s.")
                                        .arg(address(host, port))
                                        .arg((timeoutMs + 999) / 1000)};
}

LinkState connectionLost(int rc, int error) {
    return {LinkState::Disconnected,
            QStringLiteral("The connection to the broker was lost: %1.")
                .arg(rc == MOSQ_ERR_ERRNO ? systemError(error)
                                          : QString::fromUtf8(mosquitto_strerror(rc)))};
}

LinkState stopped() {
    return {LinkState::Disconnected, QStringLiteral("Not connected.")};
}

QString tlsReasonOf(const QString &logLine) {
    static const QLatin1String openSsl("OpenSSL Error");
    if (logLine.startsWith(openSsl)) {
        const qsizetype routines = logLine.lastIndexOf(QLatin1String("::"));
        if (routines >= 0)
            return logLine.mid(routines + 2).trimmed();
        return logLine.mid(logLine.lastIndexOf(u':') + 1).trimmed();
    }
    // The library's own words about the certificate files ("Error: Unable to load CA
    // certificates. Check cafile ...").
    static const QLatin1String error("Error: ");
    if (!logLine.startsWith(error))
        return {};
    QString reason = logLine.mid(error.size()).trimmed();
    if (reason.endsWith(u'.'))
        reason.chop(1);
    return reason;
}

} // namespace plantlink
