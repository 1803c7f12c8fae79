#pragma once

#include "ChannelCalls.h"
#include "FormParts.h"
#include "GroupMasteringPress.h"
#include "LiveValues.h"
#include "MasteringMode.h"

#include <QDialog>

#include <optional>
#include <vector>

class group;
struct GroupPress;
class QLabel;
class QPushButton;
class QTableWidget;

// What the group mastering dialog works with: the form's parts and the group it has the poll
// follow (0: none).
struct GroupMasteringParts : FormParts {
    int16_t &MasteringGroup;
};

// Zeroes or masters every channel of one group at once. The operator puts master 1 in the
// fixture and presses the master button: every channel of the group is read and the one-master
// channels are zeroed; with two-master channels (in master mode) master 2 follows and those
// channels get a new zero and scaling. A grid shows per channel its masters, the live value, both
// measurements and the resulting constants; a row that could not be mastered is marked and the
// group is taken again from master 1. Channels without a formula (each announced by a box when
// the group is loaded) and entries naming a channel the set does not have are skipped and say so.
//
// Modeless: the poll fills the Value column from the dialog's own group, whatever the main list
// shows. The dialog keeps the group and the mode it was shown with; each press is one sequence of
// the link scheduler (read every channel, then write), with the master button disabled meanwhile.
class FormGroupMastering : public QDialog {
    Q_OBJECT

public:
    // Widths of the eight columns in twips.
    static constexpr double ColumnTwips[] = {2490, 1300, 1300, 1300, 1540, 1540, 1540, 1540};

    explicit FormGroupMastering(GroupMasteringParts parts, QWidget *parent = nullptr);
    ~FormGroupMastering() override;

    // Loads group groupNumber for the Zero or Master command and shows the dialog; false, after a
    // message, when the group cannot be mastered (none, empty, too large), and nothing is shown.
    bool ShowGroupMastering(procedures::MasteringMode mode, int groupNumber, int viewMode);
    void GroupMasterStep();
    // A new setup (New, Open) is in place: the rows were built for the old one, so an open
    // procedure ends and starts afresh on the group now at the dialog's number, or says there is
    // none to master; the instruction says why.
    void setupReplaced();
    // The poll's reading of the channel in 1-based row of the group, formatted (the Value column).
    void SetGroupMasterValue(int row, const QString &text);

    int groupNumber() const { return m_group; }
    int step() const { return m_step; }
    procedures::MasteringMode mode() const { return m_mode; }
    bool isIdle() const { return !m_busy; }

    void reject() override;

Q_SIGNALS:
    // The group was loaded or a press has ended, and the dialog shows the outcome.
    void settled();

private:
    struct Row {
        int channel = 0;
        bool exists = true; // the set has the channel (a group may name one beyond it)
        int decimals = 5;
        // Its constants as read when the group was loaded.
        ChannelConstants read;

        bool loaded() const { return !read.failed; }
        bool usesTwoMasters() const { return read.usesTwoMasters.value_or(false); }
        // A press can master it at all: the channel exists, was read and has a formula.
        bool masterable() const { return exists && loaded() && read.hasFormula(); }
    };

    void buildControls();
    void setRowsFrom(const group &chosen);
    // The group still holds the channels the rows were built for, in their order.
    bool rowsStandFor(const group &now) const;
    // Ends the open procedure and starts it afresh on the group at the dialog's number as it is
    // now; `cause` leads the instruction.
    void startAfresh(const QString &cause);
    void LoadGroup();
    void afterLoad(const std::vector<Row> &rows);
    // Says for each channel without formula that it has none; false when the dialog was closed
    // or started afresh meanwhile.
    bool CheckFormula();
    void fillRow(int row);
    void afterPress(const GroupPress &press);
    void setRowColour(int row, bool failed);
    void setCell(int row, int column, const QString &text);
    QString formatted(int row, double value) const;
    void setBusy(bool busy);

    GroupMasteringParts m;
    LiveSubscription m_live;
    procedures::MasteringMode m_mode = procedures::MasteringMode::master();
    int m_group = 0;
    std::vector<Row> m_rows;
    // First readings per row, kept for the second press.
    std::vector<std::optional<double>> m_measurement1;
    bool m_secondPressNeeded = false;
    bool m_failureFlag = false;
    // A row of the round under way (from its first press on) failed.
    bool m_roundFailed = false;
    bool m_masterAgain = false;
    int m_step = 1;
    int m_generation = 0;
    bool m_busy = false;
    // Why the procedure started afresh, shown with the instruction until the next press.
    QString m_why;

    QTableWidget *flexGroupMastering = nullptr;
    QPushButton *cmdGroupMaster = nullptr;
    QPushButton *cmdGroupDone = nullptr;
    QLabel *lblMasteringError = nullptr;
    QLabel *LblInstruction = nullptr;
};
