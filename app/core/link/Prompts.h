#pragma once

#include <QString>
#include <QStringList>

enum class PromptButtons { Ok, RetryCancel, YesNo, YesNoCancel, OkCancel };
enum class PromptIcon { None, Information, Question, Critical };
enum class PromptAnswer { Ok, Cancel, Retry, Yes, No };

// Every message box and file dialog of the station goes through this interface, so that tests
// can answer them and so that carriage returns in the station's texts become line breaks in one
// place.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Shows text (lines separated by carriage returns) and waits for the operator's answer.
    virtual PromptAnswer message(const QString &text, PromptButtons buttons = PromptButtons::Ok,
                                 PromptIcon icon = PromptIcon::None,
                                 const QString &title = QStringLiteral("QorView")) = 0;

    // File dialogs; an empty result means the operator cancelled.
    virtual QString openFileName(const QString &title, const QString &folder,
                                 const QString &filter) = 0;
    virtual QString saveFileName(const QString &title, const QString &folder, const QString &filter,
                                 const QString &suggestedName) = 0;

    // Closes every box still open as if its cancelling button was chosen; used when the station
    // has to close while a box waits for an answer.
    virtual void dismissOpenBoxes() {}
};
