#include "PlantLinkSettings.h"

#include <algorithm>
#include <cmath>

namespace plantlink {

namespace {

struct TextSetting {
    SettingKey key;
    QString PlantLinkConfig::*field;
};
struct FlagSetting {
    SettingKey key;
    bool PlantLinkConfig::*field;
};
struct NumberSetting {
    SettingKey key;
    int PlantLinkConfig::*field;
    int lowest;
    int highest;
};

const TextSetting Texts[] = {
    {SettingKeys::PlantLinkHost, &PlantLinkConfig::host},
    {SettingKeys::PlantLinkCaFile, &PlantLinkConfig::caFile},
    {SettingKeys::PlantLinkCertFile, &PlantLinkConfig::certFile},
    {SettingKeys::PlantLinkKeyFile, &PlantLinkConfig::keyFile},
    {SettingKeys::PlantLinkUserName, &PlantLinkConfig::userName},
    {SettingKeys::PlantLinkStation, &PlantLinkConfig::station},
};
const FlagSetting Flags[] = {
    {SettingKeys::PlantLinkTls, &PlantLinkConfig::tls},
    {SettingKeys::PlantLinkParts, &PlantLinkConfig::publishParts},
    {SettingKeys::PlantLinkLiveValues, &PlantLinkConfig::liveValues},
};
const NumberSetting Numbers[] = {
    {SettingKeys::PlantLinkPort, &PlantLinkConfig::port, 1, 65535},
    {SettingKeys::PlantLinkLiveInterval, &PlantLinkConfig::liveMinIntervalMs, 0,
     LongestLiveIntervalMs},
};

bool flag(const SettingsStore &store, SettingKey key, bool fallback) {
    const double stored = store.number(key, fallback ? 1 : 0);
    return stored == 1 ? true : stored == 0 ? false : fallback;
}

} // namespace

PlantLinkSettings loadPlantLinkSettings(const SettingsStore &store) {
    PlantLinkSettings settings;
    settings.enabled = flag(store, SettingKeys::PlantLinkEnabled, false);
    PlantLinkConfig &config = settings.config;
    for (const TextSetting &text : Texts)
        config.*text.field = store.text(text.key, config.*text.field).trimmed();
    for (const FlagSetting &setting : Flags)
        config.*setting.field = flag(store, setting.key, config.*setting.field);
    for (const NumberSetting &number : Numbers) {
        const double stored = store.number(number.key, config.*number.field);
        if (stored == std::floor(stored) && stored >= number.lowest && stored <= number.highest)
            config.*number.field = static_cast<int>(stored);
    }
    return settings;
}

bool savePlantLinkSettings(SettingsStore &store, const PlantLinkSettings &settings) {
    bool written = store.setNumber(SettingKeys::PlantLinkEnabled, settings.enabled ? 1 : 0);
    for (const TextSetting &text : Texts)
        written &= store.setText(text.key, settings.config.*text.field);
    std::vector<std::pair<SettingKey, long long>> numbers;
    for (const FlagSetting &setting : Flags)
        numbers.emplace_back(setting.key, settings.config.*setting.field ? 1 : 0);
    for (const NumberSetting &number : Numbers)
        numbers.emplace_back(number.key, settings.config.*number.field);
    written &= store.setNumbers(numbers);
    return written;
}

QString settingsProblem(const PlantLinkSettings &settings) {
    if (!settings.enabled)
        return {};
    const PlantLinkConfig &config = settings.config;
    if (config.host.trimmed().isEmpty())
        return QStringLiteral("Enter the broker's host name or address.");
    if (config.tls && config.certFile.isEmpty() != config.keyFile.isEmpty())
        return QStringLiteral("A client certificate needs its key, and a key its certificate.");
    return {};
}

} // namespace plantlink
