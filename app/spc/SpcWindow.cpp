#include "SpcWindow.h"

#include "CapabilityPanel.h"
#include "ControlChart.h"
#include "HistogramChart.h"
#include "Prompts.h"
#include "SpcCsv.h"
#include "SpcFigures.h"
#include "SpcReport.h"
#include "StationIcon.h"
#include "TextFileStore.h"
#include "ViolationList.h"

#include <QBuffer>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("SPC");
const QString Loading = QStringLiteral("loading…");

QChartView *chartView(QChart *chart, QWidget *parent) {
    auto *view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(240, 120);
    return view;
}

QByteArray pngOf(QWidget *widget) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!widget->grab().save(&buffer, "PNG"))
        return {};
    return bytes;
}

struct ExportFile {
    SpcControls::Export what;
    const char *title;
    const char *name; // after "channel<n>-"
    const char *filter;
};
constexpr std::array<ExportFile, 5> ExportFiles{{
    {SpcControls::Export::LocationPng, "Save the location chart", "location.png",
     "PNG images (*.png)"},
    {SpcControls::Export::SpreadPng, "Save the spread chart", "spread.png", "PNG images (*.png)"},
    {SpcControls::Export::HistogramPng, "Save the histogram", "histogram.png",
     "PNG images (*.png)"},
    {SpcControls::Export::PdfReport, "Save the SPC report", "report.pdf", "PDF files (*.pdf)"},
    {SpcControls::Export::Csv, "Save the subgroups and figures", "subgroups.csv",
     "CSV files (*.csv)"},
}};

} // namespace

SpcWindow::SpcWindow(spc::SpcDataSource &source, Prompts &prompts, QWidget *parent)
    : QWidget(parent, Qt::Window), source_(source), prompts_(prompts),
      channelList_(new QListWidget(this)), controls_(new SpcControls(this)),
      location_(new ControlChart(ChartSide::Location)),
      spread_(new ControlChart(ChartSide::Spread)), locationView_(chartView(location_, this)),
      spreadView_(chartView(spread_, this)), scroll_(new QScrollBar(Qt::Horizontal, this)),
      violations_(new ViolationList(this)), histogram_(new HistogramChart),
      histogramView_(chartView(histogram_, this)), histogramNote_(new QLabel(this)),
      capability_(new CapabilityPanel(this)) {
    setWindowTitle(Title);
    setWindowIcon(stationIcon());
    setObjectName(QStringLiteral("SpcWindow"));
    channelList_->setObjectName(QStringLiteral("channelList"));
    channelList_->setMinimumWidth(150);
    histogramNote_->setWordWrap(true);
    histogramNote_->setObjectName(QStringLiteral("histogramNote"));
    scroll_->setObjectName(QStringLiteral("subgroupScroll"));
    scroll_->setToolTip(QStringLiteral("Scroll through the subgroups"));

    auto *chartsColumn = new QWidget(this);
    auto *charts = new QVBoxLayout(chartsColumn);
    charts->setContentsMargins(0, 0, 0, 0);
    charts->addWidget(locationView_, 5);
    charts->addWidget(spreadView_, 4);
    charts->addWidget(scroll_);
    violationsTitle_ = new QLabel(chartsColumn);
    violationsTitle_->setBuddy(violations_);
    charts->addWidget(violationsTitle_);
    charts->addWidget(violations_, 2);

    auto *sideColumn = new QWidget(this);
    auto *side = new QVBoxLayout(sideColumn);
    side->setContentsMargins(0, 0, 0, 0);
    side->addWidget(histogramView_, 5);
    side->addWidget(histogramNote_);
    side->addWidget(capability_, 4);

    auto *figures = new QSplitter(Qt::Horizontal, this);
    figures->addWidget(chartsColumn);
    figures->addWidget(sideColumn);
    figures->setStretchFactor(0, 3);
    figures->setStretchFactor(1, 2);
    figures->setChildrenCollapsible(false);

    auto *main = new QWidget(this);
    auto *mainLayout = new QVBoxLayout(main);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->addWidget(controls_);
    mainLayout->addWidget(figures, 1);

    auto *whole = new QSplitter(Qt::Horizontal, this);
    whole->addWidget(channelList_);
    whole->addWidget(main);
    whole->setStretchFactor(0, 0);
    whole->setStretchFactor(1, 1);
    whole->setChildrenCollapsible(false);
    whole->setSizes({170, 1110});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(whole);
    resize(1280, 840);

    histogramTimer_.setSingleShot(true);
    connect(&histogramTimer_, &QTimer::timeout, this, &SpcWindow::drawHistogram);
    sliceTimer_.setSingleShot(true);
    connect(&sliceTimer_, &QTimer::timeout, this, &SpcWindow::readSlice);
    connect(&source_, &spc::SpcDataSource::partsRecorded, this, &SpcWindow::takeNewParts);
    connect(channelList_, &QListWidget::currentRowChanged, this, &SpcWindow::channelChosen);
    connect(controls_, &SpcControls::subgroupSizeChanged, this, &SpcWindow::subgroupSizeChanged);
    connect(controls_, &SpcControls::baselineChanged, this, &SpcWindow::baselineChanged);
    connect(controls_, &SpcControls::rulesChanged, this, &SpcWindow::rulesChanged);
    connect(controls_, &SpcControls::spanChanged, this, [this] {
        completeLoading();
        showEverything();
    });
    connect(controls_, &SpcControls::freezeRequested, this, &SpcWindow::freezeLimits);
    connect(controls_, &SpcControls::exportRequested, this, &SpcWindow::chooseExportFile);
    connect(scroll_, &QScrollBar::valueChanged, this, &SpcWindow::showRange);
    connect(violations_, &ViolationList::subgroupChosen, this, &SpcWindow::showSubgroup);

    controls_->showSettings({});
    showSetup();
}

