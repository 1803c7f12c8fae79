#include "SystemSetupApply.h"

#include "LinkSession.h"
#include "UnitObjects.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

namespace setupforms {

namespace {

// The objects beyond a smaller new count, taken out of their set before it shrinks, so that a
// count the unit refuses can give them back as they were.
template <typename Object> struct Removed {
    int kept = 0;
    std::vector<std::unique_ptr<Object>> objects;

    void takeFrom(std::vector<std::unique_ptr<Object>> &set, int newCount) {
        kept = std::clamp(newCount, 0, static_cast<int>(set.size()));
        const auto firstRemoved = set.begin() + kept;
        std::vector<std::unique_ptr<Object>> taken(std::make_move_iterator(firstRemoved),
                                                   std::make_move_iterator(set.end()));
        set.erase(firstRemoved, set.end());
        for (auto &object : objects)
            taken.push_back(std::move(object));
        objects = std::move(taken);
    }
    void giveBack(std::vector<std::unique_ptr<Object>> &set) {
        while (static_cast<int>(set.size()) > kept)
            set.pop_back();
        for (auto &object : objects)
            set.push_back(std::move(object));
        objects.clear();
    }
};

// The setup as it was when the apply began.
struct Before {
    int channels = 0;
    int probes = 0;
    int analogs = 0;
    int16_t decimals = 0;
    float lvdtFullScale = 0.0f;
    std::vector<std::vector<int>> groupEntries;
    Removed<Channel> channelObjects;
    Removed<Lvdt> probeObjects;
    Removed<analog> analogObjects;
};

struct ApplyState {
    Before before;
    long failedCalls = 0;
    bool countsInPlace = false;
};

std::vector<int> entriesOf(const group &g) {
    std::vector<int> entries;
    for (int p = 1; p <= g.Count; ++p)
        entries.push_back(g.GetChannel(p));
    return entries;
}

void setEntries(group &g, const std::vector<int> &entries) {
    while (g.Count > 0)
        g.RemoveChannel(1);
    for (int channel : entries)
        g.AddChannel(channel);
}

void rememberAndTakeOut(const SetupParts &p, const SystemSetupValues &values, ApplyState &state) {
    Before &b = state.before;
    UnitObjects &unit = p.unit;
    // The sets hold as many objects as their counts; reading a cached count of 0 would ask the
    // unit, whose one count answers for channels and probes alike.
    b.channels = static_cast<int>(unit.Channels.size());
    b.probes = static_cast<int>(unit.Lvdts.size());
    b.analogs = unit.MaxAnalog;
    b.decimals = unit.SystemDecimals;
    b.lvdtFullScale = unit.LvdtFullScale;
    for (const auto &g : unit.Groups)
        b.groupEntries.push_back(entriesOf(*g));
    b.channelObjects.takeFrom(unit.Channels, values.channels);
    b.probeObjects.takeFrom(unit.Lvdts, values.probes);
    b.analogObjects.takeFrom(unit.Analogs, values.analogs);
    state.failedCalls = p.session.FailedCalls;
}

// A step that ends the sequence when a request since the apply began has failed.
void addCheck(LinkSequence &sequence, const SetupParts &p, const std::shared_ptr<ApplyState> &state,
              const QString &what) {
    sequence.add(
        what, [session = &p.session, state] { return session->FailedCalls == state->failedCalls; });
}

LinkSequence restoreSequence(const SetupParts &p, const std::shared_ptr<ApplyState> &state) {
    LinkSequence sequence(QStringLiteral("System settings: setup put back"));
    SetupSteps steps(p, sequence);
    const Before &b = state->before;
    steps.station(QStringLiteral("Channels, probes, analog inputs and groups put back"),
                  [p, state] {
                      Before &was = state->before;
                      UnitObjects &unit = p.unit;
                      was.channelObjects.giveBack(unit.Channels);
                      was.probeObjects.giveBack(unit.Lvdts);
                      was.analogObjects.giveBack(unit.Analogs);
                      unit.MaxAnalog = static_cast<int16_t>(was.analogs);
                      for (size_t i = 0; i < was.groupEntries.size() && i < unit.Groups.size(); ++i)
                          setEntries(*unit.Groups[i], was.groupEntries[i]);
                      unit.SystemDecimals = was.decimals;
                      unit.LvdtFullScale = was.lvdtFullScale;
                  });
    steps.CreateChannels(b.channels);
    steps.CreateLVDTs(b.probes);
    return sequence;
}

} // namespace

bool groupsFitChannelCount(UnitObjects &unit, int channels) {
    return CheckMaxChannel(unit, channels, false);
}

void applySystemSettings(const SetupParts &parts, const SystemSetupValues &values,
                         bool repairGroups, const std::function<void(LinkSequence)> &run,
                         std::function<void(SystemApplyResult)> done) {
    auto state = std::make_shared<ApplyState>();
    LinkSequence sequence(QStringLiteral("System settings"));
    SetupSteps steps(parts, sequence);
    const SetupParts &p = parts;

    steps.station(QStringLiteral("Setup remembered"),
                  [p, values, state] { rememberAndTakeOut(p, values, *state); });
    if (repairGroups)
        steps.station(QStringLiteral("Groups fitted to %1 channels").arg(values.channels),
                      [p, n = values.channels] { CheckMaxChannel(p.unit, n, true); });
    steps.station(QStringLiteral("Default decimals"),
                  [p, d = values.decimals] { p.unit.SystemDecimals = static_cast<int16_t>(d); });
    steps.CreateChannels(values.channels);
    addCheck(sequence, p, state, QStringLiteral("Channel count taken"));
    steps.station(QStringLiteral("Default probe full scale"),
                  [p, f = values.lvdtFullScale] { p.unit.LvdtFullScale = f; });
    steps.CreateLVDTs(values.probes);
    addCheck(sequence, p, state, QStringLiteral("Probe count taken"));
    steps.CreateAnalogs(values.analogs);
    addCheck(sequence, p, state, QStringLiteral("Analog inputs made"));
    steps.station(QStringLiteral("Counts in place"), [state] {
        state->countsInPlace = true;
        // What was taken out is no longer wanted.
        state->before = Before{};
    });

    const struct {
        const char *what;
        int32_t (*send)(LinkSession &, int);
        int value;
    } settings[] = {
        {"Burst average",
         [](LinkSession &s, int v) { return s.link.QorSetAdcAvg(s.LinkHandle, v); },
         values.burstAverage},
        {"Running average",
         [](LinkSession &s, int v) { return s.link.QorSetRunAvg(s.LinkHandle, v); },
         values.runningAverage},
        {"Scan period",
         [](LinkSession &s, int v) { return s.link.QorSetScanTime(s.LinkHandle, v); },
         values.scanTenths},
    };
    for (const auto &setting : settings)
        sequence.add(QLatin1String(setting.what),
                     [session = &p.session, send = setting.send, value = setting.value] {
                         return send(*session, value) == 0;
                     });

    sequence.finished = [p, state, run, done = std::move(done)](bool completed) {
        if (completed) {
            done(SystemApplyResult::Applied);
            return;
        }
        if (state->countsInPlace) {
            done(SystemApplyResult::UnitSettingsFailed);
            return;
        }
        LinkSequence restore = restoreSequence(p, state);
        restore.finished = [done](bool restored) {
            done(restored ? SystemApplyResult::CountsRestored
                          : SystemApplyResult::RestoreIncomplete);
        };
        run(std::move(restore));
    };
    run(std::move(sequence));
}

QString systemApplyFailureText(SystemApplyResult result) {
    switch (result) {
    case SystemApplyResult::Applied:
        break;
    case SystemApplyResult::CountsRestored:
        return QStringLiteral("The unit did not take the new counts.") + QLatin1Char('\r') +
               QStringLiteral("The channels, probes, analog inputs and groups are as they were.");
    case SystemApplyResult::RestoreIncomplete:
        return QStringLiteral("The unit did not take the new counts, and the counts it had could "
                              "not be sent back to it.") +
               QLatin1Char('\r') + QStringLiteral("Check the connection, then press OK again.");
    case SystemApplyResult::UnitSettingsFailed:
        return QStringLiteral("The counts are set, but the unit did not take the averages or the "
                              "scan period.") +
               QLatin1Char('\r') + QStringLiteral("Check them and press OK again.");
    }
    return {};
}

} // namespace setupforms
