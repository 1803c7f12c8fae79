#include "CapabilityPanel.h"

#include "SpcFigures.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString Missing = QStringLiteral("—");
constexpr int CellPadding = 18; // a cell's margins and the header's sort space

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment) {
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

CapabilityPanel::CapabilityPanel(QWidget *parent)
    : QWidget(parent), table_(new QTableWidget(0, 3, this)), remark_(new QLabel(this)) {
    table_->setObjectName(QStringLiteral("capabilityTable"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Figure"), QStringLiteral("Value"), QStringLiteral("95 % bounds")});
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < table_->columnCount(); ++c)
        widen(c, table_->horizontalHeaderItem(c)->text());
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setShowGrid(false);
    table_->setAlternatingRowColors(true);
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    remark_->setObjectName(QStringLiteral("capabilityRemark"));
    remark_->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table_);
    layout->addWidget(remark_);
    layout->addStretch(1);
}

void CapabilityPanel::showCapability(const spc::Capability &capability, int decimals) {
    std::vector<spc::FigureRow> rows = spc::capabilityRows(capability, decimals);
    for (spc::FigureRow &row : rows) {
        if (row.value.isEmpty())
            row.value = Missing;
    }
    showRows(rows, spc::capabilityRemark(capability));
}

void CapabilityPanel::showPending(const QString &remark) {
    std::vector<spc::FigureRow> rows = spc::capabilityRows({}, 0);
    for (spc::FigureRow &row : rows)
        row.value = row.lower = row.upper = QString();
    showRows(rows, remark);
}

void CapabilityPanel::showRows(const std::vector<spc::FigureRow> &rows, const QString &remark) {
    // Only the texts that changed are set, and the columns sized only when a text needs more
    // room: a new part changes a few digits, which must not lay the table out again.
    if (table_->rowCount() != static_cast<int>(rows.size())) {
        table_->setRowCount(static_cast<int>(rows.size()));
        keys_.clear();
        for (int r = 0; r < table_->rowCount(); ++r) {
            keys_.push_back(rows[static_cast<std::size_t>(r)].key);
            table_->setItem(r, 0, cell(rows[static_cast<std::size_t>(r)].label, Qt::AlignLeft));
            widen(0, rows[static_cast<std::size_t>(r)].label);
            table_->setItem(r, 1, cell({}, Qt::AlignRight));
            table_->setItem(r, 2, cell({}, Qt::AlignRight));
        }
        table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() +
                               2 * table_->frameWidth() +
                               table_->rowCount() * table_->verticalHeader()->defaultSectionSize());
    }
    for (int r = 0; r < table_->rowCount(); ++r) {
        const spc::FigureRow &row = rows[static_cast<std::size_t>(r)];
        setText(r, 1, row.value);
        setText(r, 2,
                row.lower.isEmpty() ? QString()
                                    : QStringLiteral("%1 to %2").arg(row.lower, row.upper));
    }
    if (remark != remark_->text()) {
        remark_->setText(remark);
        remark_->setVisible(!remark.isEmpty());
    }
}

void CapabilityPanel::setText(int row, int column, const QString &text) {
    QTableWidgetItem *item = table_->item(row, column);
    if (item->text() == text)
        return;
    item->setText(text);
    widen(column, text);
}

void CapabilityPanel::widen(int column, const QString &text) {
    int &width = widths_[static_cast<std::size_t>(column)];
    const int needed = table_->fontMetrics().horizontalAdvance(text) + CellPadding;
    if (needed <= width)
        return;
    width = needed;
    // Every column as wide as its widest text so far: the histogram above gives way first.
    table_->horizontalHeader()->resizeSection(column, width);
    int total = 2 * table_->frameWidth();
    for (const int w : widths_)
        total += w;
    table_->setMinimumWidth(total);
}

QString CapabilityPanel::remark() const {
    return remark_->text();
}

QString CapabilityPanel::value(const QString &key) const {
    const auto found = std::find(keys_.begin(), keys_.end(), key);
    if (found == keys_.end())
        return {};
    return table_->item(static_cast<int>(found - keys_.begin()), 1)->text();
}
