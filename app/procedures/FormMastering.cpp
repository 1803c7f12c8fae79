#include "FormMastering.h"

#include "LinkSession.h"
#include "MasteringArithmetic.h"
#include "MasteringTexts.h"
#include "Prompts.h"
#include "SetupSession.h"
#include "StationIcon.h"
#include "UnitObjects.h"
#include "ValueFormat.h"
#include "ViewCycle.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

using namespace procedures;

namespace {

constexpr int GroupView = 1;

QLineEdit *valueBox(QWidget *parent, const char *name) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setFocusPolicy(Qt::NoFocus);
    // Room for a sign, five integer digits and five decimals.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-00000.000000")) +
                         12);
    return box;
}

QLabel *caption(QWidget *parent, const char *name, const QString &text, QWidget *buddy) {
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    return label;
}

QGroupBox *frame(QWidget *parent, const char *name, const QString &title) {
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

FormMastering::FormMastering(MasteringParts parts, QWidget *parent) : QDialog(parent), m(parts) {
    setObjectName(QStringLiteral("FormMastering"));
    setWindowTitle(texts::MasterWord);
    setWindowIcon(stationIcon());
    setModal(false);
    buildControls();
    m_live = m.live.follow(
        TickPlace::ChannelMastering, [this] { return LiveObject::channel(m.MasteringChannel); },
        [this](const LiveReading &reading) { liveReading(reading); });
}

FormMastering::~FormMastering() {
    m.MasteringChannel = 0;
}

void FormMastering::buildControls() {
    LblInstruction = new QLabel(this);
    LblInstruction->setObjectName(QStringLiteral("LblInstruction"));
    LblInstruction->setWordWrap(true);
    LblInstruction->setMinimumHeight(LblInstruction->fontMetrics().lineSpacing() * 2 + 4);
    QFont instructionFont = LblInstruction->font();
    instructionFont.setBold(true);
    LblInstruction->setFont(instructionFont);

    QGroupBox *masters = frame(this, "FrameMasters", QStringLiteral("Masters"));
    TextDescription = new QLineEdit(masters);
    TextDescription->setObjectName(QStringLiteral("TextDescription"));
    TextDescription->setReadOnly(true);
    TextDescription->setFocusPolicy(Qt::NoFocus);
    TextMaster1Value = valueBox(masters, "TextMaster1Value");
    TextMaster2Value = valueBox(masters, "TextMaster2Value");
    auto *mastersLayout = new QGridLayout(masters);
    mastersLayout->addWidget(TextDescription, 0, 0, 1, 2);
    mastersLayout->addWidget(
        caption(masters, "LabelMaster1", QStringLiteral("Master &1"), TextMaster1Value), 1, 0);
    mastersLayout->addWidget(TextMaster1Value, 1, 1);
    mastersLayout->addWidget(
        caption(masters, "LabelMaster2", QStringLiteral("Master &2"), TextMaster2Value), 2, 0);
    mastersLayout->addWidget(TextMaster2Value, 2, 1);

    QGroupBox *value = frame(this, "FrameValue", QStringLiteral("Live Value"));
    TextChannelValue = valueBox(value, "TextChannelValue");
    auto *resetMM = new QPushButton(QStringLiteral("&Reset MAX/MIN"), value);
    resetMM->setObjectName(QStringLiteral("CommandResetMM"));
    resetMM->setAutoDefault(false);
    auto *valueLayout = new QVBoxLayout(value);
    valueLayout->addWidget(TextChannelValue);
    valueLayout->addWidget(resetMM);
    valueLayout->addStretch();

    QGroupBox *measurements =
        frame(this, "FrameMeasurements", QStringLiteral("Measurements Taken"));
    TxtM1 = valueBox(measurements, "TxtM1");
    TxtM2 = valueBox(measurements, "TxtM2");
    auto *measurementsLayout = new QGridLayout(measurements);
    measurementsLayout->addWidget(caption(measurements, "LblM1", QStringLiteral("1"), TxtM1), 0, 0);
    measurementsLayout->addWidget(TxtM1, 0, 1);
    measurementsLayout->addWidget(caption(measurements, "LblM2", QStringLiteral("2"), TxtM2), 1, 0);
    measurementsLayout->addWidget(TxtM2, 1, 1);

    QGroupBox *computed =
        frame(this, "FrameComputed", QStringLiteral("Computed Values for Channel"));
    TxtSlope = valueBox(computed, "TxtSlope");
    TxtIntercept = valueBox(computed, "TxtIntercept");
    auto *computedLayout = new QGridLayout(computed);
    computedLayout->addWidget(caption(computed, "LblSlope", QStringLiteral("Scaling"), TxtSlope), 0,
                              0);
    computedLayout->addWidget(TxtSlope, 0, 1);
    computedLayout->addWidget(caption(computed, "LblInterc", QStringLiteral("Zero"), TxtIntercept),
                              1, 0);
    computedLayout->addWidget(TxtIntercept, 1, 1);

    // The channel number with its up-down arrows.
    auto *channelLabel = new QLabel(QStringLiteral("Channel"), this);
    TextMasterChannel = new QLineEdit(this);
    TextMasterChannel->setObjectName(QStringLiteral("TextMasterChannel"));
    TextMasterChannel->setReadOnly(true);
    TextMasterChannel->setFocusPolicy(Qt::NoFocus);
    TextMasterChannel->setAlignment(Qt::AlignCenter);
    TextMasterChannel->setFixedWidth(
        TextMasterChannel->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 14);
    auto *upDown = new QWidget(this);
    upDown->setObjectName(QStringLiteral("UpDownChannel"));
    upDown->setToolTip(QStringLiteral("Next or previous channel"));
    upButton = new QToolButton(upDown);
    upButton->setObjectName(QStringLiteral("UpDownChannelUp"));
    upButton->setArrowType(Qt::UpArrow);
    downButton = new QToolButton(upDown);
    downButton->setObjectName(QStringLiteral("UpDownChannelDown"));
    downButton->setArrowType(Qt::DownArrow);
    auto *upDownLayout = new QVBoxLayout(upDown);
    upDownLayout->setContentsMargins(0, 0, 0, 0);
    upDownLayout->setSpacing(0);
    // The arrows grow with the font, so they stay a fair target at any screen resolution.
    const int line = TextMasterChannel->fontMetrics().lineSpacing();
    for (QToolButton *arrow : {upButton, downButton}) {
        arrow->setFixedSize(line + line / 8, (line * 3) / 4);
        upDownLayout->addWidget(arrow);
    }
    channelLabel->setBuddy(TextMasterChannel);

    CommandMaster = new QPushButton(texts::MasterWord, this);
    CommandMaster->setObjectName(QStringLiteral("CommandMaster"));
    CommandMaster->setDefault(true);
    CommandDone = new QPushButton(QStringLiteral("Done"), this);
    CommandDone->setObjectName(QStringLiteral("CommandDone"));
    CommandDone->setAutoDefault(false);
    const int buttonWidth =
        CommandMaster->fontMetrics().horizontalAdvance(QStringLiteral("Read Master 2")) + 32;
    CommandMaster->setMinimumWidth(buttonWidth);
    CommandDone->setMinimumWidth(buttonWidth);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(channelLabel);
    bottom->addWidget(TextMasterChannel);
    bottom->addWidget(upDown);
    bottom->addStretch();
    bottom->addWidget(CommandMaster);
    bottom->addWidget(CommandDone);

    auto *layout = new QGridLayout(this);
    layout->addWidget(LblInstruction, 0, 0, 1, 2);
    layout->addWidget(masters, 1, 0);
    layout->addWidget(value, 1, 1);
    layout->addWidget(measurements, 2, 0);
    layout->addWidget(computed, 2, 1);
    layout->addLayout(bottom, 3, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    connect(upButton, &QToolButton::clicked, this, &FormMastering::NextChannel);
    connect(downButton, &QToolButton::clicked, this, &FormMastering::PrevChannel);
    connect(CommandMaster, &QPushButton::clicked, this, &FormMastering::MasterStep);
    connect(CommandDone, &QPushButton::clicked, this, &FormMastering::reject);
    connect(resetMM, &QPushButton::clicked, this,
            [this] { m.sequences.run(resetMaxMinSequence(m.session)); });
}

void FormMastering::ShowMastering(MasteringMode mode, int viewMode) {
    m_mode = mode;
    m_viewMode = viewMode;
    if (m_channel == 0)
        m_channel = 1;
    setWindowTitle(m_mode.channelDialogCaption(m_viewMode));
    TextMasterChannel->setVisible(m_viewMode != GroupView);
    show();
    raise();
    activateWindow();
    PrepareChannel();
}

void FormMastering::reject() {
    // Done, Escape and the window's close box end the procedure alike.
    ++m_generation;
    m.MasteringChannel = 0;
    m_gate.disarm();
    m_busy = false;
    QDialog::reject();
}

int FormMastering::maxChannel() const {
    return m.unit.UnitSystem ? m.unit.UnitSystem->MaxChannel() : 0;
}

// A setup with fewer channels than before leaves no channel number beyond its end.
void FormMastering::clampChannel() {
    const int highest = maxChannel();
    m_channel = highest < 1 ? 0 : std::clamp(m_channel, 1, highest);
}

void FormMastering::keepChannelWithin(int count) {
    if (m_channel <= count)
        return;
    m_channel = std::max(count, 0);
    if (isVisible())
        PrepareChannel();
}

void FormMastering::setupReplaced() {
    if (!isVisible())
        return;
    clampChannel();
    const QString why = QStringLiteral("A new setup is in place");
    PrepareChannel(m_channel > 0
                       ? why + QStringLiteral(": starting again on channel %1.").arg(m_channel)
                       : why + QLatin1Char('.'));
}

void FormMastering::NextChannel() {
    m_channel = m_channel >= maxChannel() ? 1 : m_channel + 1;
    PrepareChannel();
}

void FormMastering::PrevChannel() {
    m_channel = m_channel < 2 ? maxChannel() : m_channel - 1;
    PrepareChannel();
}

QString FormMastering::formatted(double value) const {
    return formatValue(value, m_decimals);
}

void FormMastering::setInstruction(const QString &text, bool problem) {
    LblInstruction->setText(m_why.isEmpty() ? text : m_why + QLatin1Char(' ') + text);
    LblInstruction->setStyleSheet(problem ? QStringLiteral("color: rgb(255, 0, 0);")
                                          : QStringLiteral("color: rgb(0, 0, 0);"));
}

void FormMastering::setBusy(bool busy) {
    m_busy = busy;
    CommandMaster->setEnabled(!busy);
}

// Reads what the dialog shows of the channel, then arms the first step. The poll stops reading
// the previous channel at once, and readings it stored before the preparation ends are never
// used for this channel.
void FormMastering::PrepareChannel(const QString &why) {
    m_why = why;
    const int generation = ++m_generation;
    m.MasteringChannel = 0;
    m_gate.disarm();
    m_step = Step::None;
    setBusy(false);
    if (m_viewMode == GroupView && !CheckForAnyGroups(m.unit)) {
        m.prompts.message(texts::NoGroupsExist);
        return;
    }
    clampChannel();
    TxtM1->clear();
    TxtM2->clear();
    TextChannelValue->clear();
    if (m_channel == 0) {
        TextMasterChannel->clear();
        setInstruction(QStringLiteral("There are no channels to zero or master."), true);
        CommandMaster->setText(m_mode.cannotCaption());
        CommandMaster->setEnabled(false);
        return;
    }
    TextMasterChannel->setText(QString::number(m_channel));
    m_decimals =
        m.unit.channel(m_channel) ? m.unit.channel(m_channel)->Decimals : m.unit.SystemDecimals;
    setBusy(true);
    setInstruction(QStringLiteral("Reading channel %1...").arg(m_channel), false);

    const int channel = m_channel;
    auto read = std::make_shared<ChannelConstants>();
    LinkSequence sequence(QStringLiteral("Mastering: channel %1 read").arg(channel));
    addConstantReads(sequence, channel,
                     {ChannelConstant::Formula, ChannelConstant::Description,
                      ChannelConstant::Master1, ChannelConstant::UsesTwoMasters,
                      ChannelConstant::Master2, ChannelConstant::Scaling,
                      ChannelConstant::ZeroOffset},
                     read);
    sequence.finished = [self = QPointer(this), generation, read](bool completed) {
        FormMastering *const form = self.data();
        if (!form || generation != form->m_generation)
            return;
        form->setBusy(false);
        if (!completed) {
            form->setInstruction(
                QStringLiteral("Channel %1 could not be read from the unit.").arg(form->m_channel),
                true);
            form->CommandMaster->setText(form->m_mode.cannotCaption());
            form->CommandMaster->setEnabled(false);
            Q_EMIT form->settled();
            return;
        }
        form->prepared(*read);
    };
    m.sequences.run(std::move(sequence));
}

void FormMastering::ShowChannel(const ChannelConstants &constants) {
    TextMasterChannel->setText(QString::number(m_channel));
    TextDescription->setText(constants.description.value_or(QString()));
    TextMaster1Value->setText(formatted(constants.master1.value_or(0)));
    TextMaster2Value->setText(constants.usesTwoMasters.value_or(false)
                                  ? formatted(constants.master2.value_or(0))
                                  : QString(texts::MasterNotUsed));
    TxtSlope->setText(formatted(constants.scaling.value_or(0)));
    TxtIntercept->setText(formatted(constants.zeroOffset.value_or(0)));
    TxtM1->clear();
    TxtM2->clear();
    TextChannelValue->clear();
}

bool FormMastering::CheckFormula(const ChannelConstants &constants) {
    if (constants.hasFormula())
        return true;
    m.prompts.message(texts::NoFormulaDefined + QString::number(m_channel));
    return false;
}

void FormMastering::prepared(const ChannelConstants &constants) {
    ShowChannel(constants);
    m_step = Step::WaitMaster1;
    if (!CheckFormula(constants)) {
        setInstruction(texts::ChannelHasNoFormula, true);
        CommandMaster->setText(m_mode.cannotCaption());
        CommandMaster->setEnabled(false);
        Q_EMIT settled();
        return;
    }
    m.MasteringChannel = static_cast<int16_t>(m_channel);
    m_gate.prepare(m_channel, m.MasteringReading.sequence);
    setInstruction(texts::InsertMaster1 + formatted(constants.master1.value_or(0)), false);
    CommandMaster->setText(texts::ReadMaster1);
    CommandMaster->setEnabled(true);
    Q_EMIT settled();
}

void FormMastering::liveReading(const LiveReading &reading) {
    m.MasteringReading = {static_cast<int16_t>(reading.object.number), reading.number,
                          reading.value.value_or(0.0f), !reading.failed()};
    if (!reading.failed())
        TextChannelValue->setText(reading.text());
}

void FormMastering::MasterStep() {
    if (m_busy)
        return;
    if (m_step == Step::Done) {
        NextChannel();
        return;
    }
    if (m_step != Step::WaitMaster1 && m_step != Step::WaitMaster2)
        return;
    m_why.clear();
    const MasteringReadingRecord &stored = m.MasteringReading;
    const ReadingForPress taken =
        m_gate.take({stored.channel, stored.sequence, stored.value, stored.valid});
    if (!taken.value) {
        setInstruction(taken.refusal, true);
        Q_EMIT settled();
        return;
    }
    if (m_step == Step::WaitMaster1)
        pressForMaster1(*taken.value);
    else
        pressForMaster2(*taken.value);
}

// The channel's constants are read at the press, then the new ones written, zero before
// scaling, all in one sequence. A computation that is refused writes nothing.
void FormMastering::pressForMaster1(double reading) {
    m_reading1 = reading;
    TxtM1->setText(formatted(reading));
    TxtM2->clear();
    const int generation = m_generation;
    const int channel = m_channel;
    const MasteringMode mode = m_mode;
    auto read = std::make_shared<ChannelConstants>();
    auto newZero = std::make_shared<std::optional<double>>();
    auto refusal = std::make_shared<MasteringRefusal>(MasteringRefusal::None);
    LinkSequence sequence(QStringLiteral("Mastering: channel %1, master 1").arg(channel));
    addConstantReads(sequence, channel,
                     {ChannelConstant::UsesTwoMasters, ChannelConstant::Master1,
                      ChannelConstant::Master2, ChannelConstant::ZeroOffset,
                      ChannelConstant::Scaling},
                     read);
    LinkSession *session = &m.session;
    SetupChanges *setup = &m.setup;
    addWrite(sequence, channel, "new zero",
             [mode, read, reading, refusal, newZero, session, setup](Channel &c) {
                 if (mode.takesSecondMaster(*read->usesTwoMasters))
                     return;
                 const MasteringResult result =
                     zeroChannel({reading, *read->zeroOffset, *read->scaling, *read->master1},
                                 Intermediates::Doubles);
                 *refusal = result.refusal;
                 if (!result.succeeded())
                     return;
                 *newZero = result.zeroOffset;
                 writeConstant(*session, *setup, c, [&](Channel &ch) {
                     ch.setZeroOffset(static_cast<float>(result.zeroOffset));
                 });
             });
    sequence.finished = [self = QPointer(this), generation, read, newZero,
                         refusal](bool completed) {
        FormMastering *const form = self.data();
        if (!form || generation != form->m_generation)
            return;
        form->setBusy(false);
        if (completed && *refusal != MasteringRefusal::None) {
            form->setInstruction(refusalText(*refusal), true);
            Q_EMIT form->settled();
            return;
        }
        if (completed && form->m_mode.takesSecondMaster(*read->usesTwoMasters)) {
            form->setInstruction(texts::InsertMaster2 + form->formatted(*read->master2), false);
            form->CommandMaster->setText(texts::ReadMaster2);
            form->m_step = Step::WaitMaster2;
            Q_EMIT form->settled();
            return;
        }
        form->afterPress(completed, *newZero, std::nullopt);
    };
    setBusy(true);
    m.sequences.run(std::move(sequence));
}

// A press computes from the constants as the unit holds them at that moment, not as shown. A read
// that fails ends the sequence, so the steps after the reads find every value read.
void FormMastering::addConstantReads(LinkSequence &sequence, int channel,
                                     std::initializer_list<ChannelConstant> which,
                                     const std::shared_ptr<ChannelConstants> &read) {
    ::addConstantReads(sequence, m.session, m.unit, channel, which, read,
                       OnFailedRead::StopSequence);
}

// One step that writes through the channel object; the sequence stops when the channel is gone.
void FormMastering::addWrite(LinkSequence &sequence, int channel, const char *what,
                             std::function<void(Channel &)> write) {
    LinkSession *session = &m.session;
    const UnitObjects *unit = &m.unit;
    sequence.add(QLatin1String(what), [session, unit, channel, write = std::move(write)] {
        return callChannel(*session, *unit, channel, write);
    });
}

void FormMastering::pressForMaster2(double reading) {
    if (std::fabs(m_reading1 - reading) < MinimumMasterSpread) {
        // Master 1's reading stays; the operator reads master 2 again.
        setInstruction(texts::MasteringUnsuccessful, true);
        CommandMaster->setText(texts::ReadMaster2);
        Q_EMIT settled();
        return;
    }
    TxtM2->setText(formatted(reading));
    const int generation = m_generation;
    const int channel = m_channel;
    const double reading1 = m_reading1;
    auto read = std::make_shared<ChannelConstants>();
    auto result = std::make_shared<MasteringResult>();
    LinkSequence sequence(QStringLiteral("Mastering: channel %1, master 2").arg(channel));
    addConstantReads(sequence, channel,
                     {ChannelConstant::Master1, ChannelConstant::Master2,
                      ChannelConstant::ZeroOffset, ChannelConstant::Scaling},
                     read);
    LinkSession *session = &m.session;
    SetupChanges *setup = &m.setup;
    addWrite(sequence, channel, "new zero",
             [read, reading1, reading, result, session, setup](Channel &c) {
                 *result = masterChannel({reading1, reading, *read->zeroOffset, *read->scaling,
                                          *read->master1, *read->master2},
                                         Intermediates::Doubles);
                 if (!result->succeeded())
                     return;
                 writeConstant(*session, *setup, c, [&](Channel &ch) {
                     ch.setZeroOffset(static_cast<float>(result->zeroOffset));
                 });
             });
    addWrite(sequence, channel, "new scaling", [result, session, setup](Channel &c) {
        if (!result->succeeded())
            return;
        writeConstant(*session, *setup, c,
                      [&](Channel &ch) { ch.setScaling(static_cast<float>(result->scaling)); });
    });
    sequence.finished = [self = QPointer(this), generation, result](bool completed) {
        FormMastering *const form = self.data();
        if (!form || generation != form->m_generation)
            return;
        form->setBusy(false);
        if (completed && !result->succeeded()) {
            // Scaling 0 or readings that give one unscaled value: nothing was written.
            form->setInstruction(refusalText(result->refusal), true);
            form->CommandMaster->setText(texts::ReadMaster2);
            Q_EMIT form->settled();
            return;
        }
        form->afterPress(completed, result->zeroOffset, result->scaling);
    };
    setBusy(true);
    m.sequences.run(std::move(sequence));
}

void FormMastering::afterPress(bool completed, std::optional<double> newZero,
                               std::optional<double> newScaling) {
    if (!completed) {
        // The link error handler has said what failed; the procedure starts again at master 1.
        setInstruction(QStringLiteral("Channel %1 could not be read or written. Insert Master 1 "
                                      "and press Read Master 1 again.")
                           .arg(m_channel),
                       true);
        CommandMaster->setText(texts::ReadMaster1);
        m_step = Step::WaitMaster1;
        m_gate.prepare(m_channel, m.MasteringReading.sequence);
        Q_EMIT settled();
        return;
    }
    if (newZero)
        TxtIntercept->setText(formatted(*newZero));
    if (newScaling) {
        TxtSlope->setText(formatted(*newScaling));
        setInstruction(texts::MasteringCompleted, false);
    } else {
        setInstruction(m_mode.completedText(), false);
    }
    CommandMaster->setText(texts::NextChannel);
    m_step = Step::Done;
    Q_EMIT settled();
}
