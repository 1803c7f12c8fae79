// Which device stands behind COM port n on this machine. The link library opens by this rule and
// the station's connection wizard shows and edits by it, so it lives here once.
//
// The rule: the environment variable QORLINK_COM<n> when it is set and not empty; else the first
// line "COM<n>=PATH" with a non-empty PATH in the user's ports.conf, then in the system's; else
// /dev/ttyS<n-1>. In the files, blank lines and lines whose first non-blank character is "#" are
// skipped; a line is split at its first "="; blanks, tabs and carriage returns around key and
// value do not count; keys compare exactly ("COM2" is neither "com2" nor "COM02"); a line with an
// empty value counts as absent. A port number below 1 names no COM port: it resolves to no device.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qor::portrule {

enum class Source { Environment, UserFile, SystemFile, Default };

// The two ports.conf files, in the order they are read.
struct Files {
    std::string user;   // empty when the environment names no home for it
    std::string system; // /etc/qorlink/ports.conf
};

struct Resolution {
    std::string device; // empty for a port number below 1
    Source source = Source::Default;
    Files files; // the files the rule read
};

// One line of a ports.conf taken apart; views into the line.
struct Line {
    std::string_view key;
    std::string_view value;
};

// $XDG_CONFIG_HOME/qorlink/ports.conf (when XDG_CONFIG_HOME is set and not empty), else
// $HOME/.config/qorlink/ports.conf (none without HOME), and /etc/qorlink/ports.conf.
Files files_from_environment();

// "COM" and the number: the key of the port's lines and, after "QORLINK_", its variable.
std::string key_of(int32_t port);

// The key and value of a "KEY=VALUE" line, both trimmed; nothing for blank lines, comment lines,
// lines without "=" and lines with an empty key. The value may be empty.
std::optional<Line> parse_line(std::string_view line);

Resolution resolve(int32_t port, const Files &files);
// The same with files_from_environment().
Resolution resolve(int32_t port);

} // namespace qor::portrule
