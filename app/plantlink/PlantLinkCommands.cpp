#include "PlantLinkCommands.h"

#include "LinkStatusLine.h"
#include "LogWriter.h"
#include "PartMessages.h"
#include "PlantLinkDialog.h"
#include "PlantLinkStatus.h"
#include "Prompts.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

using namespace plantlink;

namespace {

const QString MeasureMenu = QStringLiteral("Measure");
constexpr std::chrono::seconds ReadAgainAfter{5};

// The window's Measure menu, or a new one after its other menus (before the About and Help
// items that sit on the bar itself).
QMenu *measureMenu(QMainWindow &window) {
    QMenuBar *bar = window.menuBar();
    QAction *firstItem = nullptr;
    for (QAction *action : bar->actions()) {
        if (QMenu *menu = action->menu()) {
            if (QString(menu->title()).remove(u'&') == MeasureMenu)
                return menu;
        } else if (!firstItem) {
            firstItem = action;
        }
    }
    auto *menu = new QMenu(QStringLiteral("&Measure"), bar);
    menu->setObjectName(QStringLiteral("mnuMeasure"));
    bar->insertMenu(firstItem, menu);
    return menu;
}

QString configFolder(const SettingsStore &store) {
    return QFileInfo(store.fileName()).absolutePath();
}

} // namespace

PlantLinkCommands::PlantLinkCommands(QMainWindow &window, measurelog::LogWriter &writer,
                                     Prompts &prompts)
    : m_window(window), m_prompts(prompts), m_secrets(SecretServiceName, configFolder(m_store)),
      m_settings(loadPlantLinkSettings(m_store)), m_outbox(writer, stationName(m_settings.config)),
      m_client(m_outbox) {
    QMenu *menu = measureMenu(window);
    if (!menu->actions().isEmpty())
        menu->addSeparator();
    m_action = menu->addAction(QStringLiteral("Plant &Link…"));
    m_action->setObjectName(QStringLiteral("PlantLink"));
    connect(m_action, &QAction::triggered, this, &PlantLinkCommands::showDialog);

    m_status = new PlantLinkStatus(&window);
    window.statusBar()->addPermanentWidget(m_status);
    m_status->setVisible(m_settings.enabled);

    connect(&m_client, &PlantLinkClient::stateChanged, this, &PlantLinkCommands::showState);
    connect(&m_client, &PlantLinkClient::backlogChanged, this, [this](qint64 unsent) {
        m_backlog = unsent;
        showState();
    });
    m_readAgain.setSingleShot(true);
    connect(&m_readAgain, &QTimer::timeout, &m_client, &PlantLinkClient::outboxChanged);
    connect(&m_outbox, &LogOutbox::readFailed, this, [this] {
        showState();
        m_readAgain.start(ReadAgainAfter);
    });
    connectWriter(writer);

    m_client.setStationInfo({QCoreApplication::applicationVersion(), m_setupName});
    showState();
    // While the link is off the password is read only when the dialog wants it, so a station
    // that does not publish never wakes the desktop's password store.
    if (m_settings.enabled)
        readPassword();
}

// The client says "offline" as it goes; the outbox then hands the writer its last marks.
PlantLinkCommands::~PlantLinkCommands() = default;

void PlantLinkCommands::connectWriter(measurelog::LogWriter &writer) {
    connect(&writer, &measurelog::LogWriter::opened, this,
            [this](const measurelog::LogStatus &status, const measurelog::Counters &counters) {
                if (status.isReady())
                    m_client.publishCounter(counterState(counters));
                m_client.outboxChanged();
            });
    connect(&writer, &measurelog::LogWriter::committed, this, &PlantLinkCommands::partCommitted);
    connect(&writer, &measurelog::LogWriter::countersReset, this,
            [this](const measurelog::LogStatus &status, const measurelog::Counters &counters) {
                if (status.isReady())
                    m_client.publishCounter(counterState(counters));
            });
}

void PlantLinkCommands::partCommitted(const measurelog::Committed &part) {
    m_outbox.partCommitted(part);
    // The part first, so a subscriber that reads both sees the counter that follows it.
    m_client.outboxChanged();
    m_client.publishCounter(counterState(part.counters));
}

void PlantLinkCommands::readPassword() {
    const quint64 read = ++m_passwordReads;
    m_secrets.read(PasswordKey, [this, read](const SecretStore::Outcome &outcome) {
        if (read != m_passwordReads)
            return;
        // Without it the broker says what it thinks of the attempt, which the status bar shows.
        m_settings.config.password = outcome.ok ? outcome.secret : QString();
        m_passwordKnown = outcome.ok;
        // A dialog opened before the password came would otherwise store its empty field over it.
        if (PlantLinkDialog *dialog = m_dialog)
            dialog->offerPassword(m_settings.config.password);
        if (m_settings.enabled)
            start();
    });
}

void PlantLinkCommands::start() {
    m_outbox.setStationName(stationName(m_settings.config));
    m_status->setVisible(true);
    m_client.start(m_settings.config);
}

void PlantLinkCommands::liveReading(qint64 tick, int channel, std::optional<double> value,
                                    const QString &shown) {
    m_live.onReading(tick, {channel, value, shown});
}

void PlantLinkCommands::setSetupName(const QString &setupName) {
    if (setupName == m_setupName)
        return;
    m_setupName = setupName;
    m_client.setStationInfo({QCoreApplication::applicationVersion(), m_setupName});
}

void PlantLinkCommands::showDialog() {
    PlantLinkDialog *dialog = m_dialog;
    if (!dialog) {
        dialog = new PlantLinkDialog(m_prompts, &m_window);
        m_dialog = dialog;
        connect(dialog, &QDialog::accepted, this, [this, dialog] { apply(dialog->settings()); });
    }
    dialog->setSettings(m_settings);
    // A running link has had its read; asking again would only restart it.
    if (!m_passwordKnown && !m_client.isStarted())
        readPassword();
    dialog->open();
}

PlantLinkDialog *PlantLinkCommands::dialog() const {
    return m_dialog;
}

void PlantLinkCommands::apply(const PlantLinkSettings &settings) {
    if (!savePlantLinkSettings(m_store, settings)) {
        if (std::optional<SettingsWriteFailure> failure = m_store.takeWriteFailure())
            reportUnsavedSettings(*failure, &m_prompts);
    }
    // An empty field while the stored password is not known yet leaves the stored one alone.
    const bool passwordKept = !m_passwordKnown && settings.config.password.isEmpty();
    if (!passwordKept && settings.config.password != m_settings.config.password) {
        m_passwordKnown = true;
        m_secrets.write(
            PasswordKey, settings.config.password, [this](const SecretStore::Outcome &outcome) {
                if (!outcome.ok)
                    m_prompts.message(QStringLiteral("The broker password could not be stored: %1")
                                          .arg(outcome.problem),
                                      PromptButtons::Ok, PromptIcon::Critical,
                                      QStringLiteral("Plant Link"));
            });
    }
    // A password still being read belongs to the settings before these.
    ++m_passwordReads;
    m_settings = settings;
    if (m_settings.enabled && passwordKept) {
        readPassword(); // starts the link once it came
    } else if (m_settings.enabled) {
        start();
    } else {
        m_client.stop();
        m_status->setVisible(false);
    }
}

void PlantLinkCommands::showState() {
    LinkStatusLine line = linkStatusLine(m_client.state(), m_backlog);
    if (!m_outbox.readProblem().isEmpty() && m_client.isStarted())
        line.toolTip += QLatin1Char('\n') + m_outbox.readProblem();
    m_status->showLine(line);
}
