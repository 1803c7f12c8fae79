#pragma once

#include <QString>

namespace plantlink {

// What the station needs to reach the plant's broker and what it sends there. The password is
// filled from the secret store when the link starts; it is never written to the settings file.
struct PlantLinkConfig {
    QString host;
    int port = 1883;

    bool tls = false;
    QString caFile;   // the authority that signed the broker's certificate
    QString certFile; // optional client certificate ...
    QString keyFile;  // ... and its key, without a passphrase

    QString userName; // empty: connect without credentials
    QString password;

    QString station; // empty: the host name

    bool publishParts = true;
    bool liveValues = false;
    int liveMinIntervalMs = 1000;

    // QoS 1 part messages sent but not yet acknowledged. The drain never has more out at once,
    // so a backlog goes out at the rate the broker acknowledges, not all in one burst.
    int window = 50;
    // How long an attempt may take from the first packet to the broker's answer.
    int connectTimeoutMs = 10000;

    bool operator==(const PlantLinkConfig &) const = default;
};

// The station name the configuration stands for: its own, or the host name when it has none.
QString stationName(const PlantLinkConfig &config);

} // namespace plantlink
