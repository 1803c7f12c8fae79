#include "ChartConstants.h"
#include "RangeDistribution.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

using namespace spc;

namespace {

// The standard textbook table of factors for variables control charts, as printed: three
// decimals, four for c4.
struct PrintedRow {
    int n;
    double A2, A3, c4, B3, B4, d2, d3, D3, D4;
};
constexpr std::array<PrintedRow, 24> PrintedTable{{
    {2, 1.880, 2.659, 0.7979, 0.000, 3.267, 1.128, 0.853, 0.000, 3.267},
    {3, 1.023, 1.954, 0.8862, 0.000, 2.568, 1.693, 0.888, 0.000, 2.574},
    {4, 0.729, 1.628, 0.9213, 0.000, 2.266, 2.059, 0.880, 0.000, 2.282},
    {5, 0.577, 1.427, 0.9400, 0.000, 2.089, 2.326, 0.864, 0.000, 2.114},
    {6, 0.483, 1.287, 0.9515, 0.030, 1.970, 2.534, 0.848, 0.000, 2.004},
    {7, 0.419, 1.182, 0.9594, 0.118, 1.882, 2.704, 0.833, 0.076, 1.924},
    {8, 0.373, 1.099, 0.9650, 0.185, 1.815, 2.847, 0.820, 0.136, 1.864},
    {9, 0.337, 1.032, 0.9693, 0.239, 1.761, 2.970, 0.808, 0.184, 1.816},
    {10, 0.308, 0.975, 0.9727, 0.284, 1.716, 3.078, 0.797, 0.223, 1.777},
    {11, 0.285, 0.927, 0.9754, 0.321, 1.679, 3.173, 0.787, 0.256, 1.744},
    {12, 0.266, 0.886, 0.9776, 0.354, 1.646, 3.258, 0.778, 0.283, 1.717},
    {13, 0.249, 0.850, 0.9794, 0.382, 1.618, 3.336, 0.770, 0.307, 1.693},
    {14, 0.235, 0.817, 0.9810, 0.406, 1.594, 3.407, 0.763, 0.328, 1.672},
    {15, 0.223, 0.789, 0.9823, 0.428, 1.572, 3.472, 0.756, 0.347, 1.653},
    {16, 0.212, 0.763, 0.9835, 0.448, 1.552, 3.532, 0.750, 0.363, 1.637},
    {17, 0.203, 0.739, 0.9845, 0.466, 1.534, 3.588, 0.744, 0.378, 1.622},
    {18, 0.194, 0.718, 0.9854, 0.482, 1.518, 3.640, 0.739, 0.391, 1.608},
    {19, 0.187, 0.698, 0.9862, 0.497, 1.503, 3.689, 0.734, 0.403, 1.597},
    {20, 0.180, 0.680, 0.9869, 0.510, 1.490, 3.735, 0.729, 0.415, 1.585},
    {21, 0.173, 0.663, 0.9876, 0.523, 1.477, 3.778, 0.724, 0.425, 1.575},
    {22, 0.167, 0.647, 0.9882, 0.534, 1.466, 3.819, 0.720, 0.434, 1.566},
    {23, 0.162, 0.633, 0.9887, 0.545, 1.455, 3.858, 0.716, 0.443, 1.557},
    {24, 0.157, 0.619, 0.9892, 0.555, 1.445, 3.895, 0.712, 0.451, 1.548},
    {25, 0.153, 0.606, 0.9896, 0.565, 1.435, 3.931, 0.708, 0.459, 1.541},
}};

// E2 for individuals charts, printed for moving ranges of span 2 to 10.
constexpr std::array<double, 9> PrintedE2{2.660, 1.772, 1.457, 1.290, 1.184,
                                          1.109, 1.054, 1.010, 0.975};

struct Column {
    std::string_view name;
    double PrintedRow::*printed;
    double ChartConstants::*computed;
    int decimals;
};
constexpr std::array<Column, 9> Columns{{
    {"A2", &PrintedRow::A2, &ChartConstants::A2, 3},
    {"A3", &PrintedRow::A3, &ChartConstants::A3, 3},
    {"c4", &PrintedRow::c4, &ChartConstants::c4, 4},
    {"B3", &PrintedRow::B3, &ChartConstants::B3, 3},
    {"B4", &PrintedRow::B4, &ChartConstants::B4, 3},
    {"d2", &PrintedRow::d2, &ChartConstants::d2, 3},
    {"d3", &PrintedRow::d3, &ChartConstants::d3, 3},
    {"D3", &PrintedRow::D3, &ChartConstants::D3, 3},
    {"D4", &PrintedRow::D4, &ChartConstants::D4, 3},
}};

// Entries where the printed table is itself off in its last digit: they were worked out from
// already rounded d2 and d3, or from older, less accurate values of d3. The exact constant then
// lies within one and a half units of the printed digit instead of half a unit.
struct TableRounding {
    int n;
    std::string_view column;
    std::string_view why;
};
constexpr std::array<TableRounding, 9> TableRoundings{{
    {2, "E2", "3 / 1.128 with d2 rounded = 2.6596"},
    {3, "D4", "1 + 3 · 0.888 / 1.693 from rounded d3 and d2 = 2.5735"},
    {18, "D4", "from an older value of d3 (exact 1.6087)"},
    {19, "d3", "an older value of d3 (exact 0.73348)"},
    {19, "D3", "1 − 3 · 0.734 / 3.689 from the printed d3"},
    {19, "D4", "1 + 3 · 0.734 / 3.689 from the printed d3"},
    {22, "D3", "1 − 3 · 0.720 / 3.819 from rounded d3 and d2"},
    {22, "D4", "1 + 3 · 0.720 / 3.819 from rounded d3 and d2"},
    {24, "D3", "from an older value of d3 (exact 0.45160)"},
}};

const TableRounding *tableRounding(int n, std::string_view column) {
    for (const TableRounding &rounding : TableRoundings) {
        if (rounding.n == n && rounding.column == column)
            return &rounding;
    }
    return nullptr;
}

// The printed digits reproduced: within half a unit of the last one, or within one and a half where
// the table is known to be off, and then it must really be off (else the entry is not needed).
void expectPrinted(int n, std::string_view column, double exact, double printed, int decimals) {
    const double unit = std::pow(10.0, -decimals);
    const double off = std::fabs(exact - printed) / unit;
    const TableRounding *rounding = tableRounding(n, column);
    if (rounding == nullptr) {
        EXPECT_LE(off, 0.5 + 1e-9)
            << column << " for n = " << n << ": exact " << exact << ", printed " << printed;
        return;
    }
    EXPECT_GT(off, 0.5) << column << " for n = " << n << " matches after all";
    EXPECT_LE(off, 1.5) << column << " for n = " << n << " (" << rounding->why << "): exact "
                        << exact << ", printed " << printed;
}

TEST(ChartConstants, EveryEntryMatchesThePrintedTableToItsDigits) {
    ASSERT_EQ(chartConstantTable().size(), PrintedTable.size());
    for (const PrintedRow &row : PrintedTable) {
        const ChartConstants *constants = chartConstants(row.n);
        ASSERT_NE(constants, nullptr) << "n = " << row.n;
        EXPECT_EQ(constants->n, row.n);
        for (const Column &column : Columns)
            expectPrinted(row.n, column.name, (*constants).*column.computed, row.*column.printed,
                          column.decimals);
    }
    for (std::size_t i = 0; i < PrintedE2.size(); ++i) {
        const int n = static_cast<int>(i) + 2;
        expectPrinted(n, "E2", chartConstants(n)->E2, PrintedE2[i], 3);
    }
}

// The printed digits check three decimals; where the range distribution has a closed form the
// integration must hold to far more, or limits on fine tolerances would drift.
TEST(ChartConstants, IntegrationMatchesTheClosedFormsForPairs) {
    const ChartConstants &pair = *chartConstants(2);
    EXPECT_NEAR(pair.d2, 2.0 / std::sqrt(std::numbers::pi), 1e-10);
    EXPECT_NEAR(pair.d3, std::sqrt(2.0 - 4.0 / std::numbers::pi), 1e-10);
    EXPECT_NEAR(pair.c4, std::sqrt(2.0 / std::numbers::pi), 1e-12);
    // Three readings: E[R] = 3 / √π.
    EXPECT_NEAR(chartConstants(3)->d2, 3.0 / std::sqrt(std::numbers::pi), 1e-10);
}

TEST(ChartConstants, SizesOutsideTheTableHaveNoConstants) {
    EXPECT_EQ(chartConstants(1), nullptr);
    EXPECT_EQ(chartConstants(26), nullptr);
    EXPECT_EQ(chartConstants(-3), nullptr);
    EXPECT_TRUE(rangeMoments(1).empty());
}

} // namespace
