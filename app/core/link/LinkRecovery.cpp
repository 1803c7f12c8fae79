#include "LinkRecovery.h"

#include "LinkSession.h"
#include "ProcessEnd.h"
#include "Prompts.h"

#include <array>

namespace {

// Carriage returns separate the lines, as everywhere in the station's texts.
const QString NoResponseAdvice = QStringLiteral("Press Retry to continue\r"
                                                "Press Cancel to end program\r"
                                                "\r"
                                                "If you select end program,\r"
                                                "you can restart the program\r"
                                                "with the /COMMSETUP option\r");

} // namespace

bool askAfterNoResponse(LinkSession &session, Prompts &prompts, const QString &message) {
    session.InLinkErrorHandler = true;
    const PromptAnswer answer = prompts.message(message + QLatin1Char('\r') + NoResponseAdvice,
                                                PromptButtons::RetryCancel, PromptIcon::Critical);
    session.InLinkErrorHandler = false;
    if (session.CloseRequested)
        return false;
    if (answer != PromptAnswer::Retry)
        endProcessNow();
    return true;
}

void reopenLink(LinkSession &session, Prompts &prompts) {
    session.ReopenRequested = false;
    if (!session.LinkInfo)
        return;
    // The failed call's text, taken before opening again replaces the connection's last error.
    std::array<char, QOR_ERROR_TEXT_SIZE> text{};
    int32_t error = 0;
    session.link.QorDecodeError(session.LinkHandle, &error, text.data());
    text.back() = '\0';
    while (!session.CloseRequested) {
        // Opening again closes the dead port first and finds the device anew through the port
        // mapping, so an adapter that came back under another name is found too.
        if (const QorHandle handle = session.link.QorOpen(session.LinkInfo)) {
            session.LinkHandle = handle;
            return;
        }
        if (!askAfterNoResponse(session, prompts, QString::fromLatin1(text.data())))
            return;
    }
}
