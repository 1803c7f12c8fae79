#pragma once

#include "AutoRecord.h"

#include <QString>

class SettingsStore;

// The Measure menu's settings, kept in the settings store's [Measure] section.
namespace recording {

struct MeasureSettings {
    bool autoRecord = false;
    AutoRecordRule rule;
    QString logFile; // empty: the default place
    QString operatorName;
    QString stationName; // empty: the computer's name

    // The log the station records to: logFile, or the default place.
    QString logPath() const;
    // The station name stored with each part: stationName, or the computer's name.
    QString station() const;

    bool operator==(const MeasureSettings &) const = default;
};

// What Auto Record's rule may be set to; a stored value outside is not taken.
struct RuleBounds {
    int low;
    int high;
};
inline constexpr RuleBounds StableTicksBounds{2, 100};
inline constexpr RuleBounds StablePercentBounds{1, 100};
inline constexpr RuleBounds MarginPercentBounds{0, 1000};

// Reads the settings; a value missing, not a whole number or out of bounds gives its default,
// so a damaged file never sets a surprising rule.
MeasureSettings readMeasureSettings(const SettingsStore &store);
// Writes them all; false when they did not reach the file (the store keeps the failure).
bool writeMeasureSettings(SettingsStore &store, const MeasureSettings &settings);

} // namespace recording
