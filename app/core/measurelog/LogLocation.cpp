#include "LogLocation.h"

#include <QDir>
#include <QStandardPaths>

namespace measurelog {

QString defaultLogPath() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath(QStringLiteral("QorView/measurements.sqlite"));
}

} // namespace measurelog
