#include "StationIcon.h"

#include "ResourceInit.h"

QIcon stationIcon() {
    loadStationResources();
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/qorview/icons/qorview-%1.png").arg(size), QSize(size, size));
    return icon;
}
