#pragma once

#include "DisplayContent.h"
#include "DisplayWindow.h"

#include <QPoint>

#include <functional>
#include <memory>
#include <vector>

class LinearGauge;

namespace Ui {
class FormLinGage;
}

// The bar display: one vertical gauge per item of the current view, laid out in rows. The main
// window decides the view and hands every reading to SetBarValue; the window reads the gauges'
// set-up values (labels, ranges, limits) from the measurement objects.
class FormLinGage : public DisplayWindow {
    Q_OBJECT

public:
    explicit FormLinGage(DisplayedState state, QWidget *parent = nullptr);
    ~FormLinGage() override;

    // Reading of gauge bar - 1 (bar is 1-based); bars outside the set are ignored.
    void SetBarValue(int bar, float BValue);
    // Gauge bar - 1's reading is no longer current (drawn grey) or is again.
    void SetBarStale(int bar, bool stale);
    // Caption and every gauge's set-up for the current view; every gauge shows no reading until
    // its next SetBarValue. With a read runner the gauges come at once, numbered and neutral
    // (their readings without zones or limits), and each becomes whole, in the view's order, once
    // the unit has given its description, scale and limits.
    void UpdateBarDisplay();
    // Runs the reads a display update needs, one exchange per turn of the event loop (the main
    // window hands its link scheduler here). Without one they run at once.
    using ReadRunner = std::function<void(LinkSequence)>;
    void setReadRunner(ReadRunner runner) { m_runReads = std::move(runner); }

    // Item count of the current view into TotalNumberOfBars (digital inputs keep it), then as
    // many gauges as that (at least one exists).
    void SetNumberOfBars();
    int TotalNumberOfBars() const { return m_totalNumberOfBars; }
    void SaveLGaugeFormSize() { saveLayout(); }
    void RestoreLGaugeFormSize() { restoreLayout(); }

    // Shows given gauges as UpdateBarDisplay does with the view's (also for pictures).
    void showSetups(const QString &caption, const std::vector<GaugeSetup> &setups);
    // Gauges that exist (at least 1) and gauge k of them, 0-based (nullptr outside).
    int gaugeCount() const { return static_cast<int>(LGauge1.size()); }
    LinearGauge *gauge(int k) const;

Q_SIGNALS:
    // Gauge item - 1 was picked to open its item's set-up: a double click on it, or Enter while
    // it has the focus.
    void gaugeClicked(int item);
    // The right mouse button went down on gauge item - 1, at globalPos on the screen.
    void gaugeRightClicked(int item, QPoint globalPos);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void setGaugeCount(int count);
    void attach(LinearGauge *gauge, int k);
    // keepReading: the same gauge with fuller set-up values, so its reading still stands.
    void configure(LinearGauge &gauge, const GaugeSetup &setup, bool keepReading = false);
    void layOutGauges();

    std::unique_ptr<Ui::FormLinGage> ui;
    // The indexed set of gauges; element 0 comes from the design, the others are made here.
    std::vector<LinearGauge *> LGauge1;
    ReadRunner m_runReads;
    unsigned m_setupGeneration = 0;
    int m_totalNumberOfBars = 0;
};
