#include "SpcControls.h"

#include "SpcFigures.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

namespace {

// The rules in the order of the menu; a null entry is a separator.
constexpr std::array<std::optional<spc::Rule>, 10> RuleMenu{
    spc::Rule::BeyondLimits,
    spc::Rule::TwoOfThreeBeyondTwoSigma,
    spc::Rule::FourOfFiveBeyondOneSigma,
    spc::Rule::EightOnOneSide,
    spc::Rule::SpreadBeyondLimits,
    std::nullopt,
    spc::Rule::Nelson5,
    spc::Rule::Nelson6,
    spc::Rule::Nelson7,
    spc::Rule::Nelson8,
};

constexpr std::array<int, 4> Spans{100, 250, 1000, 0};
constexpr int LargestBaseline = 10000;

struct ExportEntry {
    SpcControls::Export what;
    const char *text;
};
constexpr std::array<ExportEntry, 5> ExportMenu{{
    {SpcControls::Export::LocationPng, "Location chart as PNG…"},
    {SpcControls::Export::SpreadPng, "Spread chart as PNG…"},
    {SpcControls::Export::HistogramPng, "Histogram as PNG…"},
    {SpcControls::Export::PdfReport, "Report as PDF…"},
    {SpcControls::Export::Csv, "Subgroups and figures as CSV…"},
}};

// The menu a button opens at a press.
QMenu *popupMenu(QToolButton &button, const QString &text) {
    button.setText(text);
    button.setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(&button);
    button.setMenu(menu);
    return menu;
}

QLabel *caption(const QString &text, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

SpcControls::SpcControls(QWidget *parent)
    : QWidget(parent), size_(new QSpinBox(this)), kind_(new QLabel(this)),
      choice_(new QComboBox(this)), baseline_(new QSpinBox(this)),
      rulesButton_(new QToolButton(this)), span_(new QComboBox(this)), notice_(new QLabel(this)),
      freeze_(new QPushButton(QStringLiteral("Freeze limits"), this)),
      export_(new QToolButton(this)) {
    size_->setObjectName(QStringLiteral("subgroupSize"));
    size_->setRange(1, spc::LargestSubgroupSize);
    size_->setToolTip(QStringLiteral("Consecutive parts in a subgroup: 1 charts individuals and "
                                     "moving ranges, 2 to 10 means and ranges, 11 to 25 means "
                                     "and standard deviations."));
    kind_->setMinimumWidth(kind_->fontMetrics().horizontalAdvance(QStringLiteral("X̄–MR ")));

    choice_->setObjectName(QStringLiteral("baselineChoice"));
    choice_->addItem(QStringLiteral("first"));
    choice_->addItem(QStringLiteral("latest"));
    baseline_->setObjectName(QStringLiteral("baselineSubgroups"));
    baseline_->setRange(spc::MinimumBaselineSubgroups, LargestBaseline);
    baseline_->setValue(spc::DefaultBaselineSubgroups);
    baseline_->setSuffix(QStringLiteral(" subgroups"));
    baseline_->setToolTip(QStringLiteral("The subgroups the control limits are computed from. "
                                         "Until that many exist the charts draw no limits."));

    QMenu *rulesMenu = popupMenu(*rulesButton_, QStringLiteral("Rules"));
    for (const std::optional<spc::Rule> &rule : RuleMenu) {
        if (!rule) {
            rulesMenu->addSeparator();
            continue;
        }
        QAction *action = rulesMenu->addAction(spc::ruleName(*rule));
        action->setCheckable(true);
        connect(action, &QAction::toggled, this, &SpcControls::rulesChanged);
        rules_[*rule] = action;
    }

    span_->setObjectName(QStringLiteral("span"));
    for (const int span : Spans)
        span_->addItem(span == 0 ? QStringLiteral("all subgroups")
                                 : QStringLiteral("last %1").arg(span));

    freeze_->setObjectName(QStringLiteral("freezeLimits"));
    freeze_->setToolTip(QStringLiteral("Computes the control limits from the baseline and keeps "
                                       "them with the channel, the setup and the subgroup size."));
    QMenu *exportMenu = popupMenu(*export_, QStringLiteral("Export"));
    for (const ExportEntry &entry : ExportMenu) {
        connect(exportMenu->addAction(QString::fromUtf8(entry.text)), &QAction::triggered, this,
                [this, what = entry.what] { Q_EMIT exportRequested(what); });
    }

    notice_->setObjectName(QStringLiteral("notice"));
    notice_->setWordWrap(true);
    notice_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *settings = new QHBoxLayout;
    settings->addWidget(caption(QStringLiteral("&Subgroup size"), size_, this));
    settings->addWidget(size_);
    settings->addWidget(kind_);
    settings->addSpacing(12);
    settings->addWidget(caption(QStringLiteral("&Baseline"), choice_, this));
    settings->addWidget(choice_);
    settings->addWidget(baseline_);
    settings->addSpacing(12);
    settings->addWidget(caption(QStringLiteral("S&how"), span_, this));
    settings->addWidget(span_);
    settings->addSpacing(12);
    settings->addWidget(rulesButton_);
    settings->addStretch(1);
    auto *limits = new QHBoxLayout;
    limits->addWidget(notice_, 1);
    limits->addWidget(freeze_, 0, Qt::AlignTop);
    limits->addWidget(export_, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(settings);
    layout->addLayout(limits);

    connect(size_, &QSpinBox::valueChanged, this, [this](int size) {
        showKind(size);
        Q_EMIT subgroupSizeChanged(size);
    });
    connect(baseline_, &QSpinBox::valueChanged, this, &SpcControls::baselineChanged);
    connect(choice_, &QComboBox::currentIndexChanged, this, &SpcControls::baselineChanged);
    connect(span_, &QComboBox::currentIndexChanged, this, &SpcControls::spanChanged);
    connect(freeze_, &QPushButton::clicked, this, &SpcControls::freezeRequested);
}

void SpcControls::showSettings(const spc::AnalysisSettings &settings) {
    const QSignalBlocker blockSize(size_);
    const QSignalBlocker blockBaseline(baseline_);
    const QSignalBlocker blockChoice(choice_);
    size_->setValue(settings.subgroupSize);
    showKind(settings.subgroupSize);
    baseline_->setValue(settings.baselineSubgroups);
    choice_->setCurrentIndex(settings.baseline == spc::BaselineChoice::FirstSubgroups ? 0 : 1);
    for (const auto &[rule, action] : rules_) {
        const QSignalBlocker blockRule(action);
        action->setChecked(settings.rules.has(rule));
    }
}

void SpcControls::showLimits(bool frozen, bool computable) {
    freeze_->setText(frozen ? QStringLiteral("Recalculate limits")
                            : QStringLiteral("Freeze limits"));
    freeze_->setEnabled(computable);
}

void SpcControls::showNotice(const QString &text) {
    notice_->setText(text);
}

QString SpcControls::notice() const {
    return notice_->text();
}

void SpcControls::showKind(int size) {
    kind_->setText(spc::chartNames(spc::defaultChartKind(size)).pair);
}

int SpcControls::baselineSubgroups() const {
    return baseline_->value();
}

spc::BaselineChoice SpcControls::baselineChoice() const {
    return choice_->currentIndex() == 0 ? spc::BaselineChoice::FirstSubgroups
                                        : spc::BaselineChoice::LatestSubgroups;
}

spc::RuleSet SpcControls::rules() const {
    spc::RuleSet rules;
    for (const auto &[rule, action] : rules_)
        rules.set(rule, action->isChecked());
    return rules;
}

std::size_t SpcControls::span() const {
    return static_cast<std::size_t>(Spans[static_cast<std::size_t>(span_->currentIndex())]);
}
