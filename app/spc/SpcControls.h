#pragma once

#include "Rules.h"
#include "SpcAnalysis.h"

#include <QWidget>

#include <map>

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QToolButton;

// What the engineer sets above the charts, in two rows: the subgroup size (the charts' kind
// beside it), the baseline the limits come from, which rules are checked and how many subgroups
// are shown; then where the limits stand (and whatever else the charts need said), freezing
// them, and the exports.
class SpcControls : public QWidget {
    Q_OBJECT

public:
    enum class Export { LocationPng, SpreadPng, HistogramPng, PdfReport, Csv };

    explicit SpcControls(QWidget *parent = nullptr);

    // Shows the settings without announcing them as changes.
    void showSettings(const spc::AnalysisSettings &settings);
    // The freeze button: "Freeze limits" until limits are frozen, then "Recalculate limits";
    // enabled when the baseline has its subgroups.
    void showLimits(bool frozen, bool computable);
    // Lines of text beside the freeze button.
    void showNotice(const QString &text);
    QString notice() const;

    int baselineSubgroups() const;
    spc::BaselineChoice baselineChoice() const;
    spc::RuleSet rules() const;
    // Subgroups shown at once; 0 for all of them.
    std::size_t span() const;

    QSpinBox *subgroupSize() const { return size_; }
    QSpinBox *baselineSize() const { return baseline_; }
    QComboBox *baselineChoiceBox() const { return choice_; }
    QComboBox *spanBox() const { return span_; }
    QPushButton *freezeButton() const { return freeze_; }
    QAction *ruleAction(spc::Rule rule) const { return rules_.at(rule); }

Q_SIGNALS:
    void subgroupSizeChanged(int size);
    void baselineChanged();
    void rulesChanged();
    void spanChanged();
    void freezeRequested();
    void exportRequested(SpcControls::Export what);

private:
    void showKind(int size);

    QSpinBox *size_;
    QLabel *kind_;
    QComboBox *choice_;
    QSpinBox *baseline_;
    QToolButton *rulesButton_;
    std::map<spc::Rule, QAction *> rules_;
    QComboBox *span_;
    QLabel *notice_;
    QPushButton *freeze_;
    QToolButton *export_;
};
