#pragma once

#include <QLatin1String>

#include <array>
#include <cstdint>

// The amplifier of one LVDT probe input as the unit holds it, and the ranges the calibration
// dialog offers for each setting.
namespace procedures {

struct AmplifierSettings {
    uint8_t rf = 0;   // coarse gain: the first gain setting of the unit
    uint8_t ri = 0;   // input resistor, which selects the gain range: the second gain setting
    int16_t fine = 0; // fine gain
    int16_t null = 0;

    bool operator==(const AmplifierSettings &) const = default;
};

// The positions a setting's scroll bar offers. The bars are vertical with the largest value at
// the top.
struct SettingRange {
    int minimum;
    int maximum;

    bool contains(int value) const { return value >= minimum && value <= maximum; }
    int clamp(int value) const {
        return value < minimum ? minimum : (value > maximum ? maximum : value);
    }
};

inline constexpr SettingRange CoarseGainRange{0, 255};
inline constexpr SettingRange InputResistorRange{0, 255};
inline constexpr SettingRange FineGainRange{-100, 100};
inline constexpr SettingRange NullRange{-500, 500};

// A probe's full scale may not be set below this; its offset may be any number.
inline constexpr double MinimumFullScale = 0.001;

// The gain ranges of the range box, each tied to an input resistor setting. The custom range
// takes the Ri scroll bar's position instead (its entry stores 30) and shows that scroll bar.
struct GainRangeEntry {
    QLatin1String name;
    int ri;
    bool custom;
};

inline constexpr std::array<GainRangeEntry, 5> GainRanges = {{
    {QLatin1String("Lo"), 85, false},
    {QLatin1String("M Lo"), 60, false},
    {QLatin1String("M Hi"), 50, false},
    {QLatin1String("Hi"), 30, false},
    {QLatin1String("Cust"), 30, true},
}};

inline constexpr int CustomGainRange = 4;

} // namespace procedures
