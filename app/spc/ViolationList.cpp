#include "ViolationList.h"

#include "SpcAnalysis.h"
#include "SpcColours.h"

#include <QHeaderView>

namespace {

constexpr int SubgroupRole = Qt::UserRole;

} // namespace

ViolationList::ViolationList(QWidget *parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("violationList"));
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("Rule"), QStringLiteral("Subgroup"), QStringLiteral("Time")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
    header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        Q_EMIT subgroupChosen(item->data(1, SubgroupRole).value<qulonglong>());
    });
}

void ViolationList::showAll(const spc::SpcAnalysis &analysis) {
    clear();
    total_ = 0;
    append(analysis, 0);
}

void ViolationList::showAdded(const spc::SpcAnalysis &analysis, std::size_t added) {
    const std::size_t count = analysis.ruleCheck().violations.size();
    append(analysis, count - std::min(added, count));
}

void ViolationList::append(const spc::SpcAnalysis &analysis, std::size_t from) {
    const auto &violations = analysis.ruleCheck().violations;
    total_ = violations.size();
    // Only the newest rows are made at all: a long history may hold a great many.
    const std::size_t first =
        std::max(from, violations.size() - std::min<std::size_t>(violations.size(), MostRows));
    QList<QTreeWidgetItem *> items;
    for (std::size_t i = first; i < violations.size(); ++i) {
        const spc::Violation &v = violations[i];
        auto *item = new QTreeWidgetItem({spc::ruleName(v.rule), QString::number(v.subgroup + 1),
                                          spc::localTimeText(analysis.subgroupTimeMs(v.subgroup))});
        item->setForeground(0, spccolours::reject());
        item->setToolTip(0, item->text(0));
        item->setData(1, SubgroupRole, QVariant::fromValue<qulonglong>(v.subgroup));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    addTopLevelItems(items);
    while (topLevelItemCount() > MostRows)
        delete takeTopLevelItem(0);
    setHeaderLabels(
        {total_ > static_cast<std::size_t>(topLevelItemCount())
             ? QStringLiteral("Rule (the newest %1 of %2)").arg(topLevelItemCount()).arg(total_)
             : QStringLiteral("Rule"),
         QStringLiteral("Subgroup"), QStringLiteral("Time")});
    if (!items.isEmpty())
        scrollToItem(items.back());
}
