#include "FormSetupGroup.h"

#include "ui_FormSetupGroup.h"

#include "GroupTexts.h"
#include "Prompts.h"
#include "SetupSession.h"
#include "StationIcon.h"
#include "StationTexts.h"
#include "UnitObjects.h"
#include "ViewState.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>

#include <optional>

namespace {

// A channel row's item data is its channel number, a group row's its position in the set.
constexpr int ItemRole = Qt::UserRole;

int selectedRow(const QListWidget *list) {
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.first());
}

QListWidgetItem *addRow(const QString &text, int data, QListWidget *list) {
    auto *row = new QListWidgetItem(text, list);
    row->setData(ItemRole, data);
    return row;
}

} // namespace

FormSetupGroup::FormSetupGroup(GroupEditorParts parts, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormSetupGroup>()), m_parts(std::move(parts)),
      m_editing({m_parts.unit.Groups, m_parts.view, m_parts.setup}) {
    ui->setupUi(this);
    setModal(false);
    connect(ui->CmdAddtoList, &QPushButton::clicked, this, &FormSetupGroup::CmdAddtoList_Click);
    connect(ui->CmdRenameGroup, &QPushButton::clicked, this, &FormSetupGroup::CmdRenameGroup_Click);
    connect(ui->CmdRemoveFromList, &QPushButton::clicked, this,
            &FormSetupGroup::CmdRemoveFromList_Click);
    connect(ui->CmdDone, &QPushButton::clicked, this, &FormSetupGroup::CmdDone_Click);
    connect(ui->ListGroups, &QListWidget::itemSelectionChanged, this,
            &FormSetupGroup::ListGroups_Click);
    connect(ui->ListAvailableChannels, &QListWidget::itemDoubleClicked, this,
            &FormSetupGroup::ListAvailableChannels_DblClick);
    connect(ui->ListChansinGroup, &QListWidget::itemDoubleClicked, this,
            &FormSetupGroup::ListChansinGroup_DblClick);
}

FormSetupGroup::~FormSetupGroup() = default;

void FormSetupGroup::ShowEditor() {
    if (!m_loaded)
        Form_Load();
    show();
    raise();
    activateWindow();
}

void FormSetupGroup::Form_Load() {
    setWindowIcon(stationIcon());
    m_hold = PollHoldGuard(m_parts.view.PollHold);
    m_loaded = true;
    fillAvailableChannels();
    fillGroups();
}

void FormSetupGroup::reloadGroups() {
    if (!m_loaded)
        return;
    fillAvailableChannels();
    fillGroups();
}

void FormSetupGroup::fillAvailableChannels() {
    QListWidget *list = ui->ListAvailableChannels;
    list->clear();
    const int channels = static_cast<int>(m_parts.unit.Channels.size());
    for (int n = 1; n <= channels; ++n)
        addRow(availableChannelRow(n, QString()), n, list);
    readDescriptions();
}

void FormSetupGroup::readDescriptions() {
    m_descriptionsRead = false;
    const unsigned generation = ++m_loadGeneration;
    const QPointer<FormSetupGroup> form(this);
    // The editor that asked for the reads, while it still wants them.
    const auto wanted = [form, generation]() -> FormSetupGroup * {
        FormSetupGroup *editor = form.data();
        return editor && editor->m_loadGeneration == generation ? editor : nullptr;
    };
    LinkSequence reads(QStringLiteral("group setup"));
    reads.setSharesLineWithPoll(true);
    UnitObjects *unit = &m_parts.unit;
    const int channels = ui->ListAvailableChannels->count();
    for (int n = 1; n <= channels; ++n) {
        reads.add(QStringLiteral("Channel %1: description").arg(n), [wanted, unit, n] {
            FormSetupGroup *editor = wanted();
            // The channel is looked up when the read runs: the set may have changed by then.
            if (const Channel *channel = editor ? unit->channel(n) : nullptr)
                editor->setChannelDescription(n, channel->Description());
            return true;
        });
    }
    reads.finished = [wanted](bool) {
        if (FormSetupGroup *editor = wanted())
            editor->m_descriptionsRead = true;
    };
    if (m_parts.runReads) {
        m_parts.runReads(std::move(reads));
        return;
    }
    for (int step = 0; step < reads.size(); ++step)
        reads.run(step);
    reads.finished(true);
}

void FormSetupGroup::setChannelDescription(int channel, const QString &description) {
    const QString text = availableChannelRow(channel, description);
    if (QListWidgetItem *row = ui->ListAvailableChannels->item(channel - 1))
        row->setText(text);
    QListWidget *inGroup = ui->ListChansinGroup;
    for (int i = 0; i < inGroup->count(); ++i) {
        if (inGroup->item(i)->data(ItemRole).toInt() == channel)
            inGroup->item(i)->setText(text);
    }
}

