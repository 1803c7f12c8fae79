#include "Conversations.h"

bool Conversations::advise(const QString &client, int channel) {
    const bool opened = m_clients.count(client) == 0;
    if (m_clients[client].insert(channel).second)
        ++m_followers[channel];
    return opened;
}

bool Conversations::unadvise(const QString &client, int channel) {
    const auto found = m_clients.find(client);
    if (found == m_clients.end() || found->second.erase(channel) == 0)
        return false;
    if (--m_followers[channel] == 0)
        m_followers.erase(channel);
    if (!found->second.empty())
        return false;
    m_clients.erase(found);
    return true;
}

bool Conversations::drop(const QString &client) {
    const auto found = m_clients.find(client);
    if (found == m_clients.end())
        return false;
    for (const int channel : found->second) {
        if (--m_followers[channel] == 0)
            m_followers.erase(channel);
    }
    m_clients.erase(found);
    return true;
}

bool Conversations::isAdvised(const QString &client, int channel) const {
    const auto found = m_clients.find(client);
    return found != m_clients.end() && found->second.count(channel) != 0;
}
