#include "AmpProfileStore.h"

#include "AmpProfileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace procedures {

namespace {

AmpProfileReadResult unreadable(const QString &why) {
    AmpProfileReadResult result;
    result.error.reason = why;
    return result;
}

} // namespace

AmpProfileReadResult loadAmpProfile(const QString &path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return unreadable(path + QStringLiteral(" file not found."));
    if (info.isDir())
        return unreadable(QStringLiteral("%1 is a folder, not an amplifier profile.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(QStringLiteral("%1 cannot be opened: %2").arg(path, file.errorString()));
    // One byte past the limit tells a file of exactly the limit from a larger one.
    const QByteArray bytes = file.read(MaxAmpProfileFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return unreadable(QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString()));
    if (bytes.size() > MaxAmpProfileFileSize)
        return unreadable(QStringLiteral("%1 is larger than %2 KB and cannot be an amplifier "
                                         "profile.")
                              .arg(path)
                              .arg(MaxAmpProfileFileSize / 1024));
    return readAmpProfile(bytes);
}

QString saveAmpProfile(const QString &path, const AmpProfileDocument &document) {
    const QByteArray bytes = writeAmpProfile(document);
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

} // namespace procedures
