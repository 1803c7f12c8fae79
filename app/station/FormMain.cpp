#include "FormMain.h"

#include "ui_FormMain.h"

#include "AboutTexts.h"
#include "ChannelCalls.h"
#include "CommandLine.h"
#include "DisplayWindowLayout.h"
#include "FormAboutQorView.h"
#include "FormGridDisplay.h"
#include "FormGroupMastering.h"
#include "FormLinGage.h"
#include "FormMastering.h"
#include "FormSelectGroup.h"
#include "FormSetupAnalog.h"
#include "FormSetupChan.h"
#include "FormSetupGroup.h"
#include "FormSetupLvdt.h"
#include "FormSetupSystem.h"
#include "GroupSelection.h"
#include "HelpFile.h"
#include "LiveItems.h"
#include "MasteringTexts.h"
#include "Prompts.h"
#include "ScreenPlacement.h"
#include "Settings.h"
#include "SetupFileCommands.h"
#include "Station.h"
#include "StationIcon.h"
#include "Twips.h"
#include "ViewCycle.h"
#include "WindowLayout.h"
#include "dlgCalibrate.h"
#include "dlgCopyLink.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double MainWidthTwips = 9048;
constexpr double MainHeightTwips = 1344;
constexpr double DefaultLeftTwips = 15;
constexpr double DefaultTopTwips = 105;
// The channel window values read back at start; the other 28 come back with setup files.
constexpr int StoredLayoutValuesRead = 8;

// A 16-bit setting: the stored number rounded, or fallback when it is missing, not a number or
// does not fit.
int16_t settingInt16(const SettingsStore &settings, SettingKey key, int16_t fallback) {
    const double value = settings.number(key, fallback);
    if (!std::isfinite(value) || value < std::numeric_limits<int16_t>::min() ||
        value > std::numeric_limits<int16_t>::max())
        return fallback;
    return static_cast<int16_t>(std::lround(value));
}

// A window position in twips; a value no screen could show reads as fallback.
double settingTwips(const SettingsStore &settings, SettingKey key, double fallback) {
    constexpr double Limit = 1e6;
    const double value = settings.number(key, fallback);
    return std::isfinite(value) && std::fabs(value) < Limit ? value : fallback;
}

SettingKey layoutKey(int i) {
    return SettingKey{"QorViewSettings", windowLayoutKey(i)};
}

} // namespace

FormMain::FormMain(Station &state, const CommandLine &commandLine, HelpViewer &help,
                   QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::FormMain>()), m_state(state),
      m_commandLine(commandLine), m_help(help),
      m_poll(state.session, state.unit, state.view, state.live, *this),
      m_scheduler(state.session, m_poll, state.prompts),
      m_setupFiles(std::make_unique<SetupFileCommands>(state, m_scheduler,
                                                       static_cast<SetupWindows &>(*this), this)) {
    ui->setupUi(this);
    m_labelChan.push_back(ui->LabelChan_0);
    makeSeparators();
    connectCommands();
    connectFileCommands();
    connectGroupCommands();
    connectSetupCommands();
    connectMasteringCommands();
    connectInputSetupCommands();
}

FormMain::~FormMain() = default;

void FormMain::makeSeparators() {
    ui->Seperator1->setSeparator(true);
    ui->Seperator2->setSeparator(true);
}

void FormMain::connectCommands() {
    connect(ui->CommandNumbers, &QPushButton::clicked, this, &FormMain::EnableGrid_Click);
    connect(ui->CommandBarGraphs, &QPushButton::clicked, this, &FormMain::EnableBarGraphs_Click);
    connect(ui->CommandViewToggle, &QPushButton::clicked, this, &FormMain::CommandViewToggle_Click);
    connect(ui->CommandResetMM, &QPushButton::clicked, this, &FormMain::CommandResetMM_Click);

    // The check marks of the View menu are the station's to set: a click on a checkable item
    // first undoes Qt's own toggle, then runs the command, which sets the mark as it should be.
    const auto command = [this](QAction *action, void (FormMain::*handler)()) {
        connect(action, &QAction::triggered, this, [this, action, handler] {
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            (this->*handler)();
        });
    };
    command(ui->EnableGrid, &FormMain::EnableGrid_Click);
    command(ui->EnableBarGraphs, &FormMain::EnableBarGraphs_Click);
    command(ui->ViewGroups, &FormMain::ViewGroups_Click);
    command(ui->ViewChannels, &FormMain::ViewChannels_Click);
    command(ui->ViewLVDTs, &FormMain::ViewLVDTs_Click);
    command(ui->UpdateToggle, &FormMain::UpdateToggle_Click);
    command(ui->AboutQorView, &FormMain::AboutQorView_Click);
    command(ui->mnuHelpContents, &FormMain::mnuHelpContents_Click);
    connect(ui->ExitProgram, &QAction::triggered, this, &QWidget::close);
    connect(&m_scheduler, &LinkScheduler::closeRequested, this, &FormMain::closeForSignal);
}

