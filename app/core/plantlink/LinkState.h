#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

namespace plantlink {

// Where the link to the broker stands, with the plain words the settings dialog's Test button
// and the status bar show.
struct LinkState {
    enum Kind {
        Disconnected,
        Connecting,
        Connected,
        NameNotResolved,
        Refused,     // nothing listens there, or the broker turned the connection down
        Unreachable, // no answer in time, no route
        TlsFailure,
        NotAuthorised,
    };
    Kind kind = Disconnected;
    QString text;

    bool operator==(const LinkState &) const = default;
};

// What an attempt that could not start or was cut before the broker answered means. rc is the
// client library's result, error the system error number beside it, tlsReason what the TLS
// layer said last (may be empty).
LinkState attemptFailure(const QString &host, int port, int rc, int error,
                         const QString &tlsReason);

// The broker's answer to the connection request (0 is accepted).
LinkState brokerAnswer(const QString &host, int port, int returnCode);

LinkState connectingTo(const QString &host, int port);
LinkState noAnswer(const QString &host, int port, int timeoutMs);
LinkState connectionLost(int rc, int error);
LinkState stopped();

// The reason in a line the TLS layer logged ("OpenSSL Error[0]: error:0A000086:SSL
// routines::certificate verify failed" gives "certificate verify failed"); empty for a line
// that is not a TLS error.
QString tlsReasonOf(const QString &logLine);

} // namespace plantlink

Q_DECLARE_METATYPE(plantlink::LinkState)
