#include "SimulatedUnit.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

SimulatedUnit::SimulatedUnit(const QStringList &options) {
    m_process.setProgram(QStringLiteral(QORVIEW_TEST_QORSIM));
    m_process.setArguments(
        QStringList{QStringLiteral("--log"), m_folder.filePath(QStringLiteral("exchanges.log"))} +
        options);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    const QString prefix = QStringLiteral("qorsim: unit on ");
    while (m_process.waitForReadyRead(5000) || m_process.canReadLine()) {
        if (!m_process.canReadLine())
            continue;
        const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        if (line.startsWith(prefix)) {
            m_device = line.mid(prefix.size());
            break;
        }
    }
}

bool SimulatedUnit::available() {
    return QFileInfo(QStringLiteral(QORVIEW_TEST_QORSIM)).isExecutable();
}

SimulatedUnit::~SimulatedUnit() {
    stop();
}

void SimulatedUnit::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

QStringList SimulatedUnit::requests() const {
    return requestsOfLog(m_folder.filePath(QStringLiteral("exchanges.log")));
}

QStringList requestsOfLog(const QString &logFile) {
    QFile file(logFile);
    QStringList requests;
    if (!file.open(QIODevice::ReadOnly))
        return requests;
    // "<time> <request> -> <reply>", the request's carriage return written as \r.
    static const QRegularExpression line(QStringLiteral("^\\S+ (.*?)\\\\r -> "));
    while (!file.atEnd()) {
        const QString text = QString::fromLatin1(file.readLine());
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch())
            requests << match.captured(1);
    }
    return requests;
}
