#pragma once

#include "View.h"

#include <QChar>
#include <QString>

#include <optional>

class SettingsStore;

// The fields of the system settings dialog, checked together before anything is applied, and
// the start-up options it keeps in the settings store.
namespace setupforms {

// The boxes as typed.
struct SystemSetupTexts {
    QString channels;
    QString probes;
    QString analogs;
    QString runningAverage;
    QString burstAverage;
    QString scanPeriod; // milliseconds
    QString decimals;
    QString lvdtFullScale;
};

// What OK applies. The scan period is in tenths of a millisecond, as the unit takes it.
struct SystemSetupValues {
    int channels = 0;
    int probes = 0;
    int analogs = 0;
    int runningAverage = 0;
    int burstAverage = 0;
    int scanTenths = 0;
    int decimals = 0;
    float lvdtFullScale = 0.0f;
};

enum class SystemField {
    Channels,
    Probes,
    Analogs,
    RunningAverage,
    BurstAverage,
    ScanPeriod,
    Decimals,
    LvdtFullScale
};

struct SystemFieldsCheck {
    std::optional<SystemSetupValues> values; // empty when a field is refused
    SystemField field = SystemField::Channels;
    QString problem; // names the field and the range it takes
    // A channel count below 1 was typed and 1 taken instead: the dialog says ChannelsRaisedText
    // and shows 1 in the box, whether or not another field is refused.
    bool channelsRaised = false;
};

// Said when a channel count below 1 is raised to 1.
inline const QString ChannelsRaisedText = QStringLiteral("Channels must be at least 1");

// The ranges the fields take besides the counts (which are the unit's, UnitLimits.h). The unit
// keeps the averages and the scan period in 16 bits; an average over no readings or a scan
// period of 0 means nothing.
inline constexpr int LowestAverage = 1;
inline constexpr int HighestAverage = 32767;
inline constexpr int LowestScanTenths = 1;
inline constexpr int HighestScanTenths = 32767;
inline constexpr int LowestDecimals = 0;
inline constexpr int HighestDecimals = 5;

// Checks every field, in the order of the tabs. Counts, averages and decimals round to the
// nearest integer (a tie to the even one); the scan period is the milliseconds typed times 10,
// rounded the same way (0.25 ms gives 2). A channel count that rounds below 1 becomes 1 (a set
// without channels measures nothing); one that is no number, or above the unit's, is refused.
SystemFieldsCheck checkSystemFields(const SystemSetupTexts &texts, QChar decimalSeparator = u'.');

// The milliseconds shown for a scan period in tenths ("2.5" for 25).
QString scanPeriodText(int tenths);
// A single in its shortest general form ("0.05").
QString generalText(float value);

// The start-up options (taking effect at the next start) as the settings store keeps them.
struct StartupOptions {
    bool bars = true;
    bool numbers = true;
    // Group, Channels or Probes; None when the stored number names no option.
    View view = View::Channels;
    bool runWizard = false;
    bool disableSetups = false;
};

StartupOptions readStartupOptions(const SettingsStore &settings);
// Writes the five keys; false when a value did not reach the settings file.
bool writeStartupOptions(SettingsStore &settings, const StartupOptions &options);

} // namespace setupforms
