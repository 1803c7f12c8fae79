#include "FormSetupChan.h"
#include "ui_FormSetupChan.h"

#include "ChannelSetupExchanges.h"
#include "ChannelSetupRules.h"
#include "LinkScheduler.h"
#include "LinkSession.h"
#include "LiveFollowers.h"
#include "Prompts.h"
#include "StationIcon.h"
#include "TypedNumbers.h"
#include "UnitObjects.h"
#include "UnitTexts.h"
#include "UnreadValues.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>

#include <algorithm>

using namespace setupforms;

FormSetupChan::FormSetupChan(ChannelSetupParts parts, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormSetupChan>()), m(std::move(parts)) {
    ui->setupUi(this);
    setWindowIcon(stationIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    sizeBoxes();
    connectControls();
    m_live = m.live.follow(
        TickPlace::ChannelSetup, [this] { return LiveObject::channel(m.ChannelSetupLiveChannel); },
        [this](const LiveReading &reading) {
            if (!reading.failed() && ui->CheckShowCurrentValue->isChecked())
                ui->TextChannelValue->setText(reading.text());
        });
}

FormSetupChan::~FormSetupChan() {
    m.ChannelSetupLiveChannel = 0;
    // A box losing the focus while the window goes away must not reach this half-destroyed
    // dialog.
    for (QWidget *control : findChildren<QWidget *>())
        control->disconnect(this);
}

int FormSetupChan::channelCount() const {
    // The set always holds MaxChannel objects; asking the set sends nothing to the unit.
    return static_cast<int>(m.unit.Channels.size());
}

QLineEdit *FormSetupChan::box(ChannelField field) const {
    QLineEdit *const boxes[] = {ui->TextDescription,  ui->TextFormula,      ui->TextDecimals,
                                ui->TextMaster1Value, ui->TextMaster2Value, ui->TextScalingValue,
                                ui->TextZeroValue,    ui->TextHiTolValue,   ui->TextHiAppValue,
                                ui->TextLoAppValue,   ui->TextLoTolValue,   ui->TextBarTopValue,
                                ui->TextBarBotValue};
    return boxes[static_cast<size_t>(field)];
}

QWidget *FormSetupChan::fieldControl(ChannelField field) const {
    if (field == ChannelField::UseTwoMasters)
        return ui->CheckUse2Masters;
    return box(field);
}

void FormSetupChan::sizeBoxes() {
    const QFontMetrics metrics(font());
    const int padding = 2 * metrics.averageCharWidth();
    // Room for a value of 8 integer digits and 5 decimals with its sign.
    const int valueWidth = metrics.horizontalAdvance(QStringLiteral("-00000000.00000")) + padding;
    for (int f = static_cast<int>(ChannelField::Master1);
         f <= static_cast<int>(ChannelField::BarBot); ++f)
        box(static_cast<ChannelField>(f))->setMinimumWidth(valueWidth);
    ui->TextChannelValue->setMinimumWidth(valueWidth);
    const int numberWidth = metrics.horizontalAdvance(QStringLiteral("0000")) + padding;
    ui->TextCurrentChannel->setFixedWidth(numberWidth);
    ui->TextDecimals->setFixedWidth(numberWidth);
    const int spinnerHeight = ui->TextCurrentChannel->sizeHint().height();
    for (UpDownButtons *spinner : {ui->UpDownChannel, ui->UpDownDecimals})
        spinner->setFixedSize(metrics.height(), spinnerHeight);
    ui->LabelStatus->setMinimumHeight(metrics.height());
    // A caption drawn a pixel wider on a high-density screen must not touch its box.
    for (QLabel *label : findChildren<QLabel *>()) {
        if (label != ui->LabelStatus)
            label->setMinimumWidth(label->sizeHint().width() + metrics.averageCharWidth());
    }
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setMinimumWidth(button->sizeHint().width() + 2 * metrics.averageCharWidth());
}

void FormSetupChan::connectControls() {
    connect(ui->CommandNext, &QPushButton::clicked, this, &FormSetupChan::CommandNext_Click);
    connect(ui->CommandPrev, &QPushButton::clicked, this, &FormSetupChan::CommandPrev_Click);
    connect(ui->UpDownChannel, &UpDownButtons::up, this, &FormSetupChan::CommandNext_Click);
    connect(ui->UpDownChannel, &UpDownButtons::down, this, &FormSetupChan::CommandPrev_Click);
    connect(ui->CommandProgram, &QPushButton::clicked, this, &FormSetupChan::CommandProgram_Click);
    connect(ui->CommandResetMM, &QPushButton::clicked, this, &FormSetupChan::CommandResetMM_Click);
    connect(ui->CommandDone, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->UpDownDecimals, &UpDownButtons::up, this, [this] { decimalsStep(1); });
    connect(ui->UpDownDecimals, &UpDownButtons::down, this, [this] { decimalsStep(-1); });
    connect(ui->CheckUse2Masters, &QCheckBox::clicked, this,
            &FormSetupChan::CheckUse2Masters_Click);
    connect(ui->CheckShowCurrentValue, &QCheckBox::clicked, this,
            &FormSetupChan::CheckShowCurrentValue_Click);
    connect(ui->TextCurrentChannel, &QLineEdit::editingFinished, this,
            &FormSetupChan::TextCurrentChannel_Finished);
    for (int f = 0; f <= static_cast<int>(ChannelField::BarBot); ++f) {
        QLineEdit *edit = box(static_cast<ChannelField>(f));
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { textEdited(edit); });
    }
}

