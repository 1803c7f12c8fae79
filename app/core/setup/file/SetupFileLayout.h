#pragma once

#include "SetupDocument.h"

#include <array>
#include <string_view>
#include <variant>

// The layout of a setup file, shared by the reader and the writer so that the two cannot drift:
// section and end lines, the general items, and each record's fields in file order.
namespace setupfile::layout {

inline constexpr std::string_view Header = "[QORVIEW Version 6.0]";
inline constexpr std::string_view GeneralSection = "[General Setup]";
inline constexpr std::string_view GeneralEnd = "[End Section]";
inline constexpr std::string_view ChannelSection = "[Channel]";
inline constexpr std::string_view ChannelEnd = "[End Channel]";
inline constexpr std::string_view ProbeSection = "[lvdt]";
inline constexpr std::string_view ProbeEnd = "[End lvdt]";
inline constexpr std::string_view AnalogSection = "[Analog]";
inline constexpr std::string_view AnalogEnd = "[End Analog]";
inline constexpr std::string_view GroupSection = "[Group]";
inline constexpr std::string_view GroupEnd = "[End Group]";
inline constexpr std::string_view SetupEnd = "[End Setup]";

// Window section k holds window layout values 4k..4k+3 (top, left, height, width). These
// sections have no end line.
inline constexpr std::array<std::string_view, WindowLayoutSize / 4> WindowSections = {
    "[ChannelGridWindow]", "[ChannelBarWindow]", "[ChannelDialWindow]",
    "[LvdtGridWindow]",    "[LvdtBarWindow]",    "[LvdtDialWindow]",
    "[AnalogGridWindow]",  "[AnalogBarWindow]",  "[AnalogDialWindow]"};

// Items of the general section. The digital and strain counts are always written as 0, without
// the blanks of a number.
inline constexpr std::string_view MaxChannelKey = "MaxChannel";
inline constexpr std::string_view MaxLvdtKey = "MaxLVDT";
inline constexpr std::string_view MaxAnalogKey = "MaxAnalog";
inline constexpr std::string_view MaxDigitalKey = "MaxDigital";
inline constexpr std::string_view MaxStrainKey = "MaxStrain";
inline constexpr std::string_view DecimalsKey = "Decimals";
inline constexpr std::string_view MaxDigitalLine = "MaxDigital=0";
inline constexpr std::string_view MaxStrainLine = "MaxStrain=0";

// One field of a record, by its type: text, 16-bit number, single or flag.
template <typename Record>
using Field = std::variant<QString Record::*, int16_t Record::*, float Record::*, bool Record::*>;

// The channel record's fields after its index. The tolerances run high tolerance, high approach,
// low approach, low tolerance.
inline const std::array<Field<ChannelRecord>, 15> ChannelFields = {
    &ChannelRecord::description,   &ChannelRecord::formula,       &ChannelRecord::decimals,
    &ChannelRecord::units,         &ChannelRecord::master1,       &ChannelRecord::master2,
    &ChannelRecord::useTwoMasters, &ChannelRecord::hiTol,         &ChannelRecord::hiAppr,
    &ChannelRecord::loAppr,        &ChannelRecord::loTol,         &ChannelRecord::scaling,
    &ChannelRecord::zeroOffset,    &ChannelRecord::barDisplayTop, &ChannelRecord::barDisplayBot};

// The channel's texts that go to the unit, named as a refusal names them. They are held to the
// unit's text rules (UnitTexts.h) as they are read; every other text stays in the station.
struct UnitTextField {
    QString ChannelRecord::*member;
    std::string_view name;
};
inline const std::array<UnitTextField, 2> ChannelUnitTexts = {{
    {&ChannelRecord::description, "description"},
    {&ChannelRecord::formula, "formula"},
}};

// The probe and analog record's fields after its index.
inline const std::array<Field<InputRecord>, 3> InputFields = {
    &InputRecord::description, &InputRecord::fullScale, &InputRecord::zeroOffset};

// The group record's window values, which follow its channel numbers.
inline constexpr std::array<int16_t GroupRecord::*, 12> GroupWindowFields = {
    &GroupRecord::windowGridTop,   &GroupRecord::windowGridLeft,   &GroupRecord::windowGridHeight,
    &GroupRecord::windowGridWidth, &GroupRecord::windowBarTop,     &GroupRecord::windowBarLeft,
    &GroupRecord::windowBarHeight, &GroupRecord::windowBarWidth,   &GroupRecord::windowDialTop,
    &GroupRecord::windowDialLeft,  &GroupRecord::windowDialHeight, &GroupRecord::windowDialWidth};

// Longest line a setup file may hold, in bytes. Texts the unit keeps are far shorter; the bound
// keeps a damaged file from costing memory, and the writer shortens longer texts to it.
inline constexpr qsizetype MaxLineLength = 65536;

} // namespace setupfile::layout
