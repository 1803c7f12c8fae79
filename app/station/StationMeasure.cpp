#include "StationMeasure.h"

#include "CounterLabel.h"
#include "DisplayContent.h"
#include "GaugeStudyWindow.h"
#include "LogSpcSource.h"
#include "MeasureCommands.h"
#include "PlantLinkCommands.h"
#include "PlantLinkSettings.h"
#include "SerialLotInput.h"
#include "SpcWindow.h"
#include "StationStudySource.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

constexpr int StatusMessageMs = 5000;

QString viewName(const ViewShown &shown, const UnitObjects &unit) {
    if (shown.view != View::Group)
        return QStringLiteral("Channels");
    const group *shownGroup = unit.groupAt(shown.group);
    const QString description = shownGroup ? shownGroup->Description.trimmed() : QString();
    return description.isEmpty() ? QStringLiteral("Group %1").arg(shown.group)
                                 : QStringLiteral("Group %1: %2").arg(shown.group).arg(description);
}

template <typename Window> void bringToFront(Window &window) {
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

StationMeasure::StationMeasure(QMainWindow &window, DisplayedState shown, LiveValues &live,
                               SettingsStore &settings, Prompts &prompts, MeasureHooks hooks)
    : m_window(window), m_shown(shown), m_live(live), m_settings(settings), m_prompts(prompts),
      m_hooks(std::move(hooks)),
      m_commands(std::make_unique<MeasureCommands>(settings, prompts, &window)),
      m_studySource(std::make_unique<StationStudySource>(m_commands->settings().station())) {
    recording::PartRecorder &recorder = m_commands->recorder();
    m_measuring = QFileInfo::exists(recorder.logPath()) || m_commands->settings().autoRecord;
    m_spcSource = std::make_unique<spclog::LogSpcSource>(
        recorder.logPath(), spclog::CurrentSetup{[this] { return setupName(); }, {}});
    connect(&recorder, &recording::PartRecorder::partCommitted, m_spcSource.get(),
            &spclog::LogSpcSource::notePartCommitted);
    m_commands->setRecordKeyTaker([this] {
        if (!m_study || !m_study->isTakingReadings())
            return false;
        m_study->takeReading();
        return true;
    });

    ViewFollower follower;
    follower.viewChanged = [this](const ViewShown &view) {
        viewChanged(view);
    };
    follower.row = [this](const ViewRowReading &row) {
        rowRead(row);
    };
    follower.tickEnded = [this](const TickEnd &end) {
        tickEnded(end);
    };
    m_rows = m_live.followView(std::move(follower));
    viewChanged(m_live.shownView());
}

// The SPC and study windows are top-level windows of their own; those still open go with the
// station (before the recorder and its writer they use).
StationMeasure::~StationMeasure() {
    delete m_spc.data();
    delete m_study.data();
}

void StationMeasure::addToWindow(QAction *before) {
    m_menu = new QMenu(QStringLiteral("&Measure"), m_window.menuBar());
    m_menu->setObjectName(QStringLiteral("mnuMeasure"));
    m_window.menuBar()->insertMenu(before, m_menu);
    m_commands->addTo(m_menu);
    connect(m_menu, &QMenu::aboutToShow, this, &StationMeasure::startMeasuring);
    connect(m_commands->autoRecordAction(), &QAction::toggled, this, [this](bool on) {
        if (on)
            startMeasuring();
    });
    m_menu->addSeparator();
    QAction *spc = m_menu->addAction(QStringLiteral("&SPC…"), this, &StationMeasure::showSpc);
    spc->setObjectName(QStringLiteral("mnuSpc"));
    QAction *study =
        m_menu->addAction(QStringLiteral("&Gauge Study…"), this, &StationMeasure::showGaugeStudy);
    study->setObjectName(QStringLiteral("mnuGaugeStudy"));
    m_menu->addSeparator();
    m_plantLinkAction =
        m_menu->addAction(QStringLiteral("Plant &Link…"), this, &StationMeasure::showPlantLink);

    // The Record button for a mouse or a touch screen; F9 is the key.
    m_toolBar = m_window.addToolBar(QStringLiteral("Measure"));
    m_toolBar->setObjectName(QStringLiteral("measureToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_toolBar->addAction(m_commands->recordAction());
    m_toolBar->addAction(m_commands->autoRecordAction());
    m_toolBar->addSeparator();
    m_toolBar->addWidget(m_commands->makeSerialLotInput(m_toolBar));

    QStatusBar *status = m_window.statusBar();
    status->addPermanentWidget(m_commands->makeCounterLabel(status));
    connect(m_commands.get(), &MeasureCommands::statusText, status,
            [status](const QString &text) { status->showMessage(text, StatusMessageMs); });

    if (plantlink::loadPlantLinkSettings(m_settings).enabled)
        startPlantLink();
}

int StationMeasure::extraHeight() const {
    const int bar = m_toolBar ? m_toolBar->sizeHint().height() : 0;
    return bar + m_window.statusBar()->sizeHint().height();
}

void StationMeasure::setSetupFile(const QString &path) {
    if (path == m_setupFile)
        return;
    m_setupFile = path;
    m_commands->setSetupFile(path);
    m_studySource->setSetupName(setupName());
    if (m_plantLink)
        m_plantLink->setSetupName(setupName());
    if (m_spc)
        m_spc->showSetup();
}

QString StationMeasure::setupName() const {
    return m_setupFile.isEmpty() ? QString() : QFileInfo(m_setupFile).fileName();
}

SpcWindow *StationMeasure::showSpc() {
    startMeasuring();
    if (!m_spc) {
        m_spc = new SpcWindow(*m_spcSource, m_prompts);
        m_spc->setAttribute(Qt::WA_DeleteOnClose);
        m_hooks.registerLoadedWindow(m_spc, [this] {
            if (m_spc)
                m_spc->close();
        });
    }
    bringToFront(*m_spc);
    return m_spc;
}

GaugeStudyWindow *StationMeasure::showGaugeStudy() {
    startMeasuring();
    if (!m_study) {
        m_study = new GaugeStudyWindow(m_commands->recorder().writer(), *m_studySource, m_prompts);
        m_study->setAttribute(Qt::WA_DeleteOnClose);
        m_study->leaveRecordKeyToStation();
        m_hooks.registerLoadedWindow(m_study, [this] {
            if (m_study)
                m_study->close();
        });
    }
    bringToFront(*m_study);
    return m_study;
}

void StationMeasure::showPlantLink() {
    startMeasuring();
    startPlantLink();
    m_plantLink->showDialog();
}

// The link is made only when it is wanted, so a station that never publishes opens neither the
// log nor the desktop's password store for it.
void StationMeasure::startPlantLink() {
    if (m_plantLink)
        return;
    m_plantLink =
        std::make_unique<PlantLinkCommands>(m_window, m_commands->recorder().writer(), m_prompts);
    m_plantLinkAction->setVisible(false);
    m_plantLink->setSetupName(setupName());
    LiveRequest request;
    request.rows = [this] {
        return m_plantLink->client().wantsLiveValues()
                   ? static_cast<int>(m_shown.unit.Channels.size())
                   : 0;
    };
    request.object = [](int row) {
        return LiveObject::channel(row);
    };
    request.deliver = [this](const LiveReading &reading) {
        m_plantLink->liveReading(
            static_cast<qint64>(reading.tick), reading.object.number,
            reading.value ? std::optional<double>(*reading.value) : std::nullopt, reading.text());
    };
    m_plantLinkValues = m_live.subscribe(std::move(request));
}

void StationMeasure::viewChanged(const ViewShown &shown) {
    ++m_viewNumber;
    m_setupsAsked = false;
    m_view = {};
    if (shown.view == View::Channels || shown.view == View::Group) {
        m_view.name = viewName(shown, m_shown.unit);
        for (const LiveObject &row : shown.rows) {
            recording::ChannelSetup setup;
            setup.channel = row.number;
            if (!row.wanted())
                setup.state = recording::SetupState::Missing;
            m_view.channels.push_back(setup);
        }
    }
    showView();
    if (m_measuring)
        readSetups();
}

void StationMeasure::startMeasuring() {
    m_measuring = true;
    readSetups();
}

// Reads the descriptions, decimals and limits of the view's channels, through the scheduler.
void StationMeasure::readSetups() {
    if (m_setupsAsked || m_view.channels.empty())
        return;
    m_setupsAsked = true;
    LinkSequence reads;
    const quint64 number = m_viewNumber;
    const auto setups = planGaugeSetups(
        m_shown, static_cast<int>(m_view.channels.size()), reads,
        [this, number] { return number == m_viewNumber; },
        [this, number](qsizetype row, const GaugeSetup &setup) {
            if (number == m_viewNumber)
                setupRead(row, setup);
        });
    for (std::size_t row = 0; row < m_view.channels.size(); ++row) {
        recording::ChannelSetup &channel = m_view.channels[row];
        if (channel.state != recording::SetupState::Missing)
            channel = recording::channelSetupFrom(channel.channel, (*setups)[row]);
    }
    showView();
    m_hooks.runReads(std::move(reads));
}

void StationMeasure::showView() {
    m_commands->showView(m_view);
    m_studySource->showView(m_view);
}

void StationMeasure::setupRead(qsizetype row, const GaugeSetup &setup) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_view.channels.size())
        return;
    recording::ChannelSetup &channel = m_view.channels[static_cast<std::size_t>(row)];
    if (channel.state == recording::SetupState::Missing)
        return;
    channel = recording::channelSetupFrom(channel.channel, setup);
    showView();
}

void StationMeasure::rowRead(const ViewRowReading &row) {
    if (row.reading.object.kind != LiveObject::Kind::Channel)
        return;
    const recording::ChannelReading reading{
        row.reading.object.number,
        row.reading.value ? std::optional<double>(*row.reading.value) : std::nullopt,
        static_cast<qint64>(row.reading.tick)};
    m_commands->takeReading(row.row - 1, reading);
    m_studySource->takeReading(reading);
}

void StationMeasure::tickEnded(const TickEnd &end) {
    const bool held = end.brake != ListBrake::None;
    m_commands->setHeld(held);
    m_commands->endTick(static_cast<qint64>(end.tick), end.complete);
    m_studySource->endTick(static_cast<qint64>(end.tick), end.complete, held);
}
