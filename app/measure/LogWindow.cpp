#include "LogWindow.h"

#include "ExportProgress.h"
#include "LogModel.h"
#include "LogTable.h"
#include "LogTime.h"
#include "PartDetailDialog.h"
#include "Prompts.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using measurelog::ExportForm;
using measurelog::LogFilter;

namespace {

// The setup choice's data for "All setups": no string, as "" is the parts without a setup file.
QVariant allSetups() {
    return {};
}

QLineEdit *timeField(QWidget *parent, const QString &name) {
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setPlaceholderText(QStringLiteral("2026-12-07 or 2026-12-07T08:00"));
    field->setClearButtonEnabled(true);
    return field;
}

} // namespace

LogWindow::LogWindow(const QString &logPath, Prompts &prompts, QWidget *parent)
    : QWidget(parent, Qt::Window), m_logPath(logPath), m_prompts(prompts),
      m_model(new LogModel(logPath, this)), m_table(new QTableView(this)),
      m_since(timeField(this, QStringLiteral("since"))),
      m_until(timeField(this, QStringLiteral("until"))), m_setup(new QComboBox(this)),
      m_verdict(new QComboBox(this)), m_serial(new QLineEdit(this)), m_notice(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Log"));
    for (const recording::VerdictChoice &choice : recording::verdictChoices())
        m_verdict->addItem(choice.label);
    m_serial->setPlaceholderText(QStringLiteral("serial, lot or part number"));
    m_serial->setClearButtonEnabled(true);

    auto *filters = new QHBoxLayout;
    const std::pair<const char *, QWidget *> fields[] = {
        {"&From:", m_since},      {"&To:", m_until},      {"Se&tup:", m_setup},
        {"&Verdict:", m_verdict}, {"&Serial:", m_serial},
    };
    for (const auto &[label, field] : fields) {
        auto *text = new QLabel(QString::fromLatin1(label), this);
        text->setBuddy(field);
        filters->addWidget(text);
        filters->addWidget(field, 1);
    }
    auto *apply = new QPushButton(QStringLiteral("&Refresh"), this);
    apply->setDefault(true);
    filters->addWidget(apply);

    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

    auto *exports = new QHBoxLayout;
    auto *exportWide = new QPushButton(QStringLiteral("&Export CSV…"), this);
    auto *exportLong = new QPushButton(QStringLiteral("Export CSV, one row per &value…"), this);
    m_notice->setObjectName(QStringLiteral("notice"));
    exports->addWidget(m_notice, 1);
    exports->addWidget(exportWide);
    exports->addWidget(exportLong);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_table, 1);
    layout->addLayout(exports);
    resize(960, 600);

    connect(apply, &QPushButton::clicked, this, &LogWindow::applyFilter);
    for (QLineEdit *field : {m_since, m_until, m_serial})
        connect(field, &QLineEdit::returnPressed, this, &LogWindow::applyFilter);
    connect(m_setup, &QComboBox::activated, this, &LogWindow::applyFilter);
    connect(m_verdict, &QComboBox::activated, this, &LogWindow::applyFilter);
    connect(m_table, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { openDetail(index.row()); });
    connect(exportWide, &QPushButton::clicked, this,
            [this] { chooseExportFile(ExportForm::Wide); });
    connect(exportLong, &QPushButton::clicked, this,
            [this] { chooseExportFile(ExportForm::Long); });
    fillSetups();
}

LogWindow::~LogWindow() = default;

void LogWindow::setCurrentSetup(const QString &setupFile) {
    m_currentSetup = setupFile;
}

void LogWindow::fillSetups() {
    const QVariant chosen = m_setup->currentData();
    m_setup->clear();
    m_setup->addItem(QStringLiteral("All setups"), allSetups());
    const measurelog::Read<QStringList> setups = m_model->reader().setups();
    for (const QString &setup : setups.value)
        m_setup->addItem(recording::setupFileLabel(setup), setup);
    const int again = chosen.isValid() ? m_setup->findData(chosen) : 0;
    m_setup->setCurrentIndex(std::max(again, 0));
}

std::optional<LogFilter> LogWindow::filterFromFields() {
    LogFilter filter;
    const std::pair<QLineEdit *, std::optional<qint64> *> times[] = {{m_since, &filter.sinceMs},
                                                                     {m_until, &filter.untilMs}};
    for (const auto &[field, ms] : times) {
        const QString text = field->text().trimmed();
        if (text.isEmpty())
            continue;
        *ms = measurelog::parseTimeText(text);
        if (!*ms) {
            say(QStringLiteral("\u201c%1\u201d is not a time: write it as 2026-12-07 or "
                               "2026-12-07T08:00.")
                    .arg(text));
            field->setFocus();
            return std::nullopt;
        }
    }
    if (const QVariant setup = m_setup->currentData(); setup.isValid())
        filter.setupFile = setup.toString();
    const auto choices = recording::verdictChoices();
    filter.verdicts = choices[static_cast<size_t>(std::max(m_verdict->currentIndex(), 0))].verdicts;
    filter.serialContains = m_serial->text().trimmed();
    return filter;
}

bool LogWindow::applyFilter() {
    fillSetups();
    const std::optional<LogFilter> filter = filterFromFields();
    if (!filter)
        return false;
    const QString columnsSetup = filter->setupFile.value_or(m_currentSetup);
    const measurelog::Read<std::vector<measurelog::ChannelSeen>> channels =
        m_model->reader().channels(columnsSetup);
    const bool shown = m_model->show(*filter, recording::LogColumns(columnsSetup, channels.value));
    if (!shown) {
        say(m_model->failure());
        return false;
    }
    // Wide enough for each header and the first page of parts, so no name or time is cut.
    m_table->resizeColumnsToContents();
    say(m_model->rowCount() == 0 ? QStringLiteral("No recorded part matches.") : QString());
    return true;
}

PartDetailDialog *LogWindow::openDetail(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return nullptr;
    // The page holds the part as it was read; the detail reads it again in full.
    const measurelog::Read<std::optional<measurelog::PartRecord>> part =
        m_model->reader().part(m_model->partAt(row).id);
    if (!part.ok() || !part.value) {
        say(part.ok() ? QStringLiteral("The part is no longer in the log.") : part.failure);
        return nullptr;
    }
    auto *dialog = new PartDetailDialog(*part.value, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

void LogWindow::chooseExportFile(ExportForm form) {
    const QString file = m_prompts.saveFileName(
        QStringLiteral("Export the log"), QFileInfo(m_logPath).absolutePath(),
        QStringLiteral("CSV files (*.csv);;All files (*)"), QStringLiteral("measurements.csv"));
    if (!file.isEmpty())
        exportTo(file, form);
}

bool LogWindow::exportTo(const QString &file, ExportForm form) {
    const measurelog::ExportResult result =
        exportWithProgress(this, m_logPath, file, {m_model->filter(), form});
    switch (result.outcome) {
    case measurelog::ExportOutcome::Written:
        say(QStringLiteral("%1 parts exported to %2.").arg(result.parts).arg(file));
        return true;
    case measurelog::ExportOutcome::Cancelled:
        say(QStringLiteral("Export cancelled; %1 was not written.").arg(file));
        return false;
    case measurelog::ExportOutcome::Failed:
        break;
    }
    say(QString());
    m_prompts.message(result.failure, PromptButtons::Ok, PromptIcon::Critical,
                      QStringLiteral("Export"));
    return false;
}

void LogWindow::say(const QString &text) {
    m_notice->setText(text);
}

QString LogWindow::noticeText() const {
    return m_notice->text();
}
