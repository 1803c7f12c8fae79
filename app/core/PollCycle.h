#pragma once

#include <QString>

#include <optional>
#include <vector>

struct LinkSession;
struct LiveFollowers;
struct UnitObjects;
struct ViewState;

// Where the poll cycle puts what it reads. The main window implements it; the live-value boxes of
// the mastering and setup dialogs are reached through the same interface once those dialogs
// exist, so until then their members do nothing.
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

    virtual void setMasteringValue(const QString &) {}
    virtual void setChannelSetupValue(const QString &) {}
    // Number in the probe (analog) setup dialog's current-input box.
    virtual int probeSetupCurrentInput() const { return 0; }
    virtual void setProbeSetupValue(const QString &) {}
    virtual int analogSetupCurrentInput() const { return 0; }
    virtual void setAnalogSetupValue(const QString &) {}
    virtual void setGroupMasterValue(int, const QString &) {}
};

// The 400 ms poll of the main window: reads the unit and hands formatted values to the dialogs
// that show live values, to the displays and to the hidden channel labels. Rows of views 1 and 2
// and the labels are written only when their value changed; the caches start at -9999 after
// every view change so the next tick writes everything. A read that fails (the link error handler
// has reported it) leaves its row, label or box as it was.
class PollCycle {
public:
    static constexpr float Unshown = -9999.0f;

    PollCycle(LinkSession &session, UnitObjects &unit, ViewState &view, LiveFollowers &live,
              PollTargets &targets);

    // The cache part of UpdateMainDisplay: sizes the caches for the current view and fills them
    // with Unshown.
    void resetCaches();

    // One tick. Returns false, doing nothing, while an earlier tick has not finished or the link
    // error handler's box is open: that box's event loop delivers timer ticks while the failed
    // library call has not yet returned.
    bool tick();
    bool isRunning() const { return m_running; }

    const std::vector<float> &lastChannelValues() const { return m_lastChannel; }
    const std::vector<float> &lastRowValues() const { return m_lastRow; }

private:
    void refreshLabels();
    void refreshGroupView();
    void refreshChannelView();
    void refreshInputView(bool probes);
    void feedGroupMastering();

    std::optional<float> readChannel(int channel);
    std::optional<float> readInput(bool probe, int input);
    int decimalsOf(int channel) const;
    QString formatChannel(int channel, float value);
    bool groupShown() const;
    float &rowCache(int row);

    LinkSession &m_session;
    UnitObjects &m_unit;
    ViewState &m_view;
    LiveFollowers &m_live;
    PollTargets &m_targets;
    std::vector<float> m_lastChannel;
    std::vector<float> m_lastRow;
    bool m_running = false;
};
