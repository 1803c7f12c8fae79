#include "InputSetupDialog.h"

#include "LinkSequence.h"
#include "LinkSession.h"
#include "Prompts.h"
#include "SetupSession.h"
#include "StationIcon.h"
#include "TypedNumbers.h"
#include "UnitObjects.h"
#include "UnreadValues.h"
#include "UpDownArrows.h"
#include "ValueFormat.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <memory>
#include <tuple>

using namespace setupforms;

namespace {

// Reads one value of the input through its object into `into`, left empty when the request
// failed (the link error handler has said why); false when the input is gone. A failed read does
// not end the sequence: the other value is still worth knowing.
template <typename Object, typename Read>
bool readInto(LinkSession &session, Object *object, Read read, std::optional<float> &into) {
    if (!object)
        return false;
    const long failedBefore = session.FailedCalls;
    const float value = read(*object);
    into.reset();
    if (session.FailedCalls == failedBefore)
        into = value;
    return true;
}

} // namespace

InputSetupDialog::InputSetupDialog(InputSetupParts parts, const Texts &texts, QWidget *parent)
    : QDialog(parent), m(parts), m_texts(texts) {
    setWindowIcon(stationIcon());
    setWindowTitle(QLatin1String(texts.caption));
    buildControls();
    m_live = m.live.follow(
        texts.kind == InputKind::Probe ? TickPlace::ProbeSetup : TickPlace::AnalogSetup,
        [this] { return liveInput(); },
        [this](const LiveReading &reading) {
            if (!reading.failed() && m_showValue->isChecked())
                m_value->setText(reading.text());
        });
}

// Whatever is typed into the box, only an input of the set is read (the poll skips any other).
LiveObject InputSetupDialog::liveInput() const {
    if (m.LiveInput == 0)
        return LiveObject::none();
    return m_texts.kind == InputKind::Probe ? LiveObject::probe(boxNumber())
                                            : LiveObject::analogInput(boxNumber());
}

InputSetupDialog::~InputSetupDialog() {
    m.LiveInput = 0;
    // A box losing the focus while the window goes away must not reach this half-destroyed
    // dialog.
    for (QWidget *control : findChildren<QWidget *>())
        control->disconnect(this);
}

