#pragma once

#include "PartRecord.h"

#include <QColor>

#include <optional>

// A verdict's colour is its gauge zone's, so a reject in the log looks as it did on the bars;
// "no limits" and no verdict have none (the table's own background).
std::optional<QColor> verdictColour(std::optional<measurelog::Verdict> verdict);
