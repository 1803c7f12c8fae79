#pragma once

#include "DisplayedState.h"

#include <QString>
#include <QStringList>

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

// Caption, heading and row labels of the current view.
GridContent collectGridContent(DisplayedState state);

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

// Set-up values of gauges 1..count for the current view.
std::vector<GaugeSetup> collectGaugeSetups(DisplayedState state, int count);
