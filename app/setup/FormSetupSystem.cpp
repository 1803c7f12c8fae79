#include "FormSetupSystem.h"

#include "LinkSequence.h"
#include "LinkSession.h"
#include "Prompts.h"
#include "Settings.h"
#include "SetupSession.h"
#include "StationIcon.h"
#include "StationSetup.h"
#include "TypedNumbers.h"
#include "UnitObjects.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>
#include <optional>

using namespace setupforms;

// The unit's values the dialog shows, read when it opens.
struct FormSetupSystem::UnitValues {
    QString firmware;
    std::optional<int> scanTenths;
    std::optional<int> burstAverage;
    std::optional<int> runningAverage;
};

namespace {

const QString GroupRepairQuestion =
    QStringLiteral("Some groups use channels that you are removing") + QLatin1Char('\r') +
    QStringLiteral("These channels will be removed from group");

} // namespace

FormSetupSystem::FormSetupSystem(SystemSetupParts parts, QWidget *parent)
    : QDialog(parent), m(parts) {
    setObjectName(QStringLiteral("FormSetupSystem"));
    setWindowIcon(stationIcon());
    setWindowTitle(QStringLiteral("System Setup"));
    buildControls();
}

FormSetupSystem::~FormSetupSystem() {
    for (QWidget *control : findChildren<QWidget *>())
        control->disconnect(this);
}

QWidget *FormSetupSystem::addTab(const QString &caption) {
    auto *page = new QWidget(m_tabs);
    auto *form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_tabs->addTab(page, caption);
    return page;
}

QLineEdit *FormSetupSystem::addBox(QWidget *tab, const char *name, const QString &caption) {
    auto *box = new QLineEdit(tab);
    box->setObjectName(QLatin1String(name));
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(u'0') * 12);
    static_cast<QFormLayout *>(tab->layout())->addRow(caption, box);
    return box;
}

void FormSetupSystem::buildControls() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));

    QWidget *counts = addTab(QStringLiteral("Max Settings"));
    m_fields[SystemField::Channels] = addBox(counts, "txtChannels", QStringLiteral("Channels"));
    m_fields[SystemField::Probes] = addBox(counts, "txtLVDT", QStringLiteral("Probes"));
    m_fields[SystemField::Analogs] = addBox(counts, "txtAnalog", QStringLiteral("Analogs"));

    QWidget *averaging = addTab(QStringLiteral("Averaging"));
    m_fields[SystemField::RunningAverage] =
        addBox(averaging, "txtRunningAvg", QStringLiteral("Running Average"));
    m_fields[SystemField::BurstAverage] =
        addBox(averaging, "txtBurstAvg", QStringLiteral("Burst Average"));
    m_fields[SystemField::ScanPeriod] =
        addBox(averaging, "txtScanPeriod", QStringLiteral("Scan Period (milliseconds)"));

    QWidget *defaults = addTab(QStringLiteral("Defaults"));
    m_fields[SystemField::Decimals] =
        addBox(defaults, "txtDecimals", QStringLiteral("Default decimal places"));
    m_fields[SystemField::LvdtFullScale] =
        addBox(defaults, "TextLvdtFSV", QStringLiteral("Default LVDT Full Scale"));

    QWidget *device = addTab(QStringLiteral("Device"));
    m_firmware = addBox(device, "TextQorFirmware", QStringLiteral("Firmware version"));
    m_firmware->setReadOnly(true);
    m_firmware->setMinimumWidth(m_firmware->fontMetrics().horizontalAdvance(u'0') * 24);

    auto *startup = new QWidget(m_tabs);
    auto *column = new QVBoxLayout(startup);
    m_bars = new QCheckBox(QStringLiteral("Bars displayed on startup"), startup);
    m_bars->setObjectName(QStringLiteral("ChkBars"));
    m_numbers = new QCheckBox(QStringLiteral("Numeric displays on startup"), startup);
    m_numbers->setObjectName(QStringLiteral("ChkNums"));
    auto *frame =
        new QGroupBox(QStringLiteral("Type of View for numeric displays and bar graphs"), startup);
    frame->setObjectName(QStringLiteral("FrameTypeOfView"));
    auto *options = new QVBoxLayout(frame);
    auto *viewGroup = new QButtonGroup(frame);
    const auto option = [&](const char *name, const QString &caption) {
        auto *button = new QRadioButton(caption, frame);
        button->setObjectName(QLatin1String(name));
        options->addWidget(button);
        viewGroup->addButton(button);
        return button;
    };
    m_groupView = option("GroupButton", QStringLiteral("Group View"));
    m_channelView = option("ChanButton", QStringLiteral("Channel View"));
    m_probeView = option("LVDTButton", QStringLiteral("LVDT View"));
    m_commSetup = new QCheckBox(
        QStringLiteral("Run communications setup wizard every time program starts."), startup);
    m_commSetup->setObjectName(QStringLiteral("ChkCommSetup"));
    m_disableSetup = new QCheckBox(
        QStringLiteral(
            "Disable Setup menus - Can only be reset through the command line once set."),
        startup);
    m_disableSetup->setObjectName(QStringLiteral("ChkDisableSetup"));
    for (QWidget *control :
         std::initializer_list<QWidget *>{m_bars, m_numbers, frame, m_commSetup, m_disableSetup})
        column->addWidget(control);
    column->addStretch();
    m_tabs->addTab(startup, QStringLiteral("Startup Options"));

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("CommandOK"));
    m_ok->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &FormSetupSystem::CommandOK_Click);
}

