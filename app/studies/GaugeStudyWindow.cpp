#include "GaugeStudyWindow.h"

#include "LogReader.h"
#include "LogWriter.h"
#include "Prompts.h"
#include "StudyCsv.h"
#include "StudyPlan.h"
#include "StudyReport.h"
#include "StudyReportPage.h"
#include "StudyRunPage.h"
#include "StudySetupPage.h"
#include "StudyTexts.h"
#include "TextFileStore.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

struct ExportEntry {
    GaugeStudyWindow::Export what;
    const char *title;
    const char *suggestedName; // "%1" is the study's id
    const char *filter;
};
const ExportEntry ExportEntries[] = {
    {GaugeStudyWindow::Export::PdfReport, "Save the gauge study report", "study-%1.pdf",
     "PDF files (*.pdf)"},
    {GaugeStudyWindow::Export::Csv, "Save the gauge study as CSV", "study-%1.csv",
     "CSV files (*.csv)"},
};

QString valueText(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

} // namespace

GaugeStudyWindow::GaugeStudyWindow(measurelog::LogWriter &writer,
                                   studyrun::StudyReadingSource &source, Prompts &prompts,
                                   QWidget *parent)
    : QWidget(parent), m_writer(writer), m_source(source), m_prompts(prompts),
      m_session(writer, source), m_stages(new QStackedWidget), m_setup(new StudySetupPage),
      m_run(new StudyRunPage), m_report(new StudyReportPage) {
    setWindowTitle(QStringLiteral("Gauge Study"));
    m_stages->addWidget(m_setup);
    m_stages->addWidget(m_run);
    m_stages->addWidget(m_report);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_stages);

    connect(m_setup, &StudySetupPage::startAsked, this, &GaugeStudyWindow::startStudy);
    connect(m_setup, &StudySetupPage::continueAsked, this, &GaugeStudyWindow::continueStudy);
    connect(m_run->takeButton(), &QPushButton::clicked, this, &GaugeStudyWindow::takeReading);
    connect(m_run->redoLastButton(), &QPushButton::clicked, this,
            [this] { say(m_session.redoLast()); });
    connect(m_run->redoChosenButton(), &QPushButton::clicked, this, &GaugeStudyWindow::redoChosen);
    connect(m_run->cancelRedoButton(), &QPushButton::clicked, &m_session,
            &studyrun::StudySession::cancelRedo);
    connect(m_run->reportButton(), &QPushButton::clicked, this, &GaugeStudyWindow::showReport);
    connect(m_report->pdfButton(), &QPushButton::clicked, this,
            [this] { chooseExportFile(Export::PdfReport); });
    connect(m_report->csvButton(), &QPushButton::clicked, this,
            [this] { chooseExportFile(Export::Csv); });
    connect(m_report->newStudyButton(), &QPushButton::clicked, this, &GaugeStudyWindow::showSetUp);
    connect(m_report->readingsButton(), &QPushButton::clicked, this, &GaugeStudyWindow::showRun);
    connect(&m_session, &studyrun::StudySession::changed, this, &GaugeStudyWindow::showProgress);
    connect(&m_session, &studyrun::StudySession::problem, this, [this](const QString &text) {
        m_prompts.message(text, PromptButtons::Ok, PromptIcon::Critical);
    });
    connect(&m_source, &studyrun::StudyReadingSource::readingsChanged, this,
            &GaugeStudyWindow::showLive);
    connect(&m_source, &studyrun::StudyReadingSource::setupChanged, this,
            [this] { m_setup->setChannels(m_source.channels()); });
    m_recordKey = new QShortcut(QKeySequence(Qt::Key_F9), this);
    m_recordKey->setContext(Qt::WindowShortcut);
    connect(m_recordKey, &QShortcut::activated, this, &GaugeStudyWindow::takeReading);

    m_setup->setChannels(m_source.channels());
    showSetUp();
}

GaugeStudyWindow::Stage GaugeStudyWindow::stage() const {
    return static_cast<Stage>(m_stages->currentIndex());
}

bool GaugeStudyWindow::isTakingReadings() const {
    return stage() == Stage::Run && m_session.hasStudy();
}

