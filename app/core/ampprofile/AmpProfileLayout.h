#pragma once

#include "AmplifierSettings.h"

#include <QtGlobal>

#include <array>
#include <string_view>
#include <type_traits>

// The layout of an amplifier profile file, shared by the reader and the writer so that the two
// cannot drift.
namespace procedures::profile {

inline constexpr std::string_view Header = "[Amplifier Profile]";
inline constexpr std::string_view VersionLine = "[QORVIEW Version 6.0]";
inline constexpr std::string_view GeneralSection = "[General Setup]";
inline constexpr std::string_view GeneralEnd = "[End Section]";
inline constexpr std::string_view ProbeCountKey = "MaxLVDT";
inline constexpr std::string_view BlockStart = "[START_AMP_PROFILE]";
inline constexpr std::string_view BlockEnd = "[END_AMP_PROFILE]";
inline constexpr std::string_view ProfileEnd = "[Amplifier Profile End]";

// Longest line read; a line of a profile is a few characters long.
inline constexpr qsizetype MaxLineLength = 1024;

inline constexpr SettingRange ProbeCountRange{0, 32767};
inline constexpr SettingRange ProbeNumberRange{1, 32767};

// Fine gain and null are kept as the unit's whole 16-bit fields, beyond the ranges their scroll
// bars offer: a profile holds what the unit holds, so every profile the station saved loads again.
inline constexpr SettingRange UnitFieldRange{-32768, 32767};

// A block's lines after its probe number, in file order, each limited to the unit's field: a byte
// for Ri and Rf, 16 bits for fine gain and null.
struct SettingLine {
    std::string_view name;
    SettingRange range;
    int (*get)(const AmplifierSettings &);
    void (*set)(AmplifierSettings &, int);
};

template <auto Member> int getSetting(const AmplifierSettings &settings) {
    return settings.*Member;
}
// Only values within the setting's range are set, so the narrowing keeps them.
template <auto Member> void setSetting(AmplifierSettings &settings, int value) {
    settings.*Member = static_cast<std::remove_reference_t<decltype(settings.*Member)>>(value);
}

inline constexpr std::array<SettingLine, 4> SettingLines = {{
    {"Ri", InputResistorRange, &getSetting<&AmplifierSettings::ri>,
     &setSetting<&AmplifierSettings::ri>},
    {"Rf", CoarseGainRange, &getSetting<&AmplifierSettings::rf>,
     &setSetting<&AmplifierSettings::rf>},
    {"the fine gain", UnitFieldRange, &getSetting<&AmplifierSettings::fine>,
     &setSetting<&AmplifierSettings::fine>},
    {"the null", UnitFieldRange, &getSetting<&AmplifierSettings::null>,
     &setSetting<&AmplifierSettings::null>},
}};

} // namespace procedures::profile
