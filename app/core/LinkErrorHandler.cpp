#include "LinkErrorHandler.h"

#include "LinkSession.h"
#include "ProcessEnd.h"
#include "Prompts.h"

namespace {

LinkSession *g_session = nullptr;
Prompts *g_prompts = nullptr;

// Carriage returns separate the lines, as everywhere in the station's texts.
const QString NoResponseAdvice = QStringLiteral("Press Retry to continue\r"
                                                "Press Cancel to end program\r"
                                                "\r"
                                                "If you select end program,\r"
                                                "you can restart the program\r"
                                                "with the /COMMSETUP option\r");

} // namespace

void setLinkErrorReporting(LinkSession *session, Prompts *prompts) {
    g_session = session;
    g_prompts = prompts;
}

int32_t QORAPI LinkErrorHandler(QorHandle handle) {
    LinkSession *session = g_session;
    if (!session || !g_prompts || session->ReportLinkErrors == 0)
        return 0;
    int32_t error = 0;
    session->ReplyText[0] = '\0';
    session->link.QorDecodeError(handle, &error, session->ReplyText.data());
    session->ReplyText.back() = '\0';
    const QString message = session->replyText();
    session->InLinkErrorHandler = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{session->InLinkErrorHandler};
    if (error == QOR_ERR_NO_RESPONSE) {
        const PromptAnswer answer =
            g_prompts->message(message + QLatin1Char('\r') + NoResponseAdvice,
                               PromptButtons::RetryCancel, PromptIcon::Critical);
        if (answer == PromptAnswer::Cancel)
            endProcessNow();
        return 0;
    }
    g_prompts->message(message);
    return 0;
}
