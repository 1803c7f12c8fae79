#pragma once

#include "View.h"

#include "ValueFormat.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Live values: who wants which reading of the unit, as subscriptions the poll iterates.
//
// Every window that shows or keeps live readings subscribes here instead of being known to the
// poll: the mastering and setup dialogs' live boxes, the group mastering grid, the calibration
// box, the hidden channel labels other programs follow, the displays, and any window to come (a
// recorder, a chart, a plant link). The poll plans each tick from the subscriptions alive when
// the tick starts and reads every object once per tick, however many subscribers want it: all of
// them get that one reading, in the step that reads it. It never reads an object the station does
// not have.
//
// A subscription is owned by its subscriber as a LiveSubscription handle: when the handle goes
// (the dialog is destroyed, or reset() is called), nothing more is delivered, also not from a
// tick already planned. Deliveries come on the GUI thread, from the poll's steps; a delivery may
// open a box or drop subscriptions, its own included.
//
// One object, the channel a dialog shows, asked for again at every tick:
//
//     m_live = liveValues.follow(
//         TickPlace::Others, [this] { return LiveObject::channel(m_shown); },
//         [this](const LiveReading &reading) {
//             if (!reading.failed())
//                 m_valueBox->setText(reading.text());
//         });
//
// A list of objects, one per row (the rows are counted when a tick is planned; a row whose object
// changed by the time its read is due is left for the next tick):
//
//     LiveRequest request;
//     request.rows = [this] { return static_cast<int>(m_channels.size()); };
//     request.object = [this](int row) { return LiveObject::channel(m_channels[row - 1]); };
//     request.deliver = [this](const LiveReading &reading) { show(reading.row, reading); };
//     m_live = liveValues.subscribe(std::move(request));
//
// Every row of the main list's view with the tick it was read in, and the end of each tick, as a
// recorder needs them to take a part from readings of one tick:
//
//     ViewFollower follower;
//     follower.viewChanged = [this](const ViewShown &shown) { startOver(shown); };
//     follower.row = [this](const ViewRowReading &row) { keep(row.row, row.reading); };
//     follower.tickEnded = [this](const TickEnd &end) {
//         if (end.complete && end.brake == ListBrake::None)
//             partReadingsOf(end.tick);
//     };
//     m_view = liveValues.followView(std::move(follower));

// What the poll reads: a channel, a probe (LVDT input) or an analog input, by its 1-based number.
struct LiveObject {
    enum class Kind : uint8_t { Channel, Probe, AnalogInput };

    Kind kind = Kind::Channel;
    int number = 0; // 0: nothing

    static LiveObject channel(int n) { return {Kind::Channel, n}; }
    static LiveObject probe(int n) { return {Kind::Probe, n}; }
    static LiveObject analogInput(int n) { return {Kind::AnalogInput, n}; }
    static LiveObject none() { return {}; }

    bool wanted() const { return number != 0; }
    friend bool operator==(const LiveObject &, const LiveObject &) = default;
};

// One reading as the poll hands it on.
struct LiveReading {
    LiveObject object;
    // The subscriber's row the object stands in (1 for a subscription of one object).
    int row = 1;
    // Empty when the read failed (the link error handler has told the operator) or the object
    // went away before its read was due.
    std::optional<float> value;
    // The decimals the station shows the object with: the channel's own, 5 for probes and analog
    // inputs.
    int decimals = 0;
    // The tick the reading was taken in; ticks are numbered from 1 on.
    uint64_t tick = 0;
    // Grows with every reading the poll takes, so a later reading always has a higher number;
    // one reading handed to several subscribers has one number.
    uint64_t number = 0;

    bool failed() const { return !value.has_value(); }

    // The value as the station shows it, with `decimals`; empty when the read failed. Made when
    // first asked for: most readings of a list whose values did not change are never shown.
    const QString &text() const {
        if (!m_text)
            m_text = value ? formatValue(*value, decimals) : QString();
        return *m_text;
    }

private:
    mutable std::optional<QString> m_text;
};