void GaugeStudyWindow::leaveRecordKeyToStation() {
    m_recordKey->setEnabled(false);
}

QString GaugeStudyWindow::takeReading() {
    const QString refusal =
        isTakingReadings() ? m_session.takeReading() : QStringLiteral("No study is running.");
    say(refusal);
    return refusal;
}

void GaugeStudyWindow::showSetUp() {
    listUnfinished();
    m_stages->setCurrentWidget(m_setup);
}

void GaugeStudyWindow::showRun() {
    m_stages->setCurrentWidget(m_run);
    m_wasComplete = m_session.isComplete();
    showProgress();
}

void GaugeStudyWindow::showReport() {
    const std::optional<measurelog::StoredStudy> stored = storedStudy();
    if (!stored)
        return;
    m_report->show(*stored, m_session.figures());
    m_stages->setCurrentWidget(m_report);
}

void GaugeStudyWindow::startStudy() {
    const studyrun::StudyRecord study = m_setup->study();
    QString refusal = studyrun::checkStudy(study);
    if (refusal.isEmpty())
        refusal = m_session.start(study);
    m_setup->setMessage(refusal);
    if (refusal.isEmpty())
        showRun();
}

void GaugeStudyWindow::continueStudy(qint64 id) {
    measurelog::LogReader reader(m_writer.path());
    const measurelog::Read<std::optional<measurelog::StoredStudy>> read = reader.study(id);
    QString refusal = read.failure;
    if (read.ok() && !read.value)
        refusal = QStringLiteral("The measurement log holds no study %1.").arg(id);
    if (refusal.isEmpty())
        refusal = m_session.resume(*read.value);
    m_setup->setMessage(refusal);
    if (refusal.isEmpty())
        showRun();
}

