#pragma once

#include "Prompts.h"

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

// The operator-facing Prompts: QMessageBox and QFileDialog. Carriage returns in a text become
// line breaks; a text of several lines that ends in one does not leave an empty last line.
class MessageBoxPrompts : public Prompts {
public:
    PromptAnswer message(const QString &text, PromptButtons buttons, PromptIcon icon,
                         const QString &title) override;
    QString openFileName(const QString &title, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(const QString &title, const QString &folder, const QString &filter,
                         const QString &suggestedName) override;
    void dismissOpenBoxes() override;

    // Owner window of the boxes shown from now on (may be null).
    void setParentWindow(QWidget *parent) { m_parent = parent; }

private:
    QPointer<QWidget> m_parent;
    // Boxes waiting for an answer, the innermost last.
    std::vector<QPointer<QDialog>> m_open;
};

// The station's texts separate lines with carriage returns; shown text uses line feeds.
QString promptDisplayText(const QString &text);

// The box message() shows, before it is shown (pictures of the station's messages use it too).
std::unique_ptr<QMessageBox> makePromptBox(const QString &text, PromptButtons buttons,
                                           PromptIcon icon, const QString &title, QWidget *parent);
