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
        return form && generation == form->m_contentGeneration;
    };
    const std::shared_ptr<GridContent> content = planGridContent(m_state, reads, wanted);
    showContent(*content);
    // Only the labels are filled in later; the readings the poll wrote meanwhile stay.
    reads.finished = [form, generation, content](bool) {
        if (form && generation == form->m_contentGeneration && content->rows)
            form->setRows(*content->rows);
    };
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
    for (int i = 0; i < grid->rowCount(); ++i)
        grid->item(i, 1)->setText(QString());
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
        grid->item(i, 0)->setText(rows.labels[i]);
    }
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