// ---- opening and showing a channel ------------------------------------------------------------

void FormSetupChan::showAt(int channel, bool modal) {
    if (isVisible()) {
        if (m_current == 0 && !m_busy)
            showChannel(channel); // the set was empty when it was last shown
        else if (channel > 0 && channel != m_current && !m_busy)
            moveTo(channel);
        raise();
        activateWindow();
        return;
    }
    setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    if (channel > 0)
        m_current = channel;
    show();
    raise();
    activateWindow();
    showChannel(m_current);
}

void FormSetupChan::SetCurrentChannel(int channel) {
    if (isVisible()) {
        showChannel(channel);
        return;
    }
    // A hidden dialog reads its channel when it opens again.
    m_current = channel;
    m_edited = false;
    ui->TextCurrentChannel->setText(channel > 0 ? QString::number(channel) : QString());
}

void FormSetupChan::showChannel(int channel) {
    const int count = channelCount();
    if (count <= 0) {
        showNoChannels();
        return;
    }
    m_current = std::clamp(channel, 1, count);
    m_edited = false;
    ui->TextCurrentChannel->setText(QString::number(m_current));
    ui->TextChannelValue->clear();
    followLive();
    readChannel(false);
}

void FormSetupChan::readChannel(bool again) {
    const unsigned number = ++m_sequenceNumber;
    const int shown = m_current;
    auto read = std::make_shared<ChannelDefinition>();
    LinkSequence sequence = showChannelSequence(m.unit, m.session, shown, read);
    sequence.finished = [self = QPointer(this), number, read, again](bool completed) {
        FormSetupChan *form = self.data();
        if (!form || number != form->m_sequenceNumber)
            return;
        form->setBusy(false);
        if (!completed) {
            // The channel left the set while its read waited: show what the set holds now.
            form->showChannel(form->m_current);
            return;
        }
        form->fill(*read, again ? formAfterReadingAgain(form->typedForm(), form->m_shown, *read)
                                : formOf(*read));
    };
    setBusy(true, QStringLiteral("Reading channel %1...").arg(shown));
    m.sequences.run(std::move(sequence));
}

void FormSetupChan::showNoChannels() {
    ++m_sequenceNumber;
    m_current = 0;
    m_edited = false;
    m_shown = {};
    for (int f = 0; f <= static_cast<int>(ChannelField::BarBot); ++f)
        box(static_cast<ChannelField>(f))->clear();
    ui->CheckUse2Masters->setChecked(false);
    ui->TextCurrentChannel->clear();
    ui->TextChannelValue->clear();
    followLive();
    setBusy(false);
}

void FormSetupChan::fill(const ChannelDefinition &definition, const ChannelForm &form) {
    m_shown = definition;
    ui->TextFormula->setText(form.formula);
    ui->TextDescription->setText(form.description);
    // A long text is shown from its beginning.
    ui->TextFormula->setCursorPosition(0);
    ui->TextDescription->setCursorPosition(0);
    ui->TextDecimals->setText(form.decimals);
    ui->TextMaster2Value->setEnabled(form.useTwoMasters);
    ui->CheckUse2Masters->setChecked(form.useTwoMasters);
    for (int i = 0; i < ChannelNumberCount; ++i) {
        const auto which = static_cast<ChannelNumber>(i);
        box(fieldOf(which))->setText(form.number(which));
    }
}

