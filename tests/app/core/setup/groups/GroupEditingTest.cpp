#include "GroupEditing.h"
#include "GroupTexts.h"
#include "MeasurementObjects.h"
#include "SetupSession.h"
#include "ViewState.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <ostream>
#include <vector>

inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

// A group set of named groups with channel lists, and the state an edit may change.
class GroupSet {
public:
    void add(const QString &name, std::initializer_list<int> channels) {
        auto made = std::make_unique<group>();
        made->Index = static_cast<int16_t>(groups.size() + 1);
        made->Description = name;
        for (int n : channels)
            made->AddChannel(n);
        groups.push_back(std::move(made));
    }
    std::vector<int> channelsOf(int position) const {
        std::vector<int> list;
        const group &g = *groups[static_cast<size_t>(position - 1)];
        for (int entry = 1; entry <= g.Count; ++entry)
            list.push_back(g.GetChannel(entry));
        return list;
    }
    std::vector<int> indexes() const {
        std::vector<int> list;
        for (const auto &g : groups)
            list.push_back(g->Index);
        return list;
    }
    QStringList names() const {
        QStringList list;
        for (const auto &g : groups)
            list << g->Description;
        return list;
    }

    std::vector<std::unique_ptr<group>> groups;
    ViewState view;
    SetupSession setup;
    GroupSetEditing editing{{groups, view, setup}};
};

using Added = GroupSetEditing::ChannelAdded;

TEST(GroupSetEditing, AddedGroupsTakeTheNextIndexAndTheNameAsTyped) {
    const struct {
        const char *legend;
        QString typed;
        QString kept;
    } cases[] = {
        {"a plain name", QStringLiteral("Bore"), QStringLiteral("Bore")},
        {"an empty name is a group too", QString(), QString()},
        {"line breaks become blanks, one value per line in a file",
         QStringLiteral("Left\r\nside\nend\r"), QStringLiteral("Left  side end ")},
        {"blanks stay", QStringLiteral("  two  "), QStringLiteral("  two  ")},
        {"a name another group has", QStringLiteral("First"), QStringLiteral("First")},
    };
    for (const auto &c : cases) {
        GroupSet set;
        set.add(QStringLiteral("First"), {1});
        EXPECT_EQ(set.editing.addGroup(c.typed), 2) << c.legend;
        EXPECT_EQ(set.names(), (QStringList{QStringLiteral("First"), c.kept})) << c.legend;
        EXPECT_EQ(set.indexes(), (std::vector<int>{1, 2})) << c.legend;
        EXPECT_TRUE(set.channelsOf(2).empty()) << c.legend;
        EXPECT_TRUE(set.setup.SetupChanged) << c.legend;
    }
}

TEST(GroupSetEditing, ChannelsAreAddedOncePerGroupAndRemovedByPosition) {
    GroupSet set;
    set.add(QStringLiteral("Shaft"), {2, 3});
    set.add(QStringLiteral("Bore"), {});
    EXPECT_EQ(set.editing.addChannel(1, 3), Added::DoubleEntry);
    EXPECT_EQ(set.channelsOf(1), (std::vector<int>{2, 3})) << "the group stays as it was";
    EXPECT_FALSE(set.setup.SetupChanged) << "nothing was changed";

    EXPECT_EQ(set.editing.addChannel(2, 3), Added::Added) << "the same channel in another group";
    EXPECT_EQ(set.editing.addChannel(1, 1), Added::Added);
    EXPECT_EQ(set.channelsOf(1), (std::vector<int>{2, 3, 1})) << "appended in order of adding";
    EXPECT_EQ(set.channelsOf(2), (std::vector<int>{3}));
    EXPECT_TRUE(set.setup.SetupChanged);

    set.setup.SetupChanged = false;
    EXPECT_TRUE(set.editing.removeChannel(1, 2));
    EXPECT_EQ(set.channelsOf(1), (std::vector<int>{2, 1}));
    EXPECT_TRUE(set.setup.SetupChanged);
    EXPECT_EQ(set.editing.addChannel(1, 3), Added::Added) << "a removed channel may come back";
}

