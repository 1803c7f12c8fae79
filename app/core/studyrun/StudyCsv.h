#pragma once

#include "StudyFigures.h"
#include "StudyRecord.h"

#include <QByteArray>

// A study as CSV for spreadsheets and scripts: UTF-8, comma-separated with quotes where a text
// needs them, lines ending in CR LF, numbers with "." whatever the locale and to every digit they
// hold, times in ISO 8601 UTC.
//
// The readings: one row per value, in the order taken (sequence, time, appraiser's number and
// name, part, trial, channel, value, replaced), a replaced reading kept and marked 1. The whole
// study: its set-up as key and value rows, an empty line, its figures (channel, method, figure,
// value), an empty line, then the readings.
namespace studyrun {

QByteArray studyReadingsCsv(const measurelog::StoredStudy &stored);
QByteArray studyCsv(const measurelog::StoredStudy &stored, const StudyFigures &figures);

} // namespace studyrun