void InputSetupDialog::buildControls() {
    const auto box = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    const auto label = [this](const QString &caption, QWidget *buddy) {
        auto *text = new QLabel(caption, this);
        text->setBuddy(buddy);
        return text;
    };
    const bool tips = m_texts.tips;

    m_emptyReason = new QLabel(this);
    m_emptyReason->setObjectName(QStringLiteral("LabelEmptySet"));
    m_emptyReason->setStyleSheet(QStringLiteral("color: #c00000"));
    m_emptyReason->hide();

    m_currentBox = box(m_texts.currentBox);
    m_currentBox->setMaxLength(5);
    m_upDown = new UpDownArrows(this);
    m_upDown->setObjectName(QLatin1String(m_texts.upDown));
    m_description = box("TextDescription");
    m_fullScale = box("TextFullScale");
    m_zero = box("TextZeroOffset");
    m_value = box(m_texts.valueBox);
    m_value->setReadOnly(true);
    m_value->setFocusPolicy(Qt::NoFocus);
    m_showValue = new QCheckBox(QStringLiteral("Show Current Value"), this);
    m_showValue->setObjectName(QStringLiteral("CheckShowCurrentValue"));
    m_autoIncrement = new QCheckBox(QStringLiteral("Auto Increment"), this);
    m_autoIncrement->setObjectName(QLatin1String(m_texts.autoIncrement));
    m_program = new QPushButton(QLatin1String(m_texts.programCaption), this);
    m_program->setObjectName(QStringLiteral("CommandProgram"));
    m_done = new QPushButton(QStringLiteral("Do&ne"), this);
    m_done->setObjectName(QStringLiteral("CommandDone"));
    // Return in the current-number box moves to the number typed; it must not press a button.
    for (QPushButton *button : {m_program, m_done}) {
        button->setAutoDefault(false);
        // Room around the caption, as the style gives a default button.
        button->setMinimumWidth(button->sizeHint().width() +
                                button->fontMetrics().horizontalAdvance(u'M'));
    }
    if (tips) {
        m_description->setToolTip(QStringLiteral("Enter your own description here"));
        m_fullScale->setToolTip(QStringLiteral("Reading at plus or minus full scale"));
        m_zero->setToolTip(QStringLiteral("Zero offset"));
        m_value->setToolTip(QStringLiteral("Live probe value"));
        m_autoIncrement->setToolTip(QStringLiteral("Increment after program"));
        m_program->setToolTip(QStringLiteral("Send to QOR"));
        m_done->setToolTip(QStringLiteral("Close"));
    }

    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(10);
    grid->addWidget(m_emptyReason, 0, 0, 1, 3);
    auto *number = new QHBoxLayout;
    number->setSpacing(2);
    number->addWidget(m_currentBox);
    number->addWidget(m_upDown);
    number->addStretch();
    m_currentBox->setMaximumWidth(m_currentBox->fontMetrics().horizontalAdvance(u'0') * 6 + 12);
    m_upDown->fitHeight(m_currentBox->sizeHint().height());
    grid->addWidget(label(QLatin1String(m_texts.currentLabel), m_currentBox), 1, 0);
    grid->addLayout(number, 1, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("&Description"), m_description), 2, 0);
    grid->addWidget(m_description, 2, 1, 1, 2);
    grid->addWidget(label(QStringLiteral("&Full Scale"), m_fullScale), 3, 0);
    grid->addWidget(m_fullScale, 3, 1);
    grid->addWidget(label(QStringLiteral("&Zero"), m_zero), 4, 0);
    grid->addWidget(m_zero, 4, 1);
    grid->addWidget(label(QStringLiteral("Value"), m_value), 5, 0);
    grid->addWidget(m_value, 5, 1);
    grid->addWidget(m_showValue, 6, 1, 1, 2);
    grid->addWidget(m_autoIncrement, 7, 1, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_program);
    buttons->addWidget(m_done);
    grid->addLayout(buttons, 8, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    m_description->setMinimumWidth(m_description->fontMetrics().horizontalAdvance(u'M') * 18);

    setTabOrder(m_currentBox, m_description);
    setTabOrder(m_description, m_fullScale);
    setTabOrder(m_fullScale, m_zero);
    setTabOrder(m_zero, m_showValue);
    setTabOrder(m_showValue, m_autoIncrement);
    setTabOrder(m_autoIncrement, m_program);
    setTabOrder(m_program, m_done);

    connect(m_upDown, &UpDownArrows::up, this, [this] { move(InputMove::Up); });
    connect(m_upDown, &UpDownArrows::down, this, [this] { move(InputMove::Down); });
    connect(m_currentBox, &QLineEdit::returnPressed, this, &InputSetupDialog::typedNumber);
    connect(m_description, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_edited = true;
        // A description is one line: a line break pasted into it becomes a blank.
        const QString oneLine = withoutLineBreaks(text);
        if (oneLine != text) {
            const int cursor = m_description->cursorPosition();
            m_description->setText(oneLine);
            m_description->setCursorPosition(cursor);
        }
    });
    for (QLineEdit *value : {m_fullScale, m_zero})
        connect(value, &QLineEdit::textEdited, this, [this] { m_edited = true; });
    connect(m_showValue, &QCheckBox::clicked, this, &InputSetupDialog::showCurrentValueClicked);
    connect(m_program, &QPushButton::clicked, this, &InputSetupDialog::programClicked);
    connect(m_done, &QPushButton::clicked, this, &InputSetupDialog::doneClicked);
}

QLineEdit *InputSetupDialog::box(InputField field) const {
    switch (field) {
    case InputField::Description:
        return m_description;
    case InputField::FullScale:
        return m_fullScale;
    case InputField::ZeroOffset:
        break;
    }
    return m_zero;
}

int InputSetupDialog::count() const {
    return static_cast<int>(m_texts.kind == InputKind::Probe ? m.unit.Lvdts.size()
                                                             : m.unit.Analogs.size());
}

int InputSetupDialog::decimals() const {
    if (m_texts.kind == InputKind::Analog)
        return ProbeDecimals;
    return std::clamp<int>(m.unit.SystemDecimals, 0, MaxShownDecimals);
}

QString InputSetupDialog::descriptionOf(int input) const {
    if (m_texts.kind == InputKind::Probe) {
        const Lvdt *probe = m.unit.lvdt(input);
        return probe ? probe->Description : QString();
    }
    const analog *in = m.unit.analogInput(input);
    return in ? in->Description : QString();
}

int InputSetupDialog::boxNumber() const {
    bool ok = false;
    const int number = m_currentBox->text().trimmed().toInt(&ok);
    return ok ? number : 0;
}

void InputSetupDialog::setCurrentInput(int input) {
    if (count() < 1) {
        m_current = std::max(input, 0);
        if (isVisible())
            showEmptySet();
        return;
    }
    m_current = std::clamp(input, 1, count());
    if (isVisible())
        showInput(m_current);
    else
        m_currentBox->setText(QString::number(m_current));
}

void InputSetupDialog::openAt(int input, bool modal) {
    if (!isVisible()) {
        setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
        m_programmedWhileOpen = false;
        show();
    }
    setCurrentInput(input);
    raise();
    activateWindow();
}

void InputSetupDialog::closeForShutdown() {
    ++m_showing;
    m_edited = false;
    m.LiveInput = 0;
    hide();
}

