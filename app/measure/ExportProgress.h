#pragma once

#include "CsvExport.h"

#include <QString>

class QWidget;

// Runs a CSV export of the log on a thread of its own while the window stays alive: a progress
// box with Cancel comes up only when the export lasts past half a second, and moves with the
// export's own steps. Returns when the export has ended, written, cancelled or failed.
measurelog::ExportResult exportWithProgress(QWidget *parent, const QString &logPath,
                                            const QString &csvPath,
                                            const measurelog::ExportRequest &request);
