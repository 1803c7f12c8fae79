#include "DisplayContent.h"

#include "DisplayRules.h"
#include "DisplayedState.h"

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

QString channelDescription(DisplayedState state, int n) {
    const Channel *channel = state.unit.channel(n);
    return channel ? channel->Description() : QString();
}

} // namespace

group *clampedSelectedGroup(DisplayedState state) {
    const int groups = static_cast<int>(state.unit.Groups.size());
    if (state.view.SelectedGroup < 1)
        state.view.SelectedGroup = 1;
    if (state.view.SelectedGroup > groups)
        state.view.SelectedGroup = static_cast<int16_t>(groups);
    return state.unit.groupAt(state.view.SelectedGroup);
}

std::optional<int> displayItemCount(DisplayedState state) {
    switch (state.view.ViewMode) {
    case View::Group:
        if (const group *g = state.unit.groupAt(state.view.SelectedGroup))
            return g->Count;
        return std::nullopt;
    case View::Channels:
        if (state.unit.UnitSystem)
            return state.unit.UnitSystem->MaxChannel();
        return std::nullopt;
    case View::Probes:
        if (state.unit.UnitSystem)
            return state.unit.UnitSystem->MaxLvdt();
        return std::nullopt;
    case View::Analogs:
        return state.unit.MaxAnalog;
    default:
        return std::nullopt;
    }
}

GridContent collectGridContent(DisplayedState state) {
    GridContent content;
    GridRows rows;
    switch (state.view.ViewMode) {
    case View::Group: {
        const group *g = clampedSelectedGroup(state);
        content.caption = QStringLiteral("Group: ") + (g ? g->Description : QString());
        if (g) {
            rows.heading = g->Description;
            for (int i = 1; i <= g->Count; ++i)
                rows.labels << channelDescription(state, g->GetChannel(i));
        }
        break;
    }
    case View::Channels: {
        content.caption = QStringLiteral("Channels");
        rows.heading = QStringLiteral("Channel");
        const int count = state.unit.UnitSystem ? state.unit.UnitSystem->MaxChannel() : 0;
        for (int i = 1; i <= count; ++i)
            rows.labels << channelDescription(state, i);
        break;
    }
    case View::Probes: {
        content.caption = QStringLiteral("LVDTs");
        rows.heading = QStringLiteral("LVDT");
        const int count = state.unit.UnitSystem ? state.unit.UnitSystem->MaxLvdt() : 0;
        for (int i = 1; i <= count; ++i) {
            const Lvdt *probe = state.unit.lvdt(i);
            rows.labels << (probe ? probe->Description : QString());
        }
        break;
    }
    case View::Analogs:
        content.caption = QStringLiteral("Analogs");
        rows.heading = QStringLiteral("Analog Inputs");
        for (int i = 1; i <= state.unit.MaxAnalog; ++i) {
            const analog *input = state.unit.analogInput(i);
            rows.labels << (input ? input->Description : QString());
        }
        break;
    case View::Digitals:
        content.caption = QStringLiteral("Digitals");
        rows.heading = QStringLiteral("Not Available");
        for (int i = 1; i <= state.unit.MaxAnalog; ++i)
            rows.labels << QStringLiteral("Digital%1").arg(i);
        break;
    default:
        content.caption = QStringLiteral("Display");
        return content;
    }
    content.rows = std::move(rows);
    return content;
}

QString barWindowCaption(DisplayedState state) {
    switch (state.view.ViewMode) {
    case View::Group: {
        const group *g = state.unit.groupAt(state.view.SelectedGroup);
        return QStringLiteral("Display Group ") + (g ? g->Description : QString());
    }
    case View::Channels:
        return QStringLiteral("Display Channels");
    case View::Probes:
        return QStringLiteral("Display LVDTs");
    case View::Analogs:
        return QStringLiteral("Display Analogs");
    case View::Digitals:
        return QStringLiteral("Display Digitals");
    default:
        return QStringLiteral("Display");
    }
}

std::vector<GaugeSetup> collectGaugeSetups(DisplayedState state, int count) {
    std::vector<GaugeSetup> setups;
    setups.reserve(static_cast<size_t>(std::max(count, 0)));
    const group *g =
        state.view.ViewMode == View::Group ? state.unit.groupAt(state.view.SelectedGroup) : nullptr;
    for (int i = 1; i <= count; ++i) {
        switch (state.view.ViewMode) {
        case View::Group:
            setups.push_back(channelGauge(g ? state.unit.channel(g->GetChannel(i)) : nullptr));
            break;
        case View::Channels:
            setups.push_back(channelGauge(state.unit.channel(i)));
            break;
        case View::Probes: {
            const Lvdt *probe = state.unit.lvdt(i);
            setups.push_back(probe ? fullScaleGauge(probe->Description, probe->FullScale(),
                                                    state.unit.SystemDecimals)
                                   : placeholderGauge(QString()));
            break;
        }
        case View::Analogs: {
            const analog *input = state.unit.analogInput(i);
            setups.push_back(input ? fullScaleGauge(input->Description, input->FullScale(),
                                                    state.unit.SystemDecimals)
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
