// The manual page lists every error number with the text the library's own table gives it, so a
// text changed in one place shows here.
#include "errors.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace {

// Each error of the page is a tagged paragraph: ".B <n>" or ".BR <n> ..." on one line, then the
// text in double quotes at the start of the next.
std::map<int, std::string> errorsOfThePage(const char *path) {
    std::ifstream page(path);
    std::map<int, std::string> found;
    const std::regex tag(R"(^\.BR? (\d+)\b.*)");
    const std::regex text(R"(^"([^"]*)\".*)");
    std::smatch number, quoted;
    for (std::string line, next; std::getline(page, line);) {
        if (!std::regex_match(line, number, tag) || !std::getline(page, next))
            continue;
        found[std::stoi(number[1])] =
            std::regex_match(next, quoted, text) ? quoted[1].str() : "(no quoted text)";
    }
    return found;
}

TEST(ManualPage, ListsEveryErrorWithTheLibrarysText) {
    const std::map<int, std::string> page = errorsOfThePage(QORLINK_MANUAL_PAGE);
    std::map<int, std::string> library;
    for (int number = 10; number <= 267; ++number) {
        char text[qor::kErrorTextSize];
        qor::describe_error(number, text);
        if (std::string(text).rfind("Unknown error:", 0) != 0)
            library[number] = text;
    }
    ASSERT_EQ(library.size(), 24u) << "13 numbers of the unit, 11 of the library";
    EXPECT_EQ(page, library);
}

} // namespace
