#pragma once

#include "SpcAnalysis.h"

#include <QByteArray>

// The CSV file of a channel's SPC: one row per complete subgroup (its number, first and last
// part, the time it was complete, its mean and spread, the rules it breaks), an empty line, then
// a table of figures with their 95 % bounds where they have them: what was charted, the control
// limits and the capability. UTF-8, comma-separated with quotes where a text needs them, lines
// ending in CR LF, numbers with a "." whatever the locale, times in ISO 8601 UTC.
namespace spc {

QByteArray spcCsv(const SpcAnalysis &analysis);

} // namespace spc
