#pragma once

#include <QString>

#include <optional>

namespace procedures {

// The group dialog keeps one first and one second reading per channel of the group.
inline constexpr int MaxGroupMasteringChannels = 129;

// Why a group of `channelCount` channels cannot be mastered (none, or more than the dialog keeps
// readings for); empty when it can.
std::optional<QString> whyGroupCannotBeMastered(int channelCount);

} // namespace procedures
