#pragma once

#include <QString>

namespace textfile {

// One field of a CSV row (RFC 4180): as it is, or in double quotes with its quotes doubled when
// it holds a comma, a quote or a line break.
QString csvField(const QString &text);

} // namespace textfile
