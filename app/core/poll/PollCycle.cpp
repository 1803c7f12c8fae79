#include "PollCycle.h"

#include "LinkSession.h"
#include "UnitObjects.h"
#include "ValueFormat.h"
#include "ViewState.h"

#include <algorithm>
#include <array>

struct PollCycle::Subscriber {
    std::shared_ptr<bool> active;
    LiveRequest request;

    bool wants(int row, LiveObject object) const {
        return *active && request.object(row) == object;
    }
};

struct PollCycle::Follower {
    std::shared_ptr<bool> active;
    ViewFollower follower;
};

// One object's read in a tick and every subscriber row that wants it.
struct PollCycle::PlannedRead {
    struct Target {
        std::shared_ptr<Subscriber> subscriber;
        int row = 1;
    };
    LiveObject object;
    std::vector<Target> targets;
};

namespace {

// Where an object's read stands in the plan of a tick (0: not planned yet), by kind and number.
class PlanIndex {
public:
    size_t &at(LiveObject object) {
        std::vector<size_t> &slots = m_slots[static_cast<size_t>(object.kind)];
        const auto number = static_cast<size_t>(object.number);
        if (slots.size() <= number)
            slots.resize(number + 1, 0);
        return slots[number];
    }

private:
    std::array<std::vector<size_t>, 3> m_slots;
};

} // namespace

PollCycle::PollCycle(LinkSession &session, UnitObjects &unit, ViewState &view)
    : m_session(session), m_unit(unit), m_view(view) {
    LiveRequest rows;
    rows.place = TickPlace::ViewRows;
    rows.withTheList = true;
    rows.rows = [this] {
        return viewRowCount();
    };
    rows.object = [this](int row) {
        return viewRowObject(row);
    };
    rows.deliver = [this](const LiveReading &reading) {
        viewRowRead(reading);
    };
    m_viewRows = subscribe(std::move(rows));
}

PollCycle::~PollCycle() = default;

LiveSubscription PollCycle::subscribe(LiveRequest request) {
    auto active = std::make_shared<bool>(true);
    auto subscriber = std::make_shared<Subscriber>(Subscriber{active, std::move(request)});
    // Kept in the order of the tick: by place, then in the order they were made.
    const auto at =
        std::upper_bound(m_subscribers.begin(), m_subscribers.end(), subscriber->request.place,
                         [](TickPlace place, const std::shared_ptr<Subscriber> &s) {
                             return place < s->request.place;
                         });
    m_subscribers.insert(at, std::move(subscriber));
    return LiveSubscription(std::move(active));
}

LiveSubscription PollCycle::followView(ViewFollower follower) {
    auto active = std::make_shared<bool>(true);
    m_followers.push_back(std::make_shared<Follower>(Follower{active, std::move(follower)}));
    return LiveSubscription(std::move(active));
}

// A follower told may follow or stop following, so each is taken by its place and held while it
// is called (no copy of the list: this runs for every row read); the list shrinks only in prune().
template <typename Call> void PollCycle::eachFollower(const Call &call) {
    for (std::size_t i = 0; i < m_followers.size(); ++i) {
        const std::shared_ptr<Follower> f = m_followers[i];
        if (*f->active)
            call(f->follower);
    }
}

void PollCycle::prune() {
    std::erase_if(m_subscribers, [](const auto &s) { return !*s->active; });
    std::erase_if(m_followers, [](const auto &f) { return !*f->active; });
}

ListBrake PollCycle::listBrake() const {
    if (!m_view.UpdatesOn)
        return ListBrake::UpdatesOff;
    return m_view.PollHold != 0 ? ListBrake::Held : ListBrake::None;
}

void PollCycle::resetCaches() {
    ++m_generation;
    m_freshness.reset();
    const int channels = std::max(0, m_unit.UnitSystem->MaxChannel());
    switch (m_view.ViewMode) {
    case View::Group:
    case View::Channels:
        m_lastRow.resize(static_cast<size_t>(channels));
        break;
    case View::Probes:
        m_lastRow.resize(static_cast<size_t>(std::max(0, m_unit.UnitSystem->MaxLvdt())));
        break;
    case View::Digitals:
        m_lastRow.resize(static_cast<size_t>(std::max<int>(0, m_unit.MaxAnalog)));
        break;
    default:
        break;
    }
    std::fill(m_lastRow.begin(), m_lastRow.end(), Unshown);
    // Copies: a subscriber told may subscribe or drop a subscription.
    for (const std::shared_ptr<Subscriber> &s : std::vector(m_subscribers)) {
        if (*s->active && s->request.restarted)
            s->request.restarted();
    }
    const ViewShown shown = shownView();
    eachFollower([&shown](const ViewFollower &f) {
        if (f.viewChanged)
            f.viewChanged(shown);
    });
}

PollTick PollCycle::planTick() {
    prune();
    PollTick tick{m_generation, ++m_ticks, listBrake(), {}};
    auto plan = std::make_shared<std::vector<PlannedRead>>();
    PlanIndex index;
    for (const std::shared_ptr<Subscriber> &s : m_subscribers) {
        const LiveRequest &request = s->request;
        if ((request.withTheList && tick.brake != ListBrake::None) || !request.object ||
            !request.deliver)
            continue;
        const int rows = request.rows ? request.rows() : 1;
        for (int row = 1; row <= rows; ++row) {
            const LiveObject object = request.object(row);
            if (!exists(object))
                continue;
            size_t &slot = index.at(object);
            if (slot == 0) {
                plan->push_back({object, {}});
                slot = plan->size();
            }
            (*plan)[slot - 1].targets.push_back({s, row});
        }
    }
    tick.steps.reserve(plan->size());
    for (size_t i = 0; i < plan->size(); ++i)
        tick.steps.push_back(
            [this, plan, i, number = tick.number] { runRead((*plan)[i], number); });
    return tick;
}

