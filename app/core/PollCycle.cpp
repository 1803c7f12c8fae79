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

bool PollCycle::tick() {
    if (m_running || m_session.InLinkErrorHandler)
        return false;
    m_running = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{m_running};

    // A read that failed (already reported by the link error handler) leaves what is shown.
    if (m_live.MasteringChannel != 0) {
        if (const auto value = readChannel(m_live.MasteringChannel)) {
            m_targets.setMasteringValue(formatChannel(m_live.MasteringChannel, *value));
        }
    }
    if (m_live.ChannelSetupLiveChannel != 0) {
        const int channel = m_live.ChannelSetupLiveChannel;
        if (const auto value = readChannel(channel))
            m_targets.setChannelSetupValue(formatChannel(channel, *value));
    }
    if (m_live.LvdtSetupLiveInput != 0) {
        if (const auto value = readInput(true, m_targets.probeSetupCurrentInput()))
            m_targets.setProbeSetupValue(formatValue(*value, ProbeDecimals));
    }
    if (m_live.AnalogSetupLiveInput != 0) {
        if (const auto value = readInput(false, m_targets.analogSetupCurrentInput()))
            m_targets.setAnalogSetupValue(formatValue(*value, ProbeDecimals));
    }
    if (m_view.UpdatesOn && m_view.PollHold == 0) {
        if (m_view.ViewMode != View::Channels)
            refreshLabels();
        switch (m_view.ViewMode) {
        case View::Group:
            refreshGroupView();
            break;
        case View::Channels:
            refreshChannelView();
            break;
        case View::Probes:
            refreshInputView(true);
            break;
        case View::Analogs:
            refreshInputView(false);
            break;
        default:
            break;
        }
    }
    feedGroupMastering();
    return true;
}

void PollCycle::refreshLabels() {
    const int channels =
        std::min<int>(m_unit.UnitSystem->MaxChannel(), static_cast<int>(m_lastChannel.size()));
    for (int n = 1; n <= channels; ++n) {
        const auto value = readChannel(n);
        float &last = m_lastChannel[static_cast<size_t>(n - 1)];
        if (value && *value != last) {
            last = *value;
            m_targets.setChannelLabel(n, formatChannel(n, *value));
        }
    }
}

void PollCycle::refreshGroupView() {
    if (!groupShown())
        return;
    const group &shown = *m_unit.groupAt(m_view.SelectedGroup);
    const bool grid = m_targets.gridShown();
    const bool bars = m_targets.barsShown();
    for (int j = 1; j <= shown.Count; ++j) {
        const int n = shown.GetChannel(j);
        const auto value = readChannel(n);
        float &last = rowCache(j);
        if (!value || *value == last)
            continue;
        last = *value;
        const QString text = formatChannel(n, *value);
        if (grid)
            m_targets.setGridValue(j, text);
        if (bars)
            m_targets.setBarValue(j, *value);
    }
}

void PollCycle::refreshChannelView() {
    const int channels =
        std::min<int>(m_unit.UnitSystem->MaxChannel(), static_cast<int>(m_lastChannel.size()));
    const bool grid = m_targets.gridShown();
    const bool bars = m_targets.barsShown();
    for (int n = 1; n <= channels; ++n) {
        const auto value = readChannel(n);
        float &last = m_lastChannel[static_cast<size_t>(n - 1)];
        if (!value || *value == last)
            continue;
        last = *value;
        const QString text = formatChannel(n, *value);
        m_targets.setChannelLabel(n, text);
        if (grid)
            m_targets.setGridValue(n, text);
        if (bars)
            m_targets.setBarValue(n, *value);
    }
}

void PollCycle::refreshInputView(bool probes) {
    const int count = probes ? m_unit.UnitSystem->MaxLvdt() : m_unit.MaxAnalog;
    const bool grid = m_targets.gridShown();
    const bool bars = m_targets.barsShown();
    for (int n = 1; n <= count; ++n) {
        const auto value = readInput(probes, n);
        if (!value)
            continue;
        if (grid)
            m_targets.setGridValue(n, formatValue(*value, ProbeDecimals));
        if (bars)
            m_targets.setBarValue(n, *value);
    }
}

void PollCycle::feedGroupMastering() {
    if (m_view.ViewMode != View::Group || m_live.MasteringGroup == 0 || !groupShown())
        return;
    const group &shown = *m_unit.groupAt(m_view.SelectedGroup);
    for (int j = 1; j <= shown.Count; ++j) {
        const int n = shown.GetChannel(j);
        if (const auto value = readChannel(n))
            m_targets.setGroupMasterValue(j, formatChannel(n, *value));
    }
}

std::optional<float> PollCycle::readChannel(int channel) {
    float value = 0.0f;
    if (m_session.link.QorReadChannel(m_session.LinkHandle, channel, &value) != 0)
        return std::nullopt;
    return value;
}

std::optional<float> PollCycle::readInput(bool probe, int input) {
    float value = 0.0f;
    const int32_t result = probe
                               ? m_session.link.QorReadLvdt(m_session.LinkHandle, input, &value)
                               : m_session.link.QorReadAnalog(m_session.LinkHandle, input, &value);
    if (result != 0)
        return std::nullopt;
    return value;
}

int PollCycle::decimalsOf(int channel) const {
    // A group may name a channel beyond the current set; it is shown with the system decimals.
    const Channel *object = m_unit.channel(channel);
    return object ? object->Decimals : m_unit.SystemDecimals;
}

QString PollCycle::formatChannel(int channel, float value) {
    return formatValue(value, decimalsOf(channel));
}

bool PollCycle::groupShown() const {
    return m_view.SelectedGroup >= 1 &&
           m_view.SelectedGroup <= static_cast<int>(m_unit.Groups.size());
}

float &PollCycle::rowCache(int row) {
    // A group may hold more entries than there are channels; its extra rows get cache room too.
    if (static_cast<size_t>(row) > m_lastRow.size())
        m_lastRow.resize(static_cast<size_t>(row), Unshown);
    return m_lastRow[static_cast<size_t>(row - 1)];
}
