#pragma once

#include <QDialog>

#include <memory>

struct AboutTexts;

namespace Ui {
class FormAboutQorView;
}

// The About box: product, program version and maker, the unit's firmware, and the link library
// actually loaded, as buildAboutTexts() found them (the firmware version is an exchange with the
// unit, so the caller makes it where its exchanges are made).
class FormAboutQorView : public QDialog {
    Q_OBJECT

public:
    explicit FormAboutQorView(const AboutTexts &texts, QWidget *parent = nullptr);
    ~FormAboutQorView() override;

private:
    std::unique_ptr<Ui::FormAboutQorView> ui;
};
