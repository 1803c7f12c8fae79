#pragma once

#include <QTreeWidget>

#include <cstddef>

namespace spc {
class SpcAnalysis;
}

// The points that break a rule, under the charts: the rule, the subgroup (numbered from 1) and
// the time it was complete, oldest first. A long history lists only its newest violations, and
// says so. Double-clicking a row asks for its subgroup to be shown.
class ViolationList : public QTreeWidget {
    Q_OBJECT

public:
    static constexpr int MostRows = 2000;

    explicit ViolationList(QWidget *parent = nullptr);

    // Lists the analysis's violations afresh.
    void showAll(const spc::SpcAnalysis &analysis);
    // Adds its `added` newest violations.
    void showAdded(const spc::SpcAnalysis &analysis, std::size_t added);

    // The violations the analysis has, listed or not.
    std::size_t total() const { return total_; }

Q_SIGNALS:
    void subgroupChosen(std::size_t subgroup);

private:
    void append(const spc::SpcAnalysis &analysis, std::size_t from);

    std::size_t total_ = 0;
};
