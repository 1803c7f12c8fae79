#pragma once

#include <QString>

#include <map>
#include <set>

// Which client (its unique bus name) follows which channels. A client with at least one
// advised channel has a conversation open; the count is the number of such clients, so it can
// neither go below zero nor stay up for a client that has gone.
class Conversations {
public:
    // True when this opened the client's conversation.
    bool advise(const QString &client, int channel);
    // True when this ended the client's conversation. Unadvising what was not advised does
    // nothing.
    bool unadvise(const QString &client, int channel);
    // Ends the client's conversation, whatever it advised; true when it had one.
    bool drop(const QString &client);

    bool isAdvised(const QString &client, int channel) const;
    // Whether any client follows channel.
    bool isFollowed(int channel) const { return m_followers.count(channel) != 0; }
    int count() const { return static_cast<int>(m_clients.size()); }

private:
    std::map<QString, std::set<int>> m_clients;
    // Number of clients that advised each channel, only for channels with at least one.
    std::map<int, int> m_followers;
};