void FormSetupSystem::openDialog() {
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    // Held until the dialog goes away, by OK or by its close box.
    m_hold = PollHoldGuard(m.pollHold);
    m_tabs->setCurrentIndex(0);
    fillStationValues();
    fillStartupOptions();
    for (SystemField f :
         {SystemField::RunningAverage, SystemField::BurstAverage, SystemField::ScanPeriod})
        m_fields[f]->clear();
    m_firmware->clear();
    show();
    raise();
    activateWindow();
    readUnitValues();
}

void FormSetupSystem::fillStationValues() {
    const UnitObjects &unit = m.form.unit;
    m_fields[SystemField::Channels]->setText(QString::number(unit.Channels.size()));
    m_fields[SystemField::Probes]->setText(QString::number(unit.Lvdts.size()));
    m_fields[SystemField::Analogs]->setText(QString::number(unit.MaxAnalog));
    m_fields[SystemField::Decimals]->setText(QString::number(unit.SystemDecimals));
    m_fields[SystemField::LvdtFullScale]->setText(generalText(unit.LvdtFullScale));
}

void FormSetupSystem::setupReplaced() {
    if (isVisible())
        fillStationValues();
}

void FormSetupSystem::fillStartupOptions() {
    const StartupOptions options = readStartupOptions(m.settings);
    m_bars->setChecked(options.bars);
    m_numbers->setChecked(options.numbers);
    // None of the options is selected for a stored number that names none.
    auto *group = m_groupView->group();
    group->setExclusive(false);
    m_groupView->setChecked(options.view == View::Group);
    m_channelView->setChecked(options.view == View::Channels);
    m_probeView->setChecked(options.view == View::Probes);
    group->setExclusive(true);
    m_commSetup->setChecked(options.runWizard);
    m_disableSetup->setChecked(options.disableSetups);
}

void FormSetupSystem::readUnitValues() {
    setBusy(true);
    const unsigned token = ++m_reading;
    auto values = std::make_shared<UnitValues>();
    LinkSession *session = &m.form.session;
    LinkSequence sequence(QStringLiteral("System settings: read"));
    // Each read that fails leaves its box empty; the others go on.
    sequence.add(QStringLiteral("Firmware version"), [session, values] {
        session->ReplyText.fill('\0');
        if (session->link.QorReadVersion(session->LinkHandle, session->ReplyText.data()) == 0) {
            session->ReplyText.back() = '\0';
            values->firmware = session->replyText();
        } else {
            values->firmware = QStringLiteral("(the unit did not answer)");
        }
        return true;
    });
    const struct {
        const char *what;
        int32_t (*read)(LinkSession &, int16_t *);
        std::optional<int> UnitValues::*into;
    } reads[] = {
        {"Scan period",
         [](LinkSession &s, int16_t *v) { return s.link.QorGetScanTime(s.LinkHandle, v); },
         &UnitValues::scanTenths},
        {"Burst average",
         [](LinkSession &s, int16_t *v) { return s.link.QorGetAdcAvg(s.LinkHandle, v); },
         &UnitValues::burstAverage},
        {"Running average",
         [](LinkSession &s, int16_t *v) { return s.link.QorGetRunAvg(s.LinkHandle, v); },
         &UnitValues::runningAverage},
    };
    for (const auto &r : reads)
        sequence.add(QLatin1String(r.what), [session, values, read = r.read, into = r.into] {
            int16_t value = 0;
            if (read(*session, &value) == 0)
                (*values).*into = value;
            return true;
        });
    sequence.finished = [self = QPointer(this), token, values](bool) {
        FormSetupSystem *form = self.data();
        if (!form || form->m_reading != token)
            return;
        form->showUnitValues(*values);
    };
    m.form.sequences.run(std::move(sequence));
}

void FormSetupSystem::showUnitValues(const UnitValues &values) {
    m_firmware->setText(values.firmware);
    const auto show = [&](SystemField f, const std::optional<int> &value, bool tenths) {
        if (value)
            m_fields[f]->setText(tenths ? scanPeriodText(*value) : QString::number(*value));
    };
    show(SystemField::ScanPeriod, values.scanTenths, true);
    show(SystemField::BurstAverage, values.burstAverage, false);
    show(SystemField::RunningAverage, values.runningAverage, false);
    setBusy(false);
    Q_EMIT loaded();
}

