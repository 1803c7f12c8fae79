#pragma once

#include "TextLines.h"

#include <QString>

#include <optional>
#include <string_view>

// Lines of a setup file: the shared line rules with the setup file's own line limit.
namespace setupfile {

using textfile::displayText;
using textfile::isControlByte;
using textfile::LineSplitter;

// Why a line cannot be part of a setup file (longer than layout::MaxLineLength, or a control
// character other than a tab, which text never holds); empty when it can.
std::optional<QString> whyNotText(std::string_view line);

} // namespace setupfile
