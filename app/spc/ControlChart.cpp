#include "ControlChart.h"

#include "ChartParts.h"
#include "Decimation.h"
#include "SpcAnalysis.h"
#include "SpcColours.h"
#include "SpcFigures.h"

#include <QFont>
#include <QGraphicsLayout>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QPen>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Markers on the points while each has this many pixels to itself; closer they hide the line.
constexpr int PixelsPerMarker = 5;
constexpr int FewestColumns = 200;
constexpr qreal DotSize = 6.0;
constexpr int ValueSteps = 5;
// A value axis is kept while it is at most this many times the span of what it shows.
constexpr double LooseFit = 1.6;

// A filled circle of that diameter in logical pixels, drawn smooth at twice the resolution.
QImage dot(const QColor &colour, qreal diameter) {
    const int side = static_cast<int>(std::ceil(diameter * 2.0));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(0.0, 0.0, diameter, diameter));
    return image;
}

// A series handed the points it has would still lay itself out and be drawn again.
void replaceChanged(QXYSeries &series, const QList<QPointF> &points) {
    if (series.points() != points)
        series.replace(points);
}

bool onSide(spc::Rule rule, ChartSide side) {
    return (rule == spc::Rule::SpreadBeyondLimits) == (side == ChartSide::Spread);
}

} // namespace

ControlChart::ControlChart(ChartSide side)
    : side_(side), data_(new QLineSeries(this)), flagged_(new QScatterSeries(this)),
      x_(new QValueAxis(this)), y_(new QValueAxis(this)), pendingBack_(new QGraphicsRectItem(this)),
      pending_(new QGraphicsSimpleTextItem(this)) {
    legend()->hide();
    styleChart(*this);
    addAxis(x_, Qt::AlignBottom);
    addAxis(y_, Qt::AlignLeft);
    x_->setGridLineVisible(false);

    lines_[0] = addLine(*this, *x_, *y_, spccolours::reject(), Qt::DashLine, 1.2);
    lines_[1] = addLine(*this, *x_, *y_, spccolours::good(), Qt::SolidLine, 1.2);
    lines_[2] = addLine(*this, *x_, *y_, spccolours::reject(), Qt::DashLine, 1.2);

    data_->setPen(QPen(spccolours::data(), 1.3));
    data_->setMarkerSize(DotSize);
    addSeries(data_);
    data_->attachAxis(x_);
    data_->attachAxis(y_);

    flagged_->setColor(spccolours::reject());
    flagged_->setBorderColor(spccolours::reject());
    flagged_->setMarkerSize(7.0);
    flagged_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    addSeries(flagged_);
    flagged_->attachAxis(x_);
    flagged_->attachAxis(y_);

    QFont pendingFont = font();
    pendingFont.setPointSizeF(pendingFont.pointSizeF() * 1.3);
    pending_->setFont(pendingFont);
    pending_->setBrush(QColor(0x60, 0x60, 0x60));
    pending_->setZValue(11);
    pending_->hide();
    // The words stand on a veil over the points, readable whatever lies behind them.
    pendingBack_->setBrush(QColor(255, 255, 255, 220));
    pendingBack_->setPen(Qt::NoPen);
    pendingBack_->setZValue(10);
    pendingBack_->hide();
    connect(this, &QChart::plotAreaChanged, this, &ControlChart::plotAreaMoved);
}

QLineSeries *ControlChart::changeLine() {
    QLineSeries *line = addLine(*this, *x_, *y_, spccolours::change(), Qt::DashDotLine, 1.5);
    // Named at its foot, inside the plot.
    nameLine(*line, QStringLiteral("limits changed"), spccolours::change().darker(130));
    return line;
}

void ControlChart::showSubgroups(std::size_t first, std::size_t count) {
    first_ = first;
    count_ = count;
    refresh();
}

int ControlChart::columns() const {
    // A chart not yet shown has no width worth the name; a few hundred points cost nothing.
    return std::max(static_cast<int>(plotArea().width()), FewestColumns);
}