TEST(GroupSetEditing, PositionsOutsideTheSetChangeNothing) {
    const struct {
        const char *legend;
        std::function<bool(GroupSetEditing &)> edit;
    } cases[] = {
        {"rename with no group highlighted",
         [](GroupSetEditing &e) {
             return e.renameGroup(0, QStringLiteral("X"));
         }},
        {"rename past the set",
         [](GroupSetEditing &e) {
             return e.renameGroup(3, QString());
         }},
        {"remove with no group highlighted",
         [](GroupSetEditing &e) {
             return e.removeGroup(0);
         }},
        {"remove past the set",
         [](GroupSetEditing &e) {
             return e.removeGroup(3);
         }},
        {"add a channel with no group highlighted",
         [](GroupSetEditing &e) {
             return e.addChannel(0, 1) != Added::NoGroup;
         }},
        {"remove a channel with no group highlighted",
         [](GroupSetEditing &e) {
             return e.removeChannel(0, 1);
         }},
        {"remove no channel entry",
         [](GroupSetEditing &e) {
             return e.removeChannel(1, 0);
         }},
        {"remove an entry past the list",
         [](GroupSetEditing &e) {
             return e.removeChannel(1, 3);
         }},
    };
    for (const auto &c : cases) {
        GroupSet set;
        set.add(QStringLiteral("One"), {4, 5});
        set.add(QStringLiteral("Two"), {});
        EXPECT_FALSE(c.edit(set.editing)) << c.legend;
        EXPECT_EQ(set.names(), (QStringList{QStringLiteral("One"), QStringLiteral("Two")}))
            << c.legend;
        EXPECT_EQ(set.channelsOf(1), (std::vector<int>{4, 5})) << c.legend;
        EXPECT_FALSE(set.setup.SetupChanged) << c.legend;
    }
}

TEST(GroupSetEditing, RemovalKeepsTheMainListOnAGroupThatExists) {
    const struct {
        const char *legend;
        int selected, removed, expected;
    } cases[] = {
        {"a group behind the removed one is still shown", 3, 1, 2},
        {"a group before it stays", 1, 2, 1},
        {"the removed group's place goes to the one behind it", 2, 2, 2},
        {"the removed last group gives way to the new last", 3, 3, 2},
        {"no group selected stays so", 0, 1, 0},
    };
    for (const auto &c : cases) {
        GroupSet set;
        for (const char *name : {"A", "B", "C"})
            set.add(QLatin1String(name), {1});
        set.view.SelectedGroup = static_cast<int16_t>(c.selected);
        set.editing.removeGroup(c.removed);
        EXPECT_EQ(set.view.SelectedGroup, c.expected) << c.legend;
    }
    GroupSet last;
    last.add(QStringLiteral("Only"), {1});
    last.view.SelectedGroup = 1;
    last.editing.removeGroup(1);
    EXPECT_EQ(last.view.SelectedGroup, 0) << "no group left";
}

TEST(GroupTexts, RowsAndTheDoubleEntryMessage) {
    const QStringList available{QStringLiteral("1 Bore"), QStringLiteral("2 "),
                                QStringLiteral("3 Length")};
    const struct {
        const char *legend;
        QString text, expected;
    } cases[] = {
        {"available row", availableChannelRow(12, QStringLiteral("Shaft dia")),
         QStringLiteral("12 Shaft dia")},
        {"available row without a description", availableChannelRow(2, QString()),
         QStringLiteral("2 ")},
        {"entry shows the channel's row", groupEntryRow(3, available), QStringLiteral("3 Length")},
        {"entry above the channel count", groupEntryRow(9, available),
         QStringLiteral("9 (no such channel)")},
        {"entry 0 from a damaged file", groupEntryRow(0, available),
         QStringLiteral("0 (no such channel)")},
        {"entry of a negative number", groupEntryRow(-2, available),
         QStringLiteral("-2 (no such channel)")},
        {"double entry names the channel row, the group position and name",
         doubleEntryMessage(QStringLiteral("3 Length"), 2, QStringLiteral("Shaft")),
         QStringLiteral("Double Entry is not allowed\rChannel [3 Length]\ris already in Group [2] "
                        "Shaft")},
        {"double entry in a group without a name",
         doubleEntryMessage(QStringLiteral("1 "), 1, QString()),
         QStringLiteral("Double Entry is not allowed\rChannel [1 ]\ris already in Group [1] ")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.text, c.expected) << c.legend;
}

} // namespace
