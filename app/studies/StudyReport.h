#pragma once

#include "StudyFigures.h"
#include "StudyRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The study's report: what was studied and how (station, setup, channels, appraisers, the counts,
// the reference, the spread), its figures with the acceptance bands and the definitions they
// follow, then its charts. The window shows the same text as the PDF, so both say the same.
namespace studyreport {

// The report's text as HTML, without the charts.
QString figuresHtml(const measurelog::StoredStudy &stored, const studyrun::StudyFigures &figures);

// The report as a PDF of A4 pages: the text, then a page of charts for each channel.
QByteArray reportPdf(const measurelog::StoredStudy &stored, const studyrun::StudyFigures &figures,
                     const QDateTime &madeAt);

} // namespace studyreport
