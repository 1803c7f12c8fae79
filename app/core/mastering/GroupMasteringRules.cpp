#include "GroupMasteringRules.h"

namespace procedures {

std::optional<QString> whyGroupCannotBeMastered(int channelCount) {
    if (channelCount < 1)
        return QStringLiteral("This group holds no channels, so there is nothing to master. "
                              "Add channels to the group first.");
    if (channelCount > MaxGroupMasteringChannels)
        return QStringLiteral("This group holds %1 channels; a group can be mastered with at "
                              "most %2 channels.")
            .arg(channelCount)
            .arg(MaxGroupMasteringChannels);
    return std::nullopt;
}

} // namespace procedures
