#include "StationHelp.h"

#include "Prompts.h"
#include "StationConfig.h"
#include "StationIcon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>

namespace {

const QString NoHelpText = QStringLiteral(
    "Unable to display Help Contents. There is no Help associated with this project.");

} // namespace

StationHelp::StationHelp(const StationConfig &config, Prompts &prompts)
    : m_config(config), m_prompts(prompts) {}

StationHelp::~StationHelp() = default;

void StationHelp::ShowHelpContents() {
    show({});
}

void StationHelp::ShowHelpContext(int context) {
    show(QString::number(context));
}

void StationHelp::CloseHelp() {
    if (m_window)
        m_window->close();
}

bool StationHelp::isOpen() const {
    return m_window && m_window->isVisible();
}

QWidget *StationHelp::window() const {
    return m_window.get();
}

QTextBrowser *StationHelp::browser() const {
    return m_browser;
}

void StationHelp::show(const QString &anchor) {
    if (!m_config.HelpAttached) {
        m_prompts.message(NoHelpText, PromptButtons::Ok, PromptIcon::Information);
        return;
    }
    QFile file(m_config.HelpFilePath);
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompts.message(
            QStringLiteral("Unable to open the help file %1: %2")
                .arg(QDir::toNativeSeparators(m_config.HelpFilePath), file.errorString()));
        return;
    }
    const QString html = QString::fromUtf8(file.readAll());
    if (!m_window) {
        m_window = std::make_unique<QWidget>(nullptr, Qt::Window);
        m_window->setObjectName(QStringLiteral("HelpWindow"));
        m_window->setWindowTitle(QStringLiteral("QorView Help"));
        m_window->setWindowIcon(stationIcon());
        m_window->resize(640, 560);
        auto *layout = new QVBoxLayout(m_window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        m_browser = new QTextBrowser(m_window.get());
        m_browser->setObjectName(QStringLiteral("HelpBrowser"));
        m_browser->setOpenExternalLinks(true);
        layout->addWidget(m_browser);
    }
    m_browser->setSearchPaths({QFileInfo(m_config.HelpFilePath).absolutePath()});
    m_browser->setHtml(html);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    // Scrolling needs the laid-out document of the shown window.
    if (anchor.isEmpty())
        m_browser->moveCursor(QTextCursor::Start);
    else
        m_browser->scrollToAnchor(anchor);
}
