#pragma once

#include "Capability.h"
#include "Rules.h"
#include "SubgroupPlan.h"

#include <QString>

#include <vector>

// The capability figures as rows of text, one table for the window, the report and the CSV file
// alike: measurement figures with two decimals more than the channel shows (a mean or σ of
// readings is finer than one reading), indices with three, parts per million with one.
namespace spc {

struct FigureRow {
    QString key;   // for files: "cpk"
    QString label; // for people: "Cpk"
    QString value; // empty when the figure is missing
    QString lower; // the two-sided 95 % bounds, empty where there are none
    QString upper;
};

std::vector<FigureRow> capabilityRows(const Capability &capability, int decimals);

// Why figures are missing, or which are missing and why, in words; empty when all are there.
QString capabilityRemark(const Capability &capability);

// A measurement figure with the channel's decimals and two more.
QString figureText(double value, int decimals);

// What a pair of charts is called, for people and in files.
struct ChartNames {
    QString pair;        // "X̄–R"
    QString location;    // "X̄", "I"
    QString spread;      // "R", "S", "MR"
    QString pairKey;     // "xbar-r"
    QString locationKey; // "mean", "individual"
    QString spreadKey;   // "range", "std_dev", "moving_range"
};
ChartNames chartNames(ChartKind kind);

// A rule's short name: "WE 1", "Nelson 5", "Spread 1".
QString ruleCode(Rule rule);

} // namespace spc
