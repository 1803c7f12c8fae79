#include "LinkErrorHandler.h"

#include "LinkRecovery.h"
#include "LinkSession.h"
#include "Prompts.h"

namespace {

LinkSession *g_session = nullptr;
Prompts *g_prompts = nullptr;

} // namespace

void setLinkErrorReporting(LinkSession *session, Prompts *prompts) {
    g_session = session;
    g_prompts = prompts;
}

int32_t QORAPI LinkErrorHandler(QorHandle handle) {
    LinkSession *session = g_session;
    if (session)
        ++session->FailedCalls;
    if (!session || !g_prompts || session->ReportLinkErrors == 0 || session->CloseRequested)
        return 0;
    int32_t error = 0;
    session->ReplyText[0] = '\0';
    session->link.QorDecodeError(handle, &error, session->ReplyText.data());
    session->ReplyText.back() = '\0';
    const QString message = session->replyText();
    if (error == QOR_ERR_NO_RESPONSE) {
        // Retry opens the link again once the failed call has returned: a device that was
        // unplugged and plugged back in has a new file behind the same name.
        if (askAfterNoResponse(*session, *g_prompts, message))
            session->ReopenRequested = true;
        return 0;
    }
    session->InLinkErrorHandler = true;
    g_prompts->message(message);
    session->InLinkErrorHandler = false;
    return 0;
}