SpcWindow::~SpcWindow() = default;

void SpcWindow::showSetup() {
    sliceTimer_.stop();
    loading_.reset();
    analysis_.reset();
    location_->setAnalysis(nullptr);
    spread_->setAnalysis(nullptr);
    {
        const QSignalBlocker quiet(channelList_);
        channelList_->clear();
    }
    channels_ = source_.channels();
    for (const spc::SpcChannel &channel : channels_)
        channelList_->addItem(
            QStringLiteral("%1  %2").arg(channel.number).arg(channel.description));
    controls_->setEnabled(!channels_.empty());
    if (channels_.empty())
        controls_->showNotice(
            QStringLiteral("The setup %1 has no channels.").arg(source_.setupName()));
    else
        channelList_->setCurrentRow(0);
}

bool SpcWindow::showChannel(int channel) {
    for (std::size_t row = 0; row < channels_.size(); ++row) {
        if (channels_[row].number == channel) {
            channelList_->setCurrentRow(static_cast<int>(row));
            return true;
        }
    }
    return false;
}

void SpcWindow::channelChosen(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= channels_.size())
        return;
    const spc::SpcChannel &channel = channels_[static_cast<std::size_t>(row)];
    spc::AnalysisSettings settings;
    settings.subgroupSize = source_.subgroupSize(channel.number);
    settings.baselineSubgroups = controls_->baselineSubgroups();
    settings.baseline = controls_->baselineChoice();
    settings.rules = controls_->rules();
    sliceTimer_.stop();
    loadFailure_.clear();
    // A first look at the newest subgroups comes first where the history is long.
    auto first = std::make_unique<spc::SpcAnalysis>(source_, channel, settings);
    controls_->showSettings(first->settings());
    QString error;
    const bool read = controls_->span() > 0
                          ? first->loadPreview(controls_->span(), SliceParts, &error)
                          : first->load(&error);
    if (first->isPreview()) {
        loading_ = std::make_unique<spc::SpcAnalysis>(source_, channel, settings);
        loading_->startLoading();
        analysis_ = std::move(first);
        readFailure_.clear();
        drawHistogram();
        showEverything();
        sliceTimer_.start();
        return;
    }
    // Read whole, or (a first look that could not be read) to be read whole.
    loading_ = std::move(first);
    if (!read && loading_->loaded())
        loadFailure_ = error;
    completeLoading();
}

bool SpcWindow::readLoading(std::size_t parts) {
    QString error;
    if (!loading_->loadSlice(parts, &error))
        loadFailure_ = error;
    return loading_->loaded();
}

void SpcWindow::readSlice() {
    if (readLoading(SliceParts))
        showLoaded();
    else
        sliceTimer_.start();
}

void SpcWindow::completeLoading() {
    if (!loading_)
        return;
    if (!loading_->loaded())
        readLoading(0);
    showLoaded();
}

void SpcWindow::showLoaded() {
    sliceTimer_.stop();
    analysis_ = std::move(loading_);
    readFailure_ = loadFailure_.isEmpty()
                       ? QString()
                       : QStringLiteral("The parts cannot all be read: %1").arg(loadFailure_);
    drawHistogram();
    showEverything();
}

