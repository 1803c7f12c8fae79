#include "FormGridDisplay.h"

#include "DisplayRules.h"
#include "DisplayWindowGeometry.h"
#include "Twips.h"
#include "ui_FormGridDisplay.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>

#include <algorithm>

namespace {

constexpr Qt::Alignment LabelAlignment = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment ValueAlignment = Qt::AlignCenter;

// Text that stands in for what is not known (a channel's number before its description) or no
// longer current (a stale reading): grey, as a stale gauge.
const QColor StandInText(0x90, 0x90, 0x90);
constexpr int GreyRole = Qt::UserRole;

void setGrey(QTableWidgetItem &item, bool grey) {
    item.setData(GreyRole, grey);
    item.setForeground(grey ? QBrush(StandInText) : QBrush());
    QFont font = item.font();
    font.setItalic(grey);
    item.setFont(font);
}

} // namespace

FormGridDisplay::FormGridDisplay(DisplayedState state, QWidget *parent)
    : DisplayWindow(state, LayoutWindow::Grid, parent),
      ui(std::make_unique<Ui::FormGridDisplay>()) {
    ui->setupUi(this);

    QTableWidget *grid = ui->GridView;
    grid->setHorizontalHeaderItem(0, new QTableWidgetItem());
    grid->horizontalHeaderItem(0)->setTextAlignment(LabelAlignment);
    grid->horizontalHeaderItem(1)->setTextAlignment(ValueAlignment);
    grid->setColumnWidth(0, Twips::toPixelsX(GridLabelColumnTwips, this));
    grid->setColumnWidth(1, Twips::toPixelsX(GridValueColumnTwips, this));
    // The value column takes whatever width the window has beyond the two columns.
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->horizontalHeader()->setSectionsClickable(false);
    grid->verticalHeader()->setMinimumSectionSize(1);

    // A row opens on a double click or Enter only. The view's own activated signal also fires
    // on a single click where the desktop style says so, and one stray click must not open a
    // dialog.
    connect(grid, &QTableWidget::doubleClicked, this, &FormGridDisplay::pickRow);
    grid->installEventFilter(this);
    applySizeRule();
}

FormGridDisplay::~FormGridDisplay() = default;

void FormGridDisplay::pickRow(const QModelIndex &index) {
    Q_EMIT rowPicked(std::max(index.row() + 1, 1));
}

bool FormGridDisplay::eventFilter(QObject *watched, QEvent *event) {
    if (watched == ui->GridView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const QModelIndex current = ui->GridView->currentIndex();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && current.isValid()) {
            pickRow(current);
            return true;
        }
    }
    return DisplayWindow::eventFilter(watched, event);
}

int FormGridDisplay::gridRowCount() const {
    return ui->GridView->rowCount() + 1;
}

void FormGridDisplay::SetGridValue(int row, const QString &NValue) {
    if (row < 1 || row >= gridRowCount())
        return;
    ui->GridView->item(row - 1, 1)->setText(NValue);
}

void FormGridDisplay::setValueStale(int row, bool stale) {
    if (row >= 1 && row < gridRowCount())
        setGrey(*ui->GridView->item(row - 1, 1), stale);
}

bool FormGridDisplay::isValueStale(int row) const {
    return row >= 1 && row < gridRowCount() &&
           ui->GridView->item(row - 1, 1)->data(GreyRole).toBool();
}

void FormGridDisplay::UpdateGridDisplay() {
    if (!m_runReads) {
        showContent(collectGridContent(m_state));
        return;
    }
    LinkSequence reads(QStringLiteral("numeric display"));
    reads.setSharesLineWithPoll(true);
    const QPointer<FormGridDisplay> form(this);
    const unsigned generation = ++m_contentGeneration;
    const auto wanted = [form, generation] {
        const FormGridDisplay *open = form.data();
        return open && generation == open->m_contentGeneration;
    };
    // Each label is filled in as soon as it is read; the readings the poll wrote meanwhile stay.
    const auto ready = [form](qsizetype row, const QString &label) {
        if (FormGridDisplay *open = form.data())
            open->setLabel(static_cast<int>(row), label, ItemSetup::Known);
    };
    showContent(*planGridContent(m_state, reads, wanted, ready));
    m_runReads(std::move(reads));
}

void FormGridDisplay::showContent(const GridContent &content) {
    setWindowTitle(content.caption);
    if (content.rows)
        setRows(*content.rows);
    clearValues();
    applySizeRule();
}

void FormGridDisplay::clearValues() {
    // A reading of the previous view must not stand beside this view's label; a view without
    // rows of its own gets no readings at all.
    QTableWidget *grid = ui->GridView;
    for (int i = 0; i < grid->rowCount(); ++i) {
        grid->item(i, 1)->setText(QString());
        setGrey(*grid->item(i, 1), false);
    }
}

void FormGridDisplay::setRows(const GridRows &rows) {
    QTableWidget *grid = ui->GridView;
    grid->horizontalHeaderItem(0)->setText(rows.heading);
    const int count = static_cast<int>(rows.labels.size());
    grid->setRowCount(count);
    for (int i = 0; i < count; ++i) {
        if (!grid->item(i, 0)) {
            auto *label = new QTableWidgetItem();
            label->setTextAlignment(LabelAlignment);
            grid->setItem(i, 0, label);
            auto *value = new QTableWidgetItem();
            value->setTextAlignment(ValueAlignment);
            grid->setItem(i, 1, value);
        }
        setLabel(i, rows.labels[i], i < rows.setups.size() ? rows.setups[i] : ItemSetup::Known);
    }
}

void FormGridDisplay::setLabel(int row, const QString &label, ItemSetup setup) {
    QTableWidgetItem *item = ui->GridView->item(row, 0);
    if (!item)
        return;
    item->setText(label);
    setGrey(*item, setup != ItemSetup::Known);
}

void FormGridDisplay::applySizeRule() {
    const GridWindowSize size = gridWindowSize(gridRowCount());
    const QSize frame = windowFrameExtent(*this);
    // Once the window manager has framed the window the rule's outer height can be met exactly;
    // before that the grid's own height is the inner height.
    const int innerHeight = frame.height() > 0
                                ? Twips::toPixelsY(size.windowHeightTwips, this) - frame.height()
                                : Twips::toPixelsY(size.gridHeightTwips(), this);
    ui->GridView->setVerticalScrollBarPolicy(size.scrolls ? Qt::ScrollBarAsNeeded
                                                          : Qt::ScrollBarAlwaysOff);
    const auto hold = arranging();
    resize(Twips::toPixelsX(size.gridWidthTwips(), this), std::max(innerHeight, 1));
    fitRowHeights();
}

void FormGridDisplay::fitRowHeights() {
    QTableWidget *grid = ui->GridView;
    const int rows = gridRowCount();
    const bool scrolls = gridWindowSize(rows).scrolls;
    // A grid that fits shares the height among its rows; a scrolling one keeps 310-twip rows.
    const int rowHeight = scrolls ? Twips::toPixelsY(310.0, this)
                                  : std::max((height() - 2 * grid->frameWidth()) / rows, 1);
    grid->horizontalHeader()->setFixedHeight(rowHeight);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid->verticalHeader()->setSectionResizeMode(scrolls ? QHeaderView::Fixed
                                                         : QHeaderView::Stretch);
}

void FormGridDisplay::SetNumberOfNumerics() {
    if (const auto count = displayItemCount(m_state))
        m_totalNumberOfNumerics = *count;
}

void FormGridDisplay::resizeEvent(QResizeEvent *event) {
    DisplayWindow::resizeEvent(event);
    fitRowHeights();
}
