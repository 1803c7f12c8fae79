#include "MeasureSettings.h"

#include "LogLocation.h"
#include "Settings.h"

#include <QSysInfo>

#include <cmath>
#include <utility>

namespace recording {

namespace {

int boundedNumber(const SettingsStore &store, SettingKey key, RuleBounds bounds, int fallback) {
    const double stored = store.number(key, fallback);
    if (stored != std::floor(stored) || stored < bounds.low || stored > bounds.high)
        return fallback;
    return static_cast<int>(stored);
}

} // namespace

QString MeasureSettings::logPath() const {
    return logFile.trimmed().isEmpty() ? measurelog::defaultLogPath() : logFile.trimmed();
}

QString MeasureSettings::station() const {
    const QString name = stationName.trimmed();
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

MeasureSettings readMeasureSettings(const SettingsStore &store) {
    const MeasureSettings defaults;
    MeasureSettings settings;
    settings.autoRecord = store.number(SettingKeys::AutoRecord, 0) == 1;
    settings.rule.stableTicks = boundedNumber(store, SettingKeys::StableTicks, StableTicksBounds,
                                              defaults.rule.stableTicks);
    settings.rule.stablePercent = boundedNumber(store, SettingKeys::StablePercent,
                                                StablePercentBounds, defaults.rule.stablePercent);
    settings.rule.marginPercent = boundedNumber(store, SettingKeys::MarginPercent,
                                                MarginPercentBounds, defaults.rule.marginPercent);
    settings.logFile = store.text(SettingKeys::MeasurementLog);
    settings.operatorName = store.text(SettingKeys::Operator);
    settings.stationName = store.text(SettingKeys::StationName);
    return settings;
}

bool writeMeasureSettings(SettingsStore &store, const MeasureSettings &settings) {
    bool written = store.setNumbers({{SettingKeys::AutoRecord, settings.autoRecord ? 1 : 0},
                                     {SettingKeys::StableTicks, settings.rule.stableTicks},
                                     {SettingKeys::StablePercent, settings.rule.stablePercent},
                                     {SettingKeys::MarginPercent, settings.rule.marginPercent}});
    // Each text is tried even after one failed, so the failure record names every value lost.
    for (const auto &[key, text] : {std::pair{SettingKeys::MeasurementLog, settings.logFile},
                                    std::pair{SettingKeys::Operator, settings.operatorName},
                                    std::pair{SettingKeys::StationName, settings.stationName}})
        written = store.setText(key, text) && written;
    return written;
}

} // namespace recording
