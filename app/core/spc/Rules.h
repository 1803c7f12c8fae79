#pragma once

#include "ControlLimits.h"

#include <QString>

#include <array>
#include <span>
#include <vector>

// Tests for special causes on a pair of charts judged against frozen limits. The zones are cut by
// lines at 1σ, 2σ and 3σ (the control limits) from the centre, σ being that of the plotted
// statistic. "Beyond" a line means strictly beyond it: a point exactly on a line counts as on
// neither side of it (nor within the zone the line closes), and a point on the centre line is on
// neither side of the centre. A pattern is flagged at the point that completes it, and only when
// that point itself lies in the pattern's zone; each later point that completes the pattern
// again is flagged too.
namespace spc {

enum class Rule {
    BeyondLimits,             // Western Electric 1: a point beyond 3σ
    TwoOfThreeBeyondTwoSigma, // Western Electric 2: two of three in a row beyond 2σ, one side
    FourOfFiveBeyondOneSigma, // Western Electric 3: four of five in a row beyond 1σ, one side
    EightOnOneSide,           // Western Electric 4: eight in a row on one side of the centre
    Nelson5,                  // two of three beyond 2σ, one side (Western Electric 2's pattern)
    Nelson6,                  // four of five beyond 1σ, one side (Western Electric 3's pattern)
    Nelson7,                  // fifteen in a row within 1σ, either side
    Nelson8,                  // eight in a row beyond 1σ, on both sides
    SpreadBeyondLimits,       // on the range, S or moving range chart: a point beyond its limits
};
inline constexpr std::size_t RuleCount = 9;
// The most points any pattern spans, the point that completes it included: a point's verdicts
// depend on it and the points this far back, no further.
inline constexpr std::size_t LongestPattern = 15;

class RuleSet {
public:
    // Western Electric 1–4 on the location chart and the spread chart's limits.
    static RuleSet standard();

    RuleSet &set(Rule rule, bool on);
    bool has(Rule rule) const { return on_[static_cast<std::size_t>(rule)]; }

    bool operator==(const RuleSet &) const = default;

private:
    std::array<bool, RuleCount> on_{};
};

struct Violation {
    Rule rule = Rule::BeyondLimits;
    std::size_t subgroup = 0;

    bool operator==(const Violation &) const = default;
};

enum class RuleCheckState {
    Checked,
    NotChecked, // σ = 0 or limits that are not numbers; the reason says which
};

struct RuleCheck {
    RuleCheckState state = RuleCheckState::Checked;
    QString reason;
    std::vector<Violation> violations; // by subgroup, then in the order of Rule
};

// Checks the points from subgroup `from` on (earlier points are read as the patterns need them),
// so a new subgroup is checked without going over the whole series again. `location` and `spread`
// are one entry per subgroup; a spread that is NaN (the first part of an individuals chart) is
// not checked.
RuleCheck checkRules(std::span<const double> location, std::span<const double> spread,
                     const LimitValues &limits, const RuleSet &rules, std::size_t from = 0);

// "WE 1: a point beyond 3σ" and the like, for the list of violations.
QString ruleName(Rule rule);

} // namespace spc
