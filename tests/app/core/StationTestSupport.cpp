#include "StationTestSupport.h"

#include "CommandLine.h"
#include "LinkErrorHandler.h"
#include "Startup.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

PromptAnswer ScriptedPrompts::message(const QString &text, PromptButtons buttons, PromptIcon icon,
                                      const QString &title) {
    shown.push_back({text, buttons, icon, title});
    if (whileShown)
        whileShown();
    if (!answers.empty()) {
        const PromptAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (buttons) {
    case PromptButtons::RetryCancel:
        return PromptAnswer::Retry;
    case PromptButtons::YesNo:
    case PromptButtons::YesNoCancel:
        return PromptAnswer::Yes;
    case PromptButtons::Ok:
        break;
    }
    return PromptAnswer::Ok;
}

StationFixture::StationFixture() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_config.path());
    qunsetenv("QORLINK_COM1");
    setLinkErrorState(&state);
}

StationFixture::~StationFixture() {
    setLinkErrorState(nullptr);
}

void StationFixture::connectStandIn(const QString &options) {
    qputenv("QORLINK_FTD2XX", QORVIEW_TEST_STANDIN);
    qputenv("QORSIM_OPTIONS", options.toLocal8Bit());
    QString why;
    if (!link.load(&why))
        qFatal("link library: %s", qPrintable(why));
    constexpr int UsbPort = 4096;
    state.LinkInfo = link.QorInitInfoStructure(UsbPort, 115200, 1, &LinkErrorHandler);
    state.LinkHandle = link.QorOpen(state.LinkInfo);
    if (!state.LinkHandle)
        qFatal("stand-in unit did not open");
    StationStartup startup(state, CommandLine(), [] {});
    startup.prepareUnit();
}

SimulatedUnit::SimulatedUnit(const QStringList &extraArguments) {
    m_process.setProgram(QStringLiteral(QORVIEW_TEST_QORSIM));
    m_process.setArguments(
        QStringList{QStringLiteral("--log"), m_folder.filePath(QStringLiteral("exchanges.log"))} +
        extraArguments);
    m_process.start();
    // Ready when the simulator names its device.
    while (m_process.waitForReadyRead(5000)) {
        const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        const QString prefix = QStringLiteral("qorsim: unit on ");
        if (line.startsWith(prefix)) {
            m_device = line.mid(prefix.size());
            break;
        }
    }
}

SimulatedUnit::~SimulatedUnit() {
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

MutePty::MutePty() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return;
    m_device = QString::fromLocal8Bit(::ptsname(m_master));
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

MutePty::~MutePty() {
    if (m_master >= 0)
        ::close(m_master);
}

QByteArray MutePty::received() {
    QByteArray bytes;
    char buffer[256];
    for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    return bytes;
}
