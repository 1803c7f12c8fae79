#include "port_path.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string_view>

namespace qor {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// Lines read "COM<n>=PATH"; blanks around either side and "#" comment lines are allowed.
std::optional<std::string> lookup_in_file(const std::string &file, const std::string &key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view text = trimmed(line);
        if (text.empty() || text.front() == '#') {
            continue;
        }
        const auto equals = text.find('=');
        if (equals == std::string_view::npos || trimmed(text.substr(0, equals)) != key) {
            continue;
        }
        const std::string_view path = trimmed(text.substr(equals + 1));
        if (!path.empty()) {
            return std::string(path);
        }
    }
    return std::nullopt;
}

std::string user_config_file() {
    const char *config_home = std::getenv("XDG_CONFIG_HOME");
    if (config_home != nullptr && config_home[0] != '\0') {
        return std::string(config_home) + "/qorlink/ports.conf";
    }
    const char *home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.config/qorlink/ports.conf";
}

} // namespace

std::string com_port_path(int32_t port) {
    const std::string key = "COM" + std::to_string(port);
    const char *from_environment = std::getenv(("QORLINK_" + key).c_str());
    if (from_environment != nullptr && from_environment[0] != '\0') {
        return from_environment;
    }
    for (const std::string &file : {user_config_file(), std::string("/etc/qorlink/ports.conf")}) {
        if (auto path = lookup_in_file(file, key)) {
            return *path;
        }
    }
    return "/dev/ttyS" + std::to_string(static_cast<int64_t>(port) - 1);
}

} // namespace qor
