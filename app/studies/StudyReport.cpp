#include "StudyReport.h"

#include "SpcReport.h"
#include "StudyCharts.h"
#include "StudyPlan.h"
#include "StudyTexts.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QChart>
#include <QGraphicsScene>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <algorithm>
#include <memory>

namespace studyreport {

namespace {

constexpr double TextPoints = 8.5;
// The page's width in the charts' own pixels: they are laid out at that scale and drawn onto the
// page, so their fonts and lines keep the proportions they have on the screen.
constexpr double ChartWidth = 800.0;
constexpr int ChartsPerRow = 2;

QString escaped(const QString &text) {
    return text.toHtmlEscaped();
}

QString cells(const QStringList &values, const char *tag) {
    QString html;
    for (qsizetype i = 0; i < values.size(); ++i)
        html +=
            QStringLiteral("<%1 align='%2'>%3</%1>")
                .arg(QString::fromUtf8(tag),
                     i == 0 ? QStringLiteral("left") : QStringLiteral("right"), escaped(values[i]));
    return html;
}

QString table(const QStringList &header, const std::vector<QStringList> &rows,
              const QString &above = {}) {
    QString html = QStringLiteral("<table cellspacing='0' cellpadding='2' border='0'>") + above;
    html += QStringLiteral("<tr>") + cells(header, "th") + QStringLiteral("</tr>");
    for (const QStringList &row : rows)
        html += QStringLiteral("<tr>") + cells(row, "td") + QStringLiteral("</tr>");
    return html + QStringLiteral("</table>");
}

QString list(const QStringList &lines) {
    QString html;
    for (const QString &line : lines)
        html += QStringLiteral("<p style='margin:1px 0'>%1</p>").arg(escaped(line));
    return html;
}

QString channelName(const measurelog::StudyChannelRecord &channel) {
    QString name = QStringLiteral("Channel %1 %2").arg(channel.channel).arg(channel.description);
    if (channel.tolerance)
        name += QStringLiteral(", tolerance %1")
                    .arg(studyrun::lengthText(*channel.tolerance, channel.decimals));
    return name;
}

QString headerHtml(const measurelog::StoredStudy &stored, const studyrun::StudyFigures &figures) {
    const measurelog::StudyRecord &study = stored.study;
    const auto replaced = std::count_if(stored.readings.begin(), stored.readings.end(),
                                        [](const auto &reading) { return reading.replaced; });
    QStringList channels;
    for (const measurelog::StudyChannelRecord &channel : study.channels)
        channels << channelName(channel);
    std::vector<QStringList> rows{
        {QStringLiteral("Station"), study.station},
        {QStringLiteral("Setup"), study.setupFile},
        {QStringLiteral("Channels"), channels.join(QStringLiteral("; "))},
    };
    if (study.kind == measurelog::StudyKind::Type1) {
        rows.push_back({QStringLiteral("Reference size"),
                        study.reference ? studyrun::lengthText(*study.reference,
                                                               study.channels.front().decimals)
                                        : QStringLiteral("—")});
        rows.push_back({QStringLiteral("Repeats"), QString::number(study.trials)});
    } else {
        rows.push_back(
            {QStringLiteral("Appraisers"), study.appraiserNames.join(QStringLiteral(", "))});
        rows.push_back({QStringLiteral("Parts × appraisers × trials"),
                        QStringLiteral("%1 × %2 × %3, in a random order for each trial")
                            .arg(study.parts)
                            .arg(study.appraisers)
                            .arg(study.trials)});
        rows.push_back(
            {QStringLiteral("Study variation"), studies::spreadLabel(studyrun::spreadOf(study))});
    }
    rows.push_back({QStringLiteral("Started"), QDateTime::fromMSecsSinceEpoch(study.createdMs)
                                                   .toLocalTime()
                                                   .toString(QStringLiteral("yyyy-MM-dd HH:mm"))});
    rows.push_back({QStringLiteral("Readings"),
                    QStringLiteral("%1 of %2 taken; %3 taken again, the earlier kept")
                        .arg(static_cast<qsizetype>(stored.readings.size()) - replaced)
                        .arg(study.readingCount())
                        .arg(replaced)});
    QString html = QStringLiteral("<h2 style='margin:0'>Gauge study %1: %2</h2>")
                       .arg(study.id)
                       .arg(escaped(studyrun::kindName(study.kind)));
    html += QStringLiteral("<table cellspacing='0' cellpadding='1'>");
    for (const QStringList &row : rows)
        html += QStringLiteral("<tr><td style='color:#555555; padding-right:12px'>%1</td><td>%2"
                               "</td></tr>")
                    .arg(escaped(row[0]), escaped(row[1]));
    html += QStringLiteral("</table>");
    if (!figures.pending.isEmpty())
        html += QStringLiteral("<p><b>No figures yet:</b> %1</p>").arg(escaped(figures.pending));
    return html;
}

QString type1Html(const measurelog::StudyRecord &study, const studies::Type1Outcome &outcome) {
    if (!outcome.result)
        return QStringLiteral("<p><b>No figures:</b> %1</p>").arg(escaped(outcome.refusal));
    const studies::Type1Result &result = *outcome.result;
    std::vector<QStringList> rows;
    for (const studyrun::FigureRow &row : studyrun::type1Rows(result, study))
        rows.push_back({row.label, row.value});
    QString html = QStringLiteral("<h3>Figures</h3>") +
                   table({QStringLiteral("Figure"), QStringLiteral("Value")}, rows);
    html += list(result.notes);
    html += QStringLiteral("<p><b>Definitions.</b></p>") + list(result.definitions);
    return html;
}

QString rrChannelHtml(const measurelog::StudyRecord &study,
                      const studyrun::ChannelFigures &channel) {
    QString html = QStringLiteral("<h3>%1</h3>").arg(escaped(channelName(channel.channel)));
    const studies::AnovaResult *anova = channel.anova.result ? &*channel.anova.result : nullptr;
    const studies::AverageRangeAnalysis *averageRange =
        channel.averageRange.analysis ? &*channel.averageRange.analysis : nullptr;
    if (anova) {
        html += QStringLiteral("<p><b>ANOVA, two-way with interaction</b></p>") +
                table(studyrun::anovaHeader(), studyrun::anovaRows(anova->withInteraction));
        if (anova->withoutInteraction)
            html += QStringLiteral("<p><b>ANOVA with the interaction pooled</b></p>") +
                    table(studyrun::anovaHeader(), studyrun::anovaRows(*anova->withoutInteraction));
    } else {
        html += QStringLiteral("<p><b>No ANOVA:</b> %1</p>").arg(escaped(channel.anova.refusal));
    }
    if (!averageRange)
        html += QStringLiteral("<p><b>No average-and-range figures:</b> %1</p>")
                    .arg(escaped(channel.averageRange.refusal));
    const QString methods =
        QStringLiteral("<tr><th></th><th colspan='5' align='center'>ANOVA</th><th colspan='5' "
                       "align='center'>Average and range</th></tr>");
    html += QStringLiteral("<p><b>Variation</b></p>") +
            table(studyrun::comparisonHeader(study.sigmaMultiplier),
                  studyrun::comparisonRows(anova ? &anova->figures : nullptr,
                                           averageRange ? &averageRange->result.figures : nullptr,
                                           channel.channel.decimals),
                  methods);
    html += list(studyrun::rrSummaryLines(anova ? &anova->figures : nullptr,
                                          averageRange ? &averageRange->result.figures : nullptr));
    QStringList notes;
    if (anova)
        notes << anova->notes;
    if (averageRange) {
        for (const studies::StudyFactor *factor :
             {&averageRange->result.k1, &averageRange->result.k2, &averageRange->result.k3})
            notes << factor->description();
        notes << averageRange->result.notes;
    }
    return html + list(notes);
}

QString rrDefinitionsHtml(const studyrun::StudyFigures &figures) {
    QStringList definitions;
    for (const studyrun::ChannelFigures &channel : figures.channels) {
        if (channel.anova.result)
            definitions << channel.anova.result->definitions;
        if (channel.averageRange.analysis)
            definitions << channel.averageRange.analysis->result.definitions;
    }
    definitions.removeDuplicates();
    if (definitions.isEmpty())
        return {};
    return QStringLiteral("<p><b>Definitions.</b></p>") + list(definitions);
}

// HTML laid out in pages of the writer's page size, so no line is cut between two pages.
class PageText {
public:
    PageText(QPdfWriter &writer, const QString &html, const QSizeF &page) {
        m_document.documentLayout()->setPaintDevice(&writer);
        QFont font = m_document.defaultFont();
        font.setPointSizeF(TextPoints);
        m_document.setDefaultFont(font);
        m_document.setDocumentMargin(0);
        m_document.setHtml(html);
        m_document.setPageSize(page);
    }
    // Draws the pages, the first on the current page of the writer.
    void draw(QPdfWriter &writer, QPainter &painter) {
        const QSizeF page = m_document.pageSize();
        for (int i = 0; i < m_document.pageCount(); ++i) {
            if (i > 0)
                writer.newPage();
            painter.save();
            painter.translate(0.0, -page.height() * i);
            m_document.drawContents(&painter, QRectF(QPointF(0.0, page.height() * i), page));
            painter.restore();
        }
    }

private:
    QTextDocument m_document;
};

// The chart laid out in its own pixels, `scale` of the page's to one, and drawn into the target.
void drawChart(QPainter &painter, std::unique_ptr<QChart> chart, const QRectF &target,
               double scale) {
    QGraphicsScene scene;
    scene.addItem(chart.get());
    const QSizeF size = target.size() / scale;
    chart->setGeometry(QRectF(QPointF(0, 0), size));
    chart->setBackgroundVisible(false);
    scene.setSceneRect(QRectF(QPointF(0, 0), size));
    scene.render(&painter, target, scene.sceneRect(), Qt::KeepAspectRatio);
    scene.removeItem(chart.get());
}

void drawChartPage(QPdfWriter &writer, QPainter &painter, const QString &title,
                   std::vector<QChart *> charts) {
    if (charts.empty())
        return;
    writer.newPage();
    const QRect page = painter.viewport();
    const double scale = page.width() / ChartWidth;
    PageText heading(writer, QStringLiteral("<h3>%1</h3>").arg(escaped(title)), page.size());
    heading.draw(writer, painter);
    const double top = 40.0 * scale;
    const double width = page.width() / double(ChartsPerRow);
    const double height = width * 0.75;
    for (std::size_t i = 0; i < charts.size(); ++i) {
        const QRectF target(width * double(i % ChartsPerRow),
                            top + height * double(i / ChartsPerRow), width, height);
        drawChart(painter, std::unique_ptr<QChart>(charts[i]), target, scale);
    }
}

} // namespace

QString figuresHtml(const measurelog::StoredStudy &stored, const studyrun::StudyFigures &figures) {
    QString html = headerHtml(stored, figures);
    if (!figures.pending.isEmpty())
        return html;
    if (figures.type1)
        return html + type1Html(stored.study, *figures.type1);
    for (const studyrun::ChannelFigures &channel : figures.channels)
        html += rrChannelHtml(stored.study, channel);
    return html + rrDefinitionsHtml(figures);
}

QByteArray reportPdf(const measurelog::StoredStudy &stored, const studyrun::StudyFigures &figures,
                     const QDateTime &madeAt) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    setUpReportPage(writer, QStringLiteral("Gauge study %1").arg(stored.study.id));
    QPainter painter(&writer);
    const QRect page = painter.viewport();
    const QString made = QStringLiteral("<p style='color:#555555'>Report made %1</p>")
                             .arg(madeAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    PageText text(writer, figuresHtml(stored, figures) + made, page.size());
    text.draw(writer, painter);
    if (figures.type1 && figures.type1->result && figures.type1Input)
        drawChartPage(writer, painter, QStringLiteral("Run chart"),
                      {studycharts::runChart(*figures.type1Input, *figures.type1->result)});
    for (const studyrun::ChannelFigures &channel : figures.channels)
        drawChartPage(writer, painter, channelName(channel.channel),
                      studycharts::channelCharts(channel, stored.study.appraiserNames));
    painter.end();
    return bytes;
}

} // namespace studyreport
