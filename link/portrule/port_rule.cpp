#include "port_rule.h"

#include <cstdlib>
#include <fstream>

namespace qor::portrule {
namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string variable_or_empty(const char *name) {
    const char *value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::optional<std::string> look_up(const std::string &file, std::string_view key) {
    if (file.empty()) {
        return std::nullopt;
    }
    std::ifstream in(file);
    for (std::string text; std::getline(in, text);) {
        const auto line = parse_line(text);
        if (line && line->key == key && !line->value.empty()) {
            return std::string(line->value);
        }
    }
    return std::nullopt;
}

} // namespace

Files files_from_environment() {
    const std::string config_home = variable_or_empty("XDG_CONFIG_HOME");
    const std::string home = variable_or_empty("HOME");
    std::string user;
    if (!config_home.empty()) {
        user = config_home + "/qorlink/ports.conf";
    } else if (!home.empty()) {
        user = home + "/.config/qorlink/ports.conf";
    }
    return {user, "/etc/qorlink/ports.conf"};
}

std::string key_of(int32_t port) {
    return "COM" + std::to_string(port);
}

std::optional<Line> parse_line(std::string_view line) {
    const std::string_view text = trimmed(line);
    if (text.empty() || text.front() == '#') {
        return std::nullopt;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view key = trimmed(text.substr(0, equals));
    if (key.empty()) {
        return std::nullopt;
    }
    return Line{key, trimmed(text.substr(equals + 1))};
}

Resolution resolve(int32_t port, const Files &files) {
    if (port < 1) {
        return {{}, Source::Default, files};
    }
    const std::string key = key_of(port);
    std::string from_environment = variable_or_empty(("QORLINK_" + key).c_str());
    if (!from_environment.empty()) {
        return {std::move(from_environment), Source::Environment, files};
    }
    if (auto device = look_up(files.user, key)) {
        return {std::move(*device), Source::UserFile, files};
    }
    if (auto device = look_up(files.system, key)) {
        return {std::move(*device), Source::SystemFile, files};
    }
    return {"/dev/ttyS" + std::to_string(port - 1), Source::Default, files};
}

Resolution resolve(int32_t port) {
    return resolve(port, files_from_environment());
}

} // namespace qor::portrule
