#include "DisplayContent.h"

#include "DisplayRules.h"
#include "DisplayedState.h"
#include "LinkSession.h"

namespace {

// Placeholder set-up of a gauge with nothing behind it (digital inputs, no view, a group view
// without its group).
GaugeSetup placeholderGauge(const QString &label) {
    GaugeSetup setup;
    setup.fullLabel = label;
    setup.label = shortenGaugeLabel(label);
    return setup;
}

// A gauge named by its channel's number; the number is what matters in a narrow gauge, so the
// caption is short and the tip says the rest.
GaugeSetup numberedGauge(int channel, ItemSetup setup, const QString &tip) {
    GaugeSetup gauge;
    gauge.label = QStringLiteral("Ch %1").arg(channel);
    gauge.fullLabel = tip;
    gauge.setup = setup;
    return gauge;
}

// Runs read (false: the object is gone) and tells whether it went through: the link error
// handler counts every failed call, and a failed read returns 0, which must not pass for a value.
bool wentThrough(DisplayedState state, const std::function<bool()> &read) {
    const long failedBefore = state.session ? state.session->FailedCalls : 0;
    const bool there = read();
    return there && (!state.session || state.session->FailedCalls == failedBefore);
}

using Setups = std::shared_ptr<std::vector<GaugeSetup>>;
// One read of a gauge's set-up into the set-up given; false when the object is gone.
using SetupRead = std::function<bool(GaugeSetup &)>;

// The reads of gauge i, one exchange a step. Each works on a copy that is kept only when the
// exchange went through; after the last one the gauge is known, unless a read failed.
void addGaugeReads(LinkSequence &reads, DisplayedState state, const StillWanted &wanted,
                   const GaugeReady &ready, const Setups &setups, size_t i,
                   const std::vector<SetupRead> &each) {
    auto sound = std::make_shared<bool>(true);
    for (size_t k = 0; k < each.size(); ++k) {
        const bool last = k + 1 == each.size();
        reads.add(QStringLiteral("gauge %1").arg(i + 1),
                  [state, wanted, ready, setups, i, sound, last, read = each[k]] {
                      if (!wanted())
                          return true;
                      GaugeSetup copy = (*setups)[i];
                      if (wentThrough(state, [&] { return read(copy); }))
                          (*setups)[i] = copy;
                      else
                          *sound = false;
                      if (last && *sound) {
                          (*setups)[i].setup = ItemSetup::Known;
                          if (ready)
                              ready(static_cast<qsizetype>(i), (*setups)[i]);
                      }
                      return true;
                  });
    }
}

// Channel n's gauge: its number and decimals now, its description, scale and limits read from
// the unit. The channel is looked up when each read runs, since the set may have changed by then.
GaugeSetup planChannelGauge(DisplayedState state, int n, LinkSequence &reads,
                            const StillWanted &wanted, const GaugeReady &ready,
                            const Setups &setups, size_t i) {
    const Channel *channel = state.unit.channel(n);
    if (!channel)
        return numberedGauge(n, ItemSetup::Missing, missingChannelLabel(n));
    GaugeSetup setup = numberedGauge(n, ItemSetup::Pending, channelNumberLabel(n));
    setup.decimals = channel->Decimals;
    setup.hasLimits = true;
    using Store = void (*)(GaugeSetup &, const Channel &);
    const Store stores[] = {
        [](GaugeSetup &g, const Channel &c) {
            g.fullLabel = c.Description();
            g.label = shortenGaugeLabel(g.fullLabel);
        },
        [](GaugeSetup &g, const Channel &c) { g.top = c.BarDisplayTop(); },
        [](GaugeSetup &g, const Channel &c) { g.bottom = c.BarDisplayBot(); },
        [](GaugeSetup &g, const Channel &c) { g.loTol = c.LoTol(); },
        [](GaugeSetup &g, const Channel &c) { g.loAppr = c.LoAppr(); },
        [](GaugeSetup &g, const Channel &c) { g.hiAppr = c.HiAppr(); },
        [](GaugeSetup &g, const Channel &c) { g.hiTol = c.HiTol(); },
    };
    std::vector<SetupRead> each;
    for (const Store store : stores) {
        each.push_back([state, n, store](GaugeSetup &g) {
            const Channel *now = state.unit.channel(n);
            if (now)
                store(g, *now);
            return now != nullptr;
        });
    }
    addGaugeReads(reads, state, wanted, ready, setups, i, each);
    return setup;
}

// A probe's or analog input's gauge: its description now, its full scale read from the unit.
GaugeSetup planFullScaleGauge(DisplayedState state, bool probe, int n, LinkSequence &reads,
                              const StillWanted &wanted, const GaugeReady &ready,
                              const Setups &setups, size_t i) {
    const Lvdt *lvdt = probe ? state.unit.lvdt(n) : nullptr;
    const analog *input = probe ? nullptr : state.unit.analogInput(n);
    if (!lvdt && !input)
        return placeholderGauge(QString());
    GaugeSetup setup = placeholderGauge(lvdt ? lvdt->Description : input->Description);
    setup.top = 0;
    setup.bottom = 0;
    setup.decimals = state.unit.SystemDecimals;
    setup.setup = ItemSetup::Pending;
    addGaugeReads(reads, state, wanted, ready, setups, i, {[state, probe, n](GaugeSetup &g) {
                      const Lvdt *lvdtNow = probe ? state.unit.lvdt(n) : nullptr;
                      const analog *inputNow = probe ? nullptr : state.unit.analogInput(n);
                      if (!lvdtNow && !inputNow)
                          return false;
                      const double fullScale =
                          lvdtNow ? lvdtNow->FullScale() : inputNow->FullScale();
                      g.top = fullScale;
                      g.bottom = -fullScale;
                      return true;
                  }});
    return setup;
}

void addLabel(GridRows &rows, const QString &label, ItemSetup setup = ItemSetup::Known) {
    rows.labels << label;
    rows.setups << setup;
}

// Row `row` (0-based) shows channel n's number until the description has been read.
void planChannelLabel(DisplayedState state, int n, LinkSequence &reads, const StillWanted &wanted,
                      const RowReady &ready, const std::shared_ptr<GridContent> &content,
                      qsizetype row) {
    GridRows &rows = *content->rows;
    if (!state.unit.channel(n)) {
        addLabel(rows, missingChannelLabel(n), ItemSetup::Missing);
        return;
    }
    addLabel(rows, channelNumberLabel(n), ItemSetup::Pending);
    reads.add(QStringLiteral("row %1").arg(row + 1), [state, n, wanted, ready, content, row] {
        if (!wanted())
            return true;
        QString description;
        const bool read = wentThrough(state, [&] {
            const Channel *channel = state.unit.channel(n);
            if (channel)
                description = channel->Description();
            return channel != nullptr;
        });
        if (read) {
            content->rows->labels[row] = description;
            content->rows->setups[row] = ItemSetup::Known;
            if (ready)
                ready(row, description);
        }
        return true;
    });
}

} // namespace