void SpcWindow::showEverything() {
    if (!analysis_)
        return;
    location_->setAnalysis(analysis_.get());
    spread_->setAnalysis(analysis_.get());
    showViolations();
    {
        const QSignalBlocker block(scroll_);
        scroll_->setValue(scroll_->maximum());
    }
    // There is nothing to scroll back to before the whole history is in.
    scroll_->setEnabled(!loading_);
    showRange();
    showFigures();
    showNotice();
}

void SpcWindow::showRange() {
    const std::size_t subgroups = analysis_->series().subgroupCount();
    const std::size_t span = controls_->span();
    // Following the newest, the range moves on a tenth of its width at a time and leaves room
    // for the next subgroups: the axes stand still between moves, and a new point is cheap.
    const std::size_t step = std::max<std::size_t>(1, span / 10);
    const std::size_t lastFirst =
        span == 0 || subgroups <= span ? 0 : (subgroups - span + step - 1) / step * step;
    const bool atEnd = scroll_->value() >= scroll_->maximum();
    {
        const QSignalBlocker block(scroll_);
        scroll_->setRange(0, static_cast<int>(lastFirst));
        scroll_->setPageStep(static_cast<int>(std::max<std::size_t>(span, 1)));
        // Following the newest subgroups, the range keeps following them as parts come.
        if (atEnd)
            scroll_->setValue(scroll_->maximum());
    }
    const auto first = static_cast<std::size_t>(scroll_->value());
    // A young run's axis grows by the same steps until it reaches the span.
    const std::size_t axis = span == 0 ? 0 : std::min(span, (subgroups / step + 1) * step);
    location_->showSubgroups(first, axis);
    spread_->showSubgroups(first, axis);
}

void SpcWindow::showViolations(std::optional<std::size_t> added) {
    if (analysis_->isPreview()) {
        violations_->showNone();
        violationsTitle_->setText(QStringLiteral("Rule &violations: %1").arg(Loading));
        return;
    }
    if (added)
        violations_->showAdded(*added);
    else
        violations_->showAll(*analysis_);
    violationsTitle_->setText(QStringLiteral("Rule &violations: %1").arg(violations_->total()));
}

void SpcWindow::showSubgroup(std::size_t subgroup) {
    const std::size_t span = controls_->span();
    scroll_->setValue(static_cast<int>(subgroup > span / 2 ? subgroup - span / 2 : 0));
}

void SpcWindow::takeNewParts() {
    if (!analysis_)
        return;
    spc::Growth growth;
    QString error;
    const bool read = analysis_->readNewParts(&growth, &error);
    const QString failure =
        read ? QString() : QStringLiteral("The newest parts cannot be read: %1").arg(error);
    const bool failureChanged = failure != readFailure_;
    if (growth.parts == 0 && !failureChanged)
        return;
    readFailure_ = failure;
    if (growth.subgroups > 0 || growth.toleranceChanged) {
        showRange();
    }
    if (growth.limitsChanged)
        showViolations();
    else if (growth.violations > 0)
        showViolations(growth.violations);
    showFigures();
    if (growth.limitsChanged || growth.toleranceChanged || failureChanged)
        showNotice();
    scheduleHistogram();
}

void SpcWindow::subgroupSizeChanged(int size) {
    if (!analysis_)
        return;
    completeLoading();
    source_.storeSubgroupSize(analysis_->channel().number, size);
    analysis_->setSubgroupSize(size);
    showEverything();
}

void SpcWindow::baselineChanged() {
    if (!analysis_)
        return;
    completeLoading();
    analysis_->setBaseline(controls_->baselineSubgroups(), controls_->baselineChoice());
    showEverything();
}

void SpcWindow::rulesChanged() {
    if (!analysis_)
        return;
    completeLoading();
    analysis_->setRules(controls_->rules());
    showEverything();
}

void SpcWindow::showFigures() {
    if (analysis_->isPreview())
        capability_->showPending(Loading);
    else
        capability_->showCapability(analysis_->capability(), analysis_->channel().decimals);
    const std::size_t k = static_cast<std::size_t>(analysis_->settings().baselineSubgroups);
    controls_->showLimits(analysis_->limitsOrigin() == spc::LimitsOrigin::Frozen,
                          analysis_->series().subgroupCount() >= k);
}

void SpcWindow::showNotice() {
    QStringList lines{analysis_->limitsText()};
    if (analysis_->ruleCheck().state == spc::RuleCheckState::NotChecked)
        lines << analysis_->ruleCheck().reason;
    const QString change = analysis_->isPreview() ? QStringLiteral("Older parts: %1").arg(Loading)
                                                  : analysis_->limitChangeText();
    if (!change.isEmpty())
        lines << change;
    if (!readFailure_.isEmpty())
        lines << readFailure_;
    controls_->showNotice(lines.join(QLatin1Char('\n')));
}