void FormSetupSystem::setBusy(bool busy) {
    m_busy = busy;
    m_ok->setEnabled(!busy);
    m_tabs->setEnabled(!busy);
}

void FormSetupSystem::selectField(SystemField field) {
    QLineEdit *box = m_fields[field];
    m_tabs->setCurrentWidget(box->parentWidget());
    box->setFocus();
    box->selectAll();
}

void FormSetupSystem::CommandOK_Click() {
    if (m_busy)
        return;
    SystemSetupTexts texts;
    texts.channels = m_fields[SystemField::Channels]->text();
    texts.probes = m_fields[SystemField::Probes]->text();
    texts.analogs = m_fields[SystemField::Analogs]->text();
    texts.runningAverage = m_fields[SystemField::RunningAverage]->text();
    texts.burstAverage = m_fields[SystemField::BurstAverage]->text();
    texts.scanPeriod = m_fields[SystemField::ScanPeriod]->text();
    texts.decimals = m_fields[SystemField::Decimals]->text();
    texts.lvdtFullScale = m_fields[SystemField::LvdtFullScale]->text();
    const SystemFieldsCheck check = checkSystemFields(texts, regionalDecimalSeparator());
    if (check.channelsRaised) {
        m.form.prompts.message(ChannelsRaisedText, PromptButtons::Ok, PromptIcon::Information);
        m_fields[SystemField::Channels]->setText(QStringLiteral("1"));
    }
    if (!check.values) {
        selectField(check.field);
        m.form.prompts.message(check.problem, PromptButtons::Ok, PromptIcon::Information);
        Q_EMIT applyEnded(false);
        return;
    }
    const SystemSetupValues values = *check.values;
    const bool repairGroups = !m.setup.groupsFitChannelCount(values.channels);
    if (repairGroups && m.form.prompts.message(GroupRepairQuestion, PromptButtons::OkCancel,
                                               PromptIcon::Question) != PromptAnswer::Ok) {
        Q_EMIT applyEnded(false);
        return;
    }

    // The counts and the decimals are part of the setup (and of its file); the rest is not.
    const UnitObjects &unit = m.form.unit;
    const bool changesSetup = values.channels != static_cast<int>(unit.Channels.size()) ||
                              values.probes != static_cast<int>(unit.Lvdts.size()) ||
                              values.analogs != unit.MaxAnalog ||
                              values.decimals != unit.SystemDecimals;
    setBusy(true);
    SequenceRunner *sequences = &m.form.sequences;
    m.setup.applySystemSettings(
        values, repairGroups,
        [sequences](LinkSequence sequence) { sequences->run(std::move(sequence)); },
        [self = QPointer(this), changesSetup](SystemApplyResult result) {
            if (FormSetupSystem *form = self.data())
                form->afterApply(result, changesSetup);
        });
}

void FormSetupSystem::afterApply(SystemApplyResult result, bool changesSetup) {
    setBusy(false);
    if (result != SystemApplyResult::Applied) {
        m.form.prompts.message(systemApplyFailureText(result), PromptButtons::Ok,
                               PromptIcon::Critical);
        // The setup is as it was: so are the boxes that show it.
        if (result != SystemApplyResult::UnitSettingsFailed)
            fillStationValues();
        Q_EMIT applyEnded(false);
        return;
    }
    StartupOptions options;
    options.bars = m_bars->isChecked();
    options.numbers = m_numbers->isChecked();
    options.view = m_groupView->isChecked()     ? View::Group
                   : m_channelView->isChecked() ? View::Channels
                   : m_probeView->isChecked()   ? View::Probes
                                                : View::None;
    options.runWizard = m_commSetup->isChecked();
    options.disableSetups = m_disableSetup->isChecked();
    if (!writeStartupOptions(m.settings, options)) {
        if (const auto failure = m.settings.takeWriteFailure())
            reportUnsavedSettings(*failure, &m.form.prompts);
    }
    if (changesSetup)
        m.form.setup.markSetupChanged();
    leave();
    Q_EMIT applyEnded(true);
}

void FormSetupSystem::leave() {
    ++m_reading;
    hide();
    if (m_hold.holds()) {
        m.pollHold.handOver(std::move(m_hold));
        m.refreshMainDisplay();
    }
}

void FormSetupSystem::closeForShutdown() {
    ++m_reading;
    m_hold.release();
    hide();
}

void FormSetupSystem::reject() {
    if (!m_busy)
        leave();
}

void FormSetupSystem::closeEvent(QCloseEvent *event) {
    // Closing while the apply runs would leave its end with no window to report to.
    event->ignore();
    reject();
}
