#include "dlgCopyLink.h"

#include "ui_dlgCopyLink.h"

#include "LiveItems.h"
#include "StationIcon.h"
#include "Twips.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

dlgCopyLink::dlgCopyLink(QWidget *parent)
    : QDialog(parent, Qt::Popup), ui(std::make_unique<Ui::dlgCopyLink>()) {
    ui->setupUi(this);
    setWindowIcon(stationIcon());
    ui->Label1->installEventFilter(this);
}

dlgCopyLink::~dlgCopyLink() = default;

void dlgCopyLink::ShowDialogCopyAt(double x, double y) {
    move(Twips::toPixelsX(x, this), Twips::toPixelsY(y, this));
    setWindowModality(Qt::ApplicationModal);
    show();
}

void dlgCopyLink::Label1_Click() {
    if (!CopyLinkValue.isEmpty()) {
        auto *formats = new QMimeData;
        formats->setText(CopyLinkValue);
        formats->setData(
            QLatin1String(LiveItems::LinkMimeType),
            LiveItems::linkText(CopyLinkApplication, CopyLinkTopic, CopyLinkItem).toUtf8());
        // Replacing the clipboard's data leaves exactly these two formats on it.
        QGuiApplication::clipboard()->setMimeData(formats);
    }
    CopyLinkValue.clear();
    CopyLinkTopic.clear();
    CopyLinkItem.clear();
    hide();
}

bool dlgCopyLink::eventFilter(QObject *watched, QEvent *event) {
    if (watched == ui->Label1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Label1_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void dlgCopyLink::keyPressEvent(QKeyEvent *event) {
    // Copy is the one entry that acts, so Enter chooses it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Label1_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}
