#include "LinkErrorHandler.h"

#include "ProcessEnd.h"
#include "Prompts.h"
#include "StationState.h"

namespace {

StationState *g_state = nullptr;

constexpr int32_t UnitDidNotRespond = 259;

// Carriage returns separate the lines, as everywhere in the station's texts.
const QString NoResponseAdvice = QStringLiteral("Press Retry to continue\r"
                                                "Press Cancel to end program\r"
                                                "\r"
                                                "If you select end program,\r"
                                                "you can restart the program\r"
                                                "with the /COMMSETUP option\r");

} // namespace

void setLinkErrorState(StationState *state) {
    g_state = state;
}

int32_t QORAPI LinkErrorHandler(QorHandle handle) {
    StationState *state = g_state;
    if (!state || state->ReportLinkErrors == 0)
        return 0;
    int32_t error = 0;
    state->ReplyText[0] = '\0';
    state->link.QorDecodeError(handle, &error, state->ReplyText.data());
    state->ReplyText.back() = '\0';
    const QString message = state->replyText();
    state->InLinkErrorHandler = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{state->InLinkErrorHandler};
    if (error == UnitDidNotRespond) {
        const PromptAnswer answer =
            state->prompts.message(message + QLatin1Char('\r') + NoResponseAdvice,
                                   PromptButtons::RetryCancel, PromptIcon::Critical);
        if (answer == PromptAnswer::Cancel)
            endProcessNow();
        return 0;
    }
    state->prompts.message(message);
    return 0;
}
