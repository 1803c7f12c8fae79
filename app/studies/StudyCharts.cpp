#include "StudyCharts.h"

#include "ChartParts.h"

#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <limits>

namespace studycharts {

namespace {

constexpr int ValueTicks = 8;
const QColor Reading(0x1f, 0x5f, 0xa8);
const QColor Average(0x20, 0x20, 0x20);
const QColor Reference(0x2e, 0x8b, 0x57);
const QColor Limit(0xc0, 0x30, 0x30);
// One colour an appraiser, repeated beyond the last.
const std::array<QColor, 6> AppraiserColours{QColor(0x1f, 0x5f, 0xa8), QColor(0xd0, 0x70, 0x10),
                                             QColor(0x2e, 0x8b, 0x57), QColor(0x8a, 0x3f, 0xb0),
                                             QColor(0xb0, 0x30, 0x50), QColor(0x50, 0x80, 0x80)};

QColor appraiserColour(std::size_t appraiser) {
    return AppraiserColours[appraiser % AppraiserColours.size()];
}

// A chart with its two value axes, the y axis fitted to the values it is told of.
class Plot {
public:
    Plot(const QString &title, const QString &xTitle, const QString &yTitle)
        : m_chart(new QChart), m_x(new QValueAxis(m_chart)), m_y(new QValueAxis(m_chart)) {
        styleChart(*m_chart);
        m_chart->setTitle(title);
        m_x->setTitleText(xTitle);
        m_y->setTitleText(yTitle);
        m_chart->addAxis(m_x, Qt::AlignBottom);
        m_chart->addAxis(m_y, Qt::AlignLeft);
        m_chart->legend()->setVisible(false);
    }

