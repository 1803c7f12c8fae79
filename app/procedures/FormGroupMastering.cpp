#include "FormGroupMastering.h"

#include "ChannelCalls.h"
#include "GroupMasteringRules.h"
#include "GroupPressSteps.h"
#include "LinkSession.h"
#include "MasteringTexts.h"
#include "Prompts.h"
#include "SetupSession.h"
#include "StationIcon.h"
#include "Twips.h"
#include "UnitObjects.h"
#include "ValueFormat.h"
#include "ViewCycle.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>

using namespace procedures;

namespace {

constexpr int GroupView = 1;
constexpr int Columns = 8;
constexpr int ValueColumn = 1;
constexpr int Measurement1Column = 4;
constexpr int ZeroColumn = 6;
constexpr int ScalingColumn = 7;
// Rows shown without scrolling when the dialog opens.
constexpr int RowsShown = 10;
// Lines of reasons below the grid; more are summed up.
constexpr int ReasonsShown = 4;

const QColor FailedRowColour(255, 0, 0);

} // namespace

FormGroupMastering::FormGroupMastering(GroupMasteringParts parts, QWidget *parent)
    : QDialog(parent), m(parts) {
    setObjectName(QStringLiteral("FormGroupMastering"));
    setWindowTitle(texts::GroupMasterCaption);
    setWindowIcon(stationIcon());
    setModal(false);
    buildControls();
    // The Value column follows the dialog's own group, whatever the main list shows.
    LiveRequest request;
    request.place = TickPlace::GroupMastering;
    request.rows = [this] {
        const group *followed = m.unit.groupAt(m.MasteringGroup);
        return followed ? followed->Count : 0;
    };
    request.object = [this](int row) {
        const group *followed = m.unit.groupAt(m.MasteringGroup);
        return followed ? LiveObject::channel(followed->GetChannel(row)) : LiveObject::none();
    };
    request.deliver = [this](const LiveReading &reading) {
        if (!reading.failed())
            SetGroupMasterValue(reading.row, reading.text());
    };
    m_live = m.live.subscribe(std::move(request));
}

FormGroupMastering::~FormGroupMastering() {
    m.MasteringGroup = 0;
}

void FormGroupMastering::buildControls() {
    LblInstruction = new QLabel(QStringLiteral("Insert Master 1"), this);
    LblInstruction->setObjectName(QStringLiteral("LblInstruction"));
    QFont bold = LblInstruction->font();
    bold.setBold(true);
    LblInstruction->setFont(bold);

    flexGroupMastering = new QTableWidget(0, Columns, this);
    flexGroupMastering->setObjectName(QStringLiteral("flexGroupMastering"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(font().pointSizeF());
    flexGroupMastering->setFont(arial);
    flexGroupMastering->verticalHeader()->hide();
    flexGroupMastering->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flexGroupMastering->setSelectionMode(QAbstractItemView::NoSelection);
    flexGroupMastering->setFocusPolicy(Qt::NoFocus);
    flexGroupMastering->setWordWrap(false);
    QHeaderView *header = flexGroupMastering->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    int gridWidth = 0;
    for (int column = 0; column < Columns; ++column) {
        auto *item = new QTableWidgetItem(QString(texts::GroupColumns[column]));
        item->setTextAlignment(column == 0 ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)
                                           : Qt::Alignment(Qt::AlignCenter));
        flexGroupMastering->setHorizontalHeaderItem(column, item);
        const int width = Twips::toPixelsX(ColumnTwips[column], this);
        flexGroupMastering->setColumnWidth(column, width);
        gridWidth += width;
    }
    const int frame = flexGroupMastering->frameWidth() * 2;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    flexGroupMastering->setMinimumWidth(gridWidth + frame + scrollBar);
    flexGroupMastering->setMinimumHeight(
        header->sizeHint().height() + frame +
        RowsShown * flexGroupMastering->verticalHeader()->defaultSectionSize());

    lblMasteringError = new QLabel(this);
    lblMasteringError->setObjectName(QStringLiteral("lblMasteringError"));
    lblMasteringError->setWordWrap(true);
    lblMasteringError->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));

    cmdGroupMaster = new QPushButton(texts::MasterWord, this);
    cmdGroupMaster->setObjectName(QStringLiteral("cmdGroupMaster"));
    cmdGroupMaster->setDefault(true);
    cmdGroupDone = new QPushButton(QStringLiteral("Done"), this);
    cmdGroupDone->setObjectName(QStringLiteral("cmdGroupDone"));
    cmdGroupDone->setAutoDefault(false);
    const int buttonWidth =
        cmdGroupMaster->fontMetrics().horizontalAdvance(texts::MasterAgain) + 40;
    cmdGroupMaster->setMinimumWidth(buttonWidth);
    cmdGroupDone->setMinimumWidth(buttonWidth);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(lblMasteringError, 1);
    buttons->addWidget(cmdGroupMaster, 0, Qt::AlignTop);
    buttons->addWidget(cmdGroupDone, 0, Qt::AlignTop);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LblInstruction);
    layout->addWidget(flexGroupMastering, 1);
    layout->addLayout(buttons);

    connect(cmdGroupMaster, &QPushButton::clicked, this, &FormGroupMastering::GroupMasterStep);
    connect(cmdGroupDone, &QPushButton::clicked, this, &FormGroupMastering::reject);
}

