#pragma once

#include "PollHold.h"

#include <QDialog>

#include <memory>

struct UnitObjects;
struct ViewState;

namespace Ui {
class FormSelectGroup;
}

// Asks which group the main window's group commands work on: every group by name, the last one
// highlighted. OK (or a double click on a row) leaves SelectedGroup on the highlighted group and
// hands the hold it took on the list refresh over to the caller's next refresh; Cancel, Esc and
// the close box cancel the selection and lower the hold themselves.
class FormSelectGroup : public QDialog {
    Q_OBJECT

public:
    FormSelectGroup(ViewState &view, const UnitObjects &unit, QWidget *parent = nullptr);
    ~FormSelectGroup() override;

    // Loads the dialog and waits, modal, until the operator has answered.
    void SelectGroup();
    // Loads the dialog: raises the hold, lists the groups and highlights the last one.
    void Form_Load();

    void accept() override;
    void reject() override;

private:
    int highlightedRow() const;

    std::unique_ptr<Ui::FormSelectGroup> ui;
    ViewState &m_view;
    const UnitObjects &m_unit;
    // Loaded and not yet answered: the hold taken on load is still the dialog's.
    PollHoldGuard m_hold;
};