void ControlChart::plotAreaMoved() {
    const QRectF area = plotArea();
    const QRectF text = pending_->boundingRect();
    pending_->setPos(area.center().x() - text.width() / 2.0,
                     area.center().y() - text.height() / 2.0);
    const qreal pad = text.height() / 3.0;
    pendingBack_->setRect(pending_->pos().x() - pad, pending_->pos().y() - pad / 2.0,
                          text.width() + 2.0 * pad, text.height() + pad);
    pendingBack_->setVisible(pending_->isVisible());
    // Another width thins the points differently and may hide or show their markers; a change
    // of height alone leaves them as they are.
    if (columns() != drawnColumns_ && analysis_)
        refresh();
}

void ControlChart::refresh() {
    const std::span<const double> values = !analysis_ ? std::span<const double>()
                                           : side_ == ChartSide::Location
                                               ? analysis_->series().means()
                                               : analysis_->series().spreads();
    const std::size_t n = values.size();
    const std::size_t first = std::min(first_, n);
    // The axis spans the subgroups asked for; those that exist are drawn.
    const std::size_t count = count_ == 0 ? n - first : count_;
    const std::size_t end = std::min(first + count, n);

    drawnColumns_ = columns();
    const std::vector<spc::PlotPoint> thinned =
        spc::decimateMinMax(values.subspan(first, end - first), drawnColumns_, first);
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(thinned.size()));
    Range range{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (const spc::PlotPoint &p : thinned) {
        points.append(QPointF(static_cast<double>(p.index + 1), p.value));
        range.low = std::min(range.low, p.value);
        range.high = std::max(range.high, p.value);
    }
    data_->replace(points);
    // Markers as one small picture stamped at each point: drawing a shape for each costs several
    // times as much, and a chart is drawn again with every new subgroup.
    const bool markers =
        count > 0 && count * PixelsPerMarker <= static_cast<std::size_t>(drawnColumns_);
    if (markers != !data_->lightMarker().isNull())
        data_->setLightMarker(markers ? dot(spccolours::data(), DotSize) : QImage());
    if (side_ == ChartSide::Spread)
        range.low = 0.0; // ranges and deviations are measured from nothing
    // The axis reaches half a subgroup past the first and last ones shown.
    const double from = static_cast<double>(first) + 0.5;
    const double to = static_cast<double>(first + std::max<std::size_t>(count, 1)) + 0.5;
    drawLimits(from, to, range);
    drawFlagged(first, end, count);
    setAxes(from, to, range);
    drawChanges(first, end, {y_->min(), y_->max()});
    // Laid out now rather than at a later turn of the event loop, so the chart is painted once
    // with everything in place instead of once before and once after its layout.
    if (layout())
        layout()->activate();
}

void ControlChart::drawLimits(double from, double to, Range &range) {
    const spc::ChartNames names =
        chartNames(analysis_ ? analysis_->series().plan().kind : spc::ChartKind::XbarR);
    const QString name = side_ == ChartSide::Location ? names.location : names.spread;
    const bool ready = analysis_ && analysis_->limits().state == spc::LimitsState::Ready;
    if (!ready) {
        for (QLineSeries *line : lines_)
            line->clear();
        pending_->setText(analysis_ ? analysis_->limits().pending : QString());
        pending_->setVisible(analysis_ != nullptr);
        plotAreaMoved();
        showTitle(QStringLiteral("%1 chart").arg(name));
        return;
    }
    pending_->hide();
    pendingBack_->hide();
    const spc::LimitValues &values = analysis_->limits().values;
    const spc::ChartLines &chart = side_ == ChartSide::Location ? values.location : values.spread;
    const std::array<double, 3> at{chart.lower, chart.centre, chart.upper};
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        replaceChanged(*lines_[i], {{from, at[i]}, {to, at[i]}});
        range.low = std::min(range.low, at[i]);
        range.high = std::max(range.high, at[i]);
    }
    const int decimals = analysis_->channel().decimals;
    showTitle(QStringLiteral("%1 chart: UCL %2 · CL %3 · LCL %4")
                  .arg(name, spc::figureText(chart.upper, decimals),
                       spc::figureText(chart.centre, decimals),
                       spc::figureText(chart.lower, decimals)));
}

