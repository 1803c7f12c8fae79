#include "Decimation.h"

#include <algorithm>
#include <cmath>

namespace spc {

std::vector<PlotPoint> decimateMinMax(std::span<const double> values, int columns,
                                      std::size_t indexOffset) {
    std::vector<PlotPoint> points;
    if (columns <= 0)
        return points;
    const std::size_t n = values.size();
    const auto columnCount = static_cast<std::size_t>(columns);
    if (n <= columnCount) {
        for (std::size_t i = 0; i < n; ++i) {
            if (std::isfinite(values[i]))
                points.push_back({i + indexOffset, values[i]});
        }
        return points;
    }
    points.reserve(2 * columnCount);
    for (std::size_t column = 0; column < columnCount; ++column) {
        const std::size_t begin = column * n / columnCount;
        const std::size_t end = (column + 1) * n / columnCount;
        std::size_t lowest = end;
        std::size_t highest = end;
        for (std::size_t i = begin; i < end; ++i) {
            if (!std::isfinite(values[i]))
                continue;
            if (lowest == end || values[i] < values[lowest])
                lowest = i;
            if (highest == end || values[i] > values[highest])
                highest = i;
        }
        if (lowest == end)
            continue;
        const std::size_t firstOf = std::min(lowest, highest);
        const std::size_t secondOf = std::max(lowest, highest);
        points.push_back({firstOf + indexOffset, values[firstOf]});
        if (secondOf != firstOf)
            points.push_back({secondOf + indexOffset, values[secondOf]});
    }
    return points;
}

} // namespace spc
