#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class dlgCopyLink;
}

// The small pop-up menu of a right click on a channel's bar: "Copy" puts the channel's value on
// the clipboard as text, and the link that names it (application|topic!item) under the link
// type, so that another program can paste the value or follow it. "Paste" and "Paste Link" are
// shown but do nothing. The caller fills the CopyLink values just before it shows the dialog.
class dlgCopyLink : public QDialog {
    Q_OBJECT

public:
    explicit dlgCopyLink(QWidget *parent = nullptr);
    ~dlgCopyLink() override;

    QString CopyLinkApplication;
    QString CopyLinkTopic;
    QString CopyLinkItem;
    QString CopyLinkValue;

    // Shows the dialog modally with its top left corner at (x, y), screen twips.
    void ShowDialogCopyAt(double x, double y);
    // "Copy": the value and the link to the clipboard unless the value is empty; in every case
    // the value, topic and item are emptied and the dialog hides.
    void Label1_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::unique_ptr<Ui::dlgCopyLink> ui;
};
