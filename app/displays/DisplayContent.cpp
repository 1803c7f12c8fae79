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

using Setups = std::shared_ptr<std::vector<GaugeSetup>>;

// A step that reads one property of channel n into gauge i's set-up: the channel is looked up
// when the step runs, since the set may have changed by then.
template <typename Store>
void addChannelRead(LinkSequence &reads, DisplayedState state, const StillWanted &wanted,
                    const Setups &setups, size_t i, int n, Store store) {
    reads.add(QStringLiteral("gauge %1").arg(i + 1), [state, wanted, setups, i, n, store] {
        if (const Channel *channel = wanted() ? state.unit.channel(n) : nullptr)
            store((*setups)[i], *channel);
        return true;
    });
}

// Channel n's gauge: its decimals now, its description, scale and limits read from the unit.
GaugeSetup planChannelGauge(DisplayedState state, int n, LinkSequence &reads,
                            const StillWanted &wanted, const Setups &setups, size_t i) {
    const Channel *channel = state.unit.channel(n);
    if (!channel)
        return placeholderGauge(QString());
    GaugeSetup setup;
    setup.decimals = channel->Decimals;
    setup.hasLimits = true;
    const auto read = [&](auto store) {
        addChannelRead(reads, state, wanted, setups, i, n, store);
    };
    read([](GaugeSetup &g, const Channel &c) {
        g.fullLabel = c.Description();
        g.label = shortenGaugeLabel(g.fullLabel);
    });
    read([](GaugeSetup &g, const Channel &c) { g.top = c.BarDisplayTop(); });
    read([](GaugeSetup &g, const Channel &c) { g.bottom = c.BarDisplayBot(); });
    read([](GaugeSetup &g, const Channel &c) { g.loTol = c.LoTol(); });
    read([](GaugeSetup &g, const Channel &c) { g.loAppr = c.LoAppr(); });
    read([](GaugeSetup &g, const Channel &c) { g.hiAppr = c.HiAppr(); });
    read([](GaugeSetup &g, const Channel &c) { g.hiTol = c.HiTol(); });
    return setup;
}

GaugeSetup fullScaleGauge(const QString &label, double fullScale, int decimals) {
    GaugeSetup setup = placeholderGauge(label);
    setup.top = fullScale;
    setup.bottom = -fullScale;
    setup.decimals = decimals;
    return setup;
}

// Row label `row` (0-based) becomes channel n's description when the read runs.
void planChannelLabel(DisplayedState state, int n, LinkSequence &reads, const StillWanted &wanted,
                      const std::shared_ptr<GridContent> &content, qsizetype row) {
    content->rows->labels << QString();
    if (!state.unit.channel(n))
        return;
    reads.add(QStringLiteral("row %1").arg(row + 1), [state, n, wanted, content, row] {
        if (const Channel *channel = wanted() ? state.unit.channel(n) : nullptr)
            content->rows->labels[row] = channel->Description();
        return true;
    });
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

std::shared_ptr<GridContent> planGridContent(DisplayedState state, LinkSequence &reads,
                                             StillWanted wanted) {
    auto shared = std::make_shared<GridContent>();
    GridContent &content = *shared;
    content.rows.emplace();
    GridRows &rows = *content.rows;
    switch (state.view.ViewMode) {
    case View::Group: {
        const group *g = clampedSelectedGroup(state);
        content.caption = QStringLiteral("Group: ") + (g ? g->Description : QString());
        if (g) {
            rows.heading = g->Description;
            for (int i = 1; i <= g->Count; ++i)
                planChannelLabel(state, g->GetChannel(i), reads, wanted, shared,
                                 rows.labels.size());
        }
        break;
    }
    case View::Channels: {
        content.caption = QStringLiteral("Channels");
        rows.heading = QStringLiteral("Channel");
        const int count = state.unit.UnitSystem ? state.unit.UnitSystem->MaxChannel() : 0;
        for (int i = 1; i <= count; ++i)
            planChannelLabel(state, i, reads, wanted, shared, rows.labels.size());
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
        content.rows.reset();
        return shared;
    }
    return shared;
}

GridContent collectGridContent(DisplayedState state) {
    LinkSequence reads;
    const std::shared_ptr<GridContent> content = planGridContent(state, reads, [] { return true; });
    runNow(reads);
    return *content;
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

std::shared_ptr<std::vector<GaugeSetup>> planGaugeSetups(DisplayedState state, int count,
                                                         LinkSequence &reads, StillWanted wanted) {
    auto setups = std::make_shared<std::vector<GaugeSetup>>();
    setups->reserve(static_cast<size_t>(std::max(count, 0)));
    const group *g =
        state.view.ViewMode == View::Group ? state.unit.groupAt(state.view.SelectedGroup) : nullptr;
    for (int i = 1; i <= count; ++i) {
        const size_t at = setups->size();
        switch (state.view.ViewMode) {
        case View::Group:
            setups->push_back(
                planChannelGauge(state, g ? g->GetChannel(i) : 0, reads, wanted, setups, at));
            break;
        case View::Channels:
            setups->push_back(planChannelGauge(state, i, reads, wanted, setups, at));
            break;
        case View::Probes:
        case View::Analogs: {
            const bool probe = state.view.ViewMode == View::Probes;
            const Lvdt *lvdt = probe ? state.unit.lvdt(i) : nullptr;
            const analog *input = probe ? nullptr : state.unit.analogInput(i);
            if (!lvdt && !input) {
                setups->push_back(placeholderGauge(QString()));
                break;
            }
            setups->push_back(fullScaleGauge(lvdt ? lvdt->Description : input->Description, 0,
                                             state.unit.SystemDecimals));
            reads.add(QStringLiteral("gauge %1").arg(i), [state, wanted, setups, at, probe, i] {
                const Lvdt *lvdtNow = wanted() && probe ? state.unit.lvdt(i) : nullptr;
                const analog *inputNow = wanted() && !probe ? state.unit.analogInput(i) : nullptr;
                if (!lvdtNow && !inputNow)
                    return true;
                const double fullScale = lvdtNow ? lvdtNow->FullScale() : inputNow->FullScale();
                (*setups)[at].top = fullScale;
                (*setups)[at].bottom = -fullScale;
                return true;
            });
            break;
        }
        default:
            setups->push_back(placeholderGauge(QStringLiteral("XXX%1").arg(i)));
            break;
        }
    }
    return setups;
}

std::vector<GaugeSetup> collectGaugeSetups(DisplayedState state, int count) {
    LinkSequence reads;
    const auto setups = planGaugeSetups(state, count, reads, [] { return true; });
    runNow(reads);
    return *setups;
}

void runNow(const LinkSequence &reads) {
    for (int step = 0; step < reads.size(); ++step)
        reads.run(step);
}
