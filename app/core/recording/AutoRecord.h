#pragma once

#include "RecordingInput.h"

#include <vector>

// Auto Record: a part is recorded by itself once it sits in the fixture, and once only.
//
// A channel with limits "holds a part" while its reading lies within its tolerance limits'
// span widened on each side by the margin (a share of that span), so a reject close to the limits
// still counts while a probe at rest in an empty fixture does not. When every such channel of the
// view has held a part for the last N ticks, each moving by no more than the threshold (a share of
// its tolerance span) between its highest and lowest reading over them, the part is recorded.
// Then nothing more is recorded until a channel leaves its span: the part was taken out, and the
// rule is armed again.
//
// Channels without limits do not take part: they have no span to say whether a part is in. A
// channel whose formula keeps extremes (TIR, MAX, MIN) takes part like any other: after the
// fixture was emptied it holds the rest position until its extremes are reset, which keeps a
// part whose runout would include the empty fixture from being recorded. A view whose channels
// all lack limits is never recorded by itself.
namespace recording {

struct AutoRecordRule {
    int stableTicks = 5;    // N: ticks a part must have held still
    int stablePercent = 10; // highest minus lowest reading over them, % of the tolerance span
    int marginPercent = 50; // the span's widening on each side, % of the tolerance span

    bool operator==(const AutoRecordRule &) const = default;
};

class AutoRecord {
public:
    explicit AutoRecord(AutoRecordRule rule = {});

    const AutoRecordRule &rule() const { return m_rule; }
    // A new rule starts the count of still ticks afresh.
    void setRule(const AutoRecordRule &rule);

    // One tick of fresh readings of the view (Record is possible now). True when the part in the
    // fixture is to be recorded now; it then counts as recorded.
    bool takeTick(const RecordingView &view, const TickReadings &readings);
    // A tick without fresh readings (Record is not possible), or another view: the still ticks
    // start over, but a part already recorded stays recorded until it is seen to leave.
    void interrupt();
    // A part recorded by other means (F9): it is not recorded again while it stays in.
    void noteRecorded();

    // False after a part was recorded, until it is taken out.
    bool isArmed() const { return m_armed; }
    // Whether any channel of the view takes part in the rule.
    static bool canRecord(const RecordingView &view);

private:
    struct Span {
        double low = 0;
        double high = 0;
        double stillWithin = 0;
    };
    Span spanOf(const GaugeLimits &limits) const;

    AutoRecordRule m_rule;
    bool m_armed = true;
    // Per entry of the view, the last readings since the part came in (at most N of them).
    std::vector<std::vector<double>> m_history;
    std::vector<qint64> m_lastTick; // the tick of each entry's last reading in its history
};

} // namespace recording
