#include "SetupFileStore.h"

#include "SetupFileWriter.h"

namespace setupfile {

namespace {

const QString NoFileName = QStringLiteral("No file name has been specified.");

} // namespace

FileBytes readSetupFileBytes(const QString &path) {
    if (path.isEmpty())
        return {{}, NoFileName};
    return textfile::readFileBytes(
        path, {QStringLiteral("a setup file"), MaxSetupFileSize, textfile::Megabytes});
}

QString writeSetupFileBytes(const QString &path, const QByteArray &bytes) {
    if (path.isEmpty())
        return NoFileName;
    return textfile::saveFileBytes(path, bytes);
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
