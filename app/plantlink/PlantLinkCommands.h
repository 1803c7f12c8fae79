#pragma once

#include "LivePublisher.h"
#include "LogOutbox.h"
#include "PlantLinkClient.h"
#include "PlantLinkSettings.h"
#include "SecretStore.h"
#include "Settings.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <optional>

class PlantLinkDialog;
class PlantLinkStatus;
class Prompts;
class QAction;
class QMainWindow;

namespace measurelog {
class LogWriter;
struct Committed;
} // namespace measurelog

// The plant link of the station, whole: the link to the broker with the measurement log as its
// outbox, the live values fed from the poll, Measure > Plant Link... and its dialog, and the
// link's state in the status bar. The main window makes one, after its Measure menu and the
// log's writer, feeds it the poll's readings and tells it the setup's name; everything else it
// does by itself: it starts the link at once when it is switched on, publishes each part the
// writer commits and the counter after it, marks the parts the broker took, and says "offline"
// when it ends.
class PlantLinkCommands : public QObject {
    Q_OBJECT
public:
    // Adds "Plant Link…" to the window's Measure menu (made when the window has none) and the
    // status widget to its status bar. The window and the writer must outlive this object, which
    // its maker owns; make it before control returns to the event loop after the writer was
    // made, so that it hears the writer's `opened` with the counter.
    PlantLinkCommands(QMainWindow &window, measurelog::LogWriter &writer, Prompts &prompts);
    ~PlantLinkCommands() override;

    // The writer committed a part: it waits for the broker from now on, and the counter after
    // it is published. Connected to the writer's `committed`; calling it again for a part it
    // heard of already changes nothing.
    void partCommitted(const measurelog::Committed &part);
    // Channel `channel` read `value` (none: no reading), shown as `shown`, in poll tick `tick`.
    // A reading of a tick older than one already seen is dropped.
    void liveReading(qint64 tick, int channel, std::optional<double> value, const QString &shown);
    // The setup the "online" status names (the setup file's name; empty for none).
    void setSetupName(const QString &setupName);

    void showDialog();

    QAction *dialogAction() const { return m_action; }
    PlantLinkStatus *statusWidget() const { return m_status; }
    // Null until the dialog was first shown.
    PlantLinkDialog *dialog() const;
    plantlink::PlantLinkClient &client() { return m_client; }
    plantlink::LogOutbox &outbox() { return m_outbox; }
    const plantlink::PlantLinkSettings &settings() const { return m_settings; }

private:
    void connectWriter(measurelog::LogWriter &writer);
    // Reads the stored password, offers it to the dialog and starts the link with it when the
    // link is switched on.
    void readPassword();
    void apply(const plantlink::PlantLinkSettings &settings);
    void start();
    void showState();

    QMainWindow &m_window;
    Prompts &m_prompts;
    SettingsStore m_store;
    plantlink::SecretStore m_secrets;
    plantlink::PlantLinkSettings m_settings; // with the password, in memory only
    QString m_setupName;
    plantlink::LogOutbox m_outbox;
    plantlink::PlantLinkClient m_client;
    plantlink::LivePublisher m_live{m_client};
    qint64 m_backlog = 0;
    // A log that could not be read is read again after a while.
    QTimer m_readAgain;
    // Counts password reads, so one that answers after the settings changed is ignored.
    quint64 m_passwordReads = 0;
    // Whether m_settings holds the stored password (read, or typed since).
    bool m_passwordKnown = false;
    QAction *m_action = nullptr;
    PlantLinkStatus *m_status = nullptr;
    QPointer<PlantLinkDialog> m_dialog;
};
