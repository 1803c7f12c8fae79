#pragma once

#include "LiveValues.h"
#include "ReadingFreshness.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct LinkSession;
struct UnitObjects;
struct ViewState;
class group;

// The exchanges of one poll tick, in the order they go to the unit. Each step makes at most one
// exchange and hands what it read to every subscriber that wants it. A tick planned for one view
// is of no use once the view has changed: whoever runs the steps stops there (PollCycle::isCurrent)
// and then ends the tick (PollCycle::endTick).
struct PollTick {
    unsigned generation = 0;
    uint64_t number = 0;
    ListBrake brake = ListBrake::None;
    std::vector<std::function<void()>> steps;
};

// The 400 ms poll: reads the unit for whoever subscribed (LiveValues.h) and keeps the main list's
// rows. The rows of the view are the poll's own subscription at TickPlace::ViewRows, read only
// while View > Update is on and no window holds the list; rows of the group and channel views
// count as changed only when their value changed, and their caches start at -9999 after every
// view change, so the next tick shows everything. A read that fails (the link error handler has
// reported it) changes no row, and a row that goes without a reading for a few ticks is marked
// stale (ReadingFreshness). Nothing is asked of an object the station does not have: a group
// entry naming a channel beyond the set is never read.
class PollCycle : public LiveValues {
public:
    static constexpr float Unshown = -9999.0f;

    PollCycle(LinkSession &session, UnitObjects &unit, ViewState &view);
    ~PollCycle() override;

    // The cache part of UpdateMainDisplay: sizes the row caches for the current view and fills
    // them with Unshown, and tells every subscriber and follower that the list started over.
    // Ticks planned before are stale from now on.
    void resetCaches();

    // The next tick's exchanges, decided from what is wanted now.
    PollTick planTick();
    // Whether tick was planned for the view shown now.
    bool isCurrent(const PollTick &tick) const { return tick.generation == m_generation; }
    // The tick's steps have run (complete), or it was dropped: the view followers hear of its end.
    void endTick(const PollTick &tick, bool complete);

    // One whole tick at once. Returns false, doing nothing, while an earlier tick has not
    // finished or the link error handler's box is open: that box's event loop delivers events
    // while the failed library call has not yet returned.
    bool tick();
    bool isRunning() const { return m_running; }

    bool isRowStale(int row) const { return m_freshness.isStale(row); }

    // LiveValues
    LiveSubscription subscribe(LiveRequest request) override;
    LiveSubscription followView(ViewFollower follower) override;
    ViewShown shownView() const override;
    ListBrake listBrake() const override;

private:
    struct Subscriber;
    struct Follower;
    struct PlannedRead;

    void prune();
    template <typename Call> void eachFollower(const Call &call);
    void runRead(const PlannedRead &read, uint64_t tick);
    std::optional<float> readObject(LiveObject object);
    bool exists(LiveObject object) const;
    int decimals(LiveObject object) const;
    int viewRowCount() const;
    LiveObject viewRowObject(int row) const;
    void viewRowRead(const LiveReading &reading);
    const group *shownGroup() const;
    float &rowCache(int row);

    LinkSession &m_session;
    UnitObjects &m_unit;
    ViewState &m_view;
    std::vector<std::shared_ptr<Subscriber>> m_subscribers;
    std::vector<std::shared_ptr<Follower>> m_followers;
    LiveSubscription m_viewRows;
    std::vector<float> m_lastRow;
    ReadingFreshness m_freshness;
    unsigned m_generation = 0;
    uint64_t m_ticks = 0;
    uint64_t m_readings = 0;
    bool m_running = false;
};
