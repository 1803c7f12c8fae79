#include "UnreadValues.h"

namespace setupforms {

QString unreadFieldProblem(const QString &fieldName) {
    return QStringLiteral("Could not read %1 from the unit; read it again before programming.")
        .arg(fieldName);
}

QString readAgainQuestion(const QString &fieldName, const QString &item) {
    return unreadFieldProblem(fieldName) + QLatin1Char('\r') +
           QStringLiteral("Read %1 again now?").arg(item);
}

} // namespace setupforms
