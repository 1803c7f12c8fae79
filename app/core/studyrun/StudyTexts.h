#pragma once

#include "GaugeRrAnova.h"
#include "GaugeRrAverageRange.h"
#include "StudyRecord.h"
#include "Type1Study.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A study's figures as the window and the report show them, so both say the same to the digit.
// Numbers are written with "." whatever the locale; "—" stands for a figure that does not exist.
namespace studyrun {

// A size or a standard deviation in the channel's unit: one decimal more than the channel shows,
// or as many as three significant digits need (nine at most).
QString lengthText(double value, int decimals);
QString percentText(const std::optional<double> &percent); // one decimal
QString statisticText(double value);                       // sums of squares, mean squares
QString fText(const std::optional<double> &f);             // two decimals
QString pText(const std::optional<double> &p);             // three decimals; "< 0.001" below that

struct FigureRow {
    QString label;
    QString value;
};

// Reference, mean, bias, s, the 6 s spread and its share of the tolerance, the share of the
// tolerance Cg and Cgk allow, Cg, Cgk, the verdict, the bias test and the readings outside the
// band.
std::vector<FigureRow> type1Rows(const studies::Type1Result &result,
                                 const measurelog::StudyRecord &study);

// Source, DF, SS, MS, F, p: parts, appraisers, the interaction (when the table has it),
// repeatability and the total.
QStringList anovaHeader();
std::vector<QStringList> anovaRows(const studies::AnovaTable &table);

// Both methods side by side, a row per source (EV, AV, interaction, GRR, PV, TV), for each
// method its σ, study variation, % of the total variation, % contribution and % of the
// tolerance. A method that gave no figures leaves its columns empty.
QStringList comparisonHeader(double multiplier);
std::vector<QStringList> comparisonRows(const studies::RrFigures *anova,
                                        const studies::RrFigures *averageRange, int decimals);

// "%GRR of the total variation: 27.9 % (ANOVA, conditionally acceptable), 26.7 % (average and
// range, conditionally acceptable)" and the like for the tolerance and ndc, a line per figure,
// and last the acceptance bands.
QStringList rrSummaryLines(const studies::RrFigures *anova, const studies::RrFigures *averageRange);

} // namespace studyrun
