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

// How much of an item's set-up (its label, scale and limits) a display has from the unit. Readings
// arrive from the first tick on, but no reading is judged against limits that are not known: until
// then the item shows its reading alone and its channel's number for a label.
enum class ItemSetup {
    Known,   // read: the item is shown in full
    Pending, // still to be read, or a read failed: the reading without zones or limit markers
    Missing, // a group entry naming a channel the set does not have: nothing is read for it
};

// Row labels of a channel whose description is not known, or that does not exist.
QString channelNumberLabel(int channel);
QString missingChannelLabel(int channel);

// Number of items of the current view, or nothing for views that keep the previous count
// (digital inputs, no view, a group view without a valid selected group).
std::optional<int> displayItemCount(DisplayedState state);

// The group view's selected group after bringing SelectedGroup into 1..number of groups (it is
// written back, so both windows and the poll agree); nothing when there are no groups.
group *clampedSelectedGroup(DisplayedState state);

// ---- Numeric grid -----------------------------------------------------------------------

struct GridRows {
    QString heading;         // column 0 of the heading row
    QStringList labels;      // one per item, row 1 first
    QList<ItemSetup> setups; // one per label
};

struct GridContent {
    QString caption;
    std::optional<GridRows> rows; // nothing: leave the rows as they are (no view)
};

// Caption, heading and row labels of the current view, read at once.
GridContent collectGridContent(DisplayedState state);
// The same without waiting for the unit: what the station knows now, and in reads one exchange
// per step that fill in the rest (the channels' descriptions) in the order of the rows, each
// followed by ready(the row, 0-based, and its label) once it went through.
// Each read looks its channel up when it runs, and reads nothing once wanted() says the display
// has moved on (another update, the window gone).
using StillWanted = std::function<bool()>;
using RowReady = std::function<void(qsizetype row, const QString &label)>;
std::shared_ptr<GridContent> planGridContent(DisplayedState state, LinkSequence &reads,
                                             StillWanted wanted, RowReady ready = {});

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
    ItemSetup setup = ItemSetup::Known;

    // The gauge judges its reading (zones, limit markers, a scale) only once all this is read.
    bool isKnown() const { return setup == ItemSetup::Known; }
};

QString barWindowCaption(DisplayedState state);

// Set-up values of gauges 1..count for the current view, read at once.
std::vector<GaugeSetup> collectGaugeSetups(DisplayedState state, int count);
// The same without waiting for the unit: what the station knows now, and in reads one exchange
// per step that fill in descriptions, scales and limits gauge by gauge in the view's order, each
// gauge followed by ready(the gauge, 0-based, and its set-up) once its whole set-up went through.
using GaugeReady = std::function<void(qsizetype gauge, const GaugeSetup &setup)>;
std::shared_ptr<std::vector<GaugeSetup>> planGaugeSetups(DisplayedState state, int count,
                                                         LinkSequence &reads, StillWanted wanted,
                                                         GaugeReady ready = {});

// Runs reads at once, one after the other.
void runNow(const LinkSequence &reads);