bool FormGroupMastering::ShowGroupMastering(MasteringMode mode, int groupNumber, int viewMode) {
    // A group that cannot be mastered ends whatever procedure the dialog had open.
    const auto refuse = [this](const QString &why) {
        m.prompts.message(why);
        if (isVisible())
            reject();
        return false;
    };
    ++m_generation;
    m.MasteringGroup = 0;
    if (viewMode == GroupView && !CheckForAnyGroups(m.unit))
        return refuse(texts::NoGroupsForGroupDialog);
    const group *chosen = m.unit.groupAt(groupNumber);
    if (!chosen)
        return refuse(texts::InvalidGroup);
    if (const auto why = whyGroupCannotBeMastered(chosen->Count))
        return refuse(*why);
    m_mode = mode;
    m_group = groupNumber;
    m_why.clear();
    setWindowTitle(m_mode.groupDialogCaption());
    setRowsFrom(*chosen);
    show();
    raise();
    activateWindow();
    LoadGroup();
    return true;
}

void FormGroupMastering::setRowsFrom(const group &chosen) {
    m_rows.clear();
    for (int position = 1; position <= chosen.Count; ++position) {
        Row row;
        row.channel = chosen.GetChannel(position);
        const Channel *object = m.unit.channel(row.channel);
        row.exists = object != nullptr;
        if (object)
            row.decimals = object->Decimals;
        m_rows.push_back(row);
    }
}

bool FormGroupMastering::rowsStandFor(const group &now) const {
    if (now.Count != static_cast<int>(m_rows.size()))
        return false;
    for (int position = 1; position <= now.Count; ++position) {
        if (now.GetChannel(position) != m_rows[static_cast<size_t>(position - 1)].channel)
            return false;
    }
    return true;
}

void FormGroupMastering::setupReplaced() {
    if (isVisible())
        startAfresh(QStringLiteral("A new setup is in place"));
}

// No reading, measurement or constant of the rows built before goes into a press from here on.
void FormGroupMastering::startAfresh(const QString &cause) {
    ++m_generation;
    m.MasteringGroup = 0;
    m_busy = false;
    const group *now = m.unit.groupAt(m_group);
    const std::optional<QString> refusal =
        now ? whyGroupCannotBeMastered(now->Count)
            : QStringLiteral("There is no group %1 to master now.").arg(m_group);
    if (refusal) {
        m_rows.clear();
        m_why.clear();
        flexGroupMastering->setRowCount(0);
        lblMasteringError->clear();
        LblInstruction->setText(cause + QStringLiteral(". ") + *refusal);
        cmdGroupMaster->setEnabled(false);
        Q_EMIT settled();
        return;
    }
    m_why = cause + QStringLiteral(": starting again on group %1.").arg(m_group);
    setRowsFrom(*now);
    LoadGroup();
}

