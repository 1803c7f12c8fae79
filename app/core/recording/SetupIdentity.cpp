#include "SetupIdentity.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace recording {

SetupIdentity setupIdentity(const QString &path) {
    if (path.isEmpty())
        return {};
    SetupIdentity identity{QFileInfo(path).fileName(), {}};
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly) && hash.addData(&file))
        identity.hash = QString::fromLatin1(hash.result().toHex());
    return identity;
}

} // namespace recording
