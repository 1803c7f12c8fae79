#pragma once

#include "LinearGauge.h"

#include <QColor>

// The SPC charts' colours. A point that breaks a rule, and a limit it breaks, take the gauges'
// reject colour, and the centre line their good colour, so they read the same as on the bars.
namespace spccolours {

inline QColor reject() {
    return LinearGauge::zoneColor(GaugeZone::Reject);
}
inline QColor good() {
    return LinearGauge::zoneColor(GaugeZone::Good);
}
// A change of the channel's limits within the parts.
inline QColor change() {
    return LinearGauge::zoneColor(GaugeZone::Warning);
}
inline QColor data() {
    return QColor(0x1f, 0x4e, 0x79);
}
inline QColor bars() {
    return QColor(0x9d, 0xb4, 0xd0);
}

} // namespace spccolours