QString SpcWindow::noticeText() const {
    return controls_->notice();
}

void SpcWindow::scheduleHistogram() {
    if (histogramTimer_.isActive())
        return;
    const qint64 waited =
        sinceHistogram_.isValid() ? sinceHistogram_.elapsed() : HistogramIntervalMs;
    histogramTimer_.start(static_cast<int>(std::max<qint64>(0, HistogramIntervalMs - waited)));
}

void SpcWindow::drawHistogram() {
    histogramTimer_.stop();
    if (analysis_->isPreview()) {
        histogram_->showLoading();
        histogramNote_->setText(
            QStringLiteral("Tolerance: %1\n%2")
                .arg(spc::partLimitsText(analysis_->newestLimits(), analysis_->channel().decimals),
                     Loading));
        return;
    }
    histogramData_ = spc::histogram(analysis_->series().parts());
    histogram_->showHistogram(histogramData_, analysis_->newestLimits(),
                              analysis_->channel().decimals);
    histogramNote_->setText(
        QStringLiteral("Tolerance: %1\nCurve: normal, from the mean and σ overall\nBins: %2")
            .arg(spc::partLimitsText(analysis_->newestLimits(), analysis_->channel().decimals),
                 spc::binRuleText(histogramData_.rule)));
    sinceHistogram_.restart();
}

void SpcWindow::freezeLimits() {
    if (!analysis_)
        return;
    completeLoading();
    if (analysis_->limitsOrigin() == spc::LimitsOrigin::Frozen) {
        const QString question =
            QStringLiteral("%1.\rReplace them with limits from the %2 %3 subgroups?")
                .arg(analysis_->limitsText(),
                     analysis_->settings().baseline == spc::BaselineChoice::FirstSubgroups
                         ? QStringLiteral("first")
                         : QStringLiteral("latest"))
                .arg(analysis_->settings().baselineSubgroups);
        if (prompts_.message(question, PromptButtons::YesNo, PromptIcon::Question, Title) !=
            PromptAnswer::Yes)
            return;
    }
    QString error;
    if (!analysis_->freezeLimits(QDateTime::currentDateTimeUtc(), &error)) {
        say(QStringLiteral("The limits were not frozen.\r%1").arg(error));
        return;
    }
    showEverything();
}

void SpcWindow::chooseExportFile(SpcControls::Export what) {
    if (!analysis_)
        return;
    const auto entry = std::find_if(ExportFiles.begin(), ExportFiles.end(),
                                    [what](const ExportFile &f) { return f.what == what; });
    const QString name = QStringLiteral("spc-channel%1-%2")
                             .arg(analysis_->channel().number)
                             .arg(QLatin1String(entry->name));
    const QString file =
        prompts_.saveFileName(QString::fromUtf8(entry->title),
                              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                              QString::fromUtf8(entry->filter), name);
    if (!file.isEmpty())
        exportTo(what, file);
}

bool SpcWindow::exportTo(SpcControls::Export what, const QString &file) {
    if (!analysis_)
        return false;
    completeLoading();
    QByteArray bytes;
    switch (what) {
    case SpcControls::Export::LocationPng:
        bytes = pngOf(locationView_);
        break;
    case SpcControls::Export::SpreadPng:
        bytes = pngOf(spreadView_);
        break;
    case SpcControls::Export::HistogramPng:
        bytes = pngOf(histogramView_);
        break;
    case SpcControls::Export::PdfReport:
        // The report shows every part read so far, not the histogram of half a second ago.
        if (histogramTimer_.isActive())
            drawHistogram();
        bytes = spcReportPdf(*analysis_, histogramData_, static_cast<std::size_t>(scroll_->value()),
                             std::min<std::size_t>(controls_->span() == 0
                                                       ? analysis_->series().subgroupCount()
                                                       : controls_->span(),
                                                   analysis_->series().subgroupCount()),
                             QDateTime::currentDateTime());
        break;
    case SpcControls::Export::Csv:
        bytes = spc::spcCsv(*analysis_);
        break;
    }
    if (bytes.isEmpty()) {
        say(QStringLiteral("%1 was not written: the picture could not be made.").arg(file));
        return false;
    }
    const QString failure = textfile::saveFileBytes(file, bytes);
    if (!failure.isEmpty()) {
        say(failure);
        return false;
    }
    return true;
}

void SpcWindow::say(const QString &text) {
    prompts_.message(text, PromptButtons::Ok, PromptIcon::Critical, Title);
}
