// The group editor and the group selection in the running main window, against the stand-in
// unit: the editor's texts and edits, the double-entry message, entries a setup file may hold
// beyond the channel count, the hold on the main list after every way out of both dialogs, the
// view the main window is left in, and groups that go through a setup file and come back.
#include "CommandLine.h"
#include "Existing.h"
#include "FormMain.h"
#include "FormSelectGroup.h"
#include "FormSetupGroup.h"
#include "QuietMainWindow.h"
#include "Settings.h"
#include "SetupFileCommands.h"
#include "SimulatedUnit.h"
#include "StationHelp.h"
#include "UnitTexts.h"
#include "WaitFor.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>

namespace {

class GroupDialogsTest : public ::testing::Test, public QuietMainWindow {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(openQuietly(QStringLiteral("--preset demo"), &why)) << why.toStdString();
    }

    // Setup > Groups, then the editor's reads of the channel descriptions.
    FormSetupGroup &openEditor() {
        action("SetupGroups")->trigger();
        FormSetupGroup *editor = window->dialogs().groupEditor();
        EXPECT_NE(editor, nullptr);
        EXPECT_TRUE(waitFor([editor] { return editor->descriptionsRead(); }));
        return *editor;
    }
    template <typename T> T *editorControl(const char *name) const {
        T *control = window->dialogs().groupEditor()->findChild<T *>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QListWidget *list(const char *name) const { return editorControl<QListWidget>(name); }
    void click(const char *name) { editorControl<QPushButton>(name)->click(); }
    void typeName(const QString &name) { editorControl<QLineEdit>("TextGroupName")->setText(name); }
    void addGroup(const QString &name) {
        typeName(name);
        click("CmdAddtoList");
    }
    void highlightGroup(int row) { list("ListGroups")->setCurrentRow(row); }
    void doubleClick(const char *listName, int row) {
        QListWidget *target = list(listName);
        Q_EMIT target->itemDoubleClicked(target->item(row));
    }
    QStringList rows(const char *listName) const {
        QStringList texts;
        const QListWidget *target = list(listName);
        for (int i = 0; i < target->count(); ++i)
            texts << target->item(i)->text();
        return texts;
    }

    using StationFixture::addGroup;

    // Answers the modal selection dialog once it shows, from inside its own event loop.
    void whenSelectionShows(std::function<void(FormSelectGroup &)> answer) {
        QTimer::singleShot(0, window.get(), [this, answer] {
            FormSelectGroup *dialog = window->dialogs().groupSelection();
            if (!dialog || !dialog->isVisible()) {
                ADD_FAILURE() << "the group selection is not shown";
                if (dialog)
                    dialog->reject();
                return;
            }
            answer(*dialog);
        });
    }

    std::vector<int> channelsOf(int position) const {
        std::vector<int> list;
        const group *g = state.unit.groupAt(position);
        for (int entry = 1; g && entry <= g->Count; ++entry)
            list.push_back(g->GetChannel(entry));
        return list;
    }
};

QPushButton *button(FormSelectGroup &dialog, const char *name) {
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}

QListWidget *selectionList(FormSelectGroup &dialog) {
    return dialog.findChild<QListWidget *>(QStringLiteral("ListGroups"));
}

TEST_F(GroupDialogsTest, TheEditorShowsItsTextsAndEveryChannelWithItsDescription) {
    FormSetupGroup &editor = openEditor();
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Group Setup"));
    EXPECT_FALSE(editor.isModal());
    const struct {
        const char *control;
        const char *property;
        QString expected;
    } texts[] = {
        {"TextGroupName", "toolTip", QStringLiteral("Enter a new group name here")},
        {"ListGroups", "toolTip", QStringLiteral("Highlight group")},
        {"ListAvailableChannels", "toolTip", QStringLiteral("Available channels")},
        {"ListChansinGroup", "toolTip", QStringLiteral("Channels in this group")},
        {"CmdAddtoList", "text", QStringLiteral("Add Group to List")},
        {"CmdAddtoList", "toolTip",
         QStringLiteral("This adds the name in the small box to the list")},
        {"CmdRenameGroup", "text", QStringLiteral("Rename Group")},
        {"CmdRemoveFromList", "text", QStringLiteral("Remove Group ")},
        {"CmdRemoveFromList", "toolTip", QStringLiteral("Removes highlighted group from list")},
        {"CmdDone", "text", QStringLiteral("Done")},
        {"CmdDone", "toolTip", QStringLiteral("Close this dialog")},
        {"LabelGroups", "text", QStringLiteral("Groups")},
        {"LabelAvailableChannels", "text", QStringLiteral("Available Channels")},
        {"LabelIncludeChannel", "text", QStringLiteral("Double click to include channel in group")},
        {"LabelChansinGroup", "text", QStringLiteral("Channels in Group")},
        {"LabelRemoveChannel", "text",
         QStringLiteral("Double click to  remove channel from group")},
        {"Notetext", "text",
         QStringLiteral("Note: To save group and channel definitions to a file for retreival at a "
                        "later date, use the File and Save As options on the main menu.")},
        {"GroupDescriptorLabel", "text",
         QStringLiteral("<<---- Enter Group name here. Press Add Group to List button before "
                        "adding channels to group.")},
        {"lblGroupSelected", "text", QStringLiteral("Group Selected")},
    };
    for (const auto &t : texts) {
        const QWidget *control = editor.findChild<QWidget *>(QLatin1String(t.control));
        ASSERT_NE(control, nullptr) << t.control;
        EXPECT_EQ(control->property(t.property).toString(), t.expected) << t.control;
    }
    EXPECT_TRUE(editorControl<QLabel>("GroupModLabel")
                    ->text()
                    .startsWith(QStringLiteral("<<---- Highlighted group is selected.")));
    EXPECT_EQ(
        rows("ListAvailableChannels"),
        (QStringList{"1 Bore diameter", "2 Shaft diameter", "3 Mean height", "4 Taper",
                     "5 Highest point", "6 Flatness", "7 Runout (TIR)", "8 Coolant temperature"}));
    EXPECT_TRUE(rows("ListGroups").isEmpty());

    // Setup > Groups again brings the same editor to the front; nothing is loaded twice.
    action("SetupGroups")->trigger();
    EXPECT_EQ(window->dialogs().groupEditor(), &editor);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(state.view.PollHold, 1);
    EXPECT_EQ(rows("ListAvailableChannels").size(), 8);
}

TEST_F(GroupDialogsTest, TheEditorAddsRenamesAndRemovesGroupsAndTheirChannels) {
    addGroup(QStringLiteral("Loaded"), {1, 2});
    openEditor();
    EXPECT_EQ(rows("ListGroups"), QStringList{"Loaded"}) << "the last group is highlighted";
    EXPECT_EQ(rows("ListChansinGroup"), (QStringList{"1 Bore diameter", "2 Shaft diameter"}));
    EXPECT_EQ(editorControl<QLineEdit>("TextGroupName")->text(), QStringLiteral("Loaded"));
    EXPECT_FALSE(state.setup.SetupChanged);

    addGroup(QStringLiteral("Shaft"));
    EXPECT_EQ(rows("ListGroups"), (QStringList{"Loaded", "Shaft"}));
    EXPECT_EQ(list("ListGroups")->currentRow(), 1) << "the new group is highlighted";
    EXPECT_TRUE(rows("ListChansinGroup").isEmpty());
    EXPECT_TRUE(state.setup.SetupChanged);

    doubleClick("ListAvailableChannels", 2);
    EXPECT_EQ(rows("ListChansinGroup"), QStringList{"3 Mean height"});
    ASSERT_TRUE(prompts.shown.empty());
    doubleClick("ListAvailableChannels", 2);
    ASSERT_EQ(prompts.shown.size(), 1u) << "the double entry is refused";
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Double Entry is not allowed\r"
                                                    "Channel [3 Mean height]\r"
                                                    "is already in Group [2] Shaft"));
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(channelsOf(2), std::vector<int>{3});
    EXPECT_EQ(rows("ListChansinGroup"), QStringList{"3 Mean height"});

    addGroup(QString());
    EXPECT_EQ(rows("ListGroups"), (QStringList{"Loaded", "Shaft", ""})) << "an empty name";
    doubleClick("ListAvailableChannels", 2);
    EXPECT_EQ(channelsOf(3), std::vector<int>{3}) << "the same channel in another group";

    highlightGroup(1);
    EXPECT_EQ(editorControl<QLineEdit>("TextGroupName")->text(), QStringLiteral("Shaft"));
    EXPECT_EQ(rows("ListChansinGroup"), QStringList{"3 Mean height"});
    click("CmdRemoveFromList");
    EXPECT_EQ(rows("ListGroups"), (QStringList{"Loaded", ""}));
    EXPECT_EQ(list("ListGroups")->currentRow(), 1) << "the last row is highlighted";
    EXPECT_EQ(rows("ListChansinGroup"), QStringList{"3 Mean height"});
    EXPECT_EQ(existing(state.unit.groupAt(2)).Index, 3);
    addGroup(QStringLiteral("Next"));
    EXPECT_EQ(existing(state.unit.groupAt(3)).Index, 3) << "number of groups + 1";

    highlightGroup(0);
    typeName(QStringLiteral("Bore\r\nside"));
    click("CmdRenameGroup");
    EXPECT_EQ(rows("ListGroups"), (QStringList{"Bore  side", "", "Next"}));
    EXPECT_EQ(state.unit.groupAt(1)->Description, QStringLiteral("Bore  side"));

    doubleClick("ListChansinGroup", 0);
    EXPECT_EQ(rows("ListChansinGroup"), QStringList{"2 Shaft diameter"});
    EXPECT_EQ(channelsOf(1), std::vector<int>{2});
}

