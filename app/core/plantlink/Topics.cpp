#include "Topics.h"

namespace plantlink {

QString topicLevel(const QString &stationName) {
    QString level = stationName.trimmed();
    for (QChar &c : level) {
        if (c == u'+' || c == u'#' || c == u'/' || c.category() == QChar::Other_Control)
            c = u'_';
    }
    return level.isEmpty() ? QStringLiteral("station") : level;
}

StationTopics::StationTopics(const QString &stationName)
    : m_base("qorview/" + topicLevel(stationName).toUtf8()) {
    status = m_base + "/status";
    part = m_base + "/part";
    counter = m_base + "/counter";
}

QByteArray StationTopics::live(int channel) const {
    return m_base + "/live/chan/" + QByteArray::number(channel);
}

QByteArray clientId(const QString &stationName) {
    return "qorview-" + topicLevel(stationName).toUtf8();
}

} // namespace plantlink
