#include "AboutTexts.h"

#include "LinkLibrary.h"
#include "LinkSession.h"
#include "StationConfig.h"

#include <QFileInfo>

namespace {

// The unit reports no firmware file name; say so rather than show an empty line.
const QString NotReported = QStringLiteral("(not reported by the unit)");

QString firmwareVersion(LinkSession &state) {
    if (!state.LinkHandle)
        return QStringLiteral("(not connected)");
    state.ReplyText.fill('\0');
    if (state.link.QorReadVersion(state.LinkHandle, state.ReplyText.data()) != 0)
        return QStringLiteral("(the unit did not answer)");
    return state.replyText().trimmed();
}

// The library as the loader found it: its file name, where it is, and the version its name
// carries.
QString libraryText(const LinkLibrary &link) {
    const QString real = link.realFilePath();
    if (real.isEmpty())
        return QLatin1String(LinkLibrary::FileName) + QStringLiteral("\nFile: (not loaded)\n") +
               QStringLiteral("Version: ");
    const QString name = QFileInfo(real).fileName();
    const QString version = libraryVersionOf(name);
    return name + QStringLiteral("\nFile: ") + real + QStringLiteral("\nVersion: ") +
           (version.isEmpty() ? QStringLiteral("(not in the file name)") : version);
}

} // namespace

QString libraryVersionOf(const QString &fileName) {
    const QString marker = QStringLiteral(".so.");
    const qsizetype at = fileName.lastIndexOf(marker);
    return at < 0 ? QString() : fileName.mid(at + marker.size());
}

AboutTexts buildAboutTexts(LinkSession &session, const StationConfig &config) {
    AboutTexts texts;
    texts.description = config.ProductName + QStringLiteral(" server program\n") +
                        QStringLiteral("Version 6.0\n") + config.CompanyName;
    texts.firmware = config.ProductName + QStringLiteral(" Firmware currently in use:\n") +
                     QStringLiteral("File: ") + NotReported + u'\n' + QStringLiteral("Version: ") +
                     firmwareVersion(session);
    texts.library = libraryText(session.link);
    return texts;
}
