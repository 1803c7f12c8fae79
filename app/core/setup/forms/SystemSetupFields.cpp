#include "SystemSetupFields.h"

#include "LocaleFreeNumbers.h"
#include "Settings.h"
#include "TypedNumbers.h"
#include "UnitLimits.h"

#include <array>
#include <utility>

namespace setupforms {

namespace {

struct IntegerField {
    SystemField field;
    QString SystemSetupTexts::*text;
    int SystemSetupValues::*value;
    const char *caption;
    int low;
    int high;
    int scale; // 10 for the scan period typed in milliseconds
};

std::array<IntegerField, 7> integerFields() {
    const UnitCountRange channels = unitCountRange(UnitCount::Channels);
    const UnitCountRange probes = unitCountRange(UnitCount::Probes);
    const UnitCountRange analogs = unitCountRange(UnitCount::Analogs);
    return {{
        {SystemField::Channels, &SystemSetupTexts::channels, &SystemSetupValues::channels,
         "Channels", channels.low, channels.high, 1},
        {SystemField::Probes, &SystemSetupTexts::probes, &SystemSetupValues::probes, "Probes",
         probes.low, probes.high, 1},
        {SystemField::Analogs, &SystemSetupTexts::analogs, &SystemSetupValues::analogs, "Analogs",
         analogs.low, analogs.high, 1},
        {SystemField::RunningAverage, &SystemSetupTexts::runningAverage,
         &SystemSetupValues::runningAverage, "Running Average", LowestAverage, HighestAverage, 1},
        {SystemField::BurstAverage, &SystemSetupTexts::burstAverage,
         &SystemSetupValues::burstAverage, "Burst Average", LowestAverage, HighestAverage, 1},
        {SystemField::ScanPeriod, &SystemSetupTexts::scanPeriod, &SystemSetupValues::scanTenths,
         "Scan Period", LowestScanTenths, HighestScanTenths, 10},
        {SystemField::Decimals, &SystemSetupTexts::decimals, &SystemSetupValues::decimals,
         "Default decimal places", LowestDecimals, HighestDecimals, 1},
    }};
}

QString problemOf(const IntegerField &f) {
    const QString caption = QLatin1String(f.caption);
    if (f.scale == 10)
        return caption + QStringLiteral(" must be a number of milliseconds from ") +
               scanPeriodText(f.low) + QStringLiteral(" to ") + scanPeriodText(f.high) +
               QLatin1Char('.');
    return caption + QStringLiteral(" must be a number ") + rangeWords(f.low, f.high) +
           QLatin1Char('.');
}

// The stored number is 1 (the check box is ticked) or anything else; fallback when missing.
bool storedFlag(const SettingsStore &settings, SettingKey key, double fallback) {
    return settings.number(key, fallback) == 1;
}

} // namespace

SystemFieldsCheck checkSystemFields(const SystemSetupTexts &texts, QChar decimalSeparator) {
    SystemSetupValues values;
    bool channelsRaised = false;
    for (const IntegerField &f : integerFields()) {
        const std::optional<double> typed = typedNumber(texts.*f.text, decimalSeparator);
        std::optional<int> value =
            typed ? textfile::roundedWithin(*typed * f.scale, f.low, f.high) : std::nullopt;
        if (!value && typed && f.field == SystemField::Channels &&
            textfile::roundHalfToEven(*typed) < f.low) {
            channelsRaised = true;
            value = f.low;
        }
        if (!value)
            return {std::nullopt, f.field, problemOf(f), channelsRaised};
        values.*f.value = *value;
    }
    const std::optional<float> fullScale = typedSingle(texts.lvdtFullScale, decimalSeparator);
    if (!fullScale || *fullScale <= 0.0f)
        return {std::nullopt, SystemField::LvdtFullScale,
                QStringLiteral("Default LVDT Full Scale must be a number above 0 up to "
                               "3.402823E+38."),
                channelsRaised};
    values.lvdtFullScale = *fullScale;
    return {values, SystemField::Channels, {}, channelsRaised};
}

QString scanPeriodText(int tenths) {
    return QString::number(tenths / 10.0, 'g', 6);
}

QString generalText(float value) {
    return QString::number(static_cast<double>(value), 'g', 7);
}

StartupOptions readStartupOptions(const SettingsStore &settings) {
    StartupOptions options;
    options.bars = storedFlag(settings, SettingKeys::BarsAtStartup, 1);
    options.numbers = storedFlag(settings, SettingKeys::NumericDisplay, 1);
    const double view = settings.number(SettingKeys::TypeOfView, 2);
    options.view = view == 1   ? View::Group
                   : view == 2 ? View::Channels
                   : view == 3 ? View::Probes
                               : View::None;
    options.runWizard = storedFlag(settings, SettingKeys::RunWizard, 0);
    // Start-up enables the setups only for a stored 0, so anything else shows as ticked.
    options.disableSetups = settings.number(SettingKeys::DisableSetups, 0) != 0;
    return options;
}

bool writeStartupOptions(SettingsStore &settings, const StartupOptions &options) {
    const auto flag = [](bool on) {
        return on ? 1LL : 0LL;
    };
    const long long view = options.view == View::Group      ? 1
                           : options.view == View::Channels ? 2
                           : options.view == View::Probes   ? 3
                                                            : 0;
    return settings.setNumbers({{SettingKeys::BarsAtStartup, flag(options.bars)},
                                {SettingKeys::NumericDisplay, flag(options.numbers)},
                                {SettingKeys::TypeOfView, view},
                                {SettingKeys::RunWizard, flag(options.runWizard)},
                                {SettingKeys::DisableSetups, flag(options.disableSetups)}});
}

} // namespace setupforms
