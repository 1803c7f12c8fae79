#include "ScriptedPrompts.h"

PromptAnswer ScriptedPrompts::message(const QString &text, PromptButtons buttons, PromptIcon icon,
                                      const QString &title) {
    shown.push_back({text, buttons, icon, title});
    if (whileShown)
        whileShown();
    if (!answers.empty()) {
        const PromptAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (buttons) {
    case PromptButtons::RetryCancel:
        return PromptAnswer::Retry;
    case PromptButtons::YesNo:
    case PromptButtons::YesNoCancel:
        return PromptAnswer::Yes;
    case PromptButtons::Ok:
    case PromptButtons::OkCancel:
        break;
    }
    return PromptAnswer::Ok;
}

QString ScriptedPrompts::openFileName(const QString &title, const QString &folder,
                                      const QString &filter) {
    fileDialogs.push_back({title, folder, filter, {}});
    if (fileNames.empty())
        return {};
    QString name = fileNames.front();
    fileNames.pop_front();
    return name;
}

QString ScriptedPrompts::saveFileName(const QString &title, const QString &folder,
                                      const QString &filter, const QString &suggestedName) {
    const QString name = openFileName(title, folder, filter);
    fileDialogs.back().suggestedName = suggestedName;
    return name;
}
