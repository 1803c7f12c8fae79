#include "FormSelectGroup.h"

#include "ui_FormSelectGroup.h"

#include "GroupSelection.h"
#include "StationIcon.h"
#include "UnitObjects.h"
#include "ViewState.h"

#include <QPushButton>

FormSelectGroup::FormSelectGroup(ViewState &view, const UnitObjects &unit, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormSelectGroup>()), m_view(view), m_unit(unit) {
    ui->setupUi(this);
    setModal(true);
    connect(ui->CmdOk, &QPushButton::clicked, this, &FormSelectGroup::accept);
    connect(ui->CmdCancel, &QPushButton::clicked, this, &FormSelectGroup::reject);
    connect(ui->ListGroups, &QListWidget::itemDoubleClicked, this, &FormSelectGroup::accept);
}

FormSelectGroup::~FormSelectGroup() = default;

void FormSelectGroup::SelectGroup() {
    Form_Load();
    exec();
}

void FormSelectGroup::Form_Load() {
    setWindowIcon(stationIcon());
    m_hold = PollHoldGuard(m_view.PollHold);
    QListWidget *list = ui->ListGroups;
    list->clear();
    for (int position = 1; position <= m_unit.groupCount(); ++position) {
        auto *row = new QListWidgetItem(m_unit.groupAt(position)->Description, list);
        row->setData(Qt::UserRole, position);
    }
    if (list->count() > 0)
        list->setCurrentRow(list->count() - 1);
}

int FormSelectGroup::highlightedRow() const {
    const QList<QListWidgetItem *> selected = ui->ListGroups->selectedItems();
    return selected.isEmpty() ? -1 : ui->ListGroups->row(selected.first());
}

void FormSelectGroup::accept() {
    if (m_hold.holds())
        acceptGroupSelection(m_view, highlightedRow(), m_hold);
    QDialog::accept();
}

void FormSelectGroup::reject() {
    if (m_hold.holds())
        cancelGroupSelection(m_view, m_hold);
    QDialog::reject();
}
