#include "AboutTexts.h"

#include "LinkSession.h"
#include "StationConfig.h"

#ifndef QORVIEW_LINK_VERSION
#error "QORVIEW_LINK_VERSION must name the link library's version"
#endif

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

} // namespace

AboutTexts buildAboutTexts(LinkSession &session, const StationConfig &config) {
    AboutTexts texts;
    texts.description = config.ProductName + QStringLiteral(" server program\n") +
                        QStringLiteral("Version 6.0\n") + config.CompanyName;
    texts.firmware = config.ProductName + QStringLiteral(" Firmware currently in use:\n") +
                     QStringLiteral("File: ") + NotReported + u'\n' + QStringLiteral("Version: ") +
                     firmwareVersion(session);
    const QString path = session.link.loadedPath();
    texts.library = QStringLiteral("Qorlink.dll\n") + QStringLiteral("File: ") +
                    (path.isEmpty() ? QStringLiteral("(not loaded)") : path) + u'\n' +
                    QStringLiteral("Version: ") +
                    (path.isEmpty() ? QString() : QStringLiteral(QORVIEW_LINK_VERSION));
    return texts;
}
