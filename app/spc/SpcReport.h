#pragma once

#include "Histogram.h"
#include "SpcAnalysis.h"

#include <QByteArray>
#include <QDateTime>

#include <cstddef>

class QPdfWriter;

// The page every report of the station is written on: A4 portrait, 14 mm margins, its
// coordinates in ReportResolution dots per inch; made by QorView and titled `title`.
constexpr int ReportResolution = 300;
void setUpReportPage(QPdfWriter &writer, const QString &title);

// The one-page PDF report of a channel's SPC: what was charted (setup, channel, parts and their
// times, the charts' kind, the tolerance, the limits and when they were frozen), the control
// chart pair over the subgroups shown in the window, the histogram, the capability table, the
// violations, and the definitions the figures follow, so they can be compared with other tools.
QByteArray spcReportPdf(const spc::SpcAnalysis &analysis, const spc::Histogram &histogram,
                        std::size_t firstShown, std::size_t shownCount, const QDateTime &madeAt);

// The definitions the report states, as HTML (the help says the same).
QString spcDefinitionsHtml(const spc::SpcAnalysis &analysis, const spc::Histogram &histogram);
