#include "SpcWindow.h"
#include "CapabilityPanel.h"
#include "ControlChart.h"
#include "HandWorkedChannel.h"
#include "HistogramChart.h"
#include "LinearGauge.h"
#include "ScriptedPrompts.h"
#include "SpcCsv.h"
#include "ViolationList.h"
#include "WaitFor.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace spc;

namespace {

constexpr qint64 StartMs = 1709532000000; // 2024-03-04 06:00 UTC
constexpr int Bore = 1;
constexpr int Coolant = 2;
const PartLimits BoreLimits{{9.9, 10.1}, 10.0};

// A source with a bore channel of `parts` steady parts (σ 0.01 around 10) and a coolant channel
// without limits.
class SteadySource {
public:
    explicit SteadySource(std::size_t parts) : source(QStringLiteral("line 3.qor")) {
        source.addChannel({Bore, QStringLiteral("Bore"), 3});
        source.addChannel({Coolant, QStringLiteral("Coolant"), 1});
        for (std::size_t i = 0; i < parts; ++i) {
            source.addPart(Bore, next(), time(), BoreLimits);
            source.addPart(Coolant, 20.0 + next() - 10.0, time());
        }
    }
    double next() { return noise_(random_); }
    qint64 time() { return StartMs + 1000 * clock_++; }
    void record(double value) { source.recordPart(Bore, value, time(), BoreLimits); }