QStringList FormSetupGroup::availableRows() const {
    QStringList rows;
    const QListWidget *list = ui->ListAvailableChannels;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

void FormSetupGroup::fillGroups() {
    QListWidget *list = ui->ListGroups;
    {
        const QSignalBlocker quiet(list);
        list->clear();
        for (int position = 1; position <= m_editing.count(); ++position)
            addRow(m_editing.at(position)->Description, position, list);
    }
    ui->ListChansinGroup->clear();
    if (list->count() > 0) {
        list->setCurrentRow(list->count() - 1);
        showGroup(list->count());
    }
}

int FormSetupGroup::highlightedGroup() const {
    return selectedRow(ui->ListGroups) + 1;
}

void FormSetupGroup::ListGroups_Click() {
    if (const int position = highlightedGroup())
        showGroup(position);
}

void FormSetupGroup::showGroup(int position) {
    const group *shown = m_editing.at(position);
    if (!shown)
        return;
    ui->TextGroupName->setText(shown->Description);
    QListWidget *inGroup = ui->ListChansinGroup;
    inGroup->clear();
    const QStringList rows = availableRows();
    for (int entry = 1; entry <= shown->Count; ++entry) {
        const int channel = shown->GetChannel(entry);
        addRow(groupEntryRow(channel, rows), channel, inGroup);
    }
}

bool FormSetupGroup::typedNameAccepted() {
    const std::optional<QString> why = setupforms::whyStationTextRefused(
        QStringLiteral("Group name"), groupNameFromTyped(ui->TextGroupName->text()));
    if (!why)
        return true;
    ui->TextGroupName->setFocus();
    ui->TextGroupName->selectAll();
    m_parts.prompts.message(*why, PromptButtons::Ok, PromptIcon::Information);
    return false;
}

void FormSetupGroup::CmdAddtoList_Click() {
    if (!typedNameAccepted())
        return;
    const int position = m_editing.addGroup(ui->TextGroupName->text());
    addRow(m_editing.at(position)->Description, position, ui->ListGroups);
    ui->ListGroups->setCurrentRow(position - 1);
    showGroup(position);
}

void FormSetupGroup::CmdRenameGroup_Click() {
    const int position = highlightedGroup();
    if (!position || !typedNameAccepted() ||
        !m_editing.renameGroup(position, ui->TextGroupName->text()))
        return;
    ui->ListGroups->item(position - 1)->setText(m_editing.at(position)->Description);
}

void FormSetupGroup::CmdRemoveFromList_Click() {
    const int position = highlightedGroup();
    if (!m_editing.removeGroup(position))
        return;
    QListWidget *list = ui->ListGroups;
    {
        const QSignalBlocker quiet(list);
        delete list->takeItem(position - 1);
        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setData(ItemRole, row + 1);
    }
    ui->ListChansinGroup->clear();
    if (list->count() > 0) {
        list->setCurrentRow(list->count() - 1);
        showGroup(list->count());
    }
}

void FormSetupGroup::ListAvailableChannels_DblClick(QListWidgetItem *item) {
    const int position = highlightedGroup();
    if (!position || !item)
        return;
    const int channel = ui->ListAvailableChannels->row(item) + 1;
    switch (m_editing.addChannel(position, channel)) {
    case GroupSetEditing::ChannelAdded::Added:
        addRow(item->text(), channel, ui->ListChansinGroup);
        break;
    case GroupSetEditing::ChannelAdded::DoubleEntry:
        m_parts.prompts.message(
            doubleEntryMessage(item->text(), position, m_editing.at(position)->Description));
        QApplication::beep();
        break;
    case GroupSetEditing::ChannelAdded::NoGroup:
        break;
    }
}

void FormSetupGroup::ListChansinGroup_DblClick(QListWidgetItem *item) {
    const int position = highlightedGroup();
    if (!position || !item)
        return;
    QListWidget *inGroup = ui->ListChansinGroup;
    if (m_editing.removeChannel(position, inGroup->row(item) + 1))
        delete inGroup->takeItem(inGroup->row(item));
}

void FormSetupGroup::CmdDone_Click() {
    if (!m_loaded) {
        QDialog::reject();
        return;
    }
    m_loaded = false;
    ++m_loadGeneration;
    // The refresh that follows Done ends the editor's hold.
    m_parts.view.PollHold.handOver(std::move(m_hold));
    QDialog::reject();
    Q_EMIT editingDone();
}

void FormSetupGroup::reject() {
    CmdDone_Click();
}

void FormSetupGroup::closeForShutdown() {
    m_loaded = false;
    m_hold.release();
    ++m_loadGeneration;
    QDialog::reject();
}