// Names go into setup files, which hold Latin-1: a character beyond it is refused when the name
// is added or given, with the words Channel Setup uses, and the groups stay as they were.
TEST_F(GroupDialogsTest, ANameASetupFileCannotHoldIsRefused) {
    openEditor();
    addGroup(QStringLiteral("\u00D8 bore \u00B1"));
    ASSERT_TRUE(prompts.shown.empty());
    state.setup.SetupChanged = false;

    const QString beyond = QStringLiteral("Bore \u2300");
    for (const char *button : {"CmdAddtoList", "CmdRenameGroup"}) {
        prompts.shown.clear();
        typeName(beyond);
        click(button);
        ASSERT_EQ(prompts.shown.size(), 1u) << button;
        EXPECT_EQ(prompts.shown[0].text, *whyUnitTextRefused(QStringLiteral("Group name"), beyond))
            << button;
        EXPECT_EQ(editorControl<QLineEdit>("TextGroupName")->selectedText(), beyond) << button;
        EXPECT_EQ(rows("ListGroups"), QStringList{QStringLiteral("\u00D8 bore \u00B1")}) << button;
        EXPECT_EQ(state.unit.groupAt(1)->Description, QStringLiteral("\u00D8 bore \u00B1"));
        EXPECT_FALSE(state.setup.SetupChanged) << button;
    }
}

