#pragma once

#include "ReadingFreshness.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct LinkSession;
struct LiveFollowers;
struct UnitObjects;
struct ViewState;
class group;

// Where the poll cycle puts what it reads. The main window implements it and hands the readings
// of the live-value boxes on to the mastering, setup and calibration dialogs; a target without
// such boxes keeps the members that do nothing.
class PollTargets {
public:
    virtual ~PollTargets() = default;

    // Caption of the hidden label LabelChan(n) that carries channel n's value to followers.
    virtual void setChannelLabel(int channel, const QString &text) = 0;
    // View > Numbers and View > Bar Graphs are checked.
    virtual bool gridShown() const = 0;
    virtual bool barsShown() const = 0;
    virtual void setGridValue(int row, const QString &text) = 0;
    virtual void setBarValue(int row, float value) = 0;
    // The reading shown in row has not been refreshed for a while (stale), or is current again.
    virtual void setGridStale(int, bool) {}
    virtual void setBarStale(int, bool) {}

    virtual void setMasteringValue(const QString &) {}
    virtual void setChannelSetupValue(const QString &) {}
    // Number in the probe (analog) setup dialog's current-input box.
    virtual int probeSetupCurrentInput() const { return 0; }
    virtual void setProbeSetupValue(const QString &) {}
    virtual int analogSetupCurrentInput() const { return 0; }
    virtual void setAnalogSetupValue(const QString &) {}
    // Reading of the probe the calibration dialog adjusts.
    virtual void setCalibrationValue(const QString &) {}
    virtual void setGroupMasterValue(int, const QString &) {}
};

// The exchanges of one poll tick, in the order they go to the unit. Each step makes at most one
// exchange and hands on what it read. A tick planned for one view is of no use once the view has
// changed: whoever runs the steps stops there (PollCycle::isCurrent).
struct PollTick {
    unsigned generation = 0;
    std::vector<std::function<void()>> steps;
};

// The 400 ms poll of the main window: reads the unit and hands formatted values to the dialogs
// that show live values, to the displays and to the hidden channel labels. Rows of views 1 and 2
// and the labels are written only when their value changed; the caches start at -9999 after
// every view change so the next tick writes everything. A read that fails (the link error handler
// has reported it) leaves its row, label or box as it was, and a row that goes without a reading
// for a few ticks is marked stale (ReadingFreshness). Nothing is asked of an object the station
// does not have: a group entry naming a channel beyond the set is never read.
class PollCycle {
public:
    static constexpr float Unshown = -9999.0f;

    PollCycle(LinkSession &session, UnitObjects &unit, ViewState &view, LiveFollowers &live,
              PollTargets &targets);

    // The cache part of UpdateMainDisplay: sizes the caches for the current view and fills them
    // with Unshown. Ticks planned before are stale from now on.
    void resetCaches();

    // The next tick's exchanges, decided from what is wanted now: the dialogs' live values, the
    // list of the current view unless updating is off or held, the group mastering values.
    PollTick planTick();
    // Whether tick was planned for the view shown now.
    bool isCurrent(const PollTick &tick) const { return tick.generation == m_generation; }

    // One whole tick at once. Returns false, doing nothing, while an earlier tick has not
    // finished or the link error handler's box is open: that box's event loop delivers events
    // while the failed library call has not yet returned.
    bool tick();
    bool isRunning() const { return m_running; }

    const std::vector<float> &lastChannelValues() const { return m_lastChannel; }
    const std::vector<float> &lastRowValues() const { return m_lastRow; }
    bool isRowStale(int row) const { return m_freshness.isStale(row); }

private:
    using Steps = std::vector<std::function<void()>>;
    void planLabels(Steps &steps);
    void planGroupView(Steps &steps);
    void planChannelView(Steps &steps);
    void planInputView(Steps &steps, bool probes);
    void planGroupMastering(Steps &steps);

    // A row's reading of this tick, or its lack, for the stale marks of the displays.
    void noteRowRead(int row, bool fresh);
    std::optional<float> readChannel(int channel);
    std::optional<float> readInput(bool probe, int input);
    int decimalsOf(int channel) const;
    QString formatChannel(int channel, float value);
    const group *shownGroup() const;
    float &rowCache(int row);
    float *channelCache(int channel);

    LinkSession &m_session;
    UnitObjects &m_unit;
    ViewState &m_view;
    LiveFollowers &m_live;
    PollTargets &m_targets;
    std::vector<float> m_lastChannel;
    std::vector<float> m_lastRow;
    ReadingFreshness m_freshness;
    unsigned m_generation = 0;
    bool m_running = false;
};