void InputSetupDialog::showEmptySet() {
    ++m_showing;
    m_edited = false;
    m_emptyReason->setText(emptySetReason(m_texts.kind));
    m_emptyReason->show();
    for (QLineEdit *edit : {m_currentBox, m_description, m_fullScale, m_zero, m_value})
        edit->clear();
    setBusy(false);
}

void InputSetupDialog::showInput(int input) {
    m_current = input;
    m_emptyReason->hide();
    m_currentBox->setText(QString::number(input));
    m_value->clear();
    m_description->setText(descriptionOf(input));
    m_fullScale->clear();
    m_zero->clear();
    m_shownFullScale = {};
    m_shownZero = {};
    m_edited = false;
    if (m_showValue->isChecked())
        showCurrentValueClicked(true);
    readValues(input);
}

void InputSetupDialog::readValues(int input) {
    setBusy(true);
    const unsigned token = ++m_showing;
    auto zero = std::make_shared<std::optional<float>>();
    auto fullScale = std::make_shared<std::optional<float>>();
    const bool probe = m_texts.kind == InputKind::Probe;
    LinkSequence sequence(
        (probe ? QStringLiteral("Probe %1: read") : QStringLiteral("Analog %1: read")).arg(input));
    LinkSession *session = &m.session;
    const UnitObjects *unit = &m.unit;
    if (probe) {
        sequence.add(QStringLiteral("Zero"), [session, unit, input, zero] {
            return readInto(
                *session, unit->lvdt(input), [](Lvdt &o) { return o.ZeroOffset(); }, *zero);
        });
        sequence.add(QStringLiteral("Full scale"), [session, unit, input, fullScale] {
            return readInto(
                *session, unit->lvdt(input), [](Lvdt &o) { return o.FullScale(); }, *fullScale);
        });
    } else {
        sequence.add(QStringLiteral("Zero"), [session, unit, input, zero] {
            return readInto(
                *session, unit->analogInput(input), [](analog &o) { return o.ZeroOffset(); },
                *zero);
        });
        sequence.add(QStringLiteral("Full scale"), [session, unit, input, fullScale] {
            return readInto(
                *session, unit->analogInput(input), [](analog &o) { return o.FullScale(); },
                *fullScale);
        });
    }
    sequence.finished = [self = QPointer(this), token, input, zero, fullScale](bool) {
        InputSetupDialog *dialog = self.data();
        if (dialog && dialog->m_showing == token)
            dialog->afterReading(input, *zero, *fullScale);
    };
    m.sequences.run(std::move(sequence));
}

void InputSetupDialog::afterReading(int input, std::optional<float> zero,
                                    std::optional<float> fullScale) {
    const auto shown = [this](std::optional<float> value) {
        return value ? ShownValue{formatValue(*value, decimals()), value} : ShownValue{};
    };
    for (auto [edit, before, now] :
         {std::tuple{m_zero, &m_shownZero, shown(zero)},
          std::tuple{m_fullScale, &m_shownFullScale, shown(fullScale)}}) {
        edit->setText(textAfterReadingAgain(edit->text(), *before, now));
        *before = now;
    }
    setBusy(false);
    Q_EMIT inputShown(input);
}

void InputSetupDialog::setBusy(bool busy) {
    m_busy = busy;
    const bool usable = !busy && count() >= 1 && m_current >= 1;
    for (QWidget *control :
         std::initializer_list<QWidget *>{m_currentBox, m_upDown, m_description, m_fullScale,
                                          m_zero, m_value, m_showValue, m_autoIncrement, m_program})
        control->setEnabled(usable);
    m_done->setEnabled(!busy);
}

void InputSetupDialog::move(InputMove step, int typed) {
    if (m_busy || count() < 1)
        return;
    const std::optional<int> target = inputAfterMove(m_texts.kind, step, m_current, count(), typed);
    if (!target) {
        m.prompts.message(inputNumberProblem(m_texts.kind, count()), PromptButtons::Ok,
                          PromptIcon::Information);
        m_currentBox->setText(QString::number(m_current));
        return;
    }
    if (*target == m_current) {
        m_currentBox->setText(QString::number(m_current));
        return;
    }
    leaveThen([this, to = *target] { showInput(to); });
}

void InputSetupDialog::typedNumber() {
    bool ok = false;
    const int typed = m_currentBox->text().trimmed().toInt(&ok);
    move(InputMove::Typed, ok ? typed : 0);
}

void InputSetupDialog::leaveThen(std::function<void()> then) {
    PromptAnswer answer = PromptAnswer::Ok;
    if (m_edited)
        answer =
            m.prompts.message(leaveQuestion(m_texts.kind, m_current), PromptButtons::YesNoCancel,
                              PromptIcon::Question, descriptionOf(m_current));
    switch (leaveStep(m_edited, answer)) {
    case InputLeaveStep::Go:
        then();
        break;
    case InputLeaveStep::ProgramThenGo:
        program(std::move(then));
        break;
    case InputLeaveStep::Stay:
        m_currentBox->setText(QString::number(m_current));
        break;
    }
}

