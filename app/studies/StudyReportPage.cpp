#include "StudyReportPage.h"

#include "StudyCharts.h"
#include "StudyReport.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

StudyReportPage::StudyReportPage(QWidget *parent)
    : QWidget(parent), m_figures(new QTextBrowser), m_channel(new QComboBox),
      m_charts(new QTabWidget), m_pdf(new QPushButton(QStringLiteral("Save PDF Report..."))),
      m_csv(new QPushButton(QStringLiteral("Save CSV..."))),
      m_newStudy(new QPushButton(QStringLiteral("New Study"))),
      m_readings(new QPushButton(QStringLiteral("Back to Readings"))) {
    auto *chartColumn = new QWidget;
    auto *chartLayout = new QVBoxLayout(chartColumn);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(m_channel);
    chartLayout->addWidget(m_charts, 1);
    auto *splitter = new QSplitter;
    splitter->addWidget(m_figures);
    splitter->addWidget(chartColumn);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_pdf);
    buttons->addWidget(m_csv);
    buttons->addStretch();
    buttons->addWidget(m_readings);
    buttons->addWidget(m_newStudy);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    connect(m_channel, &QComboBox::currentIndexChanged, this, &StudyReportPage::showCharts);
}

void StudyReportPage::show(const measurelog::StoredStudy &stored,
                           const studyrun::StudyFigures &figures) {
    m_shown = figures;
    m_names = stored.study.appraiserNames;
    m_figures->setHtml(studyreport::figuresHtml(stored, figures));
    const QSignalBlocker blocker(m_channel);
    m_channel->clear();
    for (const studyrun::ChannelFigures &channel : figures.channels)
        m_channel->addItem(QStringLiteral("Channel %1 %2")
                               .arg(channel.channel.channel)
                               .arg(channel.channel.description));
    m_channel->setVisible(figures.channels.size() > 1);
    showCharts(0);
}

void StudyReportPage::showCharts(int channel) {
    while (m_charts->count() > 0) {
        QWidget *page = m_charts->widget(0);
        m_charts->removeTab(0);
        delete page;
    }
    std::vector<QChart *> charts;
    if (m_shown.type1 && m_shown.type1->result && m_shown.type1Input)
        charts.push_back(studycharts::runChart(*m_shown.type1Input, *m_shown.type1->result));
    if (channel >= 0 && channel < static_cast<int>(m_shown.channels.size()))
        charts = studycharts::channelCharts(m_shown.channels[static_cast<std::size_t>(channel)],
                                            m_names);
    for (QChart *chart : charts) {
        auto *view = new QChartView(chart);
        view->setRenderHint(QPainter::Antialiasing);
        m_charts->addTab(view, chart->title().section(QLatin1Char(':'), 0, 0));
    }
}
