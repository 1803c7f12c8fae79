#include "PlantLinkConfig.h"

#include <QSysInfo>

namespace plantlink {

QString stationName(const PlantLinkConfig &config) {
    const QString own = config.station.trimmed();
    return own.isEmpty() ? QSysInfo::machineHostName() : own;
}

} // namespace plantlink
