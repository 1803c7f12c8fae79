#include "SpcReport.h"

#include "ControlChart.h"
#include "HistogramChart.h"
#include "SpcFigures.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QGraphicsScene>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <algorithm>
#include <array>

namespace {

constexpr int Resolution = ReportResolution;
constexpr double MarginMm = 14.0;
constexpr int ListedViolations = 10;
// The page's width in the charts' own pixels: they are laid out at that scale and drawn onto the
// page, so their fonts and lines keep the proportions they have on the screen.
constexpr double ChartWidth = 800.0;

QString escaped(const QString &text) {
    return text.toHtmlEscaped();
}

QString row(const QString &label, const QString &value) {
    return QStringLiteral("<tr><td style='color:#555555; padding-right:12px'>%1</td><td>%2</td>"
                          "</tr>")
        .arg(escaped(label), escaped(value));
}

QString partsText(const spc::SpcAnalysis &analysis) {
    const std::size_t n = analysis.partCount();
    if (n == 0)
        return QStringLiteral("none");
    return QStringLiteral("%1 parts, ids %2 to %3, recorded %4 to %5")
        .arg(n)
        .arg(analysis.partId(0))
        .arg(analysis.partId(n - 1))
        .arg(spc::localTimeText(analysis.partTimeMs(0)),
             spc::localTimeText(analysis.partTimeMs(n - 1)));
}

QString headerHtml(const spc::SpcAnalysis &analysis, std::size_t firstShown, std::size_t shownCount,
                   const QDateTime &madeAt) {
    const spc::SpcChannel &channel = analysis.channel();
    const spc::SubgroupPlan &plan = analysis.series().plan();
    const spc::PartLimits &limits = analysis.newestLimits();
    QString html = QStringLiteral("<h2 style='margin:0'>SPC report: channel %1, %2</h2>")
                       .arg(channel.number)
                       .arg(escaped(channel.description));
    html += QStringLiteral("<table cellspacing='0' cellpadding='1'>");
    html += row(QStringLiteral("Setup"), analysis.setupName());
    html += row(QStringLiteral("Parts"), partsText(analysis));
    html += row(QStringLiteral("Charts"),
                QStringLiteral("%1, subgroups of %2; %3 subgroups, %4 to %5 shown")
                    .arg(spc::chartNames(plan.kind).pair)
                    .arg(plan.size)
                    .arg(analysis.series().subgroupCount())
                    .arg(shownCount == 0 ? 0 : firstShown + 1)
                    .arg(firstShown + shownCount));
    html += row(QStringLiteral("Tolerance"), spc::partLimitsText(limits, channel.decimals));
    html += row(QStringLiteral("Control limits"), analysis.limitsText());
    html += row(QStringLiteral("Report made"), madeAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    html += QStringLiteral("</table>");
    const QString change = analysis.limitChangeText();
    if (!change.isEmpty())
        html += QStringLiteral("<p style='color:#a06000; margin:2px 0 0 0'>%1</p>")
                    .arg(escaped(change));
    if (analysis.ruleCheck().state == spc::RuleCheckState::NotChecked)
        html += QStringLiteral("<p style='margin:2px 0 0 0'>%1</p>")
                    .arg(escaped(analysis.ruleCheck().reason));
    return html;
}

QString capabilityHtml(const spc::SpcAnalysis &analysis) {
    const spc::Capability capability = analysis.capability();
    QString html = QStringLiteral("<b>Capability</b><table cellspacing='0' cellpadding='2' "
                                  "width='100%'><tr><th align='left'>Figure</th><th "
                                  "align='right'>Value</th><th align='right'>95 % bounds</th>"
                                  "</tr>");
    for (const spc::FigureRow &figure :
         spc::capabilityRows(capability, analysis.channel().decimals)) {
        const QString bounds = figure.lower.isEmpty()
                                   ? QString()
                                   : QStringLiteral("%1 to %2").arg(figure.lower, figure.upper);
        html += QStringLiteral("<tr><td>%1</td><td align='right'>%2</td><td align='right'>%3</td>"
                               "</tr>")
                    .arg(escaped(figure.label),
                         figure.value.isEmpty() ? QStringLiteral("—") : figure.value, bounds);
    }
    html += QStringLiteral("</table>");
    const QString remark = spc::capabilityRemark(capability);
    if (!remark.isEmpty())
        html += QStringLiteral("<p>%1</p>").arg(escaped(remark));
    return html;
}

QString violationsHtml(const spc::SpcAnalysis &analysis) {
    const auto &violations = analysis.ruleCheck().violations;
    QString html = QStringLiteral("<b>Rule violations: %1</b>").arg(violations.size());
    if (violations.empty())
        return html;
    const std::size_t listed = std::min<std::size_t>(violations.size(), ListedViolations);
    if (listed < violations.size())
        html += QStringLiteral(" (the newest %1)").arg(listed);
    html += QStringLiteral("<table cellspacing='0' cellpadding='1'>");
    for (std::size_t i = violations.size() - listed; i < violations.size(); ++i) {
        const spc::Violation &v = violations[i];
        html += QStringLiteral("<tr><td style='padding-right:12px'>%1</td><td "
                               "style='padding-right:12px'>subgroup %2</td><td>%3</td></tr>")
                    .arg(escaped(spc::ruleName(v.rule)))
                    .arg(v.subgroup + 1)
                    .arg(spc::localTimeText(analysis.subgroupTimeMs(v.subgroup)));
    }
    return html + QStringLiteral("</table>");
}

class PageText {
public:
    PageText(QPdfWriter &writer, const QString &html, double width, double points) {
        document_.documentLayout()->setPaintDevice(&writer);
        QFont font = document_.defaultFont();
        font.setPointSizeF(points);
        document_.setDefaultFont(font);
        document_.setDocumentMargin(0);
        document_.setHtml(html);
        document_.setTextWidth(width);
    }
    double height() const { return document_.size().height(); }
    void draw(QPainter &painter, QPointF at) {
        painter.save();
        painter.translate(at);
        document_.drawContents(&painter);
        painter.restore();
    }

private:
    QTextDocument document_;
};

// A chart laid out in its own pixels, `scale` of the page's to one, and drawn into the target.
void drawChart(QPainter &painter, QChart *chart, const QRectF &target, double scale) {
    QGraphicsScene scene;
    scene.addItem(chart);
    const QSizeF size = target.size() / scale;
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    chart->setBackgroundVisible(false);
    scene.setSceneRect(QRectF(QPointF(0, 0), size));
    scene.render(&painter, target, scene.sceneRect(), Qt::KeepAspectRatio);
    scene.removeItem(chart);
}

} // namespace

QString spcDefinitionsHtml(const spc::SpcAnalysis &analysis, const spc::Histogram &histogram) {
    QStringList rules;
    for (std::size_t r = 0; r < spc::RuleCount; ++r) {
        const auto rule = static_cast<spc::Rule>(r);
        if (analysis.settings().rules.has(rule))
            rules << spc::ruleCode(rule);
    }
    return QStringLiteral(
               "<b>Definitions.</b> Chart constants are computed exactly, not read from a "
               "printed table: d2 and d3 by integrating the distribution of the range of normal "
               "readings, c4 from the gamma function, and A2, A3, B3, B4, D3, D4 and E2 from "
               "them. σ within is R̄/d2 (X̄–R), S̄/c4 (X̄–S) or MR̄/1.128 (I–MR) over the complete "
               "subgroups of the parts reported; σ overall is the sample standard deviation "
               "(n − 1) of every part. An incomplete last subgroup is not charted. Confidence "
               "bounds are two-sided 95 % with n − 1 degrees of freedom: chi-square for Cp and "
               "Pp, Bissell's normal approximation for Cpk and Ppk. Rules (σ of the charted "
               "statistic): WE 1 a point beyond 3σ; WE 2 two of three in a row beyond 2σ on one "
               "side; WE 3 four of five beyond 1σ on one side; WE 4 eight in a row on one side of "
               "the centre; Nelson 5 to 8 by Nelson's numbering; Spread 1 a range, S or moving "
               "range beyond its limits. The point flagged is the one that completes the "
               "pattern, itself lying in the zone; a point exactly on a line is on neither side. "
               "Rules checked: %1. Histogram bins: %2; its curve is the normal distribution of the "
               "parts' mean and σ overall.")
        .arg(rules.isEmpty() ? QStringLiteral("none") : rules.join(QStringLiteral(", ")),
             escaped(spc::binRuleText(histogram.rule)));
}

void setUpReportPage(QPdfWriter &writer, const QString &title) {
    writer.setResolution(ReportResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(MarginMm, MarginMm, MarginMm, MarginMm),
                                     QPageLayout::Millimeter));
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("QorView"));
}

