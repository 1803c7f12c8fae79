#include "AmpProfileText.h"

#include "AmpProfileLayout.h"
#include "DecimalText.h"

namespace procedures::profile {

std::optional<QString> whyNotText(std::string_view line) {
    return textfile::whyNotText(line, MaxLineLength);
}

std::optional<int> numberInRange(std::string_view line, SettingRange range) {
    const std::optional<double> number = parseDecimal(line);
    if (!number)
        return std::nullopt;
    return textfile::roundedWithin(*number, range.minimum, range.maximum);
}

std::string printStyle(int value) {
    return (value < 0 ? "" : " ") + std::to_string(value) + " ";
}

} // namespace procedures::profile
