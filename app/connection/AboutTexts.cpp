#include "AboutTexts.h"

#include "StationState.h"

#ifndef QORVIEW_LINK_VERSION
#error "QORVIEW_LINK_VERSION must name the link library's version"
#endif

namespace {

// The unit reports no firmware file name; say so rather than show an empty line.
const QString NotReported = QStringLiteral("(not reported by the unit)");

QString firmwareVersion(StationState &state) {
    if (!state.LinkHandle)
        return QStringLiteral("(not connected)");
    state.ReplyText.fill('\0');
    if (state.link.QorReadVersion(state.LinkHandle, state.ReplyText.data()) != 0)
        return QStringLiteral("(the unit did not answer)");
    return state.replyText().trimmed();
}

} // namespace

AboutTexts buildAboutTexts(StationState &state) {
    AboutTexts texts;
    texts.description = state.ProductName + QStringLiteral(" server program\n") +
                        QStringLiteral("Version 6.0\n") + state.CompanyName;
    texts.firmware = state.ProductName + QStringLiteral(" Firmware currently in use:\n") +
                     QStringLiteral("File: ") + NotReported + u'\n' + QStringLiteral("Version: ") +
                     firmwareVersion(state);
    const QString path = state.link.loadedPath();
    texts.library = QStringLiteral("Qorlink.dll\n") + QStringLiteral("File: ") +
                    (path.isEmpty() ? QStringLiteral("(not loaded)") : path) + u'\n' +
                    QStringLiteral("Version: ") +
                    (path.isEmpty() ? QString() : QStringLiteral(QORVIEW_LINK_VERSION));
    return texts;
}