void FormMain::connectFileCommands() {
    SetupFileCommands *files = m_setupFiles.get();
    connect(ui->NewFile, &QAction::triggered, files, &SetupFileCommands::NewFile);
    connect(ui->OpenFile, &QAction::triggered, files, &SetupFileCommands::OpenFile);
    connect(ui->SaveToQor, &QAction::triggered, files, &SetupFileCommands::SaveToQor);
    connect(ui->SaveFile, &QAction::triggered, files, &SetupFileCommands::SaveFile);
    connect(ui->SaveAsFile, &QAction::triggered, files, &SetupFileCommands::SaveAsFile);
    connect(ui->LoadTest, &QAction::triggered, files, &SetupFileCommands::LoadTest);
    connect(files, &SetupFileCommands::saveAvailable, this,
            [this] { ui->SaveFile->setEnabled(true); });
    // While a setup is loaded or saved the file commands wait for it; Exit stays.
    connect(files, &SetupFileCommands::busyChanged, this, [this](bool busy) {
        for (QAction *command : {ui->NewFile, ui->OpenFile, ui->SaveToQor, ui->SaveAsFile})
            command->setEnabled(!busy);
    });
}

void FormMain::connectSetupCommands() {
    connect(ui->SetupChannels, &QAction::triggered, this, [this] {
        showChannelSetup(0, false);
        UpdateMainDisplay();
    });
}

void FormMain::Form_Load() {
    setWindowIcon(stationIcon());
    setWindowTitle(m_state.config.CompanyName + QStringLiteral("   ") + m_state.config.ProductName);
    // The size is the whole window's, its title bar included.
    resize(Twips::toPixelsX(MainWidthTwips, this),
           Twips::toPixelsY(MainHeightTwips, this) -
               style()->pixelMetric(QStyle::PM_TitleBarHeight));
    SettingsStore &settings = m_state.settings;
    // A stored place wholly off every screen would hide the window: it then opens where it would
    // with nothing stored.
    const QPoint standardPlace(Twips::toPixelsX(DefaultLeftTwips, this),
                               Twips::toPixelsY(DefaultTopTwips, this));
    const QPoint storedPlace(
        Twips::toPixelsX(settingTwips(settings, SettingKeys::MainLeft, DefaultLeftTwips), this),
        Twips::toPixelsY(settingTwips(settings, SettingKeys::MainTop, DefaultTopTwips), this));
    move(liesOnAScreen(QRect(storedPlace, size()), availableScreenAreas()) ? storedPlace
                                                                           : standardPlace);

    // Other programs follow live values through the channel labels; they exist from the first
    // tick on, and every UpdateMainDisplay keeps them as many as the channels.
    sizeChannelLabels();

    const bool barsAtStart = settings.number(SettingKeys::BarsAtStartup, 1) == 1;
    const bool numbersAtStart = settings.number(SettingKeys::NumericDisplay, 1) == 1;
    m_state.view.ViewMode = viewFromNumber(settingInt16(settings, SettingKeys::TypeOfView, 2));
    m_state.setup.NewSetupFileNum = settingInt16(settings, SettingKeys::NewSetupFileNum, 1);

    const CommandLine::MainWindowOptions options = m_commandLine.mainWindowOptions();
    if (options.viewMode)
        m_state.view.ViewMode = *options.viewMode;
    // The file becomes SetupFileName once it has been loaded; one that cannot be loaded changes
    // nothing, so a later Save never writes over it.
    if (!options.setupFileName.isEmpty())
        m_setupFiles->loadAtStart(options.setupFileName);

    if (!settings.text(layoutKey(0)).isEmpty()) {
        for (int i = 0; i < StoredLayoutValuesRead; ++i) {
            int16_t &value = m_state.view.WindowLayout[static_cast<size_t>(i)];
            value = settingInt16(settings, layoutKey(i), value);
        }
    }

    UpdateMainDisplay();
    m_scheduler.startPolling();
    m_state.view.PollHold = 0;
    UpdateToggle_Click();
    // Both start-up displays are open before either is placed, so the bars can go beside the grid.
    m_placingDeferred = true;
    if (barsAtStart || options.bars)
        EnableBarGraphs_Click();
    if (numbersAtStart || options.nums)
        EnableGrid_Click();
    m_placingDeferred = false;
    placeDisplaysBelowMainWindow();
}

void FormMain::sizeChannelLabels() {
    const int channels = m_state.unit.UnitSystem ? m_state.unit.UnitSystem->MaxChannel() : 0;
    setChannelLabelCount(channels);
    // Here rather than with the labels: a setup made anew removes every label before it makes
    // them again, and the mastering dialog must not lose its channel to that.
    if (m_mastering)
        m_mastering->keepChannelWithin(channels);
}