void PollCycle::endTick(const PollTick &tick, bool complete) {
    const TickEnd end{tick.number, complete && isCurrent(tick), tick.brake};
    eachFollower([&end](const ViewFollower &f) {
        if (f.tickEnded)
            f.tickEnded(end);
    });
}

bool PollCycle::tick() {
    if (m_running || m_session.InLinkErrorHandler)
        return false;
    m_running = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{m_running};
    // Values read for an earlier view must not reach the rows of this one.
    const PollTick planned = planTick();
    size_t step = 0;
    for (; step < planned.steps.size() && isCurrent(planned); ++step)
        planned.steps[step]();
    endTick(planned, step == planned.steps.size());
    return true;
}

// A subscriber that went, or wants another object by now, is left out; with nobody left the
// object is not read. A read that failed (already reported by the link error handler) is handed
// on as failed.
void PollCycle::runRead(const PlannedRead &read, uint64_t tick) {
    const auto wanted = [&read](const PlannedRead::Target &t) {
        return t.subscriber->wants(t.row, read.object);
    };
    if (std::none_of(read.targets.begin(), read.targets.end(), wanted))
        return;
    LiveReading reading;
    reading.object = read.object;
    reading.value = readObject(read.object);
    reading.decimals = decimals(read.object);
    reading.tick = tick;
    reading.number = ++m_readings;
    for (const PlannedRead::Target &target : read.targets) {
        if (!wanted(target))
            continue;
        reading.row = target.row;
        target.subscriber->request.deliver(reading);
    }
}

bool PollCycle::exists(LiveObject object) const {
    switch (object.kind) {
    case LiveObject::Kind::Channel:
        return m_unit.channel(object.number) != nullptr;
    case LiveObject::Kind::Probe:
        return m_unit.lvdt(object.number) != nullptr;
    case LiveObject::Kind::AnalogInput:
        return m_unit.analogInput(object.number) != nullptr;
    }
    return false;
}

// The unit would refuse a number beyond its set with an error box; such a read is not made.
std::optional<float> PollCycle::readObject(LiveObject object) {
    if (!exists(object))
        return std::nullopt;
    float value = 0.0f;
    int32_t result = 0;
    switch (object.kind) {
    case LiveObject::Kind::Channel:
        result = m_session.link.QorReadChannel(m_session.LinkHandle, object.number, &value);
        break;
    case LiveObject::Kind::Probe:
        result = m_session.link.QorReadLvdt(m_session.LinkHandle, object.number, &value);
        break;
    case LiveObject::Kind::AnalogInput:
        result = m_session.link.QorReadAnalog(m_session.LinkHandle, object.number, &value);
        break;
    }
    if (result != 0)
        return std::nullopt;
    return value;
}

int PollCycle::decimals(LiveObject object) const {
    if (object.kind != LiveObject::Kind::Channel)
        return ProbeDecimals;
    const Channel *channel = m_unit.channel(object.number);
    return channel ? channel->Decimals : m_unit.SystemDecimals;
}

// ---- the rows of the view ---------------------------------------------------------------------

const group *PollCycle::shownGroup() const {
    return m_unit.groupAt(m_view.SelectedGroup);
}

int PollCycle::viewRowCount() const {
    // Before the unit's counts are read (a follower may ask as the station starts) no view has
    // rows of channels or probes.
    QorSystem *system = m_unit.UnitSystem.get();
    switch (m_view.ViewMode) {
    case View::Group: {
        const group *shown = shownGroup();
        return shown ? shown->Count : 0;
    }
    case View::Channels:
        return system ? std::min<int>(system->MaxChannel(), static_cast<int>(m_lastRow.size())) : 0;
    case View::Probes:
        return system ? system->MaxLvdt() : 0;
    case View::Analogs:
        return m_unit.MaxAnalog;
    default:
        return 0;
    }
}

LiveObject PollCycle::viewRowObject(int row) const {
    switch (m_view.ViewMode) {
    case View::Group: {
        const group *shown = shownGroup();
        return shown ? LiveObject::channel(shown->GetChannel(row)) : LiveObject::none();
    }
    case View::Channels:
        return LiveObject::channel(row);
    case View::Probes:
        return LiveObject::probe(row);
    case View::Analogs:
        return LiveObject::analogInput(row);
    default:
        return LiveObject::none();
    }
}

ViewShown PollCycle::shownView() const {
    ViewShown shown;
    shown.view = m_view.ViewMode;
    shown.group = shown.view == View::Group ? m_view.SelectedGroup : 0;
    const int rows = viewRowCount();
    for (int row = 1; row <= rows; ++row) {
        const LiveObject object = viewRowObject(row);
        shown.rows.push_back(exists(object) ? object : LiveObject::none());
    }
    return shown;
}

void PollCycle::viewRowRead(const LiveReading &reading) {
    ViewRowReading row{reading.row, reading, false,
                       m_freshness.noteRead(reading.row, !reading.failed())};
    if (reading.value) {
        const bool compared = m_view.ViewMode == View::Group || m_view.ViewMode == View::Channels;
        if (!compared) {
            row.changed = true;
        } else if (float &last = rowCache(reading.row); *reading.value != last) {
            last = *reading.value;
            row.changed = true;
        }
    }
    eachFollower([&row](const ViewFollower &f) {
        if (f.row)
            f.row(row);
    });
}

float &PollCycle::rowCache(int row) {
    // A group may hold more entries than there are channels; its extra rows get cache room too.
    if (static_cast<size_t>(row) > m_lastRow.size())
        m_lastRow.resize(static_cast<size_t>(row), Unshown);
    return m_lastRow[static_cast<size_t>(row - 1)];
}
