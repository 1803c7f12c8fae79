#pragma once

#include <QByteArray>
#include <QString>

namespace plantlink {

// A station name as one topic level: the wildcards '+' and '#', the level separator '/' and
// control characters become '_', surrounding blanks go, and an empty name becomes "station".
// Two stations whose names differ only in those characters share a topic; the plant gives its
// stations distinct plain names.
QString topicLevel(const QString &stationName);

// The topics of one station, all below qorview/<station>/.
struct StationTopics {
    explicit StationTopics(const QString &stationName);

    QByteArray status;  // retained "online" document; "offline" as the will
    QByteArray part;    // one document per recorded part, QoS 1
    QByteArray counter; // retained counter state
    QByteArray live(int channel) const;

private:
    QByteArray m_base;
};

// The client id the broker keeps the station's session under. It must be unique on the broker:
// a second connection with the same id ends the first.
QByteArray clientId(const QString &stationName);

} // namespace plantlink