TEST_F(GroupDialogsTest, WithNoGroupHighlightedTheEditorChangesNothing) {
    openEditor();
    doubleClick("ListAvailableChannels", 0);
    click("CmdRenameGroup");
    click("CmdRemoveFromList");
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(rows("ListChansinGroup").isEmpty());
    EXPECT_EQ(state.unit.groupCount(), 0);
    EXPECT_FALSE(state.setup.SetupChanged);

    addGroup(QStringLiteral("One"));
    list("ListGroups")->clearSelection();
    state.setup.SetupChanged = false;
    doubleClick("ListAvailableChannels", 0);
    click("CmdRemoveFromList");
    EXPECT_EQ(channelsOf(1), std::vector<int>{});
    EXPECT_EQ(state.unit.groupCount(), 1);
    EXPECT_FALSE(state.setup.SetupChanged);
}

TEST_F(GroupDialogsTest, EntriesBeyondTheChannelsAreNamedAndCanBeRemoved) {
    addGroup(QStringLiteral("From a file"), {2, 12, 0});
    openEditor();
    EXPECT_EQ(rows("ListChansinGroup"),
              (QStringList{"2 Shaft diameter", "12 (no such channel)", "0 (no such channel)"}));
    doubleClick("ListChansinGroup", 1);
    EXPECT_EQ(channelsOf(1), (std::vector<int>{2, 0}));
    EXPECT_EQ(rows("ListChansinGroup"), (QStringList{"2 Shaft diameter", "0 (no such channel)"}));
}

TEST_F(GroupDialogsTest, EditingSendsNothingButTheDescriptionReads) {
    const qsizetype before = requestsOfLog(logFile()).size();
    openEditor();
    addGroup(QStringLiteral("Shaft"));
    doubleClick("ListAvailableChannels", 0);
    click("CmdRenameGroup");
    click("CmdRemoveFromList");
    click("CmdDone");
    const QStringList sent = requestsOfLog(logFile()).mid(before);
    EXPECT_EQ(sent.size(), 8);
    for (const QString &request : sent)
        EXPECT_TRUE(request.startsWith(QStringLiteral("~CN "))) << request.toStdString();
}

