#include "SetupFolder.h"

#include <QDir>
#include <QStandardPaths>

QString setupsFolder() {
    QString documents = qEnvironmentVariable("XDG_DOCUMENTS_DIR");
    if (documents.isEmpty())
        documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::home().filePath(QStringLiteral("Documents"));
    const QString folder = QDir(documents).filePath(QStringLiteral("QorView"));
    QDir().mkpath(folder);
    return folder;
}
