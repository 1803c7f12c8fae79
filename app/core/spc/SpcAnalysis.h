#pragma once

#include "Capability.h"
#include "ControlLimits.h"
#include "Rules.h"
#include "SpcDataSource.h"
#include "SpcSeries.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// One channel's parts from a data source, charted: the subgroups, the control limits in force
// (frozen ones where stored, else those of the baseline, else the words saying how many subgroups
// they wait for), the rule violations against them and the capability figures. New parts are
// read and added one by one, so a channel with a million parts costs the same per new part as
// a short one; the SPC window, its report and the command-line export all work from this.
//
// Limits from the baseline are computed when the parts are loaded, when a setting changes and
// while they still wait for subgroups, not again with every new subgroup: limits that moved with
// the parts they judge would hide the very drift they are there to show.
namespace spc {

enum class BaselineChoice {
    FirstSubgroups,  // the first k subgroups of the parts
    LatestSubgroups, // the k newest subgroups (after a change to the process)
};

struct AnalysisSettings {
    int subgroupSize = DefaultSubgroupSize;
    int baselineSubgroups = DefaultBaselineSubgroups;
    BaselineChoice baseline = BaselineChoice::FirstSubgroups;
    // False: limits from the baseline even where frozen ones are stored.
    bool useFrozenLimits = true;
    RuleSet rules = RuleSet::standard();
    std::optional<qint64> sinceMs; // UTC milliseconds; parts recorded earlier are left out
    std::optional<qint64> untilMs; // and those recorded later
};

enum class LimitsOrigin {
    Pending,  // not enough subgroups yet: limits().pending says how many are needed
    Baseline, // computed from the baseline, not stored
    Frozen,   // stored, with the time they were set
};

// The parts from `part` on (an index among the analysed parts) were recorded with other limits
// than the part before.
struct LimitChange {
    std::size_t part = 0;
    PartLimits limits;
};

// What reading new parts changed.
struct Growth {
    std::size_t parts = 0;
    std::size_t subgroups = 0;
    std::size_t violations = 0; // new violations, at the end of ruleCheck().violations
    bool limitsChanged = false; // control limits (or their state) or every rule check changed
    bool toleranceChanged = false;
};

class SpcAnalysis {
public:
    SpcAnalysis(SpcDataSource &source, SpcChannel channel, AnalysisSettings settings = {});

    // Reads every part of the channel in the range afresh.
    bool load(QString *error);
    // The same in slices, so that a window stays responsive over a long history: startLoading
    // drops what is held, and each loadSlice reads up to `parts` more parts (0: all that are
    // left). Once a slice comes back short, the limits, rule checks and figures are worked out
    // over every part read and loaded() turns true. A slice that cannot be read ends the loading
    // as load() does, with the parts read so far.
    void startLoading();
    bool loadSlice(std::size_t parts, QString *error);
    bool loaded() const { return loaded_; }
    // A first look at a long history, to show while the whole of it is read: only what the newest
    // `subgroups` subgroups are charted from, read so that they are charted exactly as after a
    // full read (how many parts there are, the baseline's parts, those subgroups' parts and the
    // points the rules look back on before them). The subgroups between are held as NaN, and the
    // rules are checked on the newest `subgroups` subgroups alone; capability, the histogram's
    // parts, the earlier violations and the limit changes are those of the parts held, not of
    // the history: isPreview() says so. A history of at most `wholeUpTo` parts, or too short for a
    // first look to save anything, is read whole instead (loaded(), not a preview). A first look
    // that cannot be read leaves nothing held. Settings are changed once the whole history is in.
    bool loadPreview(std::size_t subgroups, std::size_t wholeUpTo, QString *error);
    bool isPreview() const { return preview_; }
    // Reads the parts recorded since the last read and adds them.
    bool readNewParts(Growth *growth, QString *error);

    // The parts held are grouped again; frozen limits are those stored for the new size.
    void setSubgroupSize(int size);
    void setBaseline(int subgroups, BaselineChoice choice);
    void setRules(const RuleSet &rules);
    // Computes the limits from the baseline as it stands and stores them, set at `now`.
    bool freezeLimits(const QDateTime &now, QString *error);

    const SpcChannel &channel() const { return channel_; }
    QString setupName() const { return source_.setupName(); }
    const AnalysisSettings &settings() const { return settings_; }
    const SpcSeries &series() const { return series_; }
    std::size_t partCount() const { return ids_.size(); }
    qint64 partId(std::size_t part) const { return ids_[part]; }
    qint64 partTimeMs(std::size_t part) const { return times_[part]; }
    std::size_t subgroupFirstPart(std::size_t subgroup) const;
    std::size_t subgroupLastPart(std::size_t subgroup) const;
    // A subgroup is complete, and dated, with its last part.
    qint64 subgroupTimeMs(std::size_t subgroup) const { return times_[subgroupLastPart(subgroup)]; }

    LimitsOrigin limitsOrigin() const { return origin_; }
    const LimitsResult &limits() const { return limits_; }
    // When the limits in force were frozen; none unless they are.
    std::optional<QDateTime> frozenAt() const;
    const RuleCheck &ruleCheck() const { return ruleCheck_; }
    Capability capability() const;

    // The limits recorded with the newest part, which the figures use.
    const PartLimits &newestLimits() const { return newest_; }
    const std::vector<LimitChange> &limitChanges() const { return changes_; }
    // The subgroup holding a change's first part (drawn there on the charts).
    std::size_t changeSubgroup(const LimitChange &change) const;

    // In words, for the window and the report.
    QString limitsText() const;
    QString limitChangeText() const; // empty without a change

private:
    void add(const RecordedPart &part);
    void skip(std::size_t subgroups);
    void finishLoading();
    bool read(const PartQuery &query, QString *error);
    Baseline baseline() const;
    void lookUpFrozen();
    void refreshLimits();
    void checkAll();
    PartQuery query() const;

    SpcDataSource &source_;
    SpcChannel channel_;
    AnalysisSettings settings_;
    SpcSeries series_;
    std::vector<qint64> ids_;
    std::vector<qint64> times_;
    PartLimits newest_;
    std::vector<LimitChange> changes_;
    qint64 lastId_ = 0;    // the last part read, a refused reading included
    bool follows_ = false; // the next part follows one held (it may bring a change of limits)
    bool loaded_ = false;
    bool preview_ = false;
    std::size_t checkedFrom_ = 0; // the first subgroup the rules are checked on
    std::optional<FrozenLimits> frozen_;
    LimitsOrigin origin_ = LimitsOrigin::Pending;
    LimitsResult limits_;
    RuleCheck ruleCheck_;
};

// A tolerance in words with the channel's decimals: "24.9900 to 25.0100", "up to 0.0200",
// "from 1.000", "none".
QString toleranceText(const Tolerance &tolerance, int decimals);
// The same with the nominal where there is one: "24.9900 to 25.0100, nominal 25.0000".
QString partLimitsText(const PartLimits &limits, int decimals);

// A recorded time as people read it (local time, to the second) and as files keep it (ISO 8601
// UTC with milliseconds).
QString localTimeText(qint64 timeMs);
QString utcTimeText(qint64 timeMs);

} // namespace spc
