#pragma once

#include <QTreeView>

#include <cstddef>

class ViolationModel;

namespace spc {
class SpcAnalysis;
}

// The points that break a rule, under the charts: the rule, the subgroup (numbered from 1) and
// the time it was complete, oldest first. The rows are read from the analysis as they are
// drawn, so a long history with a great many violations costs nothing until scrolled to, and new
// ones are added at the end. Double-clicking a row (or Enter) asks for its subgroup to be shown.
class ViolationList : public QTreeView {
    Q_OBJECT

public:
    explicit ViolationList(QWidget *parent = nullptr);
    ~ViolationList() override;

    // Lists the analysis's violations afresh.
    void showAll(const spc::SpcAnalysis &analysis);
    // Lists nothing (while the violations are not known).
    void showNone();
    // Adds its `added` newest violations; the list keeps following the newest when it showed them.
    void showAdded(std::size_t added);

    std::size_t total() const;
    // A cell's text (the tests and the report read it as shown).
    QString text(int row, int column) const;

Q_SIGNALS:
    void subgroupChosen(std::size_t subgroup);

private:
    ViolationModel *model_;
};
