#include "MessageBoxPrompts.h"

#include "StationIcon.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::StandardButtons standardButtons(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

PromptAnswer answerOf(int button, PromptButtons buttons) {
    switch (button) {
    case QMessageBox::Retry:
        return PromptAnswer::Retry;
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    default:
        // Escape or the close box: the box's cancelling answer.
        return buttons == PromptButtons::Ok      ? PromptAnswer::Ok
               : buttons == PromptButtons::YesNo ? PromptAnswer::No
                                                 : PromptAnswer::Cancel;
    }
}

} // namespace

QString promptDisplayText(const QString &text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (shown.endsWith(QLatin1Char('\n')))
        shown.chop(1);
    return shown;
}

std::unique_ptr<QMessageBox> makePromptBox(const QString &text, PromptButtons buttons,
                                           PromptIcon icon, const QString &title, QWidget *parent) {
    auto box = std::make_unique<QMessageBox>(boxIcon(icon), title, promptDisplayText(text),
                                             standardButtons(buttons), parent);
    box->setWindowIcon(stationIcon());
    if (buttons == PromptButtons::RetryCancel)
        box->setDefaultButton(QMessageBox::Retry);
    return box;
}

PromptAnswer MessageBoxPrompts::message(const QString &text, PromptButtons buttons, PromptIcon icon,
                                        const QString &title) {
    const std::unique_ptr<QMessageBox> box = makePromptBox(text, buttons, icon, title, m_parent);
    m_open.emplace_back(box.get());
    const int button = box->exec();
    m_open.pop_back();
    return answerOf(button, buttons);
}

void MessageBoxPrompts::dismissOpenBoxes() {
    for (const QPointer<QDialog> &box : m_open) {
        if (QDialog *open = box.data())
            open->reject();
    }
}

QString MessageBoxPrompts::openFileName(const QString &title, const QString &folder,
                                        const QString &filter) {
    return QFileDialog::getOpenFileName(m_parent, title, folder, filter);
}

QString MessageBoxPrompts::saveFileName(const QString &title, const QString &folder,
                                        const QString &filter, const QString &suggestedName) {
    const QString start = suggestedName.isEmpty() ? folder : QDir(folder).filePath(suggestedName);
    return QFileDialog::getSaveFileName(m_parent, title, start, filter);
}
