#include "FormAboutQorView.h"

#include "AboutTexts.h"
#include "StationIcon.h"
#include "ui_FormAboutQorView.h"

FormAboutQorView::FormAboutQorView(const AboutTexts &texts, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormAboutQorView>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    const QIcon icon = stationIcon();
    setWindowIcon(icon);
    ui->Picture1->setPixmap(icon.pixmap(QSize(48, 48), devicePixelRatioF()));

    ui->LabelDescription->setText(texts.description);
    ui->LabelFirmware->setText(texts.firmware);
    ui->LabelDLL->setText(texts.library);
    connect(ui->CommandOK, &QPushButton::clicked, this, &QDialog::accept);
}

FormAboutQorView::~FormAboutQorView() = default;
