#include "BrokerProcess.h"

#include "WaitFor.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString program(const QString &name) {
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty()
               ? QStandardPaths::findExecutable(
                     name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin")})
               : found;
}

bool run(const QString &name, const QStringList &arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program(name), arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

namespace {

// A socket bound to a port the system chose on the loopback address; returns the port.
int bindAnyLoopbackPort(int fd) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

} // namespace

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int port = bindAnyLoopbackPort(fd);
    ::close(fd);
    return port;
}

SilentListener::SilentListener() : m_fd(::socket(AF_INET, SOCK_STREAM, 0)) {
    m_port = bindAnyLoopbackPort(m_fd);
    ::listen(m_fd, 16);
}

SilentListener::~SilentListener() {
    ::close(m_fd);
}

BrokerProcess::BrokerProcess() {
    // What the broker says before its log file is open (a configuration it refuses).
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(QDir(m_folder.path()).filePath(QStringLiteral("mosquitto.out")),
                                    QIODevice::Append);
}

BrokerProcess::~BrokerProcess() {
    if (isRunning()) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

bool BrokerProcess::available() {
    return !program(QStringLiteral("mosquitto")).isEmpty();
}

bool BrokerProcess::requirePassword(const QString &user, const QString &password) {
    m_passwordFile = QDir(m_folder.path()).filePath(QStringLiteral("passwords"));
    QFile(m_passwordFile).open(QIODevice::WriteOnly);
    return run(QStringLiteral("mosquitto_passwd"),
               {QStringLiteral("-b"), m_passwordFile, user, password});
}

void BrokerProcess::useTls(const QString &caFile, const QString &certFile, const QString &keyFile) {
    m_caFile = caFile;
    m_certFile = certFile;
    m_keyFile = keyFile;
}

QString BrokerProcess::writeConfig() const {
    // A broker started by root would otherwise become the mosquitto user, who cannot read the
    // test's files.
    const passwd *self = ::getpwuid(::geteuid());
    QString text = QStringLiteral("listener %1 127.0.0.1\n"
                                  "persistence true\n"
                                  "persistence_location %2/\n"
                                  // A historian that falls behind must not lose parts to the
                                  // broker's default limit of 1000 queued for it.
                                  "max_queued_messages 0\n"
                                  // To a file: a pipe that nobody reads while the test waits
                                  // elsewhere would stop the broker.
                                  "log_dest file %2/mosquitto.log\n"
                                  "log_type error\nlog_type warning\nlog_type notice\n"
                                  "log_type information\n")
                       .arg(m_port)
                       .arg(m_folder.path());
    if (m_saveAtOnce)
        text += QStringLiteral("autosave_on_changes true\nautosave_interval 1\n");
    if (self)
        text += QStringLiteral("user %1\n").arg(QString::fromLocal8Bit(self->pw_name));
    if (m_passwordFile.isEmpty())
        text += QStringLiteral("allow_anonymous true\n");
    else
        text += QStringLiteral("allow_anonymous false\npassword_file %1\n").arg(m_passwordFile);
    if (!m_caFile.isEmpty())
        text += QStringLiteral("cafile %1\ncertfile %2\nkeyfile %3\n")
                    .arg(m_caFile, m_certFile, m_keyFile);
    const QString file = QDir(m_folder.path()).filePath(QStringLiteral("mosquitto.conf"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0)
        return {};
    return file;
}

bool BrokerProcess::start() {
    if (m_port == 0)
        m_port = freeLoopbackPort();
    const QString config = writeConfig();
    if (config.isEmpty())
        return false;
    const qsizetype runsBefore = log().count(QLatin1String(" running"));
    m_process.start(program(QStringLiteral("mosquitto")), {QStringLiteral("-c"), config});
    if (!m_process.waitForStarted(10000))
        return false;
    return waitFor(
               [&] { return log().count(QLatin1String(" running")) > runsBefore || !isRunning(); },
               20000) &&
           isRunning();
}

void BrokerProcess::stop() {
    if (!isRunning())
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(20000)) {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
}

void BrokerProcess::freeze() {
    if (isRunning())
        ::kill(static_cast<pid_t>(m_process.processId()), SIGSTOP);
}

void BrokerProcess::kill() {
    if (!isRunning())
        return;
    m_process.kill();
    m_process.waitForFinished(10000);
}

QString BrokerProcess::log() const {
    QString text;
    for (const char *name : {"mosquitto.out", "mosquitto.log"}) {
        QFile file(QDir(m_folder.path()).filePath(QLatin1String(name)));
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}

bool makeCertificates(const QString &folder, TestCertificates &made) {
    const QDir dir(folder);
    made.caFile = dir.filePath(QStringLiteral("ca.crt"));
    made.serverCert = dir.filePath(QStringLiteral("server.crt"));
    made.serverKey = dir.filePath(QStringLiteral("server.key"));
    made.otherCaFile = dir.filePath(QStringLiteral("other-ca.crt"));
    const QString caKey = dir.filePath(QStringLiteral("ca.key"));
    const QString request = dir.filePath(QStringLiteral("server.csr"));
    const QString extensions = dir.filePath(QStringLiteral("server.ext"));
    QFile ext(extensions);
    if (!ext.open(QIODevice::WriteOnly) ||
        ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n") < 0)
        return false;
    ext.close();
    const QString openssl = QStringLiteral("openssl");
    auto selfSigned = [&](const QString &key, const QString &cert, const QString &name) {
        return run(openssl, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                             "-out", cert, "-days", "2", "-subj", "/CN=" + name});
    };
    return selfSigned(caKey, made.caFile, QStringLiteral("Plant test authority")) &&
           selfSigned(dir.filePath(QStringLiteral("other-ca.key")), made.otherCaFile,
                      QStringLiteral("Another authority")) &&
           run(openssl, {"req", "-newkey", "rsa:2048", "-nodes", "-keyout", made.serverKey, "-out",
                         request, "-subj", "/CN=127.0.0.1"}) &&
           run(openssl,
               {"x509", "-req", "-in", request, "-CA", made.caFile, "-CAkey", caKey,
                "-CAcreateserial", "-out", made.serverCert, "-days", "2", "-extfile", extensions});
}
