#include "HelpFile.h"

#include <QDir>
#include <QFileInfo>

QString findHelpFile(const QString &programFolder) {
    const QDir folder(programFolder);
    for (const QString &candidate :
         {folder.filePath(QStringLiteral("qorview.hlp")),
          folder.filePath(QStringLiteral("../share/qorview/qorview.hlp"))}) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}
