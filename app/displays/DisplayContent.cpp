#include "DisplayContent.h"

#include "DisplayRules.h"
#include "StationState.h"

namespace {

// Placeholder set-up of a gauge with nothing behind it (digital inputs, no view, a group
// position that names no channel).
GaugeSetup placeholderGauge(const QString &label) {
    GaugeSetup setup;
    setup.fullLabel = label;
    setup.label = shortenGaugeLabel(label);
    return setup;
}

GaugeSetup channelGauge(const Channel *channel) {
    if (!channel)
        return placeholderGauge(QString());
    GaugeSetup setup;
    setup.fullLabel = channel->Description();
    setup.label = shortenGaugeLabel(setup.fullLabel);
    setup.top = channel->BarDisplayTop();
    setup.bottom = channel->BarDisplayBot();
    setup.decimals = channel->Decimals;
    setup.hasLimits = true;
    setup.loTol = channel->LoTol();
    setup.loAppr = channel->LoAppr();
    setup.hiAppr = channel->HiAppr();
    setup.hiTol = channel->HiTol();
    return setup;
}

GaugeSetup fullScaleGauge(const QString &label, double fullScale, int decimals) {
    GaugeSetup setup = placeholderGauge(label);
    setup.top = fullScale;
    setup.bottom = -fullScale;
    setup.decimals = decimals;
    return setup;
}

QString channelDescription(const StationState &state, int n) {
    const Channel *channel = state.channel(n);
    return channel ? channel->Description() : QString();
}

} // namespace

group *clampedSelectedGroup(StationState &state) {
    const int groups = static_cast<int>(state.Groups.size());
    if (state.SelectedGroup < 1)
        state.SelectedGroup = 1;
    if (state.SelectedGroup > groups)
        state.SelectedGroup = static_cast<int16_t>(groups);
    return state.groupAt(state.SelectedGroup);
}

std::optional<int> displayItemCount(StationState &state) {
    switch (state.ViewMode) {
    case 1:
        if (const group *g = state.groupAt(state.SelectedGroup))
            return g->Count;
        return std::nullopt;
    case 2:
        if (state.UnitSystem)
            return state.UnitSystem->MaxChannel();
        return std::nullopt;
    case 3:
        if (state.UnitSystem)
            return state.UnitSystem->MaxLvdt();
        return std::nullopt;
    case 4:
        return state.MaxAnalog;
    default:
        return std::nullopt;
    }
}

GridContent collectGridContent(StationState &state) {
    GridContent content;
    GridRows rows;
    switch (state.ViewMode) {
    case 1: {
        const group *g = clampedSelectedGroup(state);
        content.caption = QStringLiteral("Group: ") + (g ? g->Description : QString());
        if (g) {
            rows.heading = g->Description;
            for (int i = 1; i <= g->Count; ++i)
                rows.labels << channelDescription(state, g->GetChannel(i));
        }
        break;
    }
    case 2: {
        content.caption = QStringLiteral("Channels");
        rows.heading = QStringLiteral("Channel");
        const int count = state.UnitSystem ? state.UnitSystem->MaxChannel() : 0;
        for (int i = 1; i <= count; ++i)
            rows.labels << channelDescription(state, i);
        break;
    }
    case 3: {
        content.caption = QStringLiteral("LVDTs");
        rows.heading = QStringLiteral("LVDT");
        const int count = state.UnitSystem ? state.UnitSystem->MaxLvdt() : 0;
        for (int i = 1; i <= count; ++i) {
            const Lvdt *probe = state.lvdt(i);
            rows.labels << (probe ? probe->Description : QString());
        }
        break;
    }
    case 4:
        content.caption = QStringLiteral("Analogs");
        rows.heading = QStringLiteral("Analog Inputs");
        for (int i = 1; i <= state.MaxAnalog; ++i) {
            const analog *input = state.analogInput(i);
            rows.labels << (input ? input->Description : QString());
        }
        break;
    case 5:
        content.caption = QStringLiteral("Digitals");
        rows.heading = QStringLiteral("Not Available");
        for (int i = 1; i <= state.MaxAnalog; ++i)
            rows.labels << QStringLiteral("Digital%1").arg(i);
        break;
    default:
        content.caption = QStringLiteral("Display");
        return content;
    }
    content.rows = std::move(rows);
    return content;
}

QString barWindowCaption(StationState &state) {
    switch (state.ViewMode) {
    case 1: {
        const group *g = state.groupAt(state.SelectedGroup);
        return QStringLiteral("Display Group ") + (g ? g->Description : QString());
    }
    case 2:
        return QStringLiteral("Display Channels");
    case 3:
        return QStringLiteral("Display LVDTs");
    case 4:
        return QStringLiteral("Display Analogs");
    case 5:
        return QStringLiteral("Display Digitals");
    default:
        return QStringLiteral("Display");
    }
}

std::vector<GaugeSetup> collectGaugeSetups(StationState &state, int count) {
    std::vector<GaugeSetup> setups;
    setups.reserve(static_cast<size_t>(std::max(count, 0)));
    const group *g = state.ViewMode == 1 ? state.groupAt(state.SelectedGroup) : nullptr;
    for (int i = 1; i <= count; ++i) {
        switch (state.ViewMode) {
        case 1:
            setups.push_back(channelGauge(g ? state.channel(g->GetChannel(i)) : nullptr));
            break;
        case 2:
            setups.push_back(channelGauge(state.channel(i)));
            break;
        case 3: {
            const Lvdt *probe = state.lvdt(i);
            setups.push_back(
                probe ? fullScaleGauge(probe->Description, probe->FullScale(), state.SystemDecimals)
                      : placeholderGauge(QString()));
            break;
        }
        case 4: {
            const analog *input = state.analogInput(i);
            setups.push_back(
                input ? fullScaleGauge(input->Description, input->FullScale(), state.SystemDecimals)
                      : placeholderGauge(QString()));
            break;
        }
        default:
            setups.push_back(placeholderGauge(QStringLiteral("XXX%1").arg(i)));
            break;
        }
    }
    return setups;
}
