#include "DisplayRules.h"

#include <algorithm>
#include <cmath>

double roundHalfEven(double x) {
    const double below = std::floor(x);
    const double fraction = x - below;
    if (fraction < 0.5)
        return below;
    if (fraction > 0.5)
        return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

GridWindowSize gridWindowSize(int rowCount) {
    // Every grid has at least its heading row; this also keeps 300 / R finite.
    const int rows = std::max(rowCount, 1);
    GridWindowSize size;
    if (rows <= 17) {
        size.windowHeightTwips = rows * 310.0 + 450.0 + 300.0 / rows;
        size.gridHeightUnits = rows * 22.5625 + 13.0 / rows;
        size.gridWidthUnits = 322.0;
    } else {
        size.windowHeightTwips = 5484.0;
        size.gridHeightUnits = 385.0;
        size.gridWidthUnits = 332.0;
        size.scrolls = true;
    }
    return size;
}

GaugeGrid gaugeGrid(int count) {
    GaugeGrid grid;
    grid.rows = count < 1 ? 7 : std::min((count - 1) / 15 + 1, 7);
    if (count < 1)
        return grid; // nothing to place: no columns, so no division by zero later
    grid.perRow = static_cast<int>(roundHalfEven(static_cast<double>(count) / grid.rows)) +
                  (count % grid.rows != 0 ? 1 : 0);
    grid.lastRow = count - (grid.rows - 1) * grid.perRow;
    return grid;
}

std::vector<QRect> gaugeCells(int count, const QRect &inner) {
    const GaugeGrid grid = gaugeGrid(count);
    std::vector<QRect> cells;
    if (count < 1)
        return cells;
    cells.reserve(static_cast<size_t>(count));
    auto edge = [](int start, int length, int index, int parts) {
        return start + static_cast<int>(roundHalfEven(static_cast<double>(length) * index / parts));
    };
    for (int k = 0; k < count; ++k) {
        const int row = k / grid.perRow;
        const int column = k % grid.perRow;
        const int left = edge(inner.left(), inner.width(), column, grid.perRow);
        const int right = edge(inner.left(), inner.width(), column + 1, grid.perRow);
        const int top = edge(inner.top(), inner.height(), row, grid.rows);
        const int bottom = edge(inner.top(), inner.height(), row + 1, grid.rows);
        cells.emplace_back(left, top, right - left, bottom - top);
    }
    return cells;
}

double gaugeTickStep(double top, double bottom) {
    const double range = top - bottom;
    return range >= 0.0001 ? range / 10.0 : 0.0001;
}

QString shortenGaugeLabel(const QString &label) {
    if (label.size() <= 10)
        return label;
    const qsizetype blank = label.indexOf(QLatin1Char(' '));
    // blank is 0-based: position 3 or later means index 2 or later.
    return blank >= 2 ? label.left(blank + 1) : label;
}
