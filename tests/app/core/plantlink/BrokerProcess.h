#pragma once

#include "PlantLinkConfig.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A mosquitto of the test's own: a configuration file in a private folder, a free loopback port,
// ready once it says it is running, stopped by its process id. It keeps its sessions in that
// folder, so a stop and start keeps a subscriber's queued messages as a plant's broker would.
class BrokerProcess {
public:
    BrokerProcess();
    ~BrokerProcess();
    BrokerProcess(const BrokerProcess &) = delete;
    BrokerProcess &operator=(const BrokerProcess &) = delete;

    // Whether the mosquitto program is installed.
    static bool available();

    // Before start(): clients must log in as user with password.
    bool requirePassword(const QString &user, const QString &password);
    // Before start(): the listener speaks TLS with this certificate.
    void useTls(const QString &caFile, const QString &certFile, const QString &keyFile);

    // Before start(): sessions are saved at every change, so a killed broker keeps them too.
    void saveSessionsAtOnce() { m_saveAtOnce = true; }

    bool start();
    // Ends the broker as a service manager would (it saves its sessions first).
    void stop();
    // Holds the broker where it is (SIGSTOP): connections stay open, nothing is answered.
    void freeze();
    // Ends the broker at once (SIGKILL), frozen or not.
    void kill();
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    int port() const { return m_port; }
    QString folder() const { return m_folder.path(); }
    // What it has said so far, in all its runs.
    QString log() const;

private:
    QString writeConfig() const;

    QTemporaryDir m_folder;
    QProcess m_process;
    int m_port = 0;
    bool m_saveAtOnce = false;
    QString m_passwordFile;
    QString m_caFile, m_certFile, m_keyFile;
};

// A loopback port nothing listens on right now.
int freeLoopbackPort();

// A loopback port that takes connections and never says a word: a broker that hangs, or a
// firewall that swallows the traffic after the handshake.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener &) = delete;
    SilentListener &operator=(const SilentListener &) = delete;
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

// A certificate authority, a server certificate it signed for 127.0.0.1 and localhost, and a
// second authority that signed nothing, made with openssl in folder.
struct TestCertificates {
    QString caFile;
    QString serverCert;
    QString serverKey;
    QString otherCaFile;
};
bool makeCertificates(const QString &folder, TestCertificates &made);

// The plant link's settings for a station on a broker on the loopback.
inline plantlink::PlantLinkConfig loopbackConfig(int port, const QString &station) {
    plantlink::PlantLinkConfig config;
    config.host = QStringLiteral("127.0.0.1");
    config.port = port;
    config.station = station;
    return config;
}
