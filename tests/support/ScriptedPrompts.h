#pragma once

#include "Prompts.h"

#include <QString>

#include <deque>
#include <functional>
#include <ostream>
#include <vector>

// Readable QString values in test failures.
inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

// Answers the station's boxes from a script and remembers every box it was shown.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString text;
        PromptButtons buttons;
        PromptIcon icon;
        QString title;
    };

    PromptAnswer message(const QString &text, PromptButtons buttons, PromptIcon icon,
                         const QString &title) override;
    QString openFileName(const QString &title, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(const QString &title, const QString &folder, const QString &filter,
                         const QString &suggestedName) override;

    struct FileDialog {
        QString title;
        QString folder;
        QString filter;
        QString suggestedName;
    };

    // Answers in order; when they run out, Ok (Retry for Retry/Cancel boxes, Yes for questions).
    std::deque<PromptAnswer> answers;
    // File names the file dialogs return in order; when they run out, "" (cancelled).
    std::deque<QString> fileNames;
    // Every file dialog shown, in order.
    std::vector<FileDialog> fileDialogs;
    // Runs while a box is "open", before it is answered.
    std::function<void()> whileShown;
    std::vector<Shown> shown;
};
