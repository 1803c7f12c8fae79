#pragma once

#include <cstddef>
#include <span>
#include <vector>

// A long series drawn into a few hundred pixel columns: each column keeps only its lowest and
// highest point, in the order they occur, so the line still reaches every extreme (a point out of
// control is never thinned away) while at most two points per column are drawn.
namespace spc {

struct PlotPoint {
    std::size_t index = 0; // position in the series, plus the offset passed in
    double value = 0.0;

    bool operator==(const PlotPoint &) const = default;
};

// Column c holds the points from c·n/columns to (c+1)·n/columns − 1. A series no longer than the
// column count comes back whole. Values that are not finite (an individuals chart's first moving
// range) are left out; no columns give no points.
std::vector<PlotPoint> decimateMinMax(std::span<const double> values, int columns,
                                      std::size_t indexOffset = 0);

} // namespace spc