void FormMain::setChannelLabelCount(int channels) {
    while (static_cast<int>(m_labelChan.size()) > std::max(channels, 0) + 1) {
        delete m_labelChan.back();
        m_labelChan.pop_back();
    }
    QLabel *first = ui->LabelChan_0;
    for (int n = static_cast<int>(m_labelChan.size()); n <= channels; ++n) {
        const QLabel *above = m_labelChan.back();
        auto *label = new QLabel(first->parentWidget());
        label->setObjectName(QStringLiteral("LabelChan_%1").arg(n));
        label->setFont(first->font());
        label->setGeometry(above->x(), above->y() + above->height(), above->width(),
                           above->height());
        label->setVisible(false);
        label->setEnabled(false);
        m_labelChan.push_back(label);
    }
}

QLabel *FormMain::labelChan(int n) const {
    return (n >= 0 && n < static_cast<int>(m_labelChan.size()))
               ? m_labelChan[static_cast<size_t>(n)]
               : nullptr;
}

QString FormMain::labelChanCaption(int n) const {
    const QLabel *label = labelChan(n);
    return label ? label->text() : QString();
}

QString FormMain::channelText(int channel) const {
    return channel >= 1 ? labelChanCaption(channel) : QString();
}

bool FormMain::gridChecked() const {
    return ui->EnableGrid->isChecked();
}

bool FormMain::barsChecked() const {
    return ui->EnableBarGraphs->isChecked();
}

bool FormMain::CheckForAnyGroups() const {
    return ::CheckForAnyGroups(m_state.unit);
}

// ---- displays ---------------------------------------------------------------------------------

// The displays' set-up reads go through the scheduler like every other exchange, so a view
// change never holds the window for more than one exchange.
std::function<void(LinkSequence)> FormMain::readRunner() {
    return [this](LinkSequence reads) {
        m_scheduler.run(std::move(reads));
    };
}

DisplayedState FormMain::displayed() {
    return {m_state.unit, m_state.view, &m_state.session};
}

FormGridDisplay &FormMain::grid() {
    if (!m_grid) {
        m_grid = std::make_unique<FormGridDisplay>(displayed());
        m_grid->setReadRunner(readRunner());
        connect(m_grid.get(), &FormGridDisplay::closeRequested, this, &FormMain::EnableGrid_Click);
        connect(m_grid.get(), &FormGridDisplay::rowPicked, this, &FormMain::GotoSetupFromView);
        registerLoadedWindow(m_grid.get(), [this] { m_grid->closeForShutdown(); });
    }
    return *m_grid;
}

FormLinGage &FormMain::bars() {
    if (!m_bars) {
        m_bars = std::make_unique<FormLinGage>(displayed());
        m_bars->setReadRunner(readRunner());
        connect(m_bars.get(), &FormLinGage::closeRequested, this, &FormMain::EnableBarGraphs_Click);
        connect(m_bars.get(), &FormLinGage::gaugeClicked, this, &FormMain::GotoSetupFromView);
        connect(m_bars.get(), &FormLinGage::gaugeRightClicked, this, &FormMain::LGauge1_RightClick);
        registerLoadedWindow(m_bars.get(), [this] { m_bars->closeForShutdown(); });
    }
    return *m_bars;
}

// A display with no layout stored for the view opens just below the main window, the grid first
// and the bars beside it, instead of wherever the window system puts it (with no window manager:
// on top of the main window). Each display is placed so only once; after that it stays where the
// operator moved it.
void FormMain::placeDisplaysBelowMainWindow() {
    if (m_placingDeferred)
        return;
    const QRect main = frameGeometry();
    const int top = main.bottom() + 1 + DisplayGap;
    if (m_grid && m_grid->isVisible() && !m_gridPlaced) {
        m_gridPlaced = true;
        if (!m_grid->hasRestorableLayout())
            m_grid->placeAt(QPoint(main.left(), top));
    }
    if (m_bars && m_bars->isVisible() && !m_barsPlaced) {
        m_barsPlaced = true;
        const bool gridBeside = m_grid && m_grid->isVisible();
        if (!m_bars->hasRestorableLayout())
            m_bars->placeAt(QPoint(
                gridBeside ? m_grid->frameGeometry().right() + 1 + DisplayGap : main.left(), top));
    }
}

void FormMain::registerLoadedWindow(QWidget *window, std::function<void()> unload) {
    m_loaded.push_back({window, std::move(unload)});
}

void FormMain::EnableGrid_Click() {
    ui->EnableGrid->setChecked(!ui->EnableGrid->isChecked());
    if (ui->EnableGrid->isChecked()) {
        UpdateMainDisplay();
        grid().show();
        placeDisplaysBelowMainWindow();
    } else if (m_grid) {
        m_grid->hide();
    }
}

void FormMain::EnableBarGraphs_Click() {
    ui->EnableBarGraphs->setChecked(!ui->EnableBarGraphs->isChecked());
    if (ui->EnableBarGraphs->isChecked()) {
        UpdateMainDisplay();
        bars().show();
        placeDisplaysBelowMainWindow();
    } else if (m_bars) {
        m_bars->hide();
    }
}

