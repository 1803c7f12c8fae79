#pragma once

#include <QColor>
#include <QString>

class QChart;
class QLineSeries;
class QValueAxis;

// What the SPC charts share: their frame and title, lines on their two axes, and axis ranges.

// No rounded corners, narrow margins, a bold title.
void styleChart(QChart &chart);

// A line series of that colour, style and width on the chart's axes.
QLineSeries *addLine(QChart &chart, QValueAxis &x, QValueAxis &y, const QColor &colour,
                     Qt::PenStyle style, qreal width);
// Writes the name beside the line's points, in a colour near the line's; hide it where it is not
// wanted with the point's label visibility.
void nameLine(QLineSeries &line, const QString &name, const QColor &colour);

// Axis ranges and labels: values with a little room above and below,
// labelled at a round step that cuts them into about `ticks` pieces, with as many decimals as
// the step needs; subgroup numbers as whole numbers at a round step.
void fitValueAxis(QValueAxis &axis, double low, double high, int ticks);
void fitSubgroupAxis(QValueAxis &axis, double from, double to);

// A round step (1, 2 or 5 times a power of ten) that cuts span into about `parts` pieces.
double roundStep(double span, int parts);
