#pragma once

#include "Histogram.h"
#include "SpcAnalysis.h"
#include "SpcControls.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

class CapabilityPanel;
class ControlChart;
class HistogramChart;
class Prompts;
class QChartView;
class QLabel;
class QListWidget;
class QScrollBar;
class ViolationList;

// The "SPC" window: a channel of the current setup at a time (the list on the side), its control
// chart pair over a scrollable range of subgroups with the rule violations listed under it, the
// histogram against the tolerance and the capability table. Parts recorded while it is open are
// added as they come: the charts and figures at once, the histogram (the one costly redraw) at
// most twice a second. Boxes and file dialogs go through the prompts.
//
// A channel with a long history is shown at once from a first look at it (its newest subgroups,
// charted as they will stay) while the whole history is read in slices between events; the
// histogram, the capability table and the violations say "loading…" and the scroll bar waits
// until it is in. Anything else that needs the whole history (another setting, freezing,
// exporting) has the rest read at once first.
class SpcWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int HistogramIntervalMs = 500;
    // Parts read between two turns of the event loop: some 30 ms of a measurement log's reading.
    static constexpr std::size_t SliceParts = 50'000;

    SpcWindow(spc::SpcDataSource &source, Prompts &prompts, QWidget *parent = nullptr);
    ~SpcWindow() override;

    // The source's setup changed: its channels are listed afresh and the first one shown.
    void showSetup();
    // Shows the channel (a number of the current setup); false when there is no such channel.
    bool showChannel(int channel);
    // Writes an export to the file (the Export menu asks for the name first); false after a box
    // has said what went wrong.
    bool exportTo(SpcControls::Export what, const QString &file);
    // As the freeze button does.
    void freezeLimits();

    // What is shown: a first look at the channel's history while loading().
    const spc::SpcAnalysis *analysis() const { return analysis_.get(); }
    bool loading() const { return loading_ != nullptr; }
    SpcControls *controls() const { return controls_; }
    ControlChart *locationChart() const { return location_; }
    ControlChart *spreadChart() const { return spread_; }
    HistogramChart *histogramChart() const { return histogram_; }
    CapabilityPanel *capabilityPanel() const { return capability_; }
    ViolationList *violationList() const { return violations_; }
    QScrollBar *subgroupScroll() const { return scroll_; }
    QString noticeText() const;

private:
    void channelChosen(int row);
    bool readLoading(std::size_t parts);
    void readSlice();
    void completeLoading();
    void showLoaded();
    void takeNewParts();
    void subgroupSizeChanged(int size);
    void baselineChanged();
    void rulesChanged();
    void showEverything();
    void showRange();
    void showNotice();
    void showFigures();
    void scheduleHistogram();
    void drawHistogram();
    void showSubgroup(std::size_t subgroup);
    // All violations afresh, or the newest ones added.
    void showViolations(std::optional<std::size_t> added = std::nullopt);
    void chooseExportFile(SpcControls::Export what);
    void say(const QString &text);

    spc::SpcDataSource &source_;
    Prompts &prompts_;
    std::vector<spc::SpcChannel> channels_;
    std::unique_ptr<spc::SpcAnalysis> analysis_;
    std::unique_ptr<spc::SpcAnalysis> loading_; // the whole history, being read in slices
    QString loadFailure_;
    QString readFailure_;
    spc::Histogram histogramData_;

    QListWidget *channelList_;
    SpcControls *controls_;
    ControlChart *location_;
    ControlChart *spread_;
    QChartView *locationView_;
    QChartView *spreadView_;
    QScrollBar *scroll_;
    QLabel *violationsTitle_;
    ViolationList *violations_;
    HistogramChart *histogram_;
    QChartView *histogramView_;
    QLabel *histogramNote_;
    CapabilityPanel *capability_;
    QTimer histogramTimer_;
    QTimer sliceTimer_;
    QElapsedTimer sinceHistogram_;
};
