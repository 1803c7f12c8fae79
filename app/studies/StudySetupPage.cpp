#include "StudySetupPage.h"

#include "GaugeRrData.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr int SizeDecimals = 6;
constexpr double LargestSize = 1e6;

QSpinBox *countBox(studyrun::CountBounds bounds, int value) {
    auto *box = new QSpinBox;
    box->setRange(bounds.least, bounds.most);
    box->setValue(value);
    return box;
}

QDoubleSpinBox *sizeBox(double least) {
    auto *box = new QDoubleSpinBox;
    box->setDecimals(SizeDecimals);
    box->setRange(least, LargestSize);
    return box;
}

QString channelText(const studyrun::SourceChannel &channel) {
    return QStringLiteral("%1 %2").arg(channel.number).arg(channel.description);
}

} // namespace

StudySetupPage::StudySetupPage(QWidget *parent)
    : QWidget(parent), m_kind(new QComboBox), m_kindPages(new QStackedWidget),
      m_type1Channel(new QComboBox), m_reference(sizeBox(-LargestSize)), m_tolerance(sizeBox(0.0)),
      m_repeats(countBox(studyrun::RepeatBounds, studyrun::DefaultRepeats)),
      m_parts(countBox(studyrun::PartBounds, studyrun::DefaultParts)),
      m_appraisers(countBox(studyrun::AppraiserBounds, studyrun::DefaultAppraisers)),
      m_trials(countBox(studyrun::TrialBounds, studyrun::DefaultTrials)), m_names(new QLineEdit),
      m_rrChannels(new QListWidget), m_spread(new QComboBox),
      m_start(new QPushButton(QStringLiteral("Start Study"))), m_unfinished(new QComboBox),
      m_continue(new QPushButton(QStringLiteral("Continue"))), m_message(new QLabel) {
    m_kind->addItem(QStringLiteral("Type 1: one reference part (Cg, Cgk)"));
    m_kind->addItem(QStringLiteral("Gauge R&R: parts × appraisers × trials"));

    auto *type1 = new QWidget;
    auto *type1Form = new QFormLayout(type1);
    type1Form->addRow(QStringLiteral("Channel:"), m_type1Channel);
    type1Form->addRow(QStringLiteral("Reference part's size:"), m_reference);
    type1Form->addRow(QStringLiteral("Tolerance (USL − LSL):"), m_tolerance);
    type1Form->addRow(QStringLiteral("Repeats:"), m_repeats);
    m_kindPages->addWidget(type1);

    auto *rr = new QWidget;
    auto *rrForm = new QFormLayout(rr);
    rrForm->addRow(QStringLiteral("Parts:"), m_parts);
    rrForm->addRow(QStringLiteral("Appraisers:"), m_appraisers);
    rrForm->addRow(QStringLiteral("Appraisers' names (comma between):"), m_names);
    rrForm->addRow(QStringLiteral("Trials:"), m_trials);
    rrForm->addRow(QStringLiteral("Channels:"), m_rrChannels);
    m_kindPages->addWidget(rr);

    m_spread->addItem(studies::spreadLabel(studies::Spread::SixSigma));
    m_spread->addItem(studies::spreadLabel(studies::Spread::FiveFifteenSigma));
    appraiserCountChanged(m_appraisers->value());

    auto *newStudy = new QGroupBox(QStringLiteral("New study"));
    auto *newLayout = new QFormLayout(newStudy);
    newLayout->addRow(QStringLiteral("Kind:"), m_kind);
    newLayout->addRow(m_kindPages);
    newLayout->addRow(QStringLiteral("Study variation:"), m_spread);
    newLayout->addRow(m_start);

    auto *unfinished = new QGroupBox(QStringLiteral("Unfinished studies"));
    auto *unfinishedLayout = new QHBoxLayout(unfinished);
    unfinishedLayout->addWidget(m_unfinished, 1);
    unfinishedLayout->addWidget(m_continue);

    m_message->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(newStudy);
    layout->addWidget(unfinished);
    layout->addWidget(m_message);
    layout->addStretch();

    connect(m_kind, &QComboBox::currentIndexChanged, m_kindPages, &QStackedWidget::setCurrentIndex);
    connect(m_type1Channel, &QComboBox::currentIndexChanged, this,
            &StudySetupPage::type1ChannelChosen);
    connect(m_appraisers, &QSpinBox::valueChanged, this, &StudySetupPage::appraiserCountChanged);
    connect(m_start, &QPushButton::clicked, this, &StudySetupPage::startAsked);
    connect(m_continue, &QPushButton::clicked, this, [this] {
        if (m_unfinished->currentIndex() >= 0)
            Q_EMIT continueAsked(m_unfinished->currentData().toLongLong());
    });
    setUnfinished({});
}

