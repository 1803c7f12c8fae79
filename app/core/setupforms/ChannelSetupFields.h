#pragma once

#include <QChar>
#include <QString>

#include <array>
#include <optional>

// The channel setup form as texts and as the checked record that is sent. The whole form is
// checked before anything goes to the unit, so a refused field leaves the unit as it was.
namespace setupforms {

// The channel's real values, in the order the form shows them.
enum class ChannelNumber {
    Master1,
    Master2,
    Scaling,
    Zero,
    HiTol,
    HiAppr,
    LoAppr,
    LoTol,
    BarTop,
    BarBot
};
inline constexpr int ChannelNumberCount = 10;

// Every field a check can refuse, in the form's tab order.
enum class ChannelField {
    Description,
    Formula,
    Decimals,
    Master1,
    Master2,
    Scaling,
    Zero,
    HiTol,
    HiAppr,
    LoAppr,
    LoTol,
    BarTop,
    BarBot
};

ChannelField fieldOf(ChannelNumber number);
// The field as its label names it ("Hi approach"), for messages.
QString fieldName(ChannelField field);

inline constexpr int MinDecimals = 0;
inline constexpr int MaxDecimals = 5;

// A channel's definition as the unit and the station keep it.
struct ChannelDefinition {
    QString description;
    QString formula;
    int decimals = 5;
    bool useTwoMasters = false;
    std::array<float, ChannelNumberCount> numbers{};

    float number(ChannelNumber which) const { return numbers[static_cast<size_t>(which)]; }
    float &number(ChannelNumber which) { return numbers[static_cast<size_t>(which)]; }
};

// What the form's boxes hold.
struct ChannelForm {
    QString description;
    QString formula;
    QString decimals;
    bool useTwoMasters = false;
    std::array<QString, ChannelNumberCount> numbers;

    const QString &number(ChannelNumber which) const { return numbers[static_cast<size_t>(which)]; }
    QString &number(ChannelNumber which) { return numbers[static_cast<size_t>(which)]; }
};

// The boxes as showing `definition` fills them: the decimals as a plain number, every real value
// in the value display format with the channel's decimals.
ChannelForm formOf(const ChannelDefinition &definition);

struct ChannelFormRefusal {
    ChannelField field = ChannelField::Description;
    QString message;
};

struct CheckedChannelForm {
    std::optional<ChannelDefinition> definition; // empty when a field was refused
    ChannelFormRefusal refusal;                  // the first refused field in tab order
};

// Checks every field of `typed`: the texts as the unit can take them (UnitTexts.h), the decimals
// a whole number from 0 to 5, each real value a number that fits a single, read with the
// regional `decimalSeparator` (a "." is always read as the point). A box still holding the text
// it was shown with for `shown` gives back the value read, not its rounded text, so programming a
// channel never rounds a value the operator did not touch to the decimals shown.
CheckedChannelForm checkChannelForm(const ChannelForm &typed, const ChannelDefinition &shown,
                                    QChar decimalSeparator = u'.');

} // namespace setupforms
