#pragma once

#include <QDialog>

#include <memory>

struct LinkSession;
struct StationConfig;

namespace Ui {
class FormAboutQorView;
}

// The About box: product, program version and maker, the unit's firmware, and the link library
// actually loaded.
class FormAboutQorView : public QDialog {
    Q_OBJECT

public:
    FormAboutQorView(LinkSession &session, const StationConfig &config, QWidget *parent = nullptr);
    ~FormAboutQorView() override;

private:
    std::unique_ptr<Ui::FormAboutQorView> ui;
};
