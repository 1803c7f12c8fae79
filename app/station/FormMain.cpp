#include "FormMain.h"

#include "ui_FormMain.h"

#include "AboutTexts.h"
#include "ChannelCalls.h"
#include "ChannelLabels.h"
#include "CommandLine.h"
#include "DisplayWindowLayout.h"
#include "FormAboutQorView.h"
#include "GroupSelection.h"
#include "HelpFile.h"
#include "MasteringTexts.h"
#include "Prompts.h"
#include "ScreenPlacement.h"
#include "Settings.h"
#include "SetupFileCommands.h"
#include "Station.h"
#include "StationDisplays.h"
#include "StationIcon.h"
#include "StationMeasure.h"
#include "Twips.h"
#include "ViewCycle.h"
#include "WindowLayout.h"

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
      m_commandLine(commandLine), m_help(help), m_poll(state.session, state.unit, state.view),
      m_scheduler(state.session, m_poll, state.prompts) {
    ui->setupUi(this);
    ui->Seperator1->setSeparator(true);
    ui->Seperator2->setSeparator(true);
    m_labels = std::make_unique<ChannelLabels>(ui->LabelChan_0, m_poll);
    connect(m_labels.get(), &ChannelLabels::captionChanged, this, &FormMain::channelCaptionChanged);
    DialogHostHooks hooks;
    hooks.parent = this;
    hooks.updateMainDisplay = [this] {
        UpdateMainDisplay();
    };
    hooks.registerLoadedWindow = [this](QWidget *window, std::function<void()> unload) {
        registerLoadedWindow(window, std::move(unload));
    };
    hooks.setChannelLabelCount = [this](int count) {
        m_labels->setCount(count);
    };
    hooks.setCaption = [this](const QString &caption) {
        setWindowTitle(caption);
        // The caption changes with every setup file loaded, made or saved under a new name.
        if (m_measure)
            m_measure->setSetupFile(m_state.setup.SetupFileName);
    };
    hooks.updatesChosen = [this] {
        return m_updateToggleState;
    };
    m_dialogs = std::make_unique<StationDialogs>(state, m_scheduler, m_poll, help, hooks);
    m_setupFiles = std::make_unique<SetupFileCommands>(m_dialogs->setup(), state.prompts,
                                                       m_scheduler, *m_dialogs, this);
    DisplayHooks displays;
    // The displays' set-up reads go through the scheduler like every other exchange, so a view
    // change never holds the window for more than one exchange.
    displays.runReads = [this](LinkSequence reads) {
        m_scheduler.run(std::move(reads));
    };
    displays.registerLoadedWindow = hooks.registerLoadedWindow;
    displays.gridClosed = [this] {
        EnableGrid_Click();
    };
    displays.barsClosed = [this] {
        EnableBarGraphs_Click();
    };
    displays.rowPicked = [this](int row) {
        GotoSetupFromView(row);
    };
    displays.gaugeRightClicked = [this](int bar, QPoint at) {
        LGauge1_RightClick(bar, at);
    };
    MeasureHooks measure;
    measure.runReads = displays.runReads;
    measure.registerLoadedWindow = hooks.registerLoadedWindow;
    m_displays = std::make_unique<StationDisplays>(
        DisplayedState{state.unit, state.view, &state.session}, m_poll, std::move(displays));
    m_measure = std::make_unique<StationMeasure>(
        *this, DisplayedState{state.unit, state.view, &state.session}, m_poll, state.settings,
        state.prompts, std::move(measure));
    m_measure->addToWindow(ui->AboutQorView);
    connectCommands();
    connectFileCommands();
    connectDialogCommands();
}

FormMain::~FormMain() = default;

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

