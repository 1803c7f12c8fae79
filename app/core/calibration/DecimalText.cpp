#include "DecimalText.h"

#include <charconv>

namespace procedures {

std::string significantText(float value, int digits) {
    value = textfile::finiteSingle(value);
    if (value == 0.0f)
        return "0";
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    std::string text(buffer, written.ptr);
    // to_chars writes "1e-05"; the station's texts use "1E-05".
    const size_t e = text.find('e');
    if (e != std::string::npos)
        text[e] = 'E';
    return text;
}

std::string fixedText(float value, int decimals) {
    value = textfile::finiteSingle(value);
    char buffer[128];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, written.ptr);
    if (text.front() == '-' && text.find_first_of("123456789") == std::string::npos)
        text.erase(0, 1);
    return text;
}

} // namespace procedures