    MemorySpcSource source;

private:
    std::mt19937 random_{21};
    std::normal_distribution<double> noise_{10.0, 0.01};
    qint64 clock_ = 0;
};

QByteArray contents(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(SpcWindow, ChartsShowTheSubgroupsInViewWithTheirLimits) {
    SteadySource steady(750); // 150 subgroups of 5
    ScriptedPrompts prompts;
    SpcWindow window(steady.source, prompts);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("SPC"));
    ASSERT_EQ(window.analysis()->channel().number, Bore);
    for (ControlChart *chart : {window.locationChart(), window.spreadChart()}) {
        EXPECT_EQ(chart->pointCount(), 100) << "the last 100 subgroups by default";
        EXPECT_EQ(chart->limitLineCount(), 3);
        EXPECT_EQ(chart->pendingText(), QString());
        EXPECT_EQ(chart->changeMarkerCount(), 0);
    }
    EXPECT_EQ(window.subgroupScroll()->maximum(), 50);
    EXPECT_EQ(window.subgroupScroll()->value(), 50);
    window.subgroupScroll()->setValue(0);
    EXPECT_EQ(window.locationChart()->pointCount(), 100);
    EXPECT_EQ(window.histogramChart()->limitLineCount(), 3) << "LSL, USL and the nominal";
    EXPECT_TRUE(window.histogramChart()->hasCurve());
    EXPECT_EQ(window.capabilityPanel()->value(QStringLiteral("n")), QStringLiteral("750"));
}

TEST(SpcWindow, ALongHistoryIsThinnedToTwoPointsAPixelColumn) {
    SteadySource steady(50'000); // 10,000 subgroups
    ScriptedPrompts prompts;
    SpcWindow window(steady.source, prompts);
    window.resize(1000, 700);
    window.show();
    QCoreApplication::processEvents();
    window.controls()->spanBox()->setCurrentIndex(3); // all subgroups
    const int columns = static_cast<int>(window.locationChart()->plotArea().width());
    const int points = window.locationChart()->pointCount();
    EXPECT_GT(points, 100);
    EXPECT_LE(points, 2 * columns + 2);
    EXPECT_LE(window.locationChart()->flaggedPoints().size(), columns + 1)
        << "flagged points are thinned alike";
}

TEST(SpcWindow, ChoosingAViolationBringsItsSubgroupIntoView) {
    SteadySource steady(1000);
    for (int i = 0; i < 5; ++i)
        steady.source.addPart(Bore, 10.08, steady.time(), BoreLimits);
    for (int i = 0; i < 1000; ++i)
        steady.source.addPart(Bore, steady.next(), steady.time(), BoreLimits);
    ScriptedPrompts prompts;
    SpcWindow window(steady.source, prompts);
    ViolationList &list = *window.violationList();
    int row = 0;
    while (row < static_cast<int>(list.total()) && list.text(row, 1) != QStringLiteral("201"))
        ++row;
    ASSERT_LT(row, static_cast<int>(list.total()));
    EXPECT_NE(window.subgroupScroll()->value(), 150) << "the newest subgroups at first";
    Q_EMIT list.activated(list.model()->index(row, 0));
    EXPECT_EQ(window.subgroupScroll()->value(), 150) << "subgroup 201 in the middle of 100";
    EXPECT_TRUE(window.locationChart()->flaggedPoints().contains(QPointF(201.0, 10.08)));
}

TEST(SpcWindow, ASetupWithoutChannelsSaysSo) {
    MemorySpcSource source(QStringLiteral("empty.qor"));
    ScriptedPrompts prompts;
    SpcWindow window(source, prompts);
    EXPECT_EQ(window.noticeText(), QStringLiteral("The setup empty.qor has no channels."));
    EXPECT_FALSE(window.controls()->isEnabled());
    window.controls()->spanBox()->setCurrentIndex(3);
    EXPECT_FALSE(window.exportTo(SpcControls::Export::Csv, QStringLiteral("/nonexistent/x.csv")));
}

TEST(SpcWindow, EqualReadingsSayWhyThereAreNoFiguresOrRuleChecks) {
    MemorySpcSource source(QStringLiteral("line 3.qor"));
    source.addChannel({Bore, QStringLiteral("Bore"), 3});
    for (int i = 0; i < 200; ++i)
        source.addPart(Bore, 10.0, StartMs + i, BoreLimits);
    ScriptedPrompts prompts;
    SpcWindow window(source, prompts);
    EXPECT_EQ(window.capabilityPanel()->remark(),
              QStringLiteral("All readings are equal (σ = 0): no capability figures."));
    EXPECT_TRUE(window.noticeText().contains(
        QStringLiteral("All readings of the baseline are equal (σ = 0): no rule checks.")));
    EXPECT_EQ(window.histogramChart()->binCount(), 1u);
    EXPECT_FALSE(window.histogramChart()->hasCurve());
    EXPECT_EQ(window.locationChart()->pointCount(), 40);
}

TEST(SpcWindow, ARuleViolationIsListedAndDrawnInTheRejectColour) {
    SteadySource steady(200);
    for (int i = 0; i < 5; ++i)
        steady.source.addPart(Bore, 10.08, steady.time(), BoreLimits);
    ScriptedPrompts prompts;
    SpcWindow window(steady.source, prompts);
    const QColor reject = LinearGauge::zoneColor(GaugeZone::Reject);

    ViolationList &list = *window.violationList();
    ASSERT_GE(list.total(), 1u);
    const int last = static_cast<int>(list.total()) - 1;
    EXPECT_EQ(list.text(last, 0), QStringLiteral("WE 1: a point beyond 3σ"));
    EXPECT_EQ(list.text(last, 1), QStringLiteral("41"));
    EXPECT_EQ(list.text(last, 2), localTimeText(StartMs + 404'000)) << "its last part's time";
    EXPECT_EQ(list.model()->index(last, 0).data(Qt::ForegroundRole).value<QColor>(), reject);
    EXPECT_EQ(window.locationChart()->flaggedColour(), reject);
    EXPECT_TRUE(window.locationChart()->flaggedPoints().contains(QPointF(41.0, 10.08)));
    EXPECT_TRUE(window.spreadChart()->flaggedPoints().isEmpty());

    // Switched off, the rule flags the point no more.
    window.controls()->ruleAction(Rule::BeyondLimits)->setChecked(false);
    EXPECT_FALSE(window.locationChart()->flaggedPoints().contains(QPointF(41.0, 10.08)));
    for (int i = 0; i < static_cast<int>(list.total()); ++i)
        EXPECT_NE(list.text(i, 0), QStringLiteral("WE 1: a point beyond 3σ"));
}

TEST(SpcWindow, TooFewSubgroupsSayWhenLimitsComeAndLivePartsBringThem) {
    SteadySource steady(60); // 12 subgroups
    ScriptedPrompts prompts;
    SpcWindow window(steady.source, prompts);
    for (ControlChart *chart : {window.locationChart(), window.spreadChart()}) {
        EXPECT_EQ(chart->pendingText(), QStringLiteral("limits after 25 subgroups"));
        EXPECT_EQ(chart->limitLineCount(), 0);
        EXPECT_EQ(chart->pointCount(), 12);
    }
    EXPECT_FALSE(window.controls()->freezeButton()->isEnabled());

    for (int i = 0; i < 13 * 5; ++i)
        steady.record(steady.next());
    EXPECT_EQ(window.locationChart()->pointCount(), 25);
    EXPECT_EQ(window.locationChart()->pendingText(), QString());
    EXPECT_EQ(window.locationChart()->limitLineCount(), 3);
    EXPECT_TRUE(window.controls()->freezeButton()->isEnabled());
    EXPECT_TRUE(window.noticeText().startsWith(QStringLiteral("Limits from subgroups 1 to 25")));
}

TEST(SpcWindow, FrozenLimitsAreStoredAndShownWhenTheWindowOpensAgain) {
    SteadySource steady(200);
    ScriptedPrompts prompts;
    QString title;
    {
        SpcWindow window(steady.source, prompts);
        window.controls()->freezeButton()->click();
        ASSERT_TRUE(steady.source.frozenLimits(Bore, 5));
        EXPECT_EQ(window.controls()->freezeButton()->text(), QStringLiteral("Recalculate limits"));
        title = window.locationChart()->title();
    }
    for (int i = 0; i < 100; ++i)
        steady.source.addPart(Bore, steady.next() + 0.02, steady.time(), BoreLimits);
    SpcWindow reopened(steady.source, prompts);
    EXPECT_TRUE(reopened.noticeText().startsWith(QStringLiteral("Limits frozen on")));
    EXPECT_EQ(reopened.locationChart()->title(), title);
    EXPECT_FALSE(reopened.violationList()->total() == 0) << "the shift is judged by them";

    // Recalculating asks first; No keeps them, Yes takes the latest subgroups' limits.
    const FrozenLimits before = *steady.source.frozenLimits(Bore, 5);
    prompts.answers = {PromptAnswer::No};
    reopened.freezeLimits();
    EXPECT_EQ(*steady.source.frozenLimits(Bore, 5), before);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::YesNo);
    prompts.answers = {PromptAnswer::Yes};
    reopened.controls()->baselineChoiceBox()->setCurrentIndex(1); // the latest subgroups
    reopened.freezeLimits();
    EXPECT_NE(steady.source.frozenLimits(Bore, 5)->values, before.values);
    EXPECT_NE(reopened.locationChart()->title(), title);
}

TEST(SpcWindow, ANewPartUpdatesTheFiguresAndTheHistogramSoonAfter) {
    SteadySource steady(500);
    ScriptedPrompts prompts;
    SpcWindow window(steady.source, prompts);
    steady.record(10.0);
    EXPECT_EQ(window.capabilityPanel()->value(QStringLiteral("n")), QStringLiteral("501"));
    EXPECT_EQ(window.locationChart()->pointCount(), 100);
    for (int i = 0; i < 4; ++i)
        steady.record(10.0);
    EXPECT_EQ(window.analysis()->series().subgroupCount(), 101u);
    EXPECT_EQ(window.subgroupScroll()->value(), 10) << "the newest subgroups stay in view";
    EXPECT_EQ(window.locationChart()->pointCount(), 91) << "with room for the next ones";
    EXPECT_TRUE(waitFor(
        [&] { return window.histogramChart()->title() == QStringLiteral("Histogram: n = 505"); }));
}

// What a chart draws, to compare a first look with the charts once everything is read.
struct Drawn {
    QList<QPointF> points;
    QList<QPointF> flagged;
    QString title;
    int limitLines;

    explicit Drawn(const ControlChart &chart)
        : points(chart.points()), flagged(chart.flaggedPoints()), title(chart.title()),
          limitLines(chart.limitLineCount()) {}
    bool operator==(const Drawn &) const = default;
};

// A history of several slices: its newest subgroups are shown first, as they will stay, and the
// figures say "loading…" until every part is read; then they are those of one read of them all.
TEST(SpcWindow, ALongHistoryShowsItsNewestSubgroupsFirstAndItsFiguresOnceAllIsRead) {
    SteadySource steady(3 * SpcWindow::SliceParts);
    for (int i = 0; i < 8; ++i)
        steady.source.addPart(Bore, 10.025, steady.time(), BoreLimits); // WE 2 and 3 flag them
    ScriptedPrompts prompts;
    SpcWindow window(steady.source, prompts);
    window.show();
    ASSERT_TRUE(window.loading());
    const Drawn location(*window.locationChart());
    const Drawn spread(*window.spreadChart());
    EXPECT_FALSE(location.flagged.isEmpty());
    EXPECT_EQ(window.capabilityPanel()->remark(), QStringLiteral("loading…"));
    EXPECT_EQ(window.capabilityPanel()->value(QStringLiteral("cpk")), QString());
    EXPECT_EQ(window.histogramChart()->title(), QStringLiteral("Histogram: loading…"));
    EXPECT_EQ(window.violationList()->total(), 0u);
    EXPECT_TRUE(window.noticeText().contains(QStringLiteral("Older parts: loading…")));
    EXPECT_FALSE(window.subgroupScroll()->isEnabled());
    steady.record(10.0); // meanwhile: a part that leaves the last subgroup incomplete

    ASSERT_TRUE(waitFor([&] { return !window.loading(); }));
    EXPECT_EQ(Drawn(*window.locationChart()), location);
    EXPECT_EQ(Drawn(*window.spreadChart()), spread);
    SpcAnalysis whole(steady.source, *findChannel(steady.source.channels(), Bore));
    QString error;
    ASSERT_TRUE(whole.load(&error));
    EXPECT_EQ(window.analysis()->partCount(), whole.partCount());
    EXPECT_EQ(window.analysis()->ruleCheck().violations, whole.ruleCheck().violations);
    EXPECT_EQ(window.violationList()->total(), whole.ruleCheck().violations.size());
    EXPECT_EQ(window.capabilityPanel()->value(QStringLiteral("n")),
              QString::number(3 * SpcWindow::SliceParts + 9));
    EXPECT_EQ(window.capabilityPanel()->value(QStringLiteral("cpk")),
              QString::number(whole.capability().cpk->value, 'f', 3));
    EXPECT_EQ(window.histogramChart()->title(),
              QStringLiteral("Histogram: n = %1").arg(3 * SpcWindow::SliceParts + 9));
    EXPECT_FALSE(window.noticeText().contains(QStringLiteral("loading")));
    EXPECT_TRUE(window.subgroupScroll()->isEnabled());

    // Another setting needs the whole history: it is read at once.
    window.showChannel(Coolant);
    ASSERT_TRUE(window.loading());
    window.controls()->subgroupSize()->setValue(4);
    EXPECT_FALSE(window.loading());
    EXPECT_EQ(window.controls()->subgroupSize()->value(), 4);
    EXPECT_EQ(window.analysis()->series().subgroupCount(), 3 * SpcWindow::SliceParts / 4);
    EXPECT_FALSE(window.analysis()->isPreview());
}

TEST(SpcWindow, AChannelWithoutLimitsSaysNoTolerance) {
    SteadySource steady(200);
    ScriptedPrompts prompts;
    SpcWindow window(steady.source, prompts);
    ASSERT_TRUE(window.showChannel(Coolant));
    EXPECT_EQ(window.capabilityPanel()->remark(), QStringLiteral("no tolerance"));
    EXPECT_EQ(window.capabilityPanel()->value(QStringLiteral("cpk")), QStringLiteral("—"));
    EXPECT_EQ(window.histogramChart()->limitLineCount(), 0);
    EXPECT_EQ(window.locationChart()->limitLineCount(), 3) << "control limits need no tolerance";
    EXPECT_FALSE(window.showChannel(9));
}

TEST(SpcWindow, AChangeOfLimitsIsSaidAndMarkedOnTheCharts) {
    SteadySource steady(200);
    for (int i = 0; i < 50; ++i)
        steady.source.addPart(Bore, steady.next(), steady.time(), {{9.95, 10.05}, 10.0});
    ScriptedPrompts prompts;
    SpcWindow window(steady.source, prompts);
    EXPECT_TRUE(window.noticeText().contains(QStringLiteral("limits changed once")));
    EXPECT_EQ(window.locationChart()->changeMarkerCount(), 1);
    EXPECT_EQ(window.spreadChart()->changeMarkerCount(), 1);
    EXPECT_EQ(window.capabilityPanel()->value(QStringLiteral("cp")),
              QString::number(0.1 / (6.0 * *window.analysis()->series().sigmaWithin()), 'f', 3))
        << "the newest limits";
}

TEST(SpcWindow, TheSubgroupSizeIsKeptPerChannel) {
    SteadySource steady(200);
    ScriptedPrompts prompts;
    {
        SpcWindow window(steady.source, prompts);
        window.controls()->subgroupSize()->setValue(1);
        EXPECT_EQ(window.analysis()->series().plan().kind, ChartKind::IndividualsMovingRange);
        EXPECT_TRUE(window.locationChart()->title().startsWith(QStringLiteral("I chart")));
        EXPECT_TRUE(window.spreadChart()->title().startsWith(QStringLiteral("MR chart")));
    }
    EXPECT_EQ(steady.source.subgroupSize(Bore), 1);
    EXPECT_EQ(steady.source.subgroupSize(Coolant), DefaultSubgroupSize);
    SpcWindow reopened(steady.source, prompts);
    EXPECT_EQ(reopened.controls()->subgroupSize()->value(), 1);
    reopened.showChannel(Coolant);
    EXPECT_EQ(reopened.controls()->subgroupSize()->value(), DefaultSubgroupSize);
}

TEST(SpcWindow, PartsThatCannotBeReadAreSaidAndWhatWasShownStays) {
    SteadySource steady(200);
    ScriptedPrompts prompts;
    SpcWindow window(steady.source, prompts);
    steady.source.failWith(QStringLiteral("database is locked"));
    steady.record(10.0);
    EXPECT_TRUE(window.noticeText().contains(
        QStringLiteral("The newest parts cannot be read: database is locked")));
    EXPECT_EQ(window.locationChart()->pointCount(), 40);
    steady.source.failWith({});
    steady.record(10.0);
    EXPECT_FALSE(window.noticeText().contains(QStringLiteral("cannot be read")));
    EXPECT_EQ(window.analysis()->partCount(), 202u);
}

TEST(SpcWindow, ExportsWriteTheirFilesAndSayWhatFailed) {
    QTemporaryDir folder;
    MemorySpcSource source(QStringLiteral("line 3.qor"));
    handworked::fill(source);
    source.storeSubgroupSize(handworked::Channel, 2);
    ScriptedPrompts prompts;
    SpcWindow window(source, prompts);
    window.resize(1100, 760);
    window.show();
    window.controls()->baselineSize()->setValue(3);

    const QString csv = folder.filePath(QStringLiteral("subgroups.csv"));
    ASSERT_TRUE(window.exportTo(SpcControls::Export::Csv, csv));
    EXPECT_EQ(contents(csv), QByteArray(handworked::Expected));

    const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
    ASSERT_TRUE(window.exportTo(SpcControls::Export::PdfReport, pdf));
    const QByteArray report = contents(pdf);
    EXPECT_TRUE(report.startsWith("%PDF"));
    EXPECT_TRUE(report.trimmed().endsWith("%%EOF"));

    for (const auto what : {SpcControls::Export::LocationPng, SpcControls::Export::SpreadPng,
                            SpcControls::Export::HistogramPng}) {
        const QString png = folder.filePath(QStringLiteral("chart.png"));
        ASSERT_TRUE(window.exportTo(what, png));
        EXPECT_FALSE(QImage(png).isNull());
    }
    EXPECT_TRUE(prompts.shown.empty());

    // Through the menu: the file dialog, then a failure said in a box.
    const QString nowhere = folder.filePath(QStringLiteral("missing/report.pdf"));
    prompts.fileNames = {nowhere};
    Q_EMIT window.controls()->exportRequested(SpcControls::Export::PdfReport);
    ASSERT_EQ(prompts.fileDialogs.size(), 1u);
    EXPECT_EQ(prompts.fileDialogs[0].suggestedName, QStringLiteral("spc-channel7-report.pdf"));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].icon, PromptIcon::Critical);
    EXPECT_TRUE(prompts.shown[0].text.startsWith(nowhere + QStringLiteral(" cannot be created")));
    EXPECT_FALSE(QFile::exists(nowhere));
}
