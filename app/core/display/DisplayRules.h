#pragma once

#include <QRect>
#include <QString>

#include <vector>

// Arithmetic of the two display windows, kept apart from the widgets so it can be checked
// without a screen.

// Rounds to the nearest whole number, halves to the even neighbour (8.5 -> 8, 11.5 -> 12).
double roundHalfEven(double x);

// ---- Numeric grid window ----------------------------------------------------------------

// One twip is 1/1440 inch. The grid's own sizes are given in the window's scale unit, chosen so
// that one grid row of 22.5625 units is exactly one 310-twip row of the window height rule: the
// grid then fills the window's inner area, and the rule's extra 450 twips are the caption and
// borders the window manager adds.
inline constexpr double GridScaleUnitTwips = 310.0 / 22.5625;

// Grid columns: the label column and the centred value column, in twips.
inline constexpr double GridLabelColumnTwips = 2500.0;
inline constexpr double GridValueColumnTwips = 1300.0;

struct GridWindowSize {
    double windowHeightTwips = 0; // outer height, caption and borders included
    double gridHeightUnits = 0;   // in the window's scale unit
    double gridWidthUnits = 0;
    bool scrolls = false; // the grid holds more rows than it shows

    double gridHeightTwips() const { return gridHeightUnits * GridScaleUnitTwips; }
    double gridWidthTwips() const { return gridWidthUnits * GridScaleUnitTwips; }
};

// Size of the grid window for rowCount grid rows, the heading row included. Up to 17 rows the
// window fits them; from 18 on it has a fixed height and the grid scrolls.
GridWindowSize gridWindowSize(int rowCount);

// ---- Bar gauge window -------------------------------------------------------------------

// How n gauges are spread over rows: rows by the count (15 a row, at most 7 rows), perRow
// gauges in every row but the last, which holds lastRow.
struct GaugeGrid {
    int rows = 0;
    int perRow = 0;
    int lastRow = 0;
};
GaugeGrid gaugeGrid(int count);

// Cell of each gauge 0..count-1 inside inner, row by row, left to right. Cell edges are rounded
// (not the widths), so the cells fill inner exactly and never reach beyond it. An empty list
// for a count below 1.
std::vector<QRect> gaugeCells(int count, const QRect &inner);

// Distance between major scale marks: a tenth of the range, at least 0.0001.
double gaugeTickStep(double top, double bottom);

// A label longer than 10 characters whose first blank is its third character or later is cut
// after that blank ("Bore diameter left" -> "Bore "); others are kept whole.
QString shortenGaugeLabel(const QString &label);
