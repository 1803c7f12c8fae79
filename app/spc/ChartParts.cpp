#include "ChartParts.h"

#include <QChart>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

constexpr double Room = 0.08; // of the span, above and below
constexpr int SubgroupTicks = 10;
constexpr int MostDecimals = 9;

// Setting a label format lays the chart out again and measures every label even when the format
// is the one it had, so an unchanged format is left alone.
void setLabelFormat(QValueAxis &axis, const QString &format) {
    if (axis.labelFormat() != format)
        axis.setLabelFormat(format);
}

} // namespace

void styleChart(QChart &chart) {
    chart.setMargins(QMargins(4, 2, 8, 2));
    chart.setBackgroundRoundness(0);
    QFont titleFont = chart.font();
    titleFont.setBold(true);
    chart.setTitleFont(titleFont);
}

QLineSeries *addLine(QChart &chart, QValueAxis &x, QValueAxis &y, const QColor &colour,
                     Qt::PenStyle style, qreal width) {
    auto *line = new QLineSeries(&chart);
    QPen pen(colour, width);
    pen.setStyle(style);
    line->setPen(pen);
    chart.addSeries(line);
    line->attachAxis(&x);
    line->attachAxis(&y);
    return line;
}

void nameLine(QLineSeries &line, const QString &name, const QColor &colour) {
    line.setPointLabelsFormat(name);
    line.setPointLabelsColor(colour);
    line.setPointLabelsVisible(true);
}

double roundStep(double span, int parts) {
    if (!(span > 0.0) || parts < 1)
        return 1.0;
    const double raw = span / parts;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw)
            return factor * power;
    }
    return 10.0 * power;
}

void fitValueAxis(QValueAxis &axis, double low, double high, int ticks) {
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = 0.0;
        high = 1.0;
    }
    if (!(high > low)) {
        // One value: a span around it that still shows it in the middle.
        const double half = std::max(std::fabs(low) * 1e-3, 1e-6);
        low -= half;
        high += half;
    }
    const double room = (high - low) * Room;
    const double step = roundStep(high - low + 2.0 * room, ticks);
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(0.0);
    axis.setTickInterval(step);
    axis.setRange(low - room, high + room);
    const int decimals =
        std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, MostDecimals);
    setLabelFormat(axis, QStringLiteral("%.%1f").arg(decimals));
}

void fitSubgroupAxis(QValueAxis &axis, double from, double to) {
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(0.0);
    axis.setTickInterval(std::max(1.0, roundStep(to - from, SubgroupTicks)));
    axis.setRange(from, to);
    setLabelFormat(axis, QStringLiteral("%.0f"));
}