QByteArray spcReportPdf(const spc::SpcAnalysis &analysis, const spc::Histogram &histogram,
                        std::size_t firstShown, std::size_t shownCount, const QDateTime &madeAt) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    setUpReportPage(writer,
                    QStringLiteral("SPC report: channel %1").arg(analysis.channel().number));

    QPainter painter(&writer);
    const QRectF page = writer.pageLayout().paintRectPixels(Resolution);
    const double width = page.width();
    const double gap = Resolution * 0.06;

    PageText header(writer, headerHtml(analysis, firstShown, shownCount, madeAt), width, 9.0);
    const double sideWidth = width * 0.42;
    PageText capability(writer, capabilityHtml(analysis), sideWidth, 8.0);
    PageText violations(writer, violationsHtml(analysis), width, 8.0);
    PageText definitions(writer, spcDefinitionsHtml(analysis, histogram), width, 6.5);

    // The charts share what the texts leave: the location chart most, then the histogram beside
    // the capability table (never lower than the table), then the spread chart.
    const double texts = header.height() + violations.height() + definitions.height() + 5.0 * gap;
    const double room = std::max(page.height() - texts, Resolution * 3.0);
    const double bottomRow = std::max(room * 0.34, capability.height());
    const double locationHeight = (room - bottomRow) * 0.58;
    const double spreadHeight = room - bottomRow - locationHeight;

    ControlChart location(ChartSide::Location);
    ControlChart spread(ChartSide::Spread);
    HistogramChart histogramChart;
    for (ControlChart *chart : {&location, &spread}) {
        chart->setAnalysis(&analysis);
        chart->showSubgroups(firstShown, shownCount);
    }
    histogramChart.showHistogram(histogram, analysis.newestLimits(), analysis.channel().decimals);

    const double scale = width / ChartWidth;
    double y = 0.0;
    header.draw(painter, {0.0, y});
    y += header.height() + gap;
    drawChart(painter, &location, QRectF(0.0, y, width, locationHeight), scale);
    y += locationHeight;
    drawChart(painter, &spread, QRectF(0.0, y, width, spreadHeight), scale);
    y += spreadHeight + gap;
    drawChart(painter, &histogramChart, QRectF(0.0, y, width - sideWidth - gap, bottomRow), scale);
    capability.draw(painter, {width - sideWidth, y});
    y += bottomRow + gap;
    violations.draw(painter, {0.0, y});
    y += violations.height() + gap;
    definitions.draw(painter, {0.0, y});
    painter.end();
    return bytes;
}
