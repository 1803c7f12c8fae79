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
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
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
    const std::vector<spc::FigureRow> rows = spc::capabilityRows(capability, decimals);
    table_->setRowCount(static_cast<int>(rows.size()));
    keys_.clear();
    for (int r = 0; r < table_->rowCount(); ++r) {
        const spc::FigureRow &row = rows[static_cast<std::size_t>(r)];
        keys_.push_back(row.key);
        const QString bounds =
            row.lower.isEmpty() ? QString() : QStringLiteral("%1 to %2").arg(row.lower, row.upper);
        table_->setItem(r, 0, cell(row.label, Qt::AlignLeft));
        table_->setItem(r, 1, cell(row.value.isEmpty() ? Missing : row.value, Qt::AlignRight));
        table_->setItem(r, 2, cell(bounds, Qt::AlignRight));
    }
    // Every row and the widest text of each column in view: the histogram above gives way first.
    const QFontMetrics metrics = table_->fontMetrics();
    int width = 2 * table_->frameWidth();
    for (int c = 0; c < table_->columnCount(); ++c) {
        int widest = metrics.horizontalAdvance(table_->horizontalHeaderItem(c)->text());
        for (int r = 0; r < table_->rowCount(); ++r)
            widest = std::max(widest, metrics.horizontalAdvance(table_->item(r, c)->text()));
        width += widest + CellPadding;
    }
    table_->setMinimumWidth(width);
    table_->setFixedHeight(table_->horizontalHeader()->height() + 2 * table_->frameWidth() +
                           table_->rowCount() * table_->verticalHeader()->defaultSectionSize());
    const QString remark = spc::capabilityRemark(capability);
    remark_->setText(remark);
    remark_->setVisible(!remark.isEmpty());
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
