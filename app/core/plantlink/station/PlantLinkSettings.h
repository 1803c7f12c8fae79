#pragma once

#include "PlantLinkConfig.h"
#include "Settings.h"

#include <QString>

namespace plantlink {

// The plant link as the operator set it up: whether it runs, and with what. The password is not
// part of the settings file; it is kept in the secret store under PasswordKey.
struct PlantLinkSettings {
    bool enabled = false;
    PlantLinkConfig config;

    bool operator==(const PlantLinkSettings &) const = default;
};

inline const QString PasswordKey = QStringLiteral("plant-link");
// The name the station files its secrets under in the secret store.
inline const QString SecretServiceName = QStringLiteral("QorView");

// The stored settings; a missing or damaged value takes its default (off, port 1883, parts on,
// live values off with a second between values).
PlantLinkSettings loadPlantLinkSettings(const SettingsStore &store);
// Writes every setting except the password; false when something did not reach the file (the
// store keeps what and why).
bool savePlantLinkSettings(SettingsStore &store, const PlantLinkSettings &settings);

// Why the settings cannot be used, in words for the operator; empty when they can. Settings that
// are off are not checked.
QString settingsProblem(const PlantLinkSettings &settings);

// The longest minimum interval between two live values of a channel the settings take.
inline constexpr int LongestLiveIntervalMs = 3600000;

} // namespace plantlink
