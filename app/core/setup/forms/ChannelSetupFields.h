#pragma once

#include <QChar>
#include <QString>

#include <array>
#include <optional>
#include <set>

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

// Every field a check can refuse: the form's boxes in their tab order, then the two-masters
// check box (refused only when its read failed; its place in the tab order is after Master 2).
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
    BarBot,
    UseTwoMasters
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
    // The fields whose read failed when the channel was shown: what stands above for them (0, an
    // empty text, one master) is not what the unit holds, and must never be programmed back.
    std::set<ChannelField> unread;

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
    // The field was refused because its value could not be read from the unit: reading the
    // channel again is what helps.
    bool unread = false;
};

struct CheckedChannelForm {
    std::optional<ChannelDefinition> definition; // empty when a field was refused
    ChannelFormRefusal refusal;                  // the first refused field in tab order
};

// Checks every field of `typed`. First a field of `shown.unread` still as it was shown is
// refused (UnreadValues.h), in tab order; then the texts as the unit can take them (UnitTexts.h),
// the decimals a whole number from 0 to 5, each real value a number that fits a single, read with
// the regional `decimalSeparator` (a "." is always read as the point). A box still holding the
// text it was shown with for `shown` gives back the value read, not its rounded text, so
// programming a channel never rounds a value the operator did not touch to the decimals shown.
CheckedChannelForm checkChannelForm(const ChannelForm &typed, const ChannelDefinition &shown,
                                    QChar decimalSeparator = u'.');

// The form once the channel it showed for `shown` has been read again as `read`: a field the
// operator changed keeps what was typed, every other field shows what was read.
ChannelForm formAfterReadingAgain(const ChannelForm &typed, const ChannelDefinition &shown,
                                  const ChannelDefinition &read);

} // namespace setupforms
