#include "TextFileStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace textfile {

FileBytes readFileBytes(const QString &path, const FileKind &kind) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return {{}, path + QStringLiteral(" file not found.")};
    if (info.isDir())
        return {{}, QStringLiteral("%1 is a folder, not %2.").arg(path, kind.name)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("%1 cannot be opened: %2").arg(path, file.errorString())};
    // One byte past the limit tells a file of exactly the limit from a larger one.
    QByteArray bytes = file.read(kind.maxSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString())};
    if (bytes.size() > kind.maxSize)
        return {{},
                QStringLiteral("%1 is larger than %2 %3 and cannot be %4.")
                    .arg(path, QString::number(kind.maxSize / kind.unit.bytes),
                         QLatin1String(kind.unit.name), kind.name)};
    return {std::move(bytes), {}};
}

QString saveFileBytes(const QString &path, const QByteArray &bytes) {
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

} // namespace textfile
