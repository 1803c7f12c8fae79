#pragma once

#include <QString>

namespace measurelog {

// Where the station keeps its measurement log unless told otherwise:
// $XDG_DATA_HOME/QorView/measurements.sqlite (~/.local/share/... when the variable is unset).
// The folder is created when the first part is recorded, not here.
QString defaultLogPath();

} // namespace measurelog