QString channelNumberLabel(int channel) {
    return QStringLiteral("Channel %1").arg(channel);
}

QString missingChannelLabel(int channel) {
    return QStringLiteral("%1 (no such channel)").arg(channel);
}

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
                                             StillWanted wanted, RowReady ready) {
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
                planChannelLabel(state, g->GetChannel(i), reads, wanted, ready, shared,
                                 rows.labels.size());
        }
        break;
    }
    case View::Channels: {
        content.caption = QStringLiteral("Channels");
        rows.heading = QStringLiteral("Channel");
        const int count = state.unit.UnitSystem ? state.unit.UnitSystem->MaxChannel() : 0;
        for (int i = 1; i <= count; ++i)
            planChannelLabel(state, i, reads, wanted, ready, shared, rows.labels.size());
        break;
    }
    case View::Probes: {
        content.caption = QStringLiteral("LVDTs");
        rows.heading = QStringLiteral("LVDT");
        const int count = state.unit.UnitSystem ? state.unit.UnitSystem->MaxLvdt() : 0;
        for (int i = 1; i <= count; ++i) {
            const Lvdt *probe = state.unit.lvdt(i);
            addLabel(rows, probe ? probe->Description : QString());
        }
        break;
    }
    case View::Analogs:
        content.caption = QStringLiteral("Analogs");
        rows.heading = QStringLiteral("Analog Inputs");
        for (int i = 1; i <= state.unit.MaxAnalog; ++i) {
            const analog *input = state.unit.analogInput(i);
            addLabel(rows, input ? input->Description : QString());
        }
        break;
    case View::Digitals:
        content.caption = QStringLiteral("Digitals");
        rows.heading = QStringLiteral("Not Available");
        for (int i = 1; i <= state.unit.MaxAnalog; ++i)
            addLabel(rows, QStringLiteral("Digital%1").arg(i));
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
                                                         LinkSequence &reads, StillWanted wanted,
                                                         GaugeReady ready) {
    auto setups = std::make_shared<std::vector<GaugeSetup>>();
    setups->reserve(static_cast<size_t>(std::max(count, 0)));
    const group *g =
        state.view.ViewMode == View::Group ? state.unit.groupAt(state.view.SelectedGroup) : nullptr;
    for (int i = 1; i <= count; ++i) {
        const size_t at = setups->size();
        switch (state.view.ViewMode) {
        case View::Group:
            setups->push_back(
                g ? planChannelGauge(state, g->GetChannel(i), reads, wanted, ready, setups, at)
                  : placeholderGauge(QString()));
            break;
        case View::Channels:
            setups->push_back(planChannelGauge(state, i, reads, wanted, ready, setups, at));
            break;
        case View::Probes:
        case View::Analogs:
            setups->push_back(planFullScaleGauge(state, state.view.ViewMode == View::Probes, i,
                                                 reads, wanted, ready, setups, at));
            break;
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