void GaugeStudyWindow::listUnfinished() {
    measurelog::LogReader reader(m_writer.path());
    const measurelog::Read<std::vector<measurelog::StudySummary>> read = reader.studies();
    std::vector<std::pair<qint64, QString>> unfinished;
    for (const measurelog::StudySummary &summary : read.value) {
        const measurelog::StudyRecord &study = summary.study;
        if (study.status != measurelog::StudyStatus::Running)
            continue;
        unfinished.emplace_back(study.id,
                                QStringLiteral("Study %1: %2 of %3, %4 of %5 readings, started %6")
                                    .arg(study.id)
                                    .arg(studyrun::kindName(study.kind), study.setupFile)
                                    .arg(summary.takenSteps)
                                    .arg(study.readingCount())
                                    .arg(QDateTime::fromMSecsSinceEpoch(study.createdMs)
                                             .toLocalTime()
                                             .toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    }
    m_setup->setUnfinished(unfinished);
    if (!read.ok())
        m_setup->setMessage(read.failure);
}

void GaugeStudyWindow::showProgress() {
    // A study the log could not create is no study: back to the set-up, where the box said why.
    if (!m_session.hasStudy()) {
        if (stage() == Stage::Run)
            showSetUp();
        return;
    }
    m_run->prompt()->setText(m_session.prompt());
    m_run->progress()->setText(QStringLiteral("%1 of %2 readings taken")
                                   .arg(m_session.takenSteps())
                                   .arg(m_session.totalSteps()));
    const bool taking = m_session.state() == studyrun::StudySession::State::Taking;
    m_run->redoLastButton()->setEnabled(taking && !m_session.readings().history().empty());
    m_run->redoChosenButton()->setEnabled(taking && m_run->taken()->count() > 0);
    m_run->cancelRedoButton()->setVisible(m_session.isRedo());
    m_run->reportButton()->setEnabled(m_session.isComplete());
    listTaken();
    showLive();
    // The last reading in: straight to the report.
    const bool complete = m_session.isComplete() && taking;
    if (complete && !m_wasComplete && stage() == Stage::Run)
        showReport();
    m_wasComplete = complete || m_session.isComplete();
}

void GaugeStudyWindow::showLive() {
    if (!m_session.hasStudy())
        return;
    const QString reason = m_session.notReadyReason();
    m_run->takeButton()->setEnabled(reason.isEmpty());
    const studyrun::FreshReadings fresh =
        m_source.freshReadings(studyrun::channelNumbers(m_session.study()));
    if (!fresh.ok()) {
        m_run->live()->setText(reason.isEmpty() ? fresh.refusal : reason);
        return;
    }
    QStringList values;
    const auto &channels = m_session.study().channels;
    for (std::size_t i = 0; i < channels.size() && i < fresh.values.size(); ++i)
        values << QStringLiteral("%1: %2").arg(channels[i].description,
                                               valueText(fresh.values[i], channels[i].decimals));
    m_run->live()->setText(values.join(QStringLiteral("    ")) +
                           (reason.isEmpty() ? QString() : QStringLiteral("\n") + reason));
}

void GaugeStudyWindow::listTaken() {
    QListWidget *list = m_run->taken();
    const auto &history = m_session.readings().history();
    const int keep = list->currentRow();
    list->clear();
    const auto &channels = m_session.study().channels;
    for (std::size_t i = 0; i < history.size(); ++i) {
        const studies::RecordedReading &reading = history[i];
        QStringList values;
        for (std::size_t c = 0; c < reading.values.size() && c < channels.size(); ++c)
            values << valueText(reading.values[c], channels[c].decimals);
        QString line = QStringLiteral("%1. %2: %3")
                           .arg(i + 1)
                           .arg(studyrun::promptFor(m_session.study(), reading.step),
                                values.join(QStringLiteral(", ")));
        if (reading.replaced)
            line += QStringLiteral(" (taken again)");
        auto *item = new QListWidgetItem(line, list);
        item->setData(Qt::UserRole,
                      QVariantList{reading.step.appraiser, reading.step.part, reading.step.trial});
    }
    if (keep >= 0 && keep < list->count())
        list->setCurrentRow(keep);
    else
        list->scrollToBottom();
}

void GaugeStudyWindow::redoChosen() {
    const QListWidgetItem *item = m_run->taken()->currentItem();
    if (item == nullptr) {
        say(QStringLiteral("Choose the reading to take again in the list."));
        return;
    }
    const QVariantList step = item->data(Qt::UserRole).toList();
    say(m_session.redoStep({step.value(0).toInt(), step.value(1).toInt(), step.value(2).toInt()}));
}

std::optional<measurelog::StoredStudy> GaugeStudyWindow::storedStudy() {
    measurelog::LogReader reader(m_writer.path());
    const measurelog::Read<std::optional<measurelog::StoredStudy>> read =
        reader.study(m_session.study().id);
    QString failure = read.failure;
    if (read.ok() && !read.value)
        failure =
            QStringLiteral("The measurement log holds no study %1.").arg(m_session.study().id);
    if (!failure.isEmpty()) {
        m_prompts.message(failure, PromptButtons::Ok, PromptIcon::Critical);
        return std::nullopt;
    }
    return read.value;
}

bool GaugeStudyWindow::exportTo(Export what, const QString &file) {
    const std::optional<measurelog::StoredStudy> stored = storedStudy();
    if (!stored)
        return false;
    const studyrun::StudyFigures figures = m_session.figures();
    const QByteArray bytes =
        what == Export::PdfReport
            ? studyreport::reportPdf(*stored, figures, QDateTime::currentDateTime())
            : studyrun::studyCsv(*stored, figures);
    const QString failure = textfile::saveFileBytes(file, bytes);
    if (!failure.isEmpty()) {
        m_prompts.message(failure, PromptButtons::Ok, PromptIcon::Critical);
        return false;
    }
    return true;
}

void GaugeStudyWindow::chooseExportFile(Export what) {
    const auto entry = std::find_if(std::begin(ExportEntries), std::end(ExportEntries),
                                    [what](const ExportEntry &e) { return e.what == what; });
    const QString file = m_prompts.saveFileName(
        QString::fromUtf8(entry->title), QDir::homePath(), QString::fromUtf8(entry->filter),
        QString::fromUtf8(entry->suggestedName).arg(m_session.study().id));
    if (!file.isEmpty())
        exportTo(what, file);
}

void GaugeStudyWindow::say(const QString &text) {
    m_run->message()->setText(text);
}
