#include "DisplayRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

TEST(GridWindowSize, FitsUpTo17RowsAndScrollsFrom18) {
    const GridWindowSize fits = gridWindowSize(17);
    EXPECT_DOUBLE_EQ(fits.windowHeightTwips, 17 * 310.0 + 450.0 + 300.0 / 17);
    EXPECT_DOUBLE_EQ(fits.gridHeightUnits, 17 * 22.5625 + 13.0 / 17);
    EXPECT_DOUBLE_EQ(fits.gridWidthUnits, 322.0);
    EXPECT_FALSE(fits.scrolls);

    for (int rows : {18, 129}) {
        const GridWindowSize fixed = gridWindowSize(rows);
        EXPECT_DOUBLE_EQ(fixed.windowHeightTwips, 5484.0);
        EXPECT_DOUBLE_EQ(fixed.gridHeightUnits, 385.0);
        EXPECT_DOUBLE_EQ(fixed.gridWidthUnits, 332.0);
        EXPECT_TRUE(fixed.scrolls);
    }
    // Every grid has its heading row: no rows never divides by zero.
    EXPECT_DOUBLE_EQ(gridWindowSize(0).windowHeightTwips, gridWindowSize(1).windowHeightTwips);
}

TEST(GaugeGrid, RowsAndColumnsByCount) {
    const struct {
        int count, rows, perRow, lastRow;
    } cases[] = {
        {1, 1, 1, 1},    {15, 1, 15, 15}, {16, 2, 8, 8},    {17, 2, 9, 8},
        {25, 2, 13, 12}, {30, 2, 15, 15}, {31, 3, 11, 9},   {46, 4, 13, 7},
        {90, 6, 15, 15}, {91, 7, 13, 13}, {128, 7, 19, 14},
    };
    for (const auto &c : cases) {
        const GaugeGrid grid = gaugeGrid(c.count);
        EXPECT_EQ(grid.rows, c.rows) << c.count;
        EXPECT_EQ(grid.perRow, c.perRow) << c.count;
        EXPECT_EQ(grid.lastRow, c.lastRow) << c.count;
    }
}

TEST(GaugeGrid, NoGaugesGiveSevenRowsAndNoCells) {
    for (int count : {0, -1, -100}) {
        EXPECT_EQ(gaugeGrid(count).rows, 7);
        EXPECT_TRUE(gaugeCells(count, QRect(0, 0, 700, 700)).empty());
    }
}

TEST(GaugeCells, SeventeenGaugesInRowsOfNineAndEight) {
    const auto cells = gaugeCells(17, QRect(10, 20, 900, 200));
    ASSERT_EQ(cells.size(), 17u);
    EXPECT_EQ(cells[0], QRect(10, 20, 100, 100));
    EXPECT_EQ(cells[8], QRect(810, 20, 100, 100));
    EXPECT_EQ(cells[9], QRect(10, 120, 100, 100));
    EXPECT_EQ(cells[16], QRect(710, 120, 100, 100));
}

TEST(GaugeCells, EveryCountFillsTheAreaWithoutOverlapOrOverflow) {
    const QRect inner(3, 3, 1003, 517);
    for (int count = 1; count <= 300; ++count) {
        const auto cells = gaugeCells(count, inner);
        ASSERT_EQ(static_cast<int>(cells.size()), count);
        const GaugeGrid grid = gaugeGrid(count);
        ASSERT_GE(grid.lastRow, 1) << count;
        ASSERT_LE(grid.lastRow, grid.perRow) << count;
        for (size_t k = 0; k < cells.size(); ++k) {
            ASSERT_TRUE(inner.contains(cells[k])) << count << " gauge " << k;
            ASSERT_FALSE(cells[k].isEmpty()) << count << " gauge " << k;
            if (k > 0 && cells[k].top() == cells[k - 1].top()) {
                ASSERT_EQ(cells[k].left(), cells[k - 1].right() + 1) << count << " gauge " << k;
            }
        }
        // The first row ends at the right edge, the last row at the bottom edge.
        EXPECT_EQ(cells[static_cast<size_t>(std::min(grid.perRow, count) - 1)].right(),
                  inner.right());
        EXPECT_EQ(cells.back().bottom(), inner.bottom()) << count;
    }
}

TEST(GaugeTickStep, TenthOfTheRangeAndAtLeastATenThousandth) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char *legend;
        double top, bottom, step;
    } cases[] = {
        {"symmetric range", 0.05, -0.05, 0.01},
        {"top equals bottom", 1.0, 1.0, 0.0001},
        {"range of exactly 0.0001", 0.0001, 0.0, 0.00001},
        {"range below 0.0001", 0.00005, 0.0, 0.0001},
        {"inverted range", -1.0, 1.0, 0.0001},
        {"not a number", nan, 0.0, 0.0001},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(gaugeTickStep(c.top, c.bottom), c.step) << c.legend;
}

TEST(ShortenGaugeLabel, CutsLongLabelsAfterTheirFirstBlank) {
    const struct {
        const char *in, *out;
    } cases[] = {
        {"Cyl1 outer height", "Cyl1 "}, // 17 characters, first blank the fifth
        {"Bore diameter left", "Bore "},
        {"AB long description", "AB "},               // first blank the third character
        {"A long description", "A long description"}, // first blank the second: kept
        {" leading blank label", " leading blank label"},
        {"NoBlanksInThisLabel", "NoBlanksInThisLabel"},
        {"Ten chars.", "Ten chars."}, // 10 characters or fewer: kept whole
        {"Short", "Short"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(shortenGaugeLabel(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}
