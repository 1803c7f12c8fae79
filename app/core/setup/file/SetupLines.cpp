#include "SetupLines.h"

#include "SetupFileLayout.h"

namespace setupfile {

std::optional<QString> whyNotText(std::string_view line) {
    return textfile::whyNotText(line, layout::MaxLineLength);
}

} // namespace setupfile