struct HoldCase {
    const char *legend;
    View viewBefore;
    int selectedBefore;
    int groups; // groups of two channels each
    std::function<void(GroupDialogsTest &, FormMain &)> path;
    View viewAfter;
    int selectedAfter;
};

class HoldTest : public GroupDialogsTest {
public:
    using GroupDialogsTest::list;
    using GroupDialogsTest::openEditor;
    using GroupDialogsTest::whenSelectionShows;
};

void viewGroup(GroupDialogsTest &, FormMain &station) {
    station.findChild<QAction *>(QStringLiteral("ViewGroups"))->trigger();
}

TEST_F(HoldTest, EveryWayThroughBothDialogsLeavesTheMainListUnheld) {
    const auto select = [](std::function<void(FormSelectGroup &)> answer) {
        return [answer](GroupDialogsTest &test, FormMain &station) {
            static_cast<HoldTest &>(test).whenSelectionShows(answer);
            viewGroup(test, station);
        };
    };
    const auto editor = [](std::function<void(FormSetupGroup &)> end) {
        return [end](GroupDialogsTest &test, FormMain &) {
            end(static_cast<HoldTest &>(test).openEditor());
        };
    };
    const HoldCase cases[] = {
        {"View > Group, OK", View::Channels, 0, 3,
         select([](FormSelectGroup &d) { button(d, "CmdOk")->click(); }), View::Group, 3},
        {"View > Group, double click on the first group", View::Channels, 0, 3,
         select([](FormSelectGroup &d) {
             QListWidget *groups = selectionList(d);
             groups->setCurrentRow(0);
             Q_EMIT groups->itemDoubleClicked(groups->item(0));
         }),
         View::Group, 1},
        {"View > Group, Cancel", View::Probes, 0, 2,
         select([](FormSelectGroup &d) { button(d, "CmdCancel")->click(); }), View::Probes, 0},
        {"View > Group, close box", View::Channels, 0, 2,
         select([](FormSelectGroup &d) { d.close(); }), View::Channels, 0},
        {"View > Group, Esc", View::Channels, 0, 2,
         select([](FormSelectGroup &d) { QTest::keyClick(&d, Qt::Key_Escape); }), View::Channels,
         0},
        {"Cancel in a group view with no group shows the channels", View::Group, 0, 2,
         select([](FormSelectGroup &d) { button(d, "CmdCancel")->click(); }), View::Channels, 0},
        {"Cancel in a group view with a group keeps it", View::Group, 2, 2,
         select([](FormSelectGroup &d) { button(d, "CmdCancel")->click(); }), View::Group, 2},
        {"OK with no row highlighted", View::Channels, 0, 2, select([](FormSelectGroup &d) {
             selectionList(d)->clearSelection();
             button(d, "CmdOk")->click();
         }),
         View::Channels, 0},
        {"OK with no row highlighted in a group view shows the channels", View::Group, 1, 2,
         select([](FormSelectGroup &d) {
             selectionList(d)->clearSelection();
             button(d, "CmdOk")->click();
         }),
         View::Channels, 0},
        {"View > Group without groups only says so", View::Channels, 0, 0, viewGroup,
         View::Channels, 0},
        {"the selection asked for with no groups, OK", View::Channels, 0, 0,
         [](GroupDialogsTest &test, FormMain &station) {
             static_cast<HoldTest &>(test).whenSelectionShows(
                 [](FormSelectGroup &d) { button(d, "CmdOk")->click(); });
             station.dialogs().selectGroup();
         },
         View::Channels, 0},
        {"editor, Done", View::Channels, 0, 1, editor([](FormSetupGroup &e) { e.CmdDone_Click(); }),
         View::Channels, 0},
        {"editor, close box", View::Channels, 0, 1, editor([](FormSetupGroup &e) { e.close(); }),
         View::Channels, 0},
        {"editor, Esc", View::Channels, 0, 1,
         editor([](FormSetupGroup &e) { QTest::keyClick(&e, Qt::Key_Escape); }), View::Channels, 0},
        {"editor opened twice, then Done", View::Channels, 0, 1,
         [](GroupDialogsTest &test, FormMain &) {
             auto &hold = static_cast<HoldTest &>(test);
             hold.openEditor();
             hold.openEditor().CmdDone_Click();
         },
         View::Channels, 0},
        {"editor removing the group shown", View::Group, 2, 2, editor([](FormSetupGroup &e) {
             e.CmdRemoveFromList_Click();
             e.CmdDone_Click();
         }),
         View::Group, 1},
        {"editor removing every group leaves the group view", View::Group, 1, 1,
         editor([](FormSetupGroup &e) {
             e.CmdRemoveFromList_Click();
             e.close();
         }),
         View::Channels, 0},
    };
    for (const HoldCase &c : cases) {
        state.unit.Groups.clear();
        for (int g = 1; g <= c.groups; ++g)
            addGroup(QStringLiteral("Group %1").arg(g), {g, g + 1});
        state.view.ViewMode = c.viewBefore;
        state.view.SelectedGroup = static_cast<int16_t>(c.selectedBefore);
        ASSERT_EQ(state.view.PollHold, 0) << c.legend << ": no hold is left from before";
        c.path(*this, *window);
        EXPECT_EQ(state.view.PollHold, 0) << c.legend;
        EXPECT_EQ(state.view.ViewMode, c.viewAfter) << c.legend;
        EXPECT_EQ(state.view.SelectedGroup, c.selectedAfter) << c.legend;
        EXPECT_FALSE(window->dialogs().groupSelection() &&
                     window->dialogs().groupSelection()->isVisible())
            << c.legend;
        if (window->dialogs().groupEditor() && window->dialogs().groupEditor()->isVisible())
            window->dialogs().groupEditor()->CmdDone_Click();
    }
}

