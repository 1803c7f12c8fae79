#include "MeasureCommands.h"

#include "CounterLabel.h"
#include "LogWindow.h"
#include "Prompts.h"
#include "SerialLotInput.h"
#include "Settings.h"
#include "SetupIdentity.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>

using recording::GateAnswer;

namespace {

QAction *makeAction(QObject *parent, const char *text, const char *name) {
    auto *action = new QAction(QString::fromUtf8(text), parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

MeasureCommands::MeasureCommands(SettingsStore &settings, Prompts &prompts, QWidget *window)
    : QObject(window), m_store(settings), m_prompts(prompts), m_window(window),
      m_settings(recording::readMeasureSettings(settings)), m_recorder(m_settings.logPath()),
      m_record(makeAction(this, "&Record Part", "recordPart")),
      m_autoRecord(makeAction(this, "&Auto Record", "autoRecord")),
      m_resetCounter(makeAction(this, "Reset &Counter", "resetCounter")),
      m_log(makeAction(this, "&Log…", "showLog")),
      m_operator(makeAction(this, "&Operator…", "setOperator")) {
    // The operator watches the grid or the bar display, not the main window: F9 records from
    // whichever of the station's windows is active.
    m_record->setShortcut(QKeySequence(Qt::Key_F9));
    m_record->setShortcutContext(Qt::ApplicationShortcut);
    m_autoRecord->setCheckable(true);
    m_autoRecord->setChecked(m_settings.autoRecord);
    m_recorder.setAutoRecordRule(m_settings.rule);
    m_recorder.setAutoRecord(m_settings.autoRecord);
    m_askOperator = [this](const QString &current) -> std::optional<QString> {
        bool ok = false;
        const QString name =
            QInputDialog::getText(m_window, QStringLiteral("Operator"),
                                  QStringLiteral("Name of the operator recording parts:"),
                                  QLineEdit::Normal, current, &ok);
        return ok ? std::optional(name.trimmed()) : std::nullopt;
    };
    updateContext();

    connect(m_record, &QAction::triggered, this, &MeasureCommands::record);
    connect(m_autoRecord, &QAction::toggled, this, &MeasureCommands::setAutoRecord);
    connect(m_resetCounter, &QAction::triggered, this, &MeasureCommands::resetCounter);
    connect(m_log, &QAction::triggered, this, &MeasureCommands::showLog);
    connect(m_operator, &QAction::triggered, this, &MeasureCommands::askOperator);
    connect(&m_recorder, &recording::PartRecorder::gateChanged, this,
            &MeasureCommands::gateChanged);
    connect(&m_recorder, &recording::PartRecorder::statusText, this, &MeasureCommands::statusText);
    connect(&m_recorder, &recording::PartRecorder::badGround, this, &MeasureCommands::badGround);
    gateChanged(m_recorder.gate());
}

MeasureCommands::~MeasureCommands() = default;

void MeasureCommands::addTo(QMenu *menu) const {
    menu->addAction(m_record);
    menu->addAction(m_autoRecord);
    menu->addSeparator();
    menu->addAction(m_resetCounter);
    menu->addAction(m_log);
    menu->addSeparator();
    menu->addAction(m_operator);
}

CounterLabel *MeasureCommands::makeCounterLabel(QWidget *parent) const {
    return new CounterLabel(m_recorder.counter(), parent);
}

SerialLotInput *MeasureCommands::makeSerialLotInput(QWidget *parent) {
    auto *input = new SerialLotInput(parent);
    input->field()->setText(m_serialText);
    connect(input, &SerialLotInput::serialChanged, this, &MeasureCommands::setSerialText);
    return input;
}

void MeasureCommands::showView(const recording::RecordingView &view) {
    m_recorder.showView(view);
}

void MeasureCommands::takeReading(int entry, const recording::ChannelReading &reading) {
    m_recorder.takeReading(entry, reading);
}

void MeasureCommands::endTick(qint64 tick, bool complete) {
    m_recorder.endTick(tick, complete);
}

void MeasureCommands::setHeld(bool held) {
    m_recorder.setHeld(held);
}

void MeasureCommands::setSetupFile(const QString &path) {
    m_setup = recording::setupIdentity(path);
    updateContext();
    if (LogWindow *log = m_logWindow)
        log->setCurrentSetup(m_recorder.context().setupFile);
}

void MeasureCommands::setSerialText(const QString &text) {
    m_serialText = text.trimmed();
    updateContext();
}

void MeasureCommands::record() {
    if (m_recordKeyTaker && m_recordKeyTaker())
        return;
    m_recorder.record();
}

void MeasureCommands::setAutoRecord(bool on) {
    if (m_autoRecord->isChecked() != on)
        m_autoRecord->setChecked(on); // comes back here through toggled
    if (m_settings.autoRecord == on)
        return;
    m_settings.autoRecord = on;
    m_recorder.setAutoRecord(on);
    storeSettings();
    Q_EMIT statusText(on ? QStringLiteral("Auto Record is on.")
                         : QStringLiteral("Auto Record is off."));
}

void MeasureCommands::resetCounter() {
    if (m_prompts.message(QStringLiteral("Set the part counter to zero?"), PromptButtons::YesNo,
                          PromptIcon::Question,
                          QStringLiteral("Reset Counter")) == PromptAnswer::Yes)
        m_recorder.resetCounter();
}

LogWindow *MeasureCommands::logWindow() const {
    return m_logWindow;
}

LogWindow *MeasureCommands::showLog() {
    LogWindow *log = m_logWindow;
    if (!log) {
        log = new LogWindow(m_recorder.logPath(), m_prompts, m_window);
        m_logWindow = log;
        log->setAttribute(Qt::WA_DeleteOnClose);
    }
    log->setCurrentSetup(m_recorder.context().setupFile);
    log->applyFilter();
    log->show();
    log->raise();
    log->activateWindow();
    return log;
}

void MeasureCommands::askOperator() {
    const std::optional<QString> name = m_askOperator(m_settings.operatorName);
    if (!name || *name == m_settings.operatorName)
        return;
    m_settings.operatorName = *name;
    storeSettings();
    updateContext();
}

void MeasureCommands::gateChanged(const GateAnswer &gate) {
    m_record->setEnabled(gate.isOpen());
    const QString tip = gate.isOpen() ? QStringLiteral("Record the part in the fixture")
                                      : QStringLiteral("Record: ") + gate.reason;
    m_record->setStatusTip(tip);
    m_record->setToolTip(tip);
    if (!gate.isOpen())
        Q_EMIT statusText(tip);
}

void MeasureCommands::badGround(const QString &reason) {
    m_prompts.message(reason + QStringLiteral("\rNo part is recorded until this is put right; "
                                              "the parts already in the log are kept."),
                      PromptButtons::Ok, PromptIcon::Critical, QStringLiteral("Recording parts"));
}

void MeasureCommands::storeSettings() {
    if (!recording::writeMeasureSettings(m_store, m_settings))
        Q_EMIT statusText(QStringLiteral("The Measure settings could not be saved."));
}

void MeasureCommands::updateContext() {
    m_recorder.setContext({m_settings.station(), m_settings.operatorName, m_serialText,
                           m_setup.fileName, m_setup.hash});
}
