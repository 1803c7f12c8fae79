#include "GroupEditing.h"

#include "GroupSelection.h"
#include "GroupTexts.h"
#include "MeasurementObjects.h"
#include "SetupSession.h"
#include "ViewState.h"

group *GroupSetEditing::at(int position) const {
    if (position < 1 || position > count())
        return nullptr;
    return m_parts.groups[static_cast<size_t>(position - 1)].get();
}

int GroupSetEditing::addGroup(const QString &typedName) {
    auto made = std::make_unique<group>();
    made->Index = static_cast<int16_t>(count() + 1);
    made->Description = groupNameFromTyped(typedName);
    m_parts.groups.push_back(std::move(made));
    m_parts.setup.markSetupChanged();
    return count();
}

bool GroupSetEditing::renameGroup(int position, const QString &typedName) {
    group *renamed = at(position);
    if (!renamed)
        return false;
    renamed->Description = groupNameFromTyped(typedName);
    m_parts.setup.markSetupChanged();
    return true;
}

bool GroupSetEditing::removeGroup(int position) {
    if (!at(position))
        return false;
    m_parts.groups.erase(m_parts.groups.begin() + (position - 1));
    m_parts.view.SelectedGroup = static_cast<int16_t>(
        selectedGroupAfterRemoval(m_parts.view.SelectedGroup, position, count()));
    m_parts.setup.markSetupChanged();
    return true;
}

GroupSetEditing::ChannelAdded GroupSetEditing::addChannel(int position, int channel) {
    group *target = at(position);
    if (!target)
        return ChannelAdded::NoGroup;
    for (int entry = 1; entry <= target->Count; ++entry) {
        if (target->GetChannel(entry) == channel)
            return ChannelAdded::DoubleEntry;
    }
    target->AddChannel(channel);
    m_parts.setup.markSetupChanged();
    return ChannelAdded::Added;
}

bool GroupSetEditing::removeChannel(int position, int entry) {
    group *target = at(position);
    if (!target || entry < 1 || entry > target->Count)
        return false;
    target->RemoveChannel(entry);
    m_parts.setup.markSetupChanged();
    return true;
}