void FormMain::setChannelLabel(int channel, const QString &text) {
    // After a view change the poll writes every label afresh; followers hear only of captions
    // that really change.
    QLabel *label = labelChan(channel);
    if (!label || label->text() == text)
        return;
    label->setText(text);
    Q_EMIT channelCaptionChanged(channel, text);
}

void FormMain::setGridValue(int row, const QString &text) {
    grid().SetGridValue(row, text);
}

void FormMain::setBarValue(int row, float value) {
    bars().SetBarValue(row, value);
}

void FormMain::setGridStale(int row, bool stale) {
    grid().setValueStale(row, stale);
}

void FormMain::setBarStale(int row, bool stale) {
    bars().SetBarStale(row, stale);
}

// ---- probe calibration ------------------------------------------------------------------------

void FormMain::showCalibrateAt(int probe, QPoint screenPos) {
    if (!m_calibrate) {
        m_calibrate = std::make_unique<dlgCalibrate>(
            CalibrationParts{m_state.session, m_scheduler, m_state.unit, m_state.live,
                             m_state.setup, m_state.config, m_state.prompts, m_help},
            this);
        registerLoadedWindow(m_calibrate.get(), [this] { m_calibrate->hide(); });
    }
    m_calibrate->ShowCalibrateAt(probe, screenPos);
}

void FormMain::setCalibrationValue(const QString &text) {
    if (m_calibrate)
        m_calibrate->setLiveValue(text);
}

// ---- channel setup ----------------------------------------------------------------------------

void FormMain::showChannelSetup(int channel, bool modal) {
    if (!m_setupChan) {
        ChannelSetupParts parts{{m_state.session, m_scheduler, m_state.unit, m_state.live,
                                 m_state.setup, m_state.prompts},
                                {}};
        parts.updateMainDisplay = [this] {
            UpdateMainDisplay();
        };
        m_setupChan = std::make_unique<FormSetupChan>(std::move(parts), this);
        registerLoadedWindow(m_setupChan.get(), [this] { m_setupChan->hide(); });
    }
    m_setupChan->showAt(channel, modal);
}

void FormMain::setChannelSetupValue(const QString &text) {
    if (m_setupChan)
        m_setupChan->setLiveValue(text);
}

int FormMain::currentChannel() const {
    return m_setupChan ? m_setupChan->GetCurrentChannel() : 0;
}

void FormMain::setCurrentChannel(int channel) {
    if (m_setupChan)
        m_setupChan->SetCurrentChannel(channel);
}

bool FormMain::showSetupDialog(View view, int item) {
    switch (view) {
    case View::Group:
    case View::Channels:
    case View::Digitals:
        // A group may still name a channel the set no longer has: there is nothing to set up.
        if (item < 1 || item > static_cast<int>(m_state.unit.Channels.size()))
            return false;
        showChannelSetup(item, true);
        return true;
    case View::Probes:
        showProbeSetup(item, true);
        return true;
    case View::Analogs:
        showAnalogSetup(item, true);
        return true;
    default:
        return false;
    }
}

// ---- zeroing and mastering ------------------------------------------------------------------

void FormMain::connectMasteringCommands() {
    connect(ui->ZeroChannel, &QAction::triggered, this, &FormMain::ZeroChannel_Click);
    connect(ui->ZeroGroup, &QAction::triggered, this, &FormMain::ZeroGroup_Click);
    connect(ui->MasterChannel, &QAction::triggered, this, &FormMain::MasterChannel_Click);
    connect(ui->MasterGroup, &QAction::triggered, this, &FormMain::MasterGroup_Click);
    connect(ui->CommandZero, &QPushButton::clicked, this, &FormMain::CommandZero_Click);
    connect(ui->CommandMaster, &QPushButton::clicked, this, &FormMain::CommandMaster_Click);
}

void FormMain::CommandZero_Click() {
    if (m_state.view.ViewMode == View::Group)
        ZeroGroup_Click();
    else
        ZeroChannel_Click();
}

void FormMain::CommandMaster_Click() {
    if (m_state.view.ViewMode == View::Group)
        MasterGroup_Click();
    else
        MasterChannel_Click();
}

FormMastering &FormMain::mastering() {
    if (!m_mastering) {
        m_mastering = std::make_unique<FormMastering>(DialogParts{m_state.session, m_scheduler,
                                                                  m_state.unit, m_state.live,
                                                                  m_state.setup, m_state.prompts},
                                                      this);
        registerLoadedWindow(m_mastering.get(), [this] {
            m_state.live.MasteringChannel = 0;
            m_mastering->hide();
        });
    }
    return *m_mastering;
}

FormGroupMastering &FormMain::groupMastering() {
    if (!m_groupMastering) {
        m_groupMastering = std::make_unique<FormGroupMastering>(
            DialogParts{m_state.session, m_scheduler, m_state.unit, m_state.live, m_state.setup,
                        m_state.prompts},
            this);
        // Closing the dialog refreshes the main list; the hold it raises for that is lowered by
        // the refresh itself, so a hold of another window is left as it was.
        connect(m_groupMastering.get(), &QDialog::rejected, this, [this] {
            ++m_state.view.PollHold;
            UpdateMainDisplay();
        });
        registerLoadedWindow(m_groupMastering.get(), [this] {
            m_state.live.MasteringGroup = 0;
            m_groupMastering->hide();
        });
    }
    return *m_groupMastering;
}