void StudySetupPage::setChannels(const std::vector<studyrun::SourceChannel> &channels) {
    m_channels = channels;
    m_type1Channel->clear();
    m_rrChannels->clear();
    for (const studyrun::SourceChannel &channel : channels) {
        m_type1Channel->addItem(channelText(channel));
        auto *item = new QListWidgetItem(channelText(channel), m_rrChannels);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(m_rrChannels->count() == 1 ? Qt::Checked : Qt::Unchecked);
    }
}

void StudySetupPage::setUnfinished(const std::vector<std::pair<qint64, QString>> &studies) {
    m_unfinished->clear();
    for (const auto &[id, line] : studies)
        m_unfinished->addItem(line, id);
    if (studies.empty())
        m_unfinished->addItem(QStringLiteral("None"));
    m_unfinished->setEnabled(!studies.empty());
    m_continue->setEnabled(!studies.empty());
}

void StudySetupPage::setMessage(const QString &text) {
    m_message->setText(text);
}

void StudySetupPage::type1ChannelChosen(int index) {
    if (index < 0 || index >= static_cast<int>(m_channels.size()))
        return;
    const studyrun::SourceChannel &channel = m_channels[static_cast<std::size_t>(index)];
    if (channel.tolerance)
        m_tolerance->setValue(*channel.tolerance);
}

// The names follow the count: those typed are kept, the missing ones are the next letters.
void StudySetupPage::appraiserCountChanged(int count) {
    QStringList names = m_names->text().split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString &name : names)
        name = name.trimmed();
    while (names.size() > count)
        names.removeLast();
    while (names.size() < count)
        names << studies::appraiserLabel(static_cast<int>(names.size()));
    m_names->setText(names.join(QStringLiteral(", ")));
}

measurelog::StudyChannelRecord
StudySetupPage::channelRecord(const studyrun::SourceChannel &channel) const {
    return {channel.number, channel.description, channel.decimals, channel.tolerance};
}

studyrun::StudyRecord StudySetupPage::study() const {
    studyrun::StudyRecord study;
    const bool type1 = m_kind->currentIndex() == 0;
    if (type1) {
        const int index = m_type1Channel->currentIndex();
        if (index >= 0 && index < static_cast<int>(m_channels.size())) {
            measurelog::StudyChannelRecord channel =
                channelRecord(m_channels[static_cast<std::size_t>(index)]);
            channel.tolerance = m_tolerance->value();
            study = studyrun::type1Study(channel, m_reference->value());
        } else {
            study = studyrun::type1Study({}, m_reference->value());
            study.channels.clear();
        }
        study.trials = m_repeats->value();
        return study;
    }
    std::vector<measurelog::StudyChannelRecord> channels;
    for (int row = 0; row < m_rrChannels->count(); ++row)
        if (m_rrChannels->item(row)->checkState() == Qt::Checked)
            channels.push_back(channelRecord(m_channels[static_cast<std::size_t>(row)]));
    study = studyrun::gaugeRrStudy(channels);
    study.parts = m_parts->value();
    study.appraisers = m_appraisers->value();
    study.trials = m_trials->value();
    study.appraiserNames.clear();
    for (const QString &name : m_names->text().split(QLatin1Char(',')))
        study.appraiserNames << name.trimmed();
    study.sigmaMultiplier = studies::spreadMultiplier(m_spread->currentIndex() == 0
                                                          ? studies::Spread::SixSigma
                                                          : studies::Spread::FiveFifteenSigma);
    return study;
}