void FormGroupMastering::reject() {
    // Done, Escape and the window's close box end the procedure alike.
    ++m_generation;
    m.MasteringGroup = 0;
    m_busy = false;
    QDialog::reject();
}

// Reads every channel's formula, description, masters and constants in one sequence, then fills
// the grid. A row whose reads failed is shown as such and never written; an entry naming a
// channel beyond the set is not read at all.
void FormGroupMastering::LoadGroup() {
    const int generation = m_generation;
    m_measurement1.assign(m_rows.size(), std::nullopt);
    m_failureFlag = m_roundFailed = m_masterAgain = false;
    m_step = 1;
    cmdGroupMaster->setText(texts::MasterWord);
    lblMasteringError->clear();
    LblInstruction->setText(QStringLiteral("Reading the channels of the group..."));
    flexGroupMastering->setRowCount(static_cast<int>(m_rows.size()));
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        for (int column = 0; column < Columns; ++column)
            setCell(row, column, {});
        setCell(row, 0, QStringLiteral(" %1 ").arg(m_rows[static_cast<size_t>(row)].channel));
        setRowColour(row, false);
    }
    setBusy(true);

    auto rows = std::make_shared<std::vector<Row>>(m_rows);
    std::vector<std::shared_ptr<ChannelConstants>> reads(rows->size());
    LinkSequence sequence(QStringLiteral("Group mastering: group %1 read").arg(m_group));
    for (size_t i = 0; i < rows->size(); ++i) {
        if (!(*rows)[i].exists)
            continue;
        // Each constant is its own exchange; after one fails the channel's others are not read.
        reads[i] = std::make_shared<ChannelConstants>();
        addConstantReads(sequence, m.session, m.unit, (*rows)[i].channel,
                         {ChannelConstant::Formula, ChannelConstant::Description,
                          ChannelConstant::Master1, ChannelConstant::UsesTwoMasters,
                          ChannelConstant::Master2, ChannelConstant::ZeroOffset,
                          ChannelConstant::Scaling},
                         reads[i], OnFailedRead::SkipChannel);
    }
    sequence.finished = [self = QPointer(this), generation, rows, reads](bool) {
        FormGroupMastering *const form = self.data();
        if (!form || generation != form->m_generation)
            return;
        for (size_t i = 0; i < rows->size(); ++i) {
            if (reads[i])
                (*rows)[i].read = *reads[i];
        }
        form->afterLoad(*rows);
    };
    m.sequences.run(std::move(sequence));
}

void FormGroupMastering::afterLoad(const std::vector<Row> &rows) {
    m_rows = rows;
    m_secondPressNeeded = false;
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        fillRow(row);
        const Row &r = m_rows[static_cast<size_t>(row)];
        if (r.masterable() && m_mode.takesSecondMaster(r.usesTwoMasters()))
            m_secondPressNeeded = true;
    }
    if (!CheckFormula())
        return;
    setBusy(false);
    LblInstruction->setText(m_why.isEmpty()
                                ? QString(texts::InsertMaster1AndPress)
                                : m_why + QLatin1Char('\n') + texts::InsertMaster1AndPress);
    m.MasteringGroup = static_cast<int16_t>(m_group);
    m_step = 1;
    Q_EMIT settled();
}

bool FormGroupMastering::CheckFormula() {
    // A box's event loop may start the dialog afresh on another group, so the rows are not
    // looked at again once the first box is up.
    std::vector<int> without;
    for (const Row &r : m_rows) {
        if (r.exists && r.loaded() && !r.read.hasFormula())
            without.push_back(r.channel);
    }
    const int generation = m_generation;
    for (const int channel : without) {
        m.prompts.message(texts::NoFormulaDefined + QString::number(channel));
        if (generation != m_generation)
            return false;
    }
    return true;
}

