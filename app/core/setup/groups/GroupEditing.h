#pragma once

#include <QString>

#include <memory>
#include <vector>

class group;
class SetupChanges;
struct ViewState;

// What editing the group set changes: the set itself, the main list's selected group and the
// setup's changed flag.
struct GroupSetParts {
    std::vector<std::unique_ptr<group>> &groups;
    ViewState &view;
    SetupChanges &setup;
};

// The group editor's changes to the group set, addressed by 1-based position in the set (a list
// row + 1). Every change marks the setup as changed; a position or entry that does not exist
// (nothing selected, or a set replaced meanwhile by a setup load) changes nothing. Groups live
// in the station only: nothing here talks to the unit.
class GroupSetEditing {
public:
    explicit GroupSetEditing(GroupSetParts parts) : m_parts(parts) {}

    int count() const { return static_cast<int>(m_parts.groups.size()); }
    // The group at a 1-based position; nullptr outside the set.
    group *at(int position) const;

    // Appends a group named from typedName whose Index is the number of groups + 1 (so Index
    // values may repeat after a removal); returns its position.
    int addGroup(const QString &typedName);
    bool renameGroup(int position, const QString &typedName);
    // Removes the group; the others keep their Index. The main list's selected group goes on
    // pointing at the group it showed, or at the one now in its place when that one was removed.
    bool removeGroup(int position);

    enum class ChannelAdded { Added, NoGroup, DoubleEntry };
    // Appends channel to the group's list unless the list already holds it.
    ChannelAdded addChannel(int position, int channel);
    // Removes the entry at 1-based entry position from the group's list.
    bool removeChannel(int position, int entry);

private:
    GroupSetParts m_parts;
};