// Where a subscription's reads go in a tick. The dialogs' live boxes come first, then the main
// list (the channel labels, then the view's rows), then the group mastering grid, then every
// other subscriber; subscriptions of one place are read in the order they were made. An object
// wanted in several places is read where it is first wanted.
enum class TickPlace : uint8_t {
    ChannelMastering, // first: its numbered reading decides what a press may take
    ChannelSetup,
    ProbeSetup,
    AnalogSetup,
    Calibration,
    ChannelLabels,
    ViewRows, // the poll's own reads of the view, handed to the view followers
    GroupMastering,
    Others,
};

// Why the main list is not refreshed: View > Update is off, or a window holds the list.
enum class ListBrake : uint8_t { None, UpdatesOff, Held };

struct LiveRequest {
    TickPlace place = TickPlace::Others;
    // How many rows (objects) are wanted; asked when a tick is planned.
    std::function<int()> rows = [] {
        return 1;
    };
    // The object of a row (1-based); asked when the tick is planned and again when its read is
    // due. LiveObject::none() wants nothing for the row this tick.
    std::function<LiveObject(int row)> object;
    // Read only while the main list is refreshed (no ListBrake), as the hidden labels are.
    bool withTheList = false;
    std::function<void(const LiveReading &)> deliver;
    // The main list started over (a view change, a new setup): what a subscriber compares its
    // readings with is to be forgotten. Optional.
    std::function<void()> restarted;
};

// The rows of the main list's view as the view followers get them when the view changes.
struct ViewShown {
    View view = View::None;
    int group = 0; // the group of the group view, 0 in the others
    // Row j's object is rows[j - 1]; LiveObject::none() for a group entry naming a channel the
    // station does not have, which is never read.
    std::vector<LiveObject> rows;
};

// One row of the view as read in a tick (every row of the view is read each tick while the list
// is refreshed).
struct ViewRowReading {
    int row = 0; // 1-based row of the view
    LiveReading reading;
    // The row shows something new: its channel's value differs from the one shown last (the
    // group and channel views), or always for the probe and analog views. False when failed.
    bool changed = false;
    // The row turned stale (two ticks or more without a reading) or current again with this read.
    std::optional<bool> staleNow;
};

struct TickEnd {
    uint64_t tick = 0;
    // False when the view changed before the tick's reads were all made (they were dropped).
    bool complete = true;
    // Why the view's rows were not read in this tick, if they were not.
    ListBrake brake = ListBrake::None;
};

// A follower of the main list: every callback is optional.
struct ViewFollower {
    std::function<void(const ViewShown &)> viewChanged;
    std::function<void(const ViewRowReading &)> row;
    std::function<void(const TickEnd &)> tickEnded;
};

// A subscription, owned by whoever subscribed: delivery stops when it is reset or destroyed.
class LiveSubscription {
public:
    LiveSubscription() = default;
    explicit LiveSubscription(std::shared_ptr<bool> active) : m_active(std::move(active)) {}
    ~LiveSubscription() { reset(); }
    LiveSubscription(LiveSubscription &&other) noexcept = default;
    LiveSubscription &operator=(LiveSubscription &&other) noexcept {
        if (this != &other) {
            reset();
            m_active = std::move(other.m_active);
        }
        return *this;
    }
    LiveSubscription(const LiveSubscription &) = delete;
    LiveSubscription &operator=(const LiveSubscription &) = delete;

    void reset() {
        if (m_active)
            *m_active = false;
        m_active.reset();
    }
    bool isActive() const { return m_active && *m_active; }

private:
    std::shared_ptr<bool> m_active;
};

// Where live values are subscribed to (the poll).
class LiveValues {
public:
    virtual ~LiveValues() = default;

    [[nodiscard]] virtual LiveSubscription subscribe(LiveRequest request) = 0;
    [[nodiscard]] virtual LiveSubscription followView(ViewFollower follower) = 0;
    // The view as it is shown now (a follower made while a view is shown starts from it).
    virtual ViewShown shownView() const = 0;
    // Whether the main list is refreshed now, and why not.
    virtual ListBrake listBrake() const = 0;

    // One object, asked for when each tick is planned and when its read is due.
    [[nodiscard]] LiveSubscription follow(TickPlace place, std::function<LiveObject()> object,
                                          std::function<void(const LiveReading &)> deliver) {
        LiveRequest request;
        request.place = place;
        request.object = [object = std::move(object)](int) {
            return object();
        };
        request.deliver = std::move(deliver);
        return subscribe(std::move(request));
    }
};
