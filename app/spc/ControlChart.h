#pragma once

#include <QChart>
#include <QColor>
#include <QList>
#include <QPointF>
#include <QString>

#include <array>
#include <cstddef>
#include <vector>

class QGraphicsRectItem;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

namespace spc {
class SpcAnalysis;
}

enum class ChartSide {
    Location, // subgroup means or individual parts
    Spread,   // ranges, standard deviations or moving ranges
};

// One chart of the control chart pair, drawn from an analysis: the subgroups in the range shown
// (thinned to two points per pixel column when there are more than columns), the centre line
// and the control limits, or instead the words saying how many subgroups the limits wait for;
// points that break a rule in the reject colour; a vertical line where the channel's limits
// changed. Series are replaced as a whole, never rebuilt point by point.
class ControlChart : public QChart {
    Q_OBJECT

public:
    explicit ControlChart(ChartSide side);

    // What to draw from (nullptr: nothing); read again at every refresh. Drawn at the next
    // showSubgroups or refresh.
    void setAnalysis(const spc::SpcAnalysis *analysis) {
        analysis_ = analysis;
        refit_ = true;
    }
    // Draws subgroups first to first + count − 1 (0-based) of those there are; the axis spans
    // them all, so the newest subgroups can have room to come. Count 0 shows every subgroup from
    // first on.
    void showSubgroups(std::size_t first, std::size_t count);
    // Draws again after the analysis changed.
    void refresh();

    // What is drawn (the tests and the report look at it).
    int pointCount() const;
    QList<QPointF> points() const;
    int limitLineCount() const;
    QString pendingText() const;
    QList<QPointF> flaggedPoints() const;
    QColor flaggedColour() const;
    int changeMarkerCount() const;

private:
    struct Range {
        double low;
        double high;
    };

    int columns() const;
    void plotAreaMoved();
    void drawLimits(double from, double to, Range &range);
    void drawFlagged(std::size_t first, std::size_t end, std::size_t count);
    void drawChanges(std::size_t first, std::size_t end, const Range &range);
    void setAxes(double from, double to, Range range);
    void showTitle(const QString &text);
    QLineSeries *changeLine();

    ChartSide side_;
    const spc::SpcAnalysis *analysis_ = nullptr;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
    int drawnColumns_ = 0;
    bool refit_ = true; // the value axis is fitted afresh at the next refresh
    QLineSeries *data_;
    QScatterSeries *flagged_;
    std::array<QLineSeries *, 3> lines_{}; // lower, centre, upper
    std::vector<QLineSeries *> changes_;   // only as many as shown at once so far
    QValueAxis *x_;
    QValueAxis *y_;
    QGraphicsRectItem *pendingBack_;
    QGraphicsSimpleTextItem *pending_;
};
