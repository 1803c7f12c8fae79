#include "HistogramChart.h"

#include "ChartParts.h"
#include "SpcColours.h"

#include <QAreaSeries>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

constexpr int CurvePoints = 160;
constexpr int ValueSteps = 6;
constexpr double HeadRoom = 1.06;
constexpr double LabelRoom = 1.1;

} // namespace

HistogramChart::HistogramChart()
    : outline_(new QLineSeries(this)), base_(new QLineSeries(this)),
      bars_(new QAreaSeries(outline_, base_)), curve_(new QLineSeries(this)),
      x_(new QValueAxis(this)), y_(new QValueAxis(this)) {
    styleChart(*this);
    legend()->hide();
    addAxis(x_, Qt::AlignBottom);
    addAxis(y_, Qt::AlignLeft);
    x_->setGridLineVisible(false);
    y_->setTitleText(QStringLiteral("parts"));

    bars_->setParent(this);
    bars_->setColor(spccolours::bars());
    bars_->setBorderColor(spccolours::bars().darker(130));
    addSeries(bars_);
    bars_->attachAxis(x_);
    bars_->attachAxis(y_);

    curve_->setPen(QPen(spccolours::data(), 1.6));
    addSeries(curve_);
    curve_->attachAxis(x_);
    curve_->attachAxis(y_);

    lower_ = addLimitLine(spccolours::reject(), Qt::SolidLine, QStringLiteral("LSL"));
    upper_ = addLimitLine(spccolours::reject(), Qt::SolidLine, QStringLiteral("USL"));
    nominal_ = addLimitLine(spccolours::good(), Qt::DashLine, QStringLiteral("nominal"));
}

QLineSeries *HistogramChart::addLimitLine(const QColor &colour, Qt::PenStyle style,
                                          const QString &name) {
    QLineSeries *line = addLine(*this, *x_, *y_, colour, style, 1.6);
    // Named at its top end, in its own colour.
    nameLine(*line, name, colour);
    return line;
}

void HistogramChart::showHistogram(const spc::Histogram &histogram, const spc::PartLimits &limits,
                                   int decimals) {
    bins_ = histogram.counts.size();
    setTitle(QStringLiteral("Histogram: n = %1").arg(histogram.n));
    // All readings equal: one bar a unit of the last decimal wide.
    const double width = histogram.binWidth > 0.0 ? histogram.binWidth : std::pow(10.0, -decimals);
    const double first =
        histogram.binWidth > 0.0 ? histogram.firstEdge : histogram.firstEdge - width / 2.0;
    const double last = first + width * static_cast<double>(std::max<std::size_t>(bins_, 1));

    QList<QPointF> steps;
    steps.reserve(static_cast<qsizetype>(2 * bins_ + 2));
    steps.append({first, 0.0});
    std::size_t tallest = 0;
    for (std::size_t i = 0; i < bins_; ++i) {
        const double height = static_cast<double>(histogram.counts[i]);
        steps.append({first + width * static_cast<double>(i), height});
        steps.append({first + width * static_cast<double>(i + 1), height});
        tallest = std::max(tallest, histogram.counts[i]);
    }
    steps.append({last, 0.0});
    outline_->replace(steps);
    base_->replace(QList<QPointF>{{first, 0.0}, {last, 0.0}});

    double low = first;
    double high = last;
    const auto widen = [&](const std::optional<double> &at) {
        if (at) {
            low = std::min(low, *at);
            high = std::max(high, *at);
        }
    };
    widen(limits.tolerance.lower);
    widen(limits.tolerance.upper);
    widen(limits.nominal);
    const double margin = (high - low) * 0.05;
    low -= margin;
    high += margin;

    QList<QPointF> curve;
    double peak = 0.0;
    if (histogram.sigma > 0.0 && histogram.binWidth > 0.0) {
        for (int i = 0; i <= CurvePoints; ++i) {
            const double x = low + (high - low) * i / CurvePoints;
            const double y = spc::normalCurveHeight(histogram, x);
            peak = std::max(peak, y);
            curve.append({x, y});
        }
    }
    curve_->replace(curve);

    const double highest = std::max(static_cast<double>(tallest), peak);
    const double top = highest > 0.0 ? highest * HeadRoom : 1.0;
    const auto vertical = [&](QLineSeries *line, const std::optional<double> &at) {
        if (!at) {
            line->clear();
            return;
        }
        line->replace(QList<QPointF>{{*at, 0.0}, {*at, top}});
        line->setPointConfiguration(0, QXYSeries::PointConfiguration::LabelVisibility, false);
    };
    vertical(lower_, limits.tolerance.lower);
    vertical(upper_, limits.tolerance.upper);
    vertical(nominal_, limits.nominal);

    fitValueAxis(*x_, low, high, ValueSteps);
    x_->setRange(low, high);
    y_->setTickType(QValueAxis::TicksDynamic);
    y_->setTickAnchor(0.0);
    y_->setTickInterval(std::max(1.0, roundStep(top * LabelRoom, 4)));
    // Room above the lines for their names.
    y_->setRange(0.0, top * LabelRoom);
    y_->setLabelFormat(QStringLiteral("%.0f"));
}

void HistogramChart::showLoading() {
    bins_ = 0;
    setTitle(QStringLiteral("Histogram: loading…"));
    for (QLineSeries *line : {outline_, base_, curve_, lower_, upper_, nominal_})
        line->clear();
}

bool HistogramChart::hasCurve() const {
    return curve_->count() > 0;
}

int HistogramChart::limitLineCount() const {
    int count = 0;
    for (const QLineSeries *line : {lower_, upper_, nominal_})
        count += line->count() > 0 ? 1 : 0;
    return count;
}
