#pragma once

#include "Conversations.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <QStringList>

class LiveItemSource;
class QDBusServiceWatcher;
struct LiveFollowers;

// The station's live channel values on the session bus: org.qorview.QorView, object /Display,
// interface org.qorview.Display1 (org.qorview.Display1.xml; the adaptor is generated from it).
// Clients ask for an item's value, or advise items and receive Changed whenever the station
// writes a new caption into the item's channel label. A client with advised items has a
// conversation open; DdeLinkCount counts them, and the bus tells the service when a client's
// connection goes away, so a client that crashed ends its conversation too.
class LiveValueService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_PROPERTY(QString Application READ application CONSTANT)
    Q_PROPERTY(QString Topic READ topic CONSTANT)
    Q_PROPERTY(uint Conversations READ conversationCount NOTIFY conversationsChanged)

public:
    LiveValueService(LiveFollowers &live, const LiveItemSource &items, QObject *parent = nullptr);
    ~LiveValueService() override;

    // Registers the object and takes the bus name on connection. False, saying why, when the
    // connection is not up or the name belongs to another program; the station then runs
    // unpublished.
    bool publish(const QDBusConnection &connection, QString *why = nullptr);
    bool isPublished() const { return m_published; }

    QString application() const;
    QString topic() const;
    uint conversationCount() const { return static_cast<uint>(m_conversations.count()); }
    // Changed signals sent since the service was made.
    long changedSignalsSent() const { return m_changedSent; }

    // The interface's methods, called by the adaptor for a client.
    QString Request(const QString &item);
    void Advise(const QString &item);
    void Unadvise(const QString &item);
    QStringList Items() const;

public Q_SLOTS:
    // The station wrote a new caption into channel's label.
    void channelTextChanged(int channel, const QString &text);

Q_SIGNALS:
    // Relayed to the bus by the adaptor.
    void Changed(const QString &item, const QString &value);
    void conversationsChanged(uint count);

private:
    // The channel an existing item names, or 0 after replying UnknownItem to the caller.
    int existingChannel(const QString &item);
    void replyUnknownItem(const QString &item);
    void opened(const QString &client);
    void ended(const QString &client);
    void clientGone(const QString &client);
    void countChanged();

    LiveFollowers &m_live;
    const LiveItemSource &m_items;
    Conversations m_conversations;
    QDBusConnection m_connection{QString()};
    QDBusServiceWatcher *m_clientWatcher = nullptr;
    bool m_published = false;
    long m_changedSent = 0;
};
