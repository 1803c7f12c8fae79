#include "StudyFactors.h"

#include "RangeDistribution.h"

#include <algorithm>
#include <array>
#include <span>

namespace studies {

namespace {

struct TableEntry {
    int size;
    double value;
};

// The manual's table, as printed (1/d2*, four decimals). K1 is taken for many ranges, so it is
// 1/d2; K2 and K3 are for a single range.
constexpr std::array<TableEntry, 2> TrialsTable{{{2, 0.8862}, {3, 0.5908}}};
constexpr std::array<TableEntry, 2> AppraisersTable{{{2, 0.7071}, {3, 0.5231}}};
constexpr std::array<TableEntry, 9> PartsTable{{{2, 0.7071},
                                                {3, 0.5231},
                                                {4, 0.4467},
                                                {5, 0.4030},
                                                {6, 0.3742},
                                                {7, 0.3534},
                                                {8, 0.3375},
                                                {9, 0.3249},
                                                {10, 0.3146}}};

StudyFactor factor(const QString &name, const QString &counted, std::span<const TableEntry> table,
                   int size, int subgroups) {
    const auto entry = std::find_if(table.begin(), table.end(),
                                    [size](const TableEntry &row) { return row.size == size; });
    if (entry != table.end())
        return {name, counted, entry->value, FactorSource::ManualTable, size, subgroups};
    return {name, counted,  1.0 / spc::d2Star(size, subgroups), FactorSource::Computed,
            size, subgroups};
}

} // namespace

QString StudyFactor::description() const {
    const QString value4 = QString::number(value, 'f', 4);
    if (source == FactorSource::ManualTable)
        return QStringLiteral("%1 = %2 for %3 %4 (the manual's table)")
            .arg(name, value4)
            .arg(subgroupSize)
            .arg(counted);
    return QStringLiteral(
               "%1 = 1/d2*(%2, %3) = %4 for %2 %5 (computed from the distribution of the range)")
        .arg(name)
        .arg(subgroupSize)
        .arg(subgroups)
        .arg(value4, counted);
}

StudyFactor trialsFactor(int trials, int ranges) {
    return factor(QStringLiteral("K1"), QStringLiteral("trials"), TrialsTable, trials, ranges);
}

StudyFactor appraisersFactor(int appraisers) {
    return factor(QStringLiteral("K2"), QStringLiteral("appraisers"), AppraisersTable, appraisers,
                  1);
}

StudyFactor partsFactor(int parts) {
    return factor(QStringLiteral("K3"), QStringLiteral("parts"), PartsTable, parts, 1);
}

} // namespace studies