void InputSetupDialog::programClicked() {
    if (!m_busy && count() >= 1)
        program({});
}

void InputSetupDialog::program(std::function<void()> after) {
    const InputFieldsCheck check =
        checkInputFields({m_description->text(), m_fullScale->text(), m_zero->text()},
                         m_shownFullScale, m_shownZero, regionalDecimalSeparator());
    if (!check.record) {
        QLineEdit *field = box(check.field);
        field->setFocus();
        field->selectAll();
        m_currentBox->setText(QString::number(m_current));
        const bool readAgain =
            check.unread &&
            m.prompts.message(
                readAgainQuestion(inputFieldName(check.field), inputName(m_texts.kind, m_current)),
                PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes;
        if (!check.unread)
            m.prompts.message(check.problem, PromptButtons::Ok, PromptIcon::Information);
        Q_EMIT programEnded(false);
        if (readAgain)
            readValues(m_current);
        return;
    }
    const InputSetupRecord record = *check.record;
    const int input = m_current;
    const bool probe = m_texts.kind == InputKind::Probe;
    m_description->setText(record.description);
    setBusy(true);

    LinkSequence sequence(
        (probe ? QStringLiteral("Probe %1: program") : QStringLiteral("Analog %1: program"))
            .arg(input));
    LinkSession *session = &m.session;
    const UnitObjects *unit = &m.unit;
    SetupChanges *setup = &m.setup;
    sequence.add(QStringLiteral("Description"), [unit, setup, probe, input, record] {
        if (probe) {
            if (Lvdt *o = unit->lvdt(input))
                o->Description = record.description;
            else
                return false;
        } else if (analog *o = unit->analogInput(input)) {
            o->Description = record.description;
        } else {
            return false;
        }
        setup->markSetupChanged();
        return true;
    });
    const auto send = [session, unit, probe, input](auto write) {
        const long failedBefore = session->FailedCalls;
        if (probe) {
            Lvdt *o = unit->lvdt(input);
            if (!o)
                return false;
            write(*o);
        } else {
            analog *o = unit->analogInput(input);
            if (!o)
                return false;
            write(*o);
        }
        return session->FailedCalls == failedBefore;
    };
    sequence.add(QStringLiteral("Full scale"), [send, value = record.fullScale] {
        return send([value](auto &o) { o.setFullScale(value); });
    });
    sequence.add(QStringLiteral("Zero"), [send, value = record.zeroOffset] {
        return send([value](auto &o) { o.setZeroOffset(value); });
    });
    const QString fullScaleText = m_fullScale->text();
    const QString zeroText = m_zero->text();
    sequence.finished = [self = QPointer(this), input, record, fullScaleText, zeroText,
                         after = std::move(after)](bool programmed) {
        InputSetupDialog *dialog = self.data();
        if (!dialog)
            return;
        dialog->setBusy(false);
        if (!programmed || dialog->m_current != input) {
            Q_EMIT dialog->programEnded(false);
            return;
        }
        dialog->m_edited = false;
        dialog->m_programmedWhileOpen = true;
        dialog->m_shownFullScale = {fullScaleText, record.fullScale};
        dialog->m_shownZero = {zeroText, record.zeroOffset};
        Q_EMIT dialog->programEnded(true);
        if (after)
            after();
        else if (dialog->m_autoIncrement->isChecked())
            dialog->showInput(inputAfterProgram(input, dialog->count()));
    };
    m.sequences.run(std::move(sequence));
}

void InputSetupDialog::showCurrentValueClicked(bool on) {
    const int16_t live = on ? static_cast<int16_t>(std::max(m_current, 0)) : int16_t{0};
    m.LiveInput = live;
    if (!on)
        m_value->clear();
}

void InputSetupDialog::doneClicked() {
    if (m_busy)
        return;
    leaveThen([this] {
        ++m_showing;
        m_edited = false;
        m.LiveInput = 0;
        m_value->clear();
        hide();
        const bool changed = m_programmedWhileOpen;
        m_programmedWhileOpen = false;
        Q_EMIT closed(changed);
    });
}

void InputSetupDialog::reject() {
    doneClicked();
}

void InputSetupDialog::closeEvent(QCloseEvent *event) {
    // The close box asks as Done does; the dialog hides itself once leaving is agreed.
    event->ignore();
    doneClicked();
}

void InputSetupDialog::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    // The remembered "Show Current Value" comes back with the dialog.
    if (m_showValue->isChecked() && m_current >= 1)
        showCurrentValueClicked(true);
}