void FormMain::startChannelMastering(bool zero) {
    ++m_state.view.PollHold;
    m_state.view.ViewMode = View::Channels;
    m_state.view.SelectedGroup = 0;
    UpdateMainDisplay();
    ZeroMode = zero ? -1 : 0;
    // Shown again while open, the dialog starts the procedure afresh with the new mode.
    mastering().ShowMastering(procedures::MasteringMode::fromZeroModeFlag(ZeroMode),
                              viewNumber(m_state.view.ViewMode));
}

void FormMain::startGroupMastering(bool zero) {
    if (!CheckForAnyGroups()) {
        m_state.prompts.message(procedures::texts::NoGroupsForCommand);
        return;
    }
    if (m_state.unit.groupCount() > 1) {
        if (!selectGroup)
            return;
        // A chosen group leaves the selection's hold up for the refresh below to lower.
        selectGroup();
        if (m_state.view.SelectedGroup == 0 || m_state.view.GroupSelectCancelled)
            return;
    } else {
        m_state.view.SelectedGroup = 1;
        m_state.view.GroupSelectCancelled = false;
        ++m_state.view.PollHold;
    }
    m_state.view.ViewMode = View::Group;
    UpdateMainDisplay();
    ZeroMode = zero ? -1 : 0;
    groupMastering().ShowGroupMastering(procedures::MasteringMode::fromZeroModeFlag(ZeroMode),
                                        m_state.view.SelectedGroup,
                                        viewNumber(m_state.view.ViewMode));
}

void FormMain::setMasteringValue(const QString &text) {
    if (m_mastering)
        m_mastering->setLiveValue(text);
}

void FormMain::setGroupMasterValue(int row, const QString &text) {
    if (m_groupMastering)
        m_groupMastering->SetGroupMasterValue(row, text);
}

// ---- probe, analog and system setup ----------------------------------------------------------

void FormMain::connectInputSetupCommands() {
    connect(ui->SetupLVDTs, &QAction::triggered, this, [this] {
        showProbeSetup(m_probeSetup ? m_probeSetup->GetCurrentLvdt() : 1, false);
        UpdateMainDisplay();
    });
    connect(ui->SetupAnalog, &QAction::triggered, this, [this] {
        showAnalogSetup(m_analogSetup ? m_analogSetup->GetCurrentAnalog() : 1, false);
        UpdateMainDisplay();
    });
    connect(ui->SetupGeneral, &QAction::triggered, this, &FormMain::showSystemSetup);
}

FormSetupLvdt &FormMain::probeSetup() {
    if (!m_probeSetup) {
        m_probeSetup = std::make_unique<FormSetupLvdt>(DialogParts{m_state.session, m_scheduler,
                                                                   m_state.unit, m_state.live,
                                                                   m_state.setup, m_state.prompts},
                                                       this);
        connect(m_probeSetup.get(), &InputSetupDialog::closed, this, [this](bool changed) {
            if (changed)
                UpdateMainDisplay();
        });
        registerLoadedWindow(m_probeSetup.get(), [this] { m_probeSetup->closeForShutdown(); });
    }
    return *m_probeSetup;
}

FormSetupAnalog &FormMain::analogSetup() {
    if (!m_analogSetup) {
        m_analogSetup = std::make_unique<FormSetupAnalog>(
            DialogParts{m_state.session, m_scheduler, m_state.unit, m_state.live, m_state.setup,
                        m_state.prompts},
            this);
        connect(m_analogSetup.get(), &InputSetupDialog::closed, this, [this](bool changed) {
            if (changed)
                UpdateMainDisplay();
        });
        registerLoadedWindow(m_analogSetup.get(), [this] { m_analogSetup->closeForShutdown(); });
    }
    return *m_analogSetup;
}

void FormMain::showProbeSetup(int probe, bool modal) {
    probeSetup().openAt(probe, modal);
}

void FormMain::showAnalogSetup(int input, bool modal) {
    analogSetup().openAt(input, modal);
}

void FormMain::showSystemSetup() {
    if (!m_systemSetup) {
        m_systemSetup = std::make_unique<FormSetupSystem>(
            SystemSetupParts{setupParts(m_state, static_cast<SetupWindows &>(*this)), m_scheduler,
                             m_state.settings},
            this);
        registerLoadedWindow(m_systemSetup.get(), [this] { m_systemSetup->closeForShutdown(); });
    }
    m_systemSetup->openDialog();
}

int FormMain::currentLvdt() const {
    return m_probeSetup ? m_probeSetup->GetCurrentLvdt() : 0;
}

void FormMain::setCurrentLvdt(int probe) {
    if (m_probeSetup)
        m_probeSetup->SetCurrentLvdt(probe);
}

