#pragma once

#include "SettingsWriteFailure.h"

#include <QString>

#include <optional>
#include <utility>
#include <vector>

// One persistent setting: its section and key in the per-user store.
struct SettingKey {
    const char *section;
    const char *key;
};

// Every key the station reads or writes. The 36 window-layout keys are built by
// windowLayoutKey() in WindowLayout.h, in the order the store and setup files use.
namespace SettingKeys {
inline constexpr SettingKey Port{"QorSettings", "Port"};
inline constexpr SettingKey BaudRate{"QorSettings", "BaudRate"};
inline constexpr SettingKey RunWizard{"QorSettings", "RunWizard"};
inline constexpr SettingKey DisableSetups{"QorSettings", "DisableSetups"};
inline constexpr SettingKey BarsAtStartup{"QorSettings", "BarsAtStartup"};
inline constexpr SettingKey NumericDisplay{"QorSettings", "NumericDisplay"};
inline constexpr SettingKey TypeOfView{"QorSettings", "TypeOfView"};
inline constexpr SettingKey NewSetupFileNum{"QorSettings", "NewSetupFileNum"};
inline constexpr SettingKey MainLeft{"QorSettings", "MainLeft"};
inline constexpr SettingKey MainTop{"QorSettings", "MainTop"};
// The plant link (the broker password is kept in the secret store, never here).
inline constexpr SettingKey PlantLinkEnabled{"PlantLink", "Enabled"};
inline constexpr SettingKey PlantLinkHost{"PlantLink", "Host"};
inline constexpr SettingKey PlantLinkPort{"PlantLink", "Port"};
inline constexpr SettingKey PlantLinkTls{"PlantLink", "Tls"};
inline constexpr SettingKey PlantLinkCaFile{"PlantLink", "CaFile"};
inline constexpr SettingKey PlantLinkCertFile{"PlantLink", "CertFile"};
inline constexpr SettingKey PlantLinkKeyFile{"PlantLink", "KeyFile"};
inline constexpr SettingKey PlantLinkUserName{"PlantLink", "UserName"};
inline constexpr SettingKey PlantLinkStation{"PlantLink", "Station"};
inline constexpr SettingKey PlantLinkParts{"PlantLink", "PublishParts"};
inline constexpr SettingKey PlantLinkLiveValues{"PlantLink", "LiveValues"};
inline constexpr SettingKey PlantLinkLiveInterval{"PlantLink", "LiveIntervalMs"};
// Recording parts (the Measure menu): Auto Record and its rule, where the measurement log is kept
// when not in its default place, and who and which station records.
inline constexpr SettingKey AutoRecord{"Measure", "AutoRecord"};
inline constexpr SettingKey StableTicks{"Measure", "StableTicks"};
inline constexpr SettingKey StablePercent{"Measure", "StablePercent"};
inline constexpr SettingKey MarginPercent{"Measure", "MarginPercent"};
inline constexpr SettingKey MeasurementLog{"Measure", "LogFile"};
inline constexpr SettingKey Operator{"Measure", "Operator"};
inline constexpr SettingKey StationName{"Measure", "StationName"};
} // namespace SettingKeys

// The per-user settings store: QSettings in INI format under the organisation and application
// name "QorView" ($XDG_CONFIG_HOME/QorView/QorView.ini). Every value is kept as text. Every write
// goes to the file at once and is checked: a value that did not reach it (a folder that cannot
// be made or written, a full disk) is kept in a failure record until takeWriteFailure().
class SettingsStore {
public:
    SettingsStore();

    // The stored text, or fallback when the key is missing.
    QString text(SettingKey key, const QString &fallback = {}) const;
    // The stored text as a number; a missing key or a text that is not wholly a number gives
    // fallback (strict conversion, so a damaged value never becomes a surprising 0).
    double number(SettingKey key, double fallback) const;
    // The stored text, or nothing when the key is missing.
    std::optional<QString> find(SettingKey key) const;

    // Each returns false when the value did not reach the file.
    bool setText(SettingKey key, const QString &value);
    bool setNumber(SettingKey key, long long value);
    // Several numbers written to the file at once.
    bool setNumbers(const std::vector<std::pair<SettingKey, long long>> &values);
    void sync();

    // Everything that did not reach the file since the last call, or nothing.
    std::optional<SettingsWriteFailure> takeWriteFailure();
    // Writes that did not reach the file since the store was made; taking the failure record
    // does not reset it, so a caller can tell whether anything was lost after a moment it chose.
    long failedWrites() const { return m_failedWrites; }

    // Full path of the INI file (for messages and tests).
    QString fileName() const;

private:
    bool write(const std::vector<std::pair<SettingKey, QString>> &values);

    std::optional<SettingsWriteFailure> m_failure;
    long m_failedWrites = 0;
};
