#pragma once

#include "Histogram.h"
#include "SpcDataSource.h"

#include <QChart>

class QAreaSeries;
class QLineSeries;
class QValueAxis;

// The distribution of a channel's parts: the bins as bars, the normal curve of the same mean and
// standard deviation over them, and the tolerance limits (and the nominal, where the channel
// has one) as vertical lines named at their top ends.
class HistogramChart : public QChart {
    Q_OBJECT

public:
    HistogramChart();

    void showHistogram(const spc::Histogram &histogram, const spc::PartLimits &limits,
                       int decimals);
    // No bars, curve or lines, and the title saying that the parts are still being read.
    void showLoading();

    // What is drawn (the tests look at it).
    std::size_t binCount() const { return bins_; }
    bool hasCurve() const;
    int limitLineCount() const;

private:
    QLineSeries *addLimitLine(const QColor &colour, Qt::PenStyle style, const QString &name);

    QLineSeries *outline_;
    QLineSeries *base_;
    QAreaSeries *bars_;
    QLineSeries *curve_;
    QLineSeries *lower_;
    QLineSeries *upper_;
    QLineSeries *nominal_;
    QValueAxis *x_;
    QValueAxis *y_;
    std::size_t bins_ = 0;
};
