#pragma once

#include "DisplayedState.h"
#include "LinkSequence.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class group;

// What the two display windows show for the current view (one group, channels, probes, analog
// inputs or digital inputs). Labels and set-up values come from
// the measurement objects, so most of them are one exchange with the unit each.

// Number of items of the current view, or nothing for views that keep the previous count
// (digital inputs, no view, a group view without a valid selected group).
std::optional<int> displayItemCount(DisplayedState state);

// The group view's selected group after bringing SelectedGroup into 1..number of groups (it is
// written back, so both windows and the poll agree); nothing when there are no groups.
group *clampedSelectedGroup(DisplayedState state);

// ---- Numeric grid -----------------------------------------------------------------------

struct GridRows {
    QString heading;    // column 0 of the heading row
    QStringList labels; // one per item, row 1 first
};

struct GridContent {
    QString caption;
    std::optional<GridRows> rows; // nothing: leave the rows as they are (no view)
};

// Caption, heading and row labels of the current view, read at once.
GridContent collectGridContent(DisplayedState state);
// The same without waiting for the unit: what the station knows now, and in reads one exchange
// per step that fill in the rest (the channels' descriptions) when they run.
// Each read looks its channel up when it runs, and reads nothing once wanted() says the display
// has moved on (another update, the window gone).
using StillWanted = std::function<bool()>;
std::shared_ptr<GridContent> planGridContent(DisplayedState state, LinkSequence &reads,
                                             StillWanted wanted);

// ---- Bar gauges -------------------------------------------------------------------------

// The set-up values of one gauge.
struct GaugeSetup {
    QString label; // already shortened
    QString fullLabel;
    double top = 0.05;
    double bottom = -0.05;
    int decimals = 1;
    bool hasLimits = false;
    double loTol = 0, loAppr = 0, hiAppr = 0, hiTol = 0;
};

QString barWindowCaption(DisplayedState state);

// Set-up values of gauges 1..count for the current view, read at once.
std::vector<GaugeSetup> collectGaugeSetups(DisplayedState state, int count);
// The same without waiting for the unit: placeholders now, and in reads one exchange per step
// that fill in descriptions, scales and limits when they run.
std::shared_ptr<std::vector<GaugeSetup>> planGaugeSetups(DisplayedState state, int count,
                                                         LinkSequence &reads, StillWanted wanted);

// Runs reads at once, one after the other.
void runNow(const LinkSequence &reads);