int FormMain::currentAnalog() const {
    return m_analogSetup ? m_analogSetup->GetCurrentAnalog() : 0;
}

void FormMain::setCurrentAnalog(int input) {
    if (m_analogSetup)
        m_analogSetup->SetCurrentAnalog(input);
}

int FormMain::probeSetupCurrentInput() const {
    return m_probeSetup ? m_probeSetup->boxNumber() : 0;
}

void FormMain::setProbeSetupValue(const QString &text) {
    if (m_probeSetup)
        m_probeSetup->setLiveValue(text);
}

int FormMain::analogSetupCurrentInput() const {
    return m_analogSetup ? m_analogSetup->boxNumber() : 0;
}

void FormMain::setAnalogSetupValue(const QString &text) {
    if (m_analogSetup)
        m_analogSetup->setLiveValue(text);
}

// ---- views ------------------------------------------------------------------------------------

void FormMain::UpdateMainDisplay() {
    sizeChannelLabels();
    ui->setup->menuAction()->setEnabled(m_state.config.SetupsEnabled);
    ui->ViewGroups->setChecked(m_state.view.ViewMode == View::Group);
    ui->ViewChannels->setChecked(m_state.view.ViewMode == View::Channels);
    ui->ViewLVDTs->setChecked(m_state.view.ViewMode == View::Probes);
    // A layout stored for the view wins over the size the display chose for its rows.
    if (gridChecked()) {
        grid().UpdateGridDisplay();
        grid().RestoreGridFormSize();
    }
    if (barsChecked()) {
        bars().UpdateBarDisplay();
        bars().RestoreLGaugeFormSize();
    }
    m_poll.resetCaches();
    if (m_state.view.PollHold >= 1)
        --m_state.view.PollHold;
}

void FormMain::ViewChannels_Click() {
    m_state.view.ViewMode = View::Channels;
    m_state.view.SelectedGroup = 0;
    UpdateMainDisplay();
}

void FormMain::ViewLVDTs_Click() {
    ++m_state.view.PollHold;
    m_state.view.ViewMode = View::Probes;
    UpdateMainDisplay();
}

void FormMain::ViewGroups_Click() {
    if (!CheckForAnyGroups()) {
        m_state.prompts.message(QStringLiteral("No groups exist"));
        return;
    }
    if (!selectGroup)
        return;
    selectGroup();
    if (m_state.view.SelectedGroup > 0 && !m_state.view.GroupSelectCancelled) {
        m_state.view.ViewMode = View::Group;
        UpdateMainDisplay();
    }
}

void FormMain::showSelectedGroup(int groupIndex) {
    m_state.view.SelectedGroup = static_cast<int16_t>(groupIndex);
    m_state.view.ViewMode = View::Group;
    ++m_state.view.PollHold;
    UpdateMainDisplay();
}

void FormMain::CommandViewToggle_Click() {
    const ViewStep step =
        nextViewStep(m_state.view.ViewMode, m_state.view.SelectedGroup,
                     static_cast<int>(m_state.unit.Groups.size()), CheckForAnyGroups());
    switch (step.target) {
    case ViewStep::Target::Channels:
        ViewChannels_Click();
        break;
    case ViewStep::Target::Probes:
        ViewLVDTs_Click();
        break;
    case ViewStep::Target::Group:
        showSelectedGroup(step.group);
        break;
    case ViewStep::Target::Stay:
        break;
    }
}

void FormMain::UpdateToggle_Click() {
    m_updateToggleState = !m_updateToggleState;
    ui->UpdateToggle->setChecked(m_updateToggleState);
    m_state.view.UpdatesOn = m_updateToggleState;
}

void FormMain::GotoSetupFromView(int index) {
    if (!m_state.config.SetupsEnabled)
        return;
    int item = index;
    switch (m_state.view.ViewMode) {
    case View::Group: {
        const group *shown = m_state.unit.groupAt(m_state.view.SelectedGroup);
        if (!shown)
            return;
        item = shown->GetChannel(index);
        break;
    }
    case View::Channels:
    case View::Probes:
    case View::Analogs:
    case View::Digitals:
        break;
    default:
        return;
    }
    if (showSetupDialog(m_state.view.ViewMode, item))
        UpdateMainDisplay();
}

void FormMain::LGauge1_RightClick(int bar, QPoint globalPos) {
    switch (m_state.view.ViewMode) {
    case View::Probes:
        if (m_state.config.SetupsEnabled)
            showCalibrateAt(bar, globalPos);
        break;
    case View::Group:
        // The link names the channel, not the row of the group.
        if (const group *shown = m_state.unit.groupAt(m_state.view.SelectedGroup))
            showCopyLinkFor(shown->GetChannel(bar), globalPos);
        break;
    case View::Channels:
        showCopyLinkFor(bar, globalPos);
        break;
    default:
        break;
    }
}

