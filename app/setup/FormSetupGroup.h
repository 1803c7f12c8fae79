#pragma once

#include "GroupEditing.h"
#include "LinkSequence.h"
#include "PollHold.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

class Prompts;
class QListWidget;
class QListWidgetItem;
class SetupChanges;
struct UnitObjects;
struct ViewState;

namespace Ui {
class FormSetupGroup;
}

// What the group editor works with.
struct GroupEditorParts {
    UnitObjects &unit;
    ViewState &view;
    SetupChanges &setup;
    Prompts &prompts;
    // Runs the reads of the channels' descriptions (through the link scheduler in the station);
    // without it they are read at once.
    std::function<void(LinkSequence)> runReads;
};

// The group editor (modeless): makes, renames and removes groups and fills them with channels
// by double clicks. A name with a character a setup file cannot hold is refused where it is typed.
// Every change is made to the setup in memory at once; there is no Cancel. Done, Esc and the close
// box all end the editing the same way (editingDone). Groups stay in the station: the only
// exchanges are the reads of the channels' descriptions for the list of available channels, which
// run as one sequence and fill the rows as they come.
class FormSetupGroup : public QDialog {
    Q_OBJECT

public:
    FormSetupGroup(GroupEditorParts parts, QWidget *parent = nullptr);
    ~FormSetupGroup() override;

    // A closed editor loads (raises the hold on the main list, fills its lists, highlights the
    // last group) and shows; an open one comes to the front.
    void ShowEditor();
    // The group set was replaced (a setup loaded or begun anew): the lists show the new one.
    void reloadGroups();
    // Closes the editor when the station closes, without Done's refresh of the main window.
    void closeForShutdown();
    bool isLoaded() const { return m_loaded; }
    // Every channel description of the last load has arrived.
    bool descriptionsRead() const { return m_descriptionsRead; }

    void CmdAddtoList_Click();
    void CmdRenameGroup_Click();
    void CmdRemoveFromList_Click();
    void CmdDone_Click();

    void reject() override;

Q_SIGNALS:
    // The editing ended (Done, Esc or the close box): the main window refreshes its display.
    void editingDone();

private:
    void Form_Load();
    void fillAvailableChannels();
    void fillGroups();
    void readDescriptions();
    void setChannelDescription(int channel, const QString &description);
    void ListGroups_Click();
    void showGroup(int position);
    void ListAvailableChannels_DblClick(QListWidgetItem *item);
    void ListChansinGroup_DblClick(QListWidgetItem *item);
    // Whether the name typed can be kept (a setup file holds it); says why not, with the name
    // selected, when it cannot.
    bool typedNameAccepted();
    // 1-based position of the highlighted group; 0 when none is.
    int highlightedGroup() const;
    QStringList availableRows() const;

    std::unique_ptr<Ui::FormSetupGroup> ui;
    GroupEditorParts m_parts;
    GroupSetEditing m_editing;
    bool m_loaded = false;
    // From the load until Done: the editor's hold on the list's refresh.
    PollHoldGuard m_hold;
    bool m_descriptionsRead = false;
    // Reads of an earlier load that arrive late are dropped.
    unsigned m_loadGeneration = 0;
};
