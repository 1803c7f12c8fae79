#include "ViolationList.h"

#include "SpcAnalysis.h"
#include "SpcColours.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QScrollBar>

namespace {

enum Column { RuleColumn, SubgroupColumn, TimeColumn, ColumnCount };
constexpr int CellPadding = 18;

} // namespace

class ViolationModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void reset(const spc::SpcAnalysis &analysis) {
        beginResetModel();
        analysis_ = &analysis;
        rows_ = analysis.ruleCheck().violations.size();
        endResetModel();
    }
    void clear() {
        beginResetModel();
        rows_ = 0;
        endResetModel();
    }
    void grow(std::size_t added) {
        if (added == 0)
            return;
        beginInsertRows({}, static_cast<int>(rows_), static_cast<int>(rows_ + added - 1));
        rows_ += added;
        endInsertRows();
    }
    std::size_t rows() const { return rows_; }
    std::size_t subgroup(int row) const {
        return analysis_->ruleCheck().violations[static_cast<std::size_t>(row)].subgroup;
    }

    int rowCount(const QModelIndex &parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_);
    }
    int columnCount(const QModelIndex &parent) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex &index, int role) const override {
        const spc::Violation &v =
            analysis_->ruleCheck().violations[static_cast<std::size_t>(index.row())];
        switch (role) {
        case Qt::DisplayRole:
            if (index.column() == RuleColumn)
                return spc::ruleName(v.rule);
            if (index.column() == SubgroupColumn)
                return QString::number(v.subgroup + 1);
            return spc::localTimeText(analysis_->subgroupTimeMs(v.subgroup));
        case Qt::ToolTipRole:
            return index.column() == RuleColumn ? QVariant(spc::ruleName(v.rule)) : QVariant();
        case Qt::ForegroundRole:
            return index.column() == RuleColumn ? QVariant(spccolours::reject()) : QVariant();
        case Qt::TextAlignmentRole:
            return index.column() == SubgroupColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                    : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const QString Titles[ColumnCount] = {
            QStringLiteral("Rule"), QStringLiteral("Subgroup"), QStringLiteral("Time")};
        return Titles[section];
    }

private:
    const spc::SpcAnalysis *analysis_ = nullptr;
    std::size_t rows_ = 0;
};

ViolationList::ViolationList(QWidget *parent)
    : QTreeView(parent), model_(new ViolationModel(this)) {
    setObjectName(QStringLiteral("violationList"));
    setModel(model_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Fixed widths from the texts' shapes: sizing columns to their contents would read every row.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(RuleColumn, QHeaderView::Stretch);
    header()->setSectionResizeMode(SubgroupColumn, QHeaderView::Fixed);
    header()->setSectionResizeMode(TimeColumn, QHeaderView::Fixed);
    header()->resizeSection(
        SubgroupColumn, fontMetrics().horizontalAdvance(QStringLiteral("Subgroup")) + CellPadding);
    header()->resizeSection(TimeColumn,
                            fontMetrics().horizontalAdvance(QStringLiteral("2000-00-00 00:00:00")) +
                                CellPadding);
    connect(this, &QTreeView::activated, this, [this](const QModelIndex &index) {
        Q_EMIT subgroupChosen(model_->subgroup(index.row()));
    });
}

ViolationList::~ViolationList() = default;

void ViolationList::showAll(const spc::SpcAnalysis &analysis) {
    model_->reset(analysis);
    scrollToBottom();
}

void ViolationList::showNone() {
    model_->clear();
}

void ViolationList::showAdded(std::size_t added) {
    const bool following = verticalScrollBar()->value() == verticalScrollBar()->maximum();
    model_->grow(added);
    if (following)
        scrollToBottom();
}

std::size_t ViolationList::total() const {
    return model_->rows();
}

QString ViolationList::text(int row, int column) const {
    return model_->index(row, column).data().toString();
}
