#include "SetupFileStore.h"

#include "SetupFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace setupfile {

namespace {

const QString NoFileName = QStringLiteral("No file name has been specified.");

} // namespace

FileBytes readSetupFileBytes(const QString &path) {
    if (path.isEmpty())
        return {{}, NoFileName};
    const QFileInfo info(path);
    if (!info.exists())
        return {{}, path + QStringLiteral(" file not found.")};
    if (info.isDir())
        return {{}, QStringLiteral("%1 is a folder, not a setup file.").arg(path)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("%1 cannot be opened: %2").arg(path, file.errorString())};
    // Read one byte past the limit to tell a file of exactly the limit from a larger one.
    QByteArray bytes = file.read(MaxSetupFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString())};
    if (bytes.size() > MaxSetupFileSize)
        return {{},
                QStringLiteral("%1 is larger than %2 MB and cannot be a setup file.")
                    .arg(path, QString::number(MaxSetupFileSize / (1024 * 1024)))};
    return {std::move(bytes), {}};
}

QString writeSetupFileBytes(const QString &path, const QByteArray &bytes) {
    if (path.isEmpty())
        return NoFileName;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1 cannot be created: %2").arg(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString failure =
            QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        file.cancelWriting();
        return failure;
    }
    if (!file.commit())
        return QStringLiteral("%1 cannot be saved: %2").arg(path, file.errorString());
    return {};
}

SetupReadResult loadSetupFile(const QString &path, const SetupStationValues &inForce,
                              const CountCheck &countCheck) {
    const FileBytes file = readSetupFileBytes(path);
    if (!file.failure.isEmpty()) {
        SetupReadResult result;
        result.error.reason = file.failure;
        return result;
    }
    return readSetup(file.bytes, inForce, countCheck);
}

QString saveSetupFile(const QString &path, const SetupDocument &document) {
    return writeSetupFileBytes(path, writeSetup(document));
}

} // namespace setupfile
