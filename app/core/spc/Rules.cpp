#include "Rules.h"

#include "SpcTexts.h"

#include <algorithm>
#include <cmath>

namespace spc {

namespace {

// The lines at 0σ to 3σ above and below the centre; the 3σ lines are the limits themselves, so a
// point is beyond 3σ exactly when it is beyond a drawn limit.
struct Zones {
    std::array<double, 4> above{};
    std::array<double, 4> below{};

    explicit Zones(const ChartLines &lines) {
        const double sigmaAbove = (lines.upper - lines.centre) / 3.0;
        const double sigmaBelow = (lines.centre - lines.lower) / 3.0;
        for (int k = 0; k < 3; ++k) {
            above[static_cast<std::size_t>(k)] = lines.centre + k * sigmaAbove;
            below[static_cast<std::size_t>(k)] = lines.centre - k * sigmaBelow;
        }
        above[3] = lines.upper;
        below[3] = lines.lower;
    }

    // +1 beyond the kσ line above, −1 beyond the one below, 0 otherwise (on a line included).
    int beyond(double x, int k) const {
        if (x > above[static_cast<std::size_t>(k)])
            return 1;
        if (x < below[static_cast<std::size_t>(k)])
            return -1;
        return 0;
    }
    bool within(double x, int k) const {
        return x < above[static_cast<std::size_t>(k)] && x > below[static_cast<std::size_t>(k)];
    }
};

// `needed` of the last `window` points beyond kσ on the side of the last one. Near the start a
// shorter window is enough: the pattern is there whatever the missing points would have been.
struct CountRule {
    Rule rule;
    int needed;
    int window;
    int sigmas;
};
constexpr std::array CountRules{
    CountRule{Rule::BeyondLimits, 1, 1, 3},
    CountRule{Rule::TwoOfThreeBeyondTwoSigma, 2, 3, 2},
    CountRule{Rule::FourOfFiveBeyondOneSigma, 4, 5, 1},
    CountRule{Rule::Nelson5, 2, 3, 2},
    CountRule{Rule::Nelson6, 4, 5, 1},
};

enum class Run {
    OneSide,     // every point on the last one's side of the centre
    WithinOne,   // every point within 1σ
    OutsideBoth, // every point beyond 1σ, on both sides together
};
struct RunRule {
    Rule rule;
    int length;
    Run run;
};
constexpr std::array RunRules{
    RunRule{Rule::EightOnOneSide, 8, Run::OneSide},
    RunRule{Rule::Nelson7, 15, Run::WithinOne},
    RunRule{Rule::Nelson8, 8, Run::OutsideBoth},
};

constexpr bool withinLongestPattern() {
    for (const CountRule &rule : CountRules) {
        if (static_cast<std::size_t>(rule.window) > LongestPattern)
            return false;
    }
    for (const RunRule &rule : RunRules) {
        if (static_cast<std::size_t>(rule.length) > LongestPattern)
            return false;
    }
    return true;
}
static_assert(withinLongestPattern(), "a rule reaches further back than LongestPattern");

bool completesCount(std::span<const double> x, std::size_t i, const Zones &zones,
                    const CountRule &rule) {
    const int side = zones.beyond(x[i], rule.sigmas);
    if (side == 0)
        return false;
    const std::size_t first = i + 1 >= static_cast<std::size_t>(rule.window)
                                  ? i + 1 - static_cast<std::size_t>(rule.window)
                                  : 0;
    const auto count = std::count_if(x.begin() + static_cast<std::ptrdiff_t>(first),
                                     x.begin() + static_cast<std::ptrdiff_t>(i) + 1, [&](double v) {
                                         return zones.beyond(v, rule.sigmas) == side;
                                     });
    return count >= rule.needed;
}

bool completesRun(std::span<const double> x, std::size_t i, const Zones &zones,
                  const RunRule &rule) {
    const auto length = static_cast<std::size_t>(rule.length);
    if (i + 1 < length)
        return false;
    const std::span<const double> run = x.subspan(i + 1 - length, length);
    switch (rule.run) {
    case Run::OneSide: {
        const int side = zones.beyond(x[i], 0);
        return side != 0 && std::all_of(run.begin(), run.end(),
                                        [&](double v) { return zones.beyond(v, 0) == side; });
    }
    case Run::WithinOne:
        return std::all_of(run.begin(), run.end(), [&](double v) { return zones.within(v, 1); });
    case Run::OutsideBoth:
        break;
    }
    bool up = false;
    bool down = false;
    for (const double v : run) {
        const int side = zones.beyond(v, 1);
        if (side == 0)
            return false;
        (side > 0 ? up : down) = true;
    }
    return up && down;
}

bool finite(const ChartLines &lines) {
    return std::isfinite(lines.lower) && std::isfinite(lines.centre) && std::isfinite(lines.upper);
}

} // namespace

RuleSet RuleSet::standard() {
    RuleSet rules;
    for (const Rule rule :
         {Rule::BeyondLimits, Rule::TwoOfThreeBeyondTwoSigma, Rule::FourOfFiveBeyondOneSigma,
          Rule::EightOnOneSide, Rule::SpreadBeyondLimits})
        rules.set(rule, true);
    return rules;
}

RuleSet &RuleSet::set(Rule rule, bool on) {
    on_[static_cast<std::size_t>(rule)] = on;
    return *this;
}

RuleCheck checkRules(std::span<const double> location, std::span<const double> spread,
                     const LimitValues &limits, const RuleSet &rules, std::size_t from) {
    RuleCheck check;
    const auto notChecked = [&check](QString reason) {
        check.state = RuleCheckState::NotChecked;
        check.reason = std::move(reason);
        return check;
    };
    const ChartLines &lines = limits.location;
    if (finite(lines) && lines.lower == lines.centre && lines.centre == lines.upper)
        return notChecked(texts::zeroSigmaRules());
    if (!finite(lines) || !finite(limits.spread) || !(lines.lower < lines.centre) ||
        !(lines.centre < lines.upper))
        return notChecked(texts::unusableLimits());

    const Zones zones(lines);
    const std::size_t count = std::max(location.size(), spread.size());
    for (std::size_t i = from; i < count; ++i) {
        std::array<bool, RuleCount> found{};
        if (i < location.size()) {
            for (const CountRule &rule : CountRules)
                found[static_cast<std::size_t>(rule.rule)] =
                    rules.has(rule.rule) && completesCount(location, i, zones, rule);
            for (const RunRule &rule : RunRules)
                found[static_cast<std::size_t>(rule.rule)] =
                    rules.has(rule.rule) && completesRun(location, i, zones, rule);
        }
        if (i < spread.size() && rules.has(Rule::SpreadBeyondLimits))
            found[static_cast<std::size_t>(Rule::SpreadBeyondLimits)] =
                spread[i] > limits.spread.upper || spread[i] < limits.spread.lower;
        for (std::size_t r = 0; r < RuleCount; ++r) {
            if (found[r])
                check.violations.push_back({static_cast<Rule>(r), i});
        }
    }
    return check;
}

QString ruleName(Rule rule) {
    switch (rule) {
    case Rule::BeyondLimits:
        return QStringLiteral("WE 1: a point beyond 3σ");
    case Rule::TwoOfThreeBeyondTwoSigma:
        return QStringLiteral("WE 2: two of three beyond 2σ on one side");
    case Rule::FourOfFiveBeyondOneSigma:
        return QStringLiteral("WE 3: four of five beyond 1σ on one side");
    case Rule::EightOnOneSide:
        return QStringLiteral("WE 4: eight in a row on one side of the centre");
    case Rule::Nelson5:
        return QStringLiteral("Nelson 5: two of three beyond 2σ on one side");
    case Rule::Nelson6:
        return QStringLiteral("Nelson 6: four of five beyond 1σ on one side");
    case Rule::Nelson7:
        return QStringLiteral("Nelson 7: fifteen in a row within 1σ");
    case Rule::Nelson8:
        return QStringLiteral("Nelson 8: eight in a row beyond 1σ on both sides");
    case Rule::SpreadBeyondLimits:
        break;
    }
    return QStringLiteral("Spread 1: a point beyond its limits");
}

} // namespace spc