    QLineSeries *line(const QColor &colour, Qt::PenStyle style, const QString &name = {}) {
        QLineSeries *series = addLine(*m_chart, *m_x, *m_y, colour, style, 1.5);
        series->setName(name);
        return series;
    }
    QScatterSeries *points(const QColor &colour) {
        auto *series = new QScatterSeries(m_chart);
        series->setColor(colour);
        series->setBorderColor(colour);
        series->setMarkerSize(6.0);
        m_chart->addSeries(series);
        series->attachAxis(m_x);
        series->attachAxis(m_y);
        return series;
    }
    void add(QXYSeries &series, double x, double y) {
        series.append(x, y);
        m_low = std::min(m_low, y);
        m_high = std::max(m_high, y);
    }
    // A horizontal line across the x range.
    void level(const QColor &colour, Qt::PenStyle style, double y, const QString &name) {
        QLineSeries *series = line(colour, style, name);
        add(*series, m_xFrom, y);
        add(*series, m_xTo, y);
    }
    void setXRange(double from, double to) {
        m_xFrom = from;
        m_xTo = to;
    }
    void showLegend() { m_chart->legend()->setVisible(true); }
    QChart *finish() {
        fitValueAxis(*m_y, m_low, m_high, ValueTicks);
        m_x->setRange(m_xFrom, m_xTo);
        m_x->setTickType(QValueAxis::TicksDynamic);
        m_x->setTickAnchor(1.0);
        m_x->setTickInterval(std::max(1.0, roundStep(m_xTo - m_xFrom, 10)));
        m_x->setLabelFormat(QStringLiteral("%d"));
        return m_chart;
    }

private:
    QChart *m_chart;
    QValueAxis *m_x;
    QValueAxis *m_y;
    double m_xFrom = 0.0;
    double m_xTo = 1.0;
    double m_low = std::numeric_limits<double>::infinity();
    double m_high = -std::numeric_limits<double>::infinity();
};

} // namespace

QChart *runChart(const studies::Type1Input &input, const studies::Type1Result &result) {
    Plot plot(QStringLiteral("Run chart"), QStringLiteral("Reading"), QStringLiteral("Value"));
    plot.setXRange(0.5, static_cast<double>(input.readings.size()) + 0.5);
    plot.level(Reference, Qt::SolidLine, input.reference, QStringLiteral("Reference"));
    plot.level(Limit, Qt::DashLine, result.bandLow, QStringLiteral("− 0.1 T"));
    plot.level(Limit, Qt::DashLine, result.bandHigh, QStringLiteral("+ 0.1 T"));
    QLineSeries *run = plot.line(Reading, Qt::SolidLine, QStringLiteral("Readings"));
    run->setPointsVisible(true);
    for (std::size_t i = 0; i < input.readings.size(); ++i)
        plot.add(*run, static_cast<double>(i + 1), input.readings[i]);
    plot.showLegend();
    return plot.finish();
}

QChart *byPartChart(const studies::RrReadings &readings, const studies::RrSummary &summary) {
    Plot plot(QStringLiteral("Readings by part"), QStringLiteral("Part"), QStringLiteral("Value"));
    plot.setXRange(0.5, static_cast<double>(summary.partMeans.size()) + 0.5);
    QScatterSeries *points = plot.points(Reading);
    for (const auto &byPart : readings)
        for (std::size_t part = 0; part < byPart.size(); ++part)
            for (double value : byPart[part])
                plot.add(*points, static_cast<double>(part + 1), value);
    QLineSeries *averages = plot.line(Average, Qt::SolidLine);
    for (std::size_t part = 0; part < summary.partMeans.size(); ++part)
        plot.add(*averages, static_cast<double>(part + 1), summary.partMeans[part]);
    return plot.finish();
}

QChart *byAppraiserChart(const studies::RrReadings &readings, const studies::RrSummary &summary,
                         const QStringList &names) {
    Plot plot(QStringLiteral("Readings by appraiser: %1").arg(names.join(QStringLiteral(", "))),
              QStringLiteral("Appraiser"), QStringLiteral("Value"));
    plot.setXRange(0.5, static_cast<double>(readings.size()) + 0.5);
    QScatterSeries *points = plot.points(Reading);
    for (std::size_t appraiser = 0; appraiser < readings.size(); ++appraiser)
        for (const auto &trials : readings[appraiser])
            for (double value : trials)
                plot.add(*points, static_cast<double>(appraiser + 1), value);
    QLineSeries *averages = plot.line(Average, Qt::SolidLine);
    for (std::size_t appraiser = 0; appraiser < summary.appraiserMeans.size(); ++appraiser)
        plot.add(*averages, static_cast<double>(appraiser + 1), summary.appraiserMeans[appraiser]);
    return plot.finish();
}

QChart *interactionChart(const studies::RrSummary &summary, const QStringList &names) {
    Plot plot(QStringLiteral("Interaction: appraiser averages by part"), QStringLiteral("Part"),
              QStringLiteral("Average"));
    const std::size_t parts = summary.partMeans.size();
    plot.setXRange(0.5, static_cast<double>(parts) + 0.5);
    for (std::size_t appraiser = 0; appraiser < summary.cellMeans.size(); ++appraiser) {
        QLineSeries *line = plot.line(appraiserColour(appraiser), Qt::SolidLine,
                                      names.value(static_cast<qsizetype>(appraiser)));
        line->setPointsVisible(true);
        for (std::size_t part = 0; part < summary.cellMeans[appraiser].size(); ++part)
            plot.add(*line, static_cast<double>(part + 1), summary.cellMeans[appraiser][part]);
    }
    plot.showLegend();
    return plot.finish();
}

QChart *rangeChart(const studies::RrSummary &summary, const studies::RangeChart &limits,
                   const QStringList &names) {
    Plot plot(QStringLiteral("Ranges by appraiser"), QStringLiteral("Appraiser's part"),
              QStringLiteral("Range"));
    const std::size_t parts = summary.partMeans.size();
    plot.setXRange(0.5, static_cast<double>(summary.cellRanges.size() * parts) + 0.5);
    plot.level(Average, Qt::SolidLine, limits.centre, QStringLiteral("R̄̄"));
    plot.level(Limit, Qt::DashLine, limits.upperLimit, QStringLiteral("UCL"));
    plot.level(Limit, Qt::DashLine, limits.lowerLimit, QStringLiteral("LCL"));
    for (std::size_t appraiser = 0; appraiser < summary.cellRanges.size(); ++appraiser) {
        QLineSeries *line = plot.line(appraiserColour(appraiser), Qt::SolidLine,
                                      names.value(static_cast<qsizetype>(appraiser)));
        line->setPointsVisible(true);
        for (std::size_t part = 0; part < summary.cellRanges[appraiser].size(); ++part)
            plot.add(*line, static_cast<double>(appraiser * parts + part + 1),
                     summary.cellRanges[appraiser][part]);
    }
    plot.showLegend();
    return plot.finish();
}

std::vector<QChart *> channelCharts(const studyrun::ChannelFigures &channel,
                                    const QStringList &names) {
    const studies::RrSummary *summary = nullptr;
    if (channel.anova.result)
        summary = &channel.anova.result->summary;
    else if (channel.averageRange.analysis)
        summary = &channel.averageRange.analysis->summary;
    if (summary == nullptr)
        return {};
    std::vector<QChart *> charts{byPartChart(channel.readings, *summary),
                                 byAppraiserChart(channel.readings, *summary, names),
                                 interactionChart(*summary, names)};
    if (channel.averageRange.analysis)
        charts.push_back(rangeChart(*summary, channel.averageRange.analysis->rangeChart, names));
    return charts;
}

} // namespace studycharts