void FormMain::showCopyLinkFor(int channel, QPoint globalPos) {
    if (!m_copyLink) {
        m_copyLink = std::make_unique<dlgCopyLink>();
        registerLoadedWindow(m_copyLink.get(), [this] { m_copyLink->close(); });
    }
    dlgCopyLink &dialog = *m_copyLink;
    dialog.CopyLinkApplication = LiveItems::application();
    dialog.CopyLinkTopic = LiveItems::topic();
    dialog.CopyLinkItem = LiveItems::itemName(channel);
    dialog.CopyLinkValue = channelText(channel);
    dialog.ShowDialogCopyAt(Twips::fromPixelsX(globalPos.x(), this),
                            Twips::fromPixelsY(globalPos.y(), this));
}

void FormMain::CommandResetMM_Click() {
    m_scheduler.run(resetMaxMinSequence(m_state.session));
}

void FormMain::mnuHelpContents_Click() {
    m_help.ShowHelpContents();
}

void FormMain::AboutQorView_Click() {
    // The firmware version is asked for like any other exchange, after the one under way; the box
    // opens from the event loop, not inside the scheduler's step, so the poll goes on under it.
    auto texts = std::make_shared<AboutTexts>();
    LinkSequence sequence(QStringLiteral("About"));
    sequence.add(QStringLiteral("firmware version"), [this, texts] {
        *texts = buildAboutTexts(m_state.session, m_state.config);
        return true;
    });
    sequence.finished = [self = QPointer(this), texts](bool) {
        if (!self)
            return;
        QTimer::singleShot(0, self, [self, texts] {
            FormAboutQorView about(*texts, self);
            about.exec();
        });
    };
    m_scheduler.run(std::move(sequence));
}

bool FormMain::Timer1_Timer() {
    return m_poll.tick();
}

// ---- groups -----------------------------------------------------------------------------------

void FormMain::connectGroupCommands() {
    selectGroup = [this] {
        runGroupSelection();
    };
    connect(ui->SetupGroups, &QAction::triggered, this, &FormMain::SetupGroups_Click);
}

void FormMain::runGroupSelection() {
    if (!m_groupSelection) {
        m_groupSelection = std::make_unique<FormSelectGroup>(m_state.view, m_state.unit, this);
        registerLoadedWindow(m_groupSelection.get(), [this] { m_groupSelection->reject(); });
    }
    const View before = m_state.view.ViewMode;
    m_groupSelection->SelectGroup();
    // A group view left without a group fell back to the channel view: the displays follow it
    // (the selection's own hold is already lowered, so this refresh brings its own).
    if (m_state.view.ViewMode != before) {
        ++m_state.view.PollHold;
        UpdateMainDisplay();
    }
}

void FormMain::SetupGroups_Click() {
    if (!m_groupEditor) {
        m_groupEditor = std::make_unique<FormSetupGroup>(
            GroupEditorParts{m_state.unit, m_state.view, m_state.setup, m_state.prompts,
                             readRunner()},
            this);
        connect(m_groupEditor.get(), &FormSetupGroup::editingDone, this,
                &FormMain::groupEditingDone);
        registerLoadedWindow(m_groupEditor.get(), [this] { m_groupEditor->closeForShutdown(); });
    }
    // The editor holds the list refresh from its load until Done; this command's own raise is
    // lowered by its refresh right away, so an editor brought to the front adds no hold.
    ++m_state.view.PollHold;
    m_groupEditor->ShowEditor();
    UpdateMainDisplay();
}

void FormMain::groupEditingDone() {
    keepSelectedGroupWithin(m_state.view, m_state.unit.groupCount());
    UpdateMainDisplay();
}

void FormMain::refreshMainDisplay() {
    UpdateMainDisplay();
    // A setup loaded or begun anew replaced the groups an open editor shows.
    if (m_groupEditor)
        m_groupEditor->reloadGroups();
}

// ---- a new setup in place of the old one ------------------------------------------------------

std::vector<QWidget *> FormMain::setupDialogs() const {
    std::vector<QWidget *> dialogs;
    for (QWidget *dialog : std::initializer_list<QWidget *>{
             m_setupChan.get(), m_probeSetup.get(), m_analogSetup.get(), m_systemSetup.get(),
             m_groupEditor.get(), m_mastering.get(), m_groupMastering.get()}) {
        if (dialog)
            dialogs.push_back(dialog);
    }
    return dialogs;
}

void FormMain::setupReplacing() {
    // Whatever a dialog sent now would run after the load, with values of the setup it replaces.
    for (QWidget *dialog : setupDialogs())
        dialog->setEnabled(false);
    // The operator agreed to drop unprogrammed edits: they go now, so that closing a dialog while
    // it waits does not offer to program them. Shown again, the item is read once the new setup
    // is in place (the read queues behind the load).
    if (m_setupChan && m_setupChan->isVisible())
        m_setupChan->SetCurrentChannel(m_setupChan->GetCurrentChannel());
    showOpenInputsAgain();
}

