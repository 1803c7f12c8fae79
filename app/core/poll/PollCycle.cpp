#include "PollCycle.h"

#include "LinkSession.h"
#include "LiveFollowers.h"
#include "UnitObjects.h"
#include "ValueFormat.h"
#include "ViewState.h"

#include <algorithm>

PollCycle::PollCycle(LinkSession &session, UnitObjects &unit, ViewState &view, LiveFollowers &live,
                     PollTargets &targets)
    : m_session(session), m_unit(unit), m_view(view), m_live(live), m_targets(targets) {}

void PollCycle::resetCaches() {
    ++m_generation;
    m_freshness.reset();
    const int channels = std::max(0, m_unit.UnitSystem->MaxChannel());
    m_lastChannel.assign(static_cast<size_t>(channels), Unshown);
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
}

PollTick PollCycle::planTick() {
    PollTick tick{m_generation, {}};
    Steps &steps = tick.steps;
    // A dialog that stopped wanting its live value between planning and reading gets nothing.
    // A read that failed (already reported by the link error handler) leaves what is shown.
    if (const int channel = m_live.MasteringChannel; channel != 0) {
        steps.push_back([this, channel] {
            if (m_live.MasteringChannel != channel)
                return;
            const auto value = readChannel(channel);
            MasteringReadingRecord &stored = m_live.MasteringReading;
            stored = {static_cast<int16_t>(channel), stored.sequence + 1, value.value_or(0.0f),
                      value.has_value()};
            if (value)
                m_targets.setMasteringValue(formatChannel(channel, *value));
        });
    }
    if (const int channel = m_live.ChannelSetupLiveChannel; channel != 0) {
        steps.push_back([this, channel] {
            if (m_live.ChannelSetupLiveChannel != channel)
                return;
            if (const auto value = readChannel(channel))
                m_targets.setChannelSetupValue(formatChannel(channel, *value));
        });
    }
    if (m_live.LvdtSetupLiveInput != 0) {
        // The probe read is the one in the dialog's box when the read is made.
        steps.push_back([this] {
            const int probe = m_targets.probeSetupCurrentInput();
            // Whatever is typed into the box, only an input of the set is read.
            if (m_live.LvdtSetupLiveInput == 0 || !m_unit.lvdt(probe))
                return;
            if (const auto value = readInput(true, probe))
                m_targets.setProbeSetupValue(formatValue(*value, ProbeDecimals));
        });
    }
    if (m_live.AnalogSetupLiveInput != 0) {
        steps.push_back([this] {
            const int input = m_targets.analogSetupCurrentInput();
            if (m_live.AnalogSetupLiveInput == 0 || !m_unit.analogInput(input))
                return;
            if (const auto value = readInput(false, input))
                m_targets.setAnalogSetupValue(formatValue(*value, ProbeDecimals));
        });
    }
    if (const int probe = m_live.CalibrationLiveProbe; probe != 0) {
        steps.push_back([this, probe] {
            if (m_live.CalibrationLiveProbe != probe)
                return;
            if (const auto value = readInput(true, probe))
                m_targets.setCalibrationValue(formatValue(*value, ProbeDecimals));
        });
    }
    if (m_view.UpdatesOn && m_view.PollHold == 0) {
        if (m_view.ViewMode != View::Channels)
            planLabels(steps);
        switch (m_view.ViewMode) {
        case View::Group:
            planGroupView(steps);
            break;
        case View::Channels:
            planChannelView(steps);
            break;
        case View::Probes:
            planInputView(steps, true);
            break;
        case View::Analogs:
            planInputView(steps, false);
            break;
        default:
            break;
        }
    }
    planGroupMastering(steps);
    return tick;
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
    for (size_t i = 0; i < planned.steps.size() && isCurrent(planned); ++i)
        planned.steps[i]();
    return true;
}

void PollCycle::planLabels(Steps &steps) {
    const int channels =
        std::min<int>(m_unit.UnitSystem->MaxChannel(), static_cast<int>(m_lastChannel.size()));
    for (int n = 1; n <= channels; ++n) {
        steps.push_back([this, n] {
            const auto value = readChannel(n);
            float *last = channelCache(n);
            if (value && last && *value != *last) {
                *last = *value;
                m_targets.setChannelLabel(n, formatChannel(n, *value));
            }
        });
    }
}

