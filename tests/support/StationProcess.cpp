#include "StationProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <csignal>

StationProcess::StationProcess(const QString &program, const QString &port,
                               const QProcessEnvironment &extra, ErrorOutput errors) {
    QDir(m_home.path()).mkpath(QStringLiteral("config/QorView"));
    // A runtime folder open to others is refused, and the single-instance lock would then fall
    // back to one shared by every station a test run starts at the same time.
    QDir(m_home.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(m_home.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile ini(iniFile());
    ini.open(QIODevice::WriteOnly);
    ini.write("[QorSettings]\nPort=COM1\nBaudRate=9600\n");
    ini.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("QORLINK_COM1"), port);
    env.insert(extra);
    m_process.setProcessEnvironment(env);
    m_process.setProcessChannelMode(errors == ErrorOutput::Kept ? QProcess::ForwardedOutputChannel
                                                                : QProcess::ForwardedChannels);
    m_process.start(program, {});
    m_process.waitForStarted();
}

StationProcess::~StationProcess() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

qint64 StationProcess::endWith(int signal) {
    QElapsedTimer timer;
    timer.start();
    ::kill(static_cast<pid_t>(m_process.processId()), signal);
    if (!m_process.waitForFinished(10000))
        return -1;
    return timer.elapsed();
}

QString StationProcess::iniFile() const {
    return m_home.filePath(QStringLiteral("config/QorView/QorView.ini"));
}

QString StationProcess::waitForErrorLine(const QString &text, int ms) {
    const QDeadlineTimer deadline(ms);
    m_process.setReadChannel(QProcess::StandardError);
    do {
        while (m_process.canReadLine()) {
            const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
            if (line.contains(text))
                return line;
        }
    } while (!deadline.hasExpired() &&
             m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime())));
    return QString();
}