void FormMain::showOpenInputsAgain() {
    for (InputSetupDialog *input :
         std::initializer_list<InputSetupDialog *>{m_probeSetup.get(), m_analogSetup.get()}) {
        if (input && input->isVisible())
            input->setCurrentInput(input->currentInput());
    }
}

void FormMain::setupReplaced() {
    for (QWidget *dialog : setupDialogs())
        dialog->setEnabled(true);
    // An input's description is the station's: shown again, it comes from the new setup.
    showOpenInputsAgain();
    if (m_systemSetup)
        m_systemSetup->setupReplaced();
    if (m_mastering)
        m_mastering->setupReplaced();
    if (m_groupMastering)
        m_groupMastering->setupReplaced();
}

// ---- closing ----------------------------------------------------------------------------------

void FormMain::closeEvent(QCloseEvent *event) {
    if (!queryUnload()) {
        reportSettingsNotSaved();
        event->ignore();
        return;
    }
    m_scheduler.stopPolling();
    unloadOtherWindows();
    m_state.settings.setNumber(SettingKeys::NewSetupFileNum, m_state.setup.NewSetupFileNum);
    if (!isMinimized())
        storeMainPosition();
    reportSettingsNotSaved();
    event->accept();
}

void FormMain::closeForSignal() {
    m_closingForSignal = true;
    close();
    // A modal dialog or box may still run its own event loop; every loop ends now.
    QCoreApplication::exit(0);
}

void FormMain::reportSettingsNotSaved() {
    if (const auto failure = m_state.settings.takeWriteFailure())
        reportUnsavedSettings(*failure, m_closingForSignal ? nullptr : &m_state.prompts);
}

// Edits typed into a setup dialog and not yet programmed are in no setup and no file: exiting, or
// a new setup in place of the one they were typed for, would drop them without a word, so the
// operator is asked first.
bool FormMain::leaveUnprogrammedEdits(const QString &question) {
    QStringList holding;
    const auto note = [&holding](const QDialog *dialog, bool edited) {
        if (dialog && dialog->isVisible() && edited)
            holding << dialog->windowTitle();
    };
    note(m_setupChan.get(), m_setupChan && m_setupChan->isEdited());
    note(m_probeSetup.get(), m_probeSetup && m_probeSetup->isEdited());
    note(m_analogSetup.get(), m_analogSetup && m_analogSetup->isEdited());
    if (holding.isEmpty())
        return true;
    return m_state.prompts.message(holding.join(QStringLiteral(", ")) +
                                       QStringLiteral(" holds changes that were not programmed "
                                                      "into the unit.\r") +
                                       question,
                                   PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes;
}

bool FormMain::queryUnload() {
    bool cancel = false;
    if (!m_closingForSignal && !m_setupQuestionAnswered &&
        !leaveUnprogrammedEdits(QStringLiteral("Exit and drop them?")))
        return false;
    if (m_state.setup.SetupChanged && !m_closingForSignal && !m_setupQuestionAnswered) {
        const PromptAnswer answer =
            m_state.prompts.message(QStringLiteral("Setup has been modified\rSave changes"),
                                    PromptButtons::YesNoCancel, PromptIcon::Question);
        if (answer == PromptAnswer::Cancel)
            return false;
        // The save runs as a sequence of exchanges; closing goes on once it has ended, whatever
        // it did. A cancelled Save As dialog saves nothing and closing goes on at once.
        if (answer == PromptAnswer::Yes && m_setupFiles->saveAsThen([this] {
                m_setupQuestionAnswered = true;
                close();
                m_setupQuestionAnswered = false;
            }))
            return false;
    }
    if (m_state.live.DdeLinkCount != 0 && !m_closingForSignal) {
        const PromptAnswer answer =
            m_state.prompts.message(QStringLiteral("Other applications are using this application"
                                                   "Do you really want to exit the application?"),
                                    PromptButtons::YesNo, PromptIcon::Question, windowTitle());
        cancel = answer == PromptAnswer::No;
    }
    // The displays keep their rectangles current as they move and resize; once more here, so
    // that what is written is where they are at this moment, before anything else closes.
    if (m_grid)
        m_grid->saveShownLayout();
    if (m_bars)
        m_bars->saveShownLayout();
    std::vector<std::pair<SettingKey, long long>> layout;
    for (int i = 0; i < static_cast<int>(m_state.view.WindowLayout.size()); ++i)
        layout.emplace_back(layoutKey(i), m_state.view.WindowLayout[static_cast<size_t>(i)]);
    m_state.settings.setNumbers(layout);
    m_help.CloseHelp();
    return !cancel;
}

void FormMain::unloadOtherWindows() {
    while (!m_loaded.empty()) {
        LoadedWindow last = std::move(m_loaded.back());
        m_loaded.pop_back();
        if (last.window && last.unload)
            last.unload();
    }
}

void FormMain::storeMainPosition() {
    m_state.settings.setText(SettingKeys::MainLeft, QString::number(Twips::fromPixelsX(x(), this)));
    m_state.settings.setText(SettingKeys::MainTop, QString::number(Twips::fromPixelsY(y(), this)));
}