void FormGroupMastering::fillRow(int row) {
    const Row &r = m_rows[static_cast<size_t>(row)];
    const QString number = QStringLiteral(" %1 ").arg(r.channel);
    if (!r.exists) {
        setCell(row, 0, number + texts::NoSuchChannel);
        return;
    }
    if (!r.loaded()) {
        setCell(row, 0, number + QStringLiteral("Could not be read"));
        setRowColour(row, true);
        return;
    }
    const ChannelConstants &k = r.read;
    setCell(row, 0,
            number + (k.hasFormula() ? k.description.value_or(QString())
                                     : QString(texts::NoFormulaFound)));
    setCell(row, ValueColumn, formatted(row, 0.0));
    setCell(row, 2, formatted(row, k.master1.value_or(0)));
    setCell(row, 3,
            r.usesTwoMasters() ? formatted(row, k.master2.value_or(0))
                               : QString(texts::NotApplicable));
    setCell(row, Measurement1Column, texts::EmptyMeasurement);
    setCell(row, Measurement1Column + 1, texts::EmptyMeasurement);
    setCell(row, ZeroColumn, formatted(row, k.zeroOffset.value_or(0)));
    setCell(row, ScalingColumn, formatted(row, k.scaling.value_or(1)));
}

void FormGroupMastering::SetGroupMasterValue(int row, const QString &text) {
    if (row >= 1 && row <= flexGroupMastering->rowCount() && m.MasteringGroup == m_group)
        setCell(row - 1, ValueColumn, text);
}

// One press as one sequence: every concerned channel is read, then the new constants are decided
// and written. Rows without formula and rows whose load failed are not read.
void FormGroupMastering::GroupMasterStep() {
    if (m_busy || m_rows.empty())
        return;
    // The group went with the setup (New, Open): its rows no longer stand for it.
    const group *now = m.unit.groupAt(m_group);
    if (!now) {
        LblInstruction->setText(texts::InvalidGroup);
        cmdGroupMaster->setEnabled(false);
        Q_EMIT settled();
        return;
    }
    // Channels added to the group, taken out or moved (the group editor, fewer channels in the
    // system setup): the rows, and the first press's measurements, stand for another group.
    if (!rowsStandFor(*now)) {
        startAfresh(QStringLiteral("Group %1 was changed").arg(m_group));
        return;
    }
    m_why.clear();
    const int step = m_step;
    const int generation = m_generation;
    m.MasteringGroup = 0;
    LblInstruction->setText(texts::MeasurementTaken);
    if (step == 1) {
        m_roundFailed = false;
        for (int row = 0; row < static_cast<int>(m_rows.size()); ++row)
            setRowColour(row, false);
    }
    setBusy(true);

    auto press = std::make_shared<GroupPress>();
    press->step = step;
    press->mode = m_mode;
    press->measurement1 = m_measurement1;
    for (const Row &row : m_rows) {
        const bool concerned =
            row.masterable() && (step == 1 || m_mode.takesSecondMaster(row.usesTwoMasters()));
        press->rows.push_back(
            {row.channel, concerned, row.read.hasFormula(), row.usesTwoMasters()});
    }
    LinkSequence sequence(
        QStringLiteral("Group mastering: group %1, master %2").arg(m_group).arg(step));
    addGroupPressSteps(sequence, press, m.session, m.unit, m.setup);
    sequence.finished = [self = QPointer(this), generation, press](bool) {
        FormGroupMastering *const form = self.data();
        if (form && generation == form->m_generation)
            form->afterPress(*press);
    };
    m.sequences.run(std::move(sequence));
}