void PollCycle::planGroupView(Steps &steps) {
    const group *shown = shownGroup();
    if (!shown)
        return;
    for (int j = 1; j <= shown->Count; ++j) {
        const int n = shown->GetChannel(j);
        // An entry naming a channel beyond the set has nothing to read; its row says so.
        if (!m_unit.channel(n))
            continue;
        steps.push_back([this, j, n] {
            const auto value = readChannel(n);
            noteRowRead(j, value.has_value());
            float &last = rowCache(j);
            if (!value || *value == last)
                return;
            last = *value;
            const QString text = formatChannel(n, *value);
            if (m_targets.gridShown())
                m_targets.setGridValue(j, text);
            if (m_targets.barsShown())
                m_targets.setBarValue(j, *value);
        });
    }
}

void PollCycle::planChannelView(Steps &steps) {
    const int channels =
        std::min<int>(m_unit.UnitSystem->MaxChannel(), static_cast<int>(m_lastChannel.size()));
    for (int n = 1; n <= channels; ++n) {
        steps.push_back([this, n] {
            const auto value = readChannel(n);
            noteRowRead(n, value.has_value());
            float *last = channelCache(n);
            if (!value || !last || *value == *last)
                return;
            *last = *value;
            const QString text = formatChannel(n, *value);
            m_targets.setChannelLabel(n, text);
            if (m_targets.gridShown())
                m_targets.setGridValue(n, text);
            if (m_targets.barsShown())
                m_targets.setBarValue(n, *value);
        });
    }
}

void PollCycle::planInputView(Steps &steps, bool probes) {
    const int count = probes ? m_unit.UnitSystem->MaxLvdt() : m_unit.MaxAnalog;
    for (int n = 1; n <= count; ++n) {
        steps.push_back([this, n, probes] {
            const auto value = readInput(probes, n);
            noteRowRead(n, value.has_value());
            if (!value)
                return;
            if (m_targets.gridShown())
                m_targets.setGridValue(n, formatValue(*value, ProbeDecimals));
            if (m_targets.barsShown())
                m_targets.setBarValue(n, *value);
        });
    }
}

// The group mastering dialog's own group, whatever the main list shows.
void PollCycle::planGroupMastering(Steps &steps) {
    const int groupNumber = m_live.MasteringGroup;
    const group *mastered = m_unit.groupAt(groupNumber);
    if (!mastered)
        return;
    for (int j = 1; j <= mastered->Count; ++j) {
        const int n = mastered->GetChannel(j);
        if (!m_unit.channel(n))
            continue;
        steps.push_back([this, j, n, groupNumber] {
            if (m_live.MasteringGroup != groupNumber)
                return;
            if (const auto value = readChannel(n))
                m_targets.setGroupMasterValue(j, formatChannel(n, *value));
        });
    }
}

void PollCycle::noteRowRead(int row, bool fresh) {
    const std::optional<bool> stale = m_freshness.noteRead(row, fresh);
    if (!stale)
        return;
    if (m_targets.gridShown())
        m_targets.setGridStale(row, *stale);
    if (m_targets.barsShown())
        m_targets.setBarStale(row, *stale);
}

// The unit would refuse a number beyond its set with an error box; such a read is not made.
std::optional<float> PollCycle::readChannel(int channel) {
    if (!m_unit.channel(channel))
        return std::nullopt;
    float value = 0.0f;
    if (m_session.link.QorReadChannel(m_session.LinkHandle, channel, &value) != 0)
        return std::nullopt;
    return value;
}

std::optional<float> PollCycle::readInput(bool probe, int input) {
    if (probe ? !m_unit.lvdt(input) : !m_unit.analogInput(input))
        return std::nullopt;
    float value = 0.0f;
    const int32_t result = probe
                               ? m_session.link.QorReadLvdt(m_session.LinkHandle, input, &value)
                               : m_session.link.QorReadAnalog(m_session.LinkHandle, input, &value);
    if (result != 0)
        return std::nullopt;
    return value;
}

int PollCycle::decimalsOf(int channel) const {
    const Channel *object = m_unit.channel(channel);
    return object ? object->Decimals : m_unit.SystemDecimals;
}

QString PollCycle::formatChannel(int channel, float value) {
    return formatValue(value, decimalsOf(channel));
}

const group *PollCycle::shownGroup() const {
    return m_unit.groupAt(m_view.SelectedGroup);
}

float &PollCycle::rowCache(int row) {
    // A group may hold more entries than there are channels; its extra rows get cache room too.
    if (static_cast<size_t>(row) > m_lastRow.size())
        m_lastRow.resize(static_cast<size_t>(row), Unshown);
    return m_lastRow[static_cast<size_t>(row - 1)];
}

float *PollCycle::channelCache(int channel) {
    return channel >= 1 && channel <= static_cast<int>(m_lastChannel.size())
               ? &m_lastChannel[static_cast<size_t>(channel - 1)]
               : nullptr;
}