void FormMain::connectDialogCommands() {
    StationDialogs *host = m_dialogs.get();
    connect(ui->SetupChannels, &QAction::triggered, this, [this] {
        m_dialogs->showChannelSetup(0, false);
        UpdateMainDisplay();
    });
    connect(ui->SetupLVDTs, &QAction::triggered, this, [this] {
        m_dialogs->showProbeSetup(0, false);
        UpdateMainDisplay();
    });
    connect(ui->SetupAnalog, &QAction::triggered, this, [this] {
        m_dialogs->showAnalogSetup(0, false);
        UpdateMainDisplay();
    });
    connect(ui->SetupGeneral, &QAction::triggered, host, &StationDialogs::showSystemSetup);
    connect(ui->SetupGroups, &QAction::triggered, this, &FormMain::SetupGroups_Click);
    connect(ui->ZeroChannel, &QAction::triggered, this, &FormMain::ZeroChannel_Click);
    connect(ui->ZeroGroup, &QAction::triggered, this, &FormMain::ZeroGroup_Click);
    connect(ui->MasterChannel, &QAction::triggered, this, &FormMain::MasterChannel_Click);
    connect(ui->MasterGroup, &QAction::triggered, this, &FormMain::MasterGroup_Click);
    connect(ui->CommandZero, &QPushButton::clicked, this, &FormMain::CommandZero_Click);
    connect(ui->CommandMaster, &QPushButton::clicked, this, &FormMain::CommandMaster_Click);
}

void FormMain::Form_Load() {
    setWindowIcon(stationIcon());
    setWindowTitle(m_state.config.CompanyName + QStringLiteral("   ") + m_state.config.ProductName);
    // The size is the whole window's, its title bar included; the Measure tool bar and the status
    // bar (the part counter) come on top of it, so the buttons keep their room.
    resize(Twips::toPixelsX(MainWidthTwips, this),
           Twips::toPixelsY(MainHeightTwips, this) -
               style()->pixelMetric(QStyle::PM_TitleBarHeight) + m_measure->extraHeight());
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
    UpdateToggle_Click();
    // Both start-up displays are open before either is placed, so the bars can go beside the grid.
    m_displays->deferPlacing(true);
    if (barsAtStart || options.bars)
        EnableBarGraphs_Click();
    if (numbersAtStart || options.nums)
        EnableGrid_Click();
    m_displays->deferPlacing(false);
    m_displays->placeBelow(frameGeometry());
}

void FormMain::sizeChannelLabels() {
    const int channels = m_state.unit.UnitSystem ? m_state.unit.UnitSystem->MaxChannel() : 0;
    m_labels->setCount(channels);
    // Here rather than with the labels: a setup made anew removes every label before it makes
    // them again, and the mastering dialog must not lose its channel to that.
    m_dialogs->keepMasteringChannelWithin(channels);
}

QLabel *FormMain::labelChan(int n) const {
    return m_labels->label(n);
}

QString FormMain::labelChanCaption(int n) const {
    return m_labels->caption(n);
}

int FormMain::labelChanCount() const {
    return m_labels->count();
}

const LiveItemSource &FormMain::liveItems() const {
    return *m_labels;
}

FormGridDisplay *FormMain::gridDisplay() const {
    return m_displays->grid();
}