void FormGroupMastering::afterPress(const GroupPress &press) {
    const int step = press.step;
    QStringList reasons;
    QStringList noFormula;
    QStringList noChannel;
    bool anyFailed = false;
    const int measurementColumn = Measurement1Column + (step == 2 ? 1 : 0);
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        const auto i = static_cast<size_t>(row);
        const Row &r = m_rows[i];
        if (r.exists && !r.loaded()) {
            anyFailed = true;
            setRowColour(row, true);
            reasons << QStringLiteral("Channel %1 was not changed: it could not be read.")
                           .arg(r.channel);
            continue;
        }
        // No press can master such a row; it is skipped, not failed.
        if (const auto skipped = skippedRow(r.exists, r.read.hasFormula())) {
            (r.exists ? noFormula : noChannel) << QString::number(r.channel);
            setCell(row, measurementColumn, skipped->cellText());
            continue;
        }
        if (!press.rows[i].concerned)
            continue;
        const GroupRowOutcome &outcome = press.outcomes[i];
        if (step == 1)
            m_measurement1[i] = outcome.measurement;
        setCell(row, measurementColumn,
                outcome.measurement ? formatted(row, *outcome.measurement) : outcome.cellText());
        if (outcome.newZero && outcome.fault == RowFault::None) {
            m_rows[i].read.zeroOffset = *outcome.newZero;
            setCell(row, ZeroColumn, formatted(row, *outcome.newZero));
        }
        if (outcome.newScaling && outcome.fault == RowFault::None) {
            m_rows[i].read.scaling = *outcome.newScaling;
            setCell(row, ScalingColumn, formatted(row, *outcome.newScaling));
        }
        if (outcome.failed()) {
            anyFailed = true;
            setRowColour(row, true);
            // Readings too close are what the red row itself says.
            if (outcome.refusal != MasteringRefusal::SpreadTooSmall)
                reasons << outcome.reason(r.channel);
        }
    }
    m_roundFailed = m_roundFailed || anyFailed;
    if (anyFailed)
        m_masterAgain = true;
    const GroupPressEnd end = endOfPress(step, m_secondPressNeeded, m_roundFailed, m_failureFlag);
    m_failureFlag = end.failureFlag;
    m_step = end.nextStep;
    LblInstruction->setText(end.instruction);
    if (m_masterAgain)
        cmdGroupMaster->setText(texts::MasterAgain);

    QStringList error;
    if (!end.masteringError.isEmpty())
        error << end.masteringError;
    if (reasons.size() > ReasonsShown) {
        const auto more = reasons.size() - (ReasonsShown - 1);
        reasons = reasons.mid(0, ReasonsShown - 1);
        reasons << QStringLiteral("%1 more channels were not changed.").arg(more);
    }
    error << reasons;
    if (!noFormula.isEmpty())
        error << QStringLiteral("Not mastered, no formula: channel %1.")
                     .arg(noFormula.join(QStringLiteral(", ")));
    if (!noChannel.isEmpty())
        error << QStringLiteral("Not mastered, no such channel: %1.")
                     .arg(noChannel.join(QStringLiteral(", ")));
    lblMasteringError->setText(error.join(QLatin1Char('\n')));

    m_busy = false;
    cmdGroupMaster->setEnabled(end.buttonEnabled);
    if (isVisible())
        m.MasteringGroup = static_cast<int16_t>(m_group);
    Q_EMIT settled();
}

void FormGroupMastering::setRowColour(int row, bool failed) {
    for (int column = 0; column < Columns; ++column) {
        QTableWidgetItem *cell = flexGroupMastering->item(row, column);
        if (cell)
            cell->setBackground(failed ? QBrush(FailedRowColour) : QBrush());
    }
}

void FormGroupMastering::setCell(int row, int column, const QString &text) {
    QTableWidgetItem *cell = flexGroupMastering->item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setTextAlignment(column == 0 ? Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter)
                                           : Qt::Alignment(Qt::AlignCenter));
        flexGroupMastering->setItem(row, column, cell);
    }
    cell->setText(text);
}

QString FormGroupMastering::formatted(int row, double value) const {
    return formatValue(value, m_rows[static_cast<size_t>(row)].decimals);
}

void FormGroupMastering::setBusy(bool busy) {
    m_busy = busy;
    cmdGroupMaster->setEnabled(!busy);
}