TEST_F(GroupDialogsTest, TheSelectionListsTheGroupsAndHighlightsTheLast) {
    addGroup(QStringLiteral("Shaft"), {1});
    addGroup(QStringLiteral("Bore"), {2});
    QStringList shown;
    int highlighted = -1;
    whenSelectionShows([&](FormSelectGroup &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Select Group"));
        EXPECT_TRUE(d.isModal());
        EXPECT_EQ(button(d, "CmdOk")->text(), QStringLiteral("OK"));
        EXPECT_EQ(button(d, "CmdCancel")->text(), QStringLiteral("Cancel"));
        EXPECT_EQ(state.view.PollHold, 1) << "the list refresh is held while it is open";
        for (int i = 0; i < selectionList(d)->count(); ++i)
            shown << selectionList(d)->item(i)->text();
        highlighted = selectionList(d)->currentRow();
        button(d, "CmdCancel")->click();
    });
    window->dialogs().selectGroup();
    EXPECT_EQ(shown, (QStringList{"Shaft", "Bore"}));
    EXPECT_EQ(highlighted, 1);
    EXPECT_TRUE(state.view.GroupSelectCancelled);
}

TEST_F(GroupDialogsTest, GroupsMadeInTheEditorGoThroughASetupFile) {
    openEditor();
    addGroup(QStringLiteral("Shaft"));
    doubleClick("ListAvailableChannels", 1);
    doubleClick("ListAvailableChannels", 0);
    addGroup(QStringLiteral("Bore"));
    doubleClick("ListAvailableChannels", 2);
    click("CmdDone");
    ASSERT_TRUE(state.setup.SetupChanged);

    const QString file = tempPath(QStringLiteral("groups.qor"));
    SetupFileCommands &files = window->setupFiles();
    prompts.fileNames.push_back(file);
    action("SaveAsFile")->trigger();
    ASSERT_TRUE(waitFor([&] { return !files.busy(); }, 30000));
    EXPECT_FALSE(state.setup.SetupChanged);

    action("NewFile")->trigger();
    ASSERT_TRUE(waitFor([&] { return !files.busy(); }, 30000));
    ASSERT_EQ(state.unit.groupCount(), 0);

    // An editor open while the setup is replaced shows the groups that came with it.
    openEditor();
    prompts.fileNames.push_back(file);
    action("OpenFile")->trigger();
    ASSERT_TRUE(waitFor([&] { return !files.busy(); }, 30000));
    ASSERT_EQ(state.unit.groupCount(), 2);
    EXPECT_EQ(state.unit.groupAt(1)->Description, QStringLiteral("Shaft"));
    EXPECT_EQ(channelsOf(1), (std::vector<int>{2, 1}));
    EXPECT_EQ(state.unit.groupAt(2)->Description, QStringLiteral("Bore"));
    EXPECT_EQ(channelsOf(2), std::vector<int>{3});
    EXPECT_EQ(rows("ListGroups"), (QStringList{"Shaft", "Bore"}));
    EXPECT_TRUE(waitFor([this] { return window->dialogs().groupEditor()->descriptionsRead(); }));
    EXPECT_EQ(rows("ListChansinGroup"), QStringList{"3 Mean height"});
    click("CmdDone");
    EXPECT_EQ(state.view.PollHold, 0);
}

} // namespace
