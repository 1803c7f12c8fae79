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
class SpcWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int HistogramIntervalMs = 500;

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

    const spc::SpcAnalysis *analysis() const { return analysis_.get(); }
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
    QElapsedTimer sinceHistogram_;
};