ChannelForm FormSetupChan::typedForm() const {
    ChannelForm form;
    form.description = ui->TextDescription->text();
    form.formula = ui->TextFormula->text();
    form.decimals = ui->TextDecimals->text();
    // Two masters are used while the second master's box is on, whatever its frame is.
    form.useTwoMasters = ui->TextMaster2Value->isEnabledTo(ui->FrameMasters);
    for (int i = 0; i < ChannelNumberCount; ++i) {
        const auto which = static_cast<ChannelNumber>(i);
        form.number(which) = box(fieldOf(which))->text();
    }
    return form;
}

// ---- programming and leaving a channel --------------------------------------------------------

bool FormSetupChan::programThen(std::function<void()> after) {
    if (m_busy || channelCount() <= 0)
        return false;
    const CheckedChannelForm checked =
        checkChannelForm(typedForm(), m_shown, regionalDecimalSeparator());
    if (!checked.definition) {
        const ChannelField field = checked.refusal.field;
        const auto select = [this, field] {
            fieldControl(field)->setFocus();
            if (field != ChannelField::UseTwoMasters)
                box(field)->selectAll();
        };
        m_boxOpen = true;
        select();
        bool readAgain = false;
        if (checked.refusal.unread)
            readAgain =
                m.prompts.message(readAgainQuestion(fieldName(field),
                                                    QStringLiteral("channel %1").arg(m_current)),
                                  PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes;
        else
            m.prompts.message(checked.refusal.message, PromptButtons::Ok, PromptIcon::Information);
        select();
        m_boxOpen = false;
        if (readAgain)
            readChannel(true);
        return false;
    }
    // What goes to the unit is what the boxes show from now on.
    ui->TextDescription->setText(checked.definition->description);
    ui->TextFormula->setText(checked.definition->formula);

    const int channel = m_current;
    const unsigned number = ++m_sequenceNumber;
    LinkSequence sequence = programChannelSequence(m.unit, m.setup, channel, *checked.definition);
    sequence.finished = [self = QPointer(this), number, definition = *checked.definition,
                         after = std::move(after)](bool completed) {
        FormSetupChan *form = self.data();
        if (!form)
            return;
        if (number == form->m_sequenceNumber) {
            form->setBusy(false);
            form->m_edited = false;
            // The boxes keep what was shown for comparison; only the leave question's title
            // follows the new description.
            form->m_shown.description = definition.description;
            form->m_shown.formula = definition.formula;
        }
        if (completed && number == form->m_sequenceNumber && after)
            after();
    };
    setBusy(true, QStringLiteral("Programming channel %1...").arg(channel));
    m.sequences.run(std::move(sequence));
    return true;
}

void FormSetupChan::leaveThen(std::function<void()> goOn) {
    std::optional<PromptAnswer> answer;
    if (m_edited)
        answer = m.prompts.message(leavePromptText(m_current), PromptButtons::YesNoCancel,
                                   PromptIcon::Question, m_shown.description);
    switch (leaveStep(m_edited, answer)) {
    case LeaveStep::GoOn:
        goOn();
        break;
    case LeaveStep::ProgramThenGoOn:
        programThen(std::move(goOn));
        break;
    case LeaveStep::Stay:
        ui->TextCurrentChannel->setText(QString::number(m_current));
        break;
    }
}

void FormSetupChan::moveTo(int channel) {
    if (m_busy || channelCount() <= 0)
        return;
    leaveThen([this, channel] { showChannel(channel); });
}

void FormSetupChan::CommandNext_Click() {
    moveTo(nextChannel(m_current, channelCount()));
}

void FormSetupChan::CommandPrev_Click() {
    moveTo(previousChannel(m_current, channelCount()));
}

void FormSetupChan::CommandProgram_Click() {
    programThen([this] {
        if (ui->CheckAutoIncChannel->isChecked())
            showChannel(nextChannel(m_current, channelCount()));
    });
}

void FormSetupChan::TextCurrentChannel_Finished() {
    const int count = channelCount();
    if (m_boxOpen || m_busy || count <= 0)
        return;
    const QString typed = ui->TextCurrentChannel->text();
    if (typed.trimmed() == QString::number(m_current))
        return;
    const std::optional<int> channel = typedChannel(typed, count);
    if (!channel) {
        m_boxOpen = true;
        ui->TextCurrentChannel->setText(QString::number(m_current));
        ui->TextCurrentChannel->setFocus();
        ui->TextCurrentChannel->selectAll();
        m.prompts.message(typedChannelRefusal(count), PromptButtons::Ok, PromptIcon::Information);
        m_boxOpen = false;
        return;
    }
    // The leave question takes the focus from the box; that is no second edit of it.
    m_boxOpen = true;
    moveTo(*channel);
    m_boxOpen = false;
}

// ---- edits ------------------------------------------------------------------------------------

void FormSetupChan::textEdited(QLineEdit *edit) {
    if (edit == ui->TextDescription || edit == ui->TextFormula) {
        // A line break typed or pasted would end the request to the unit early.
        const QString clean = unitTextFromTyped(edit->text());
        if (clean != edit->text()) {
            const int cursor = edit->cursorPosition();
            edit->setText(clean);
            edit->setCursorPosition(cursor);
        }
    }
    m_edited = true;
}

void FormSetupChan::decimalsStep(int step) {
    if (m_busy || channelCount() <= 0)
        return;
    if (const std::optional<int> decimals = decimalsAfterStep(ui->TextDecimals->text(), step)) {
        ui->TextDecimals->setText(QString::number(*decimals));
        m_edited = true;
    }
}

void FormSetupChan::CheckUse2Masters_Click() {
    ui->TextMaster2Value->setEnabled(ui->CheckUse2Masters->isChecked());
    m_edited = true;
}

// ---- live value -------------------------------------------------------------------------------

void FormSetupChan::CheckShowCurrentValue_Click() {
    if (!ui->CheckShowCurrentValue->isChecked())
        ui->TextChannelValue->clear();
    followLive();
}

// While the box is ticked the poll reads the channel shown, whichever way it came to be shown.
void FormSetupChan::followLive() {
    const bool wanted = isVisible() && ui->CheckShowCurrentValue->isChecked() && m_current >= 1 &&
                        m_current <= channelCount();
    m.ChannelSetupLiveChannel = static_cast<int16_t>(wanted ? m_current : 0);
}

void FormSetupChan::CommandResetMM_Click() {
    LinkSequence sequence(QStringLiteral("Reset MAX/MIN"));
    LinkSession &session = m.session;
    sequence.add(QStringLiteral("reset max/min"), [&session] {
        // The result is not examined: a failure has been reported by the link error handler.
        session.link.QorResetMM(session.LinkHandle);
        return true;
    });
    m.sequences.run(std::move(sequence));
}

// ---- busy and closing -------------------------------------------------------------------------

void FormSetupChan::setBusy(bool busy, const QString &status) {
    // The focus goes back where it was once the controls are usable again; the first time to the
    // description.
    if (busy && !m_busy)
        m_focusBeforeBusy = focusWidget();
    m_busy = busy;
    const bool any = channelCount() > 0;
    const bool usable = !busy && any;
    for (QWidget *control :
         {static_cast<QWidget *>(ui->TextCurrentChannel), static_cast<QWidget *>(ui->UpDownChannel),
          static_cast<QWidget *>(ui->TextDescription), static_cast<QWidget *>(ui->TextFormula),
          static_cast<QWidget *>(ui->TextDecimals), static_cast<QWidget *>(ui->UpDownDecimals),
          static_cast<QWidget *>(ui->FrameMasters), static_cast<QWidget *>(ui->FrameScaling),
          static_cast<QWidget *>(ui->FrameTolerances), static_cast<QWidget *>(ui->FrameBarScale),
          static_cast<QWidget *>(ui->CheckShowCurrentValue),
          static_cast<QWidget *>(ui->CommandResetMM), static_cast<QWidget *>(ui->CommandPrev),
          static_cast<QWidget *>(ui->CommandNext), static_cast<QWidget *>(ui->CommandProgram),
          static_cast<QWidget *>(ui->CheckAutoIncChannel)})
        control->setEnabled(usable);
    ui->CommandDone->setEnabled(!busy);
    if (usable) {
        QWidget *focus = m_focusBeforeBusy.data();
        if (!focus)
            focus = ui->TextDescription;
        if (focus->isEnabled())
            focus->setFocus();
    }
    ui->LabelStatus->setText(
        any ? status
            : QStringLiteral("The unit has no channels (channel count 0): nothing to set up."));
}

void FormSetupChan::reject() {
    // Escape closes like the close box: through the leave check.
    close();
}

void FormSetupChan::closeEvent(QCloseEvent *event) {
    // The dialog closes once the leave check has passed, which may be after programming.
    event->ignore();
    if (m_busy)
        return;
    leaveThen([self = QPointer(this)] {
        if (FormSetupChan *form = self.data())
            form->closeNow();
    });
}

void FormSetupChan::closeNow() {
    m.ChannelSetupLiveChannel = 0;
    QDialog::reject();
    if (m.updateMainDisplay)
        m.updateMainDisplay();
}

void FormSetupChan::hideEvent(QHideEvent *event) {
    m.ChannelSetupLiveChannel = 0;
    ui->TextChannelValue->clear();
    QDialog::hideEvent(event);
}