FormLinGage *FormMain::barDisplay() const {
    return m_displays->bars();
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

void FormMain::registerLoadedWindow(QWidget *window, std::function<void()> unload) {
    m_loaded.push_back({window, std::move(unload)});
}

void FormMain::EnableGrid_Click() {
    ui->EnableGrid->setChecked(!ui->EnableGrid->isChecked());
    m_displays->setGridWanted(gridChecked());
    if (gridChecked()) {
        UpdateMainDisplay();
        m_displays->showWanted();
        m_displays->placeBelow(frameGeometry());
    }
}

void FormMain::EnableBarGraphs_Click() {
    ui->EnableBarGraphs->setChecked(!ui->EnableBarGraphs->isChecked());
    m_displays->setBarsWanted(barsChecked());
    if (barsChecked()) {
        UpdateMainDisplay();
        m_displays->showWanted();
        m_displays->placeBelow(frameGeometry());
    }
}

// ---- zeroing and mastering ------------------------------------------------------------------

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

void FormMain::startChannelMastering(bool zero) {
    m_state.view.PollHold.holdUntilRefresh();
    m_state.view.ViewMode = View::Channels;
    m_state.view.SelectedGroup = 0;
    UpdateMainDisplay();
    m_dialogs->showMastering(zero, m_state.view.ViewMode);
}

void FormMain::startGroupMastering(bool zero) {
    if (!CheckForAnyGroups()) {
        m_state.prompts.message(procedures::texts::NoGroupsForCommand);
        return;
    }
    if (m_state.unit.groupCount() > 1) {
        // A chosen group hands the selection's hold over to the refresh below.
        m_dialogs->selectGroup();
        if (m_state.view.SelectedGroup == 0 || m_state.view.GroupSelectCancelled)
            return;
    } else {
        m_state.view.SelectedGroup = 1;
        m_state.view.GroupSelectCancelled = false;
        m_state.view.PollHold.holdUntilRefresh();
    }
    m_state.view.ViewMode = View::Group;
    UpdateMainDisplay();
    m_dialogs->showGroupMastering(zero, m_state.view.SelectedGroup, m_state.view.ViewMode);
}

// ---- views ------------------------------------------------------------------------------------

void FormMain::UpdateMainDisplay() {
    sizeChannelLabels();
    ui->setup->menuAction()->setEnabled(m_state.config.SetupsEnabled);
    ui->ViewGroups->setChecked(m_state.view.ViewMode == View::Group);
    ui->ViewChannels->setChecked(m_state.view.ViewMode == View::Channels);
    ui->ViewLVDTs->setChecked(m_state.view.ViewMode == View::Probes);
    m_displays->showView();
    m_poll.resetCaches();
    m_state.view.PollHold.endHandedOver();
}

void FormMain::ViewChannels_Click() {
    m_state.view.ViewMode = View::Channels;
    m_state.view.SelectedGroup = 0;
    UpdateMainDisplay();
}

void FormMain::ViewLVDTs_Click() {
    m_state.view.PollHold.holdUntilRefresh();
    m_state.view.ViewMode = View::Probes;
    UpdateMainDisplay();
}

void FormMain::ViewGroups_Click() {
    if (!CheckForAnyGroups()) {
        m_state.prompts.message(QStringLiteral("No groups exist"));
        return;
    }
    m_dialogs->selectGroup();
    if (m_state.view.SelectedGroup > 0 && !m_state.view.GroupSelectCancelled) {
        m_state.view.ViewMode = View::Group;
        UpdateMainDisplay();
    }
}

void FormMain::showSelectedGroup(int groupIndex) {
    m_state.view.SelectedGroup = static_cast<int16_t>(groupIndex);
    m_state.view.ViewMode = View::Group;
    m_state.view.PollHold.holdUntilRefresh();
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
    if (m_dialogs->showSetupDialog(m_state.view.ViewMode, item))
        UpdateMainDisplay();
}

void FormMain::LGauge1_RightClick(int bar, QPoint globalPos) {
    switch (m_state.view.ViewMode) {
    case View::Probes:
        if (m_state.config.SetupsEnabled)
            m_dialogs->showCalibrateAt(bar, globalPos);
        break;
    case View::Group:
        // The link names the channel, not the row of the group.
        if (const group *shown = m_state.unit.groupAt(m_state.view.SelectedGroup))
            m_dialogs->showCopyLink(shown->GetChannel(bar),
                                    m_labels->channelText(shown->GetChannel(bar)), globalPos);
        break;
    case View::Channels:
        m_dialogs->showCopyLink(bar, m_labels->channelText(bar), globalPos);
        break;
    default:
        break;
    }
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

void FormMain::SetupGroups_Click() {
    // The editor holds the list refresh from its load until Done; this command's own hold ends
    // with its refresh right away, so an editor brought to the front adds no hold.
    m_state.view.PollHold.holdUntilRefresh();
    m_dialogs->showGroupEditor();
    UpdateMainDisplay();
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

bool FormMain::queryUnload() {
    bool cancel = false;
    if (!m_closingForSignal && !m_setupQuestionAnswered &&
        !m_dialogs->leaveUnprogrammedEdits(QStringLiteral("Exit and drop them?")))
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
    m_displays->saveShownLayout();
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
