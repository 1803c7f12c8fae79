#include "CsvField.h"

namespace textfile {

QString csvField(const QString &text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void CsvText::row(const QStringList &fields) {
    QStringList escaped;
    for (const QString &f : fields)
        escaped << csvField(f);
    m_text += escaped.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

} // namespace textfile
