#include "LiveValueService.h"

#include "LiveFollowers.h"
#include "LiveItemSource.h"
#include "LiveItems.h"
#include "display1adaptor.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace {
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
} // namespace

LiveValueService::LiveValueService(LiveFollowers &live, const LiveItemSource &items,
                                   QObject *parent)
    : QObject(parent), m_live(live), m_items(items) {
    new Display1Adaptor(this);
}

LiveValueService::~LiveValueService() {
    if (!m_published)
        return;
    m_connection.unregisterObject(QLatin1String(LiveItems::ObjectPath));
    m_connection.unregisterService(QLatin1String(LiveItems::ServiceName));
}

bool LiveValueService::publish(const QDBusConnection &connection, QString *why) {
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (m_published)
        return true;
    if (!connection.isConnected())
        return fail(QStringLiteral("no session bus (%1)").arg(connection.lastError().message()));
    m_connection = connection;
    if (!m_connection.registerObject(QLatin1String(LiveItems::ObjectPath), this))
        return fail(QStringLiteral("the object %1 is already registered")
                        .arg(QLatin1String(LiveItems::ObjectPath)));
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_connection.interface()->registerService(QLatin1String(LiveItems::ServiceName),
                                                  QDBusConnectionInterface::DontQueueService,
                                                  QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        m_connection.unregisterObject(QLatin1String(LiveItems::ObjectPath));
        return fail(reply.isValid() ? QStringLiteral("the name %1 is taken by another program")
                                          .arg(QLatin1String(LiveItems::ServiceName))
                                    : reply.error().message());
    }
    m_clientWatcher = new QDBusServiceWatcher(this);
    m_clientWatcher->setConnection(m_connection);
    m_clientWatcher->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(m_clientWatcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &LiveValueService::clientGone);
    m_published = true;
    return true;
}

QString LiveValueService::application() const {
    return LiveItems::application();
}

QString LiveValueService::topic() const {
    return LiveItems::topic();
}

QString LiveValueService::Request(const QString &item) {
    const int channel = existingChannel(item);
    return channel != 0 ? m_items.channelText(channel) : QString();
}

void LiveValueService::Advise(const QString &item) {
    const int channel = existingChannel(item);
    if (channel == 0 || !calledFromDBus())
        return;
    const QString client = message().service();
    if (m_conversations.advise(client, channel))
        opened(client);
}

void LiveValueService::Unadvise(const QString &item) {
    if (!calledFromDBus())
        return;
    const QString client = message().service();
    // An item that went away with a smaller channel count can still be unadvised.
    if (const auto channel = LiveItems::channelOfItem(item);
        channel && m_conversations.isAdvised(client, *channel)) {
        if (m_conversations.unadvise(client, *channel))
            ended(client);
        return;
    }
    existingChannel(item);
}

QStringList LiveValueService::Items() const {
    QStringList items;
    const int count = m_items.channelCount();
    items.reserve(count);
    for (int n = 1; n <= count; ++n)
        items << LiveItems::itemName(n);
    return items;
}

void LiveValueService::channelTextChanged(int channel, const QString &text) {
    if (!m_conversations.isFollowed(channel))
        return;
    ++m_changedSent;
    Q_EMIT Changed(LiveItems::itemName(channel), text);
}

int LiveValueService::existingChannel(const QString &item) {
    const auto channel = LiveItems::channelOfItem(item);
    if (channel && *channel <= m_items.channelCount())
        return *channel;
    replyUnknownItem(item);
    return 0;
}

void LiveValueService::replyUnknownItem(const QString &item) {
    if (calledFromDBus())
        sendErrorReply(QLatin1String(LiveItems::UnknownItemError),
                       QStringLiteral("No item %1 on topic %2").arg(item, topic()));
}

void LiveValueService::opened(const QString &client) {
    m_clientWatcher->addWatchedService(client);
    // The client may have left before the watch reached the bus: the bus answers this question
    // only after it has taken the watch, so one of the two always tells.
    auto *check = new QDBusPendingCallWatcher(
        m_connection.interface()->asyncCall(QStringLiteral("NameHasOwner"), client), this);
    connect(check, &QDBusPendingCallWatcher::finished, this,
            [this, client](QDBusPendingCallWatcher *call) {
                const QDBusPendingReply<bool> reply = *call;
                if (reply.isValid() && !reply.value())
                    clientGone(client);
                call->deleteLater();
            });
    countChanged();
}

void LiveValueService::ended(const QString &client) {
    m_clientWatcher->removeWatchedService(client);
    countChanged();
}

void LiveValueService::clientGone(const QString &client) {
    if (m_conversations.drop(client))
        ended(client);
}

void LiveValueService::countChanged() {
    const uint count = conversationCount();
    m_live.DdeLinkCount = static_cast<int>(count);
    QDBusMessage changed =
        QDBusMessage::createSignal(QLatin1String(LiveItems::ObjectPath), PropertiesInterface,
                                   QStringLiteral("PropertiesChanged"));
    changed << QLatin1String(LiveItems::InterfaceName)
            << QVariantMap{{QStringLiteral("Conversations"), QVariant::fromValue(count)}}
            << QStringList();
    m_connection.send(changed);
    Q_EMIT conversationsChanged(count);
}