void ControlChart::drawFlagged(std::size_t first, std::size_t end, std::size_t count) {
    QList<QPointF> points;
    if (analysis_) {
        const auto &violations = analysis_->ruleCheck().violations;
        const std::span<const double> values = side_ == ChartSide::Location
                                                   ? analysis_->series().means()
                                                   : analysis_->series().spreads();
        auto v = std::lower_bound(
            violations.begin(), violations.end(), first,
            [](const spc::Violation &violation, std::size_t g) { return violation.subgroup < g; });
        // One flagged point a pixel column, as the points themselves are thinned.
        const auto columns = static_cast<std::size_t>(drawnColumns_);
        const auto column = [&](std::size_t g) {
            return count <= columns ? g : (g - first) * columns / count;
        };
        std::size_t last = SIZE_MAX; // the column of the last point flagged
        for (; v != violations.end() && v->subgroup < end; ++v) {
            if (!onSide(v->rule, side_) || column(v->subgroup) == last)
                continue;
            last = column(v->subgroup);
            points.append(QPointF(static_cast<double>(v->subgroup + 1), values[v->subgroup]));
        }
    }
    replaceChanged(*flagged_, points);
}

void ControlChart::drawChanges(std::size_t first, std::size_t end, const Range &range) {
    std::size_t used = 0;
    if (analysis_) {
        std::size_t last = end;
        for (const spc::LimitChange &change : analysis_->limitChanges()) {
            const std::size_t g = analysis_->changeSubgroup(change);
            if (g < first || g >= end || g == last)
                continue;
            last = g;
            if (used == changes_.size())
                changes_.push_back(changeLine());
            const double x = static_cast<double>(g + 1);
            QLineSeries *line = changes_[used++];
            line->replace(QList<QPointF>{{x, range.low}, {x, range.high}});
            line->setPointConfiguration(1, QXYSeries::PointConfiguration::LabelVisibility, false);
        }
    }
    for (std::size_t i = used; i < changes_.size(); ++i)
        changes_[i]->clear();
}

void ControlChart::setAxes(double from, double to, Range range) {
    if (!(range.low <= range.high))
        range = {0.0, 1.0};
    fitSubgroupAxis(*x_, from, to);
    // The value axis stays while what is drawn fills enough of it: a new point then moves no
    // label, and the chart does not jitter with every part.
    const bool fits = !refit_ && y_->min() <= range.low && y_->max() >= range.high &&
                      y_->max() - y_->min() <= LooseFit * (range.high - range.low);
    refit_ = false;
    if (fits)
        return;
    fitValueAxis(*y_, range.low, range.high, ValueSteps);
    if (side_ == ChartSide::Spread && y_->min() < 0.0)
        y_->setMin(0.0);
}

void ControlChart::showTitle(const QString &text) {
    // A new title lays the chart out again; most updates keep it.
    if (title() != text)
        setTitle(text);
}

int ControlChart::pointCount() const {
    return static_cast<int>(data_->count());
}

QList<QPointF> ControlChart::points() const {
    return data_->points();
}

int ControlChart::limitLineCount() const {
    return static_cast<int>(
        std::count_if(lines_.begin(), lines_.end(), [](QLineSeries *l) { return l->count() > 0; }));
}

QString ControlChart::pendingText() const {
    return pending_->isVisible() ? pending_->text() : QString();
}

QList<QPointF> ControlChart::flaggedPoints() const {
    return flagged_->points();
}

QColor ControlChart::flaggedColour() const {
    return flagged_->color();
}

int ControlChart::changeMarkerCount() const {
    return static_cast<int>(std::count_if(changes_.begin(), changes_.end(),
                                          [](QLineSeries *l) { return l->count() > 0; }));
}
