#include "SpcDataSource.h"

#include <algorithm>

namespace spc {

std::optional<SpcChannel> findChannel(const std::vector<SpcChannel> &channels, int number) {
    const auto found = std::find_if(channels.begin(), channels.end(),
                                    [number](const SpcChannel &c) { return c.number == number; });
    if (found == channels.end())
        return std::nullopt;
    return *found;
}

} // namespace spc
