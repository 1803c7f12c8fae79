#include "GroupPressSteps.h"

#include "ChannelCalls.h"
#include "LinkSession.h"
#include "UnitObjects.h"

#include <functional>

using namespace procedures;

namespace {

using Value = std::optional<double> procedures::GroupRowReads::*;

// Reads one value of a channel into its row; a read whose call failed leaves it empty.
void addRead(LinkSequence &sequence, const std::shared_ptr<GroupPress> &press, size_t row,
             const char *what, Value into, float (*get)(const Channel &), LinkSession &session,
             UnitObjects &unit) {
    const int channel = press->rows[row].channel;
    sequence.add(QStringLiteral("channel %1 %2").arg(channel).arg(QLatin1String(what)),
                 [press, row, into, get, channel, &session, &unit] {
                     float value = 0;
                     if (callChannel(session, unit, channel, [&](Channel &c) { value = get(c); }))
                         press->reads[row].*into = value;
                     return true;
                 });
}

void addWrite(LinkSequence &sequence, const std::shared_ptr<GroupPress> &press, size_t row,
              bool scaling, LinkSession &session, UnitObjects &unit, SetupSession &setup) {
    const int channel = press->rows[row].channel;
    sequence.add(QStringLiteral("channel %1 new %2").arg(channel).arg(scaling ? "scaling" : "zero"),
                 [press, row, scaling, channel, &session, &unit, &setup] {
                     GroupRowOutcome &outcome = press->outcomes[row];
                     const std::optional<double> value =
                         scaling ? outcome.newScaling : outcome.newZero;
                     if (!value || outcome.fault != RowFault::None)
                         return true;
                     Channel *object = unit.channel(channel);
                     const bool written =
                         object && writeConstant(session, setup, *object, [&](Channel &c) {
                             if (scaling)
                                 c.setScaling(static_cast<float>(*value));
                             else
                                 c.setZeroOffset(static_cast<float>(*value));
                         });
                     if (!written)
                         outcome.fault = RowFault::WriteFailed;
                     return true;
                 });
}

} // namespace

void addGroupPressSteps(LinkSequence &sequence, const std::shared_ptr<GroupPress> &press,
                        LinkSession &session, UnitObjects &unit, SetupSession &setup) {
    const size_t count = press->rows.size();
    press->reads.assign(count, {});
    press->outcomes.assign(count, {});
    press->measurement1.resize(count);
    for (size_t i = 0; i < count; ++i) {
        press->reads[i].hasFormula = press->rows[i].hasFormula;
        press->reads[i].usesTwoMasters = press->rows[i].usesTwoMasters;
    }
    const auto read = [&](size_t i, const char *what, Value into, float (*get)(const Channel &)) {
        addRead(sequence, press, i, what, into, get, session, unit);
    };
    for (size_t i = 0; i < count; ++i) {
        if (press->rows[i].concerned)
            read(i, "value", &GroupRowReads::reading,
                 [](const Channel &c) { return c.Value(c.Index); });
    }
    const bool secondPress = press->step == 2;
    for (size_t i = 0; i < count; ++i) {
        if (!press->rows[i].concerned)
            continue;
        if (secondPress || !press->mode.takesSecondMaster(press->rows[i].usesTwoMasters)) {
            read(i, "zero", &GroupRowReads::zeroOffset,
                 [](const Channel &c) { return c.ZeroOffset(); });
            read(i, "master 1", &GroupRowReads::master1,
                 [](const Channel &c) { return c.Master1(); });
        }
        if (secondPress) {
            read(i, "scaling", &GroupRowReads::scaling,
                 [](const Channel &c) { return c.Scaling(); });
            read(i, "master 2", &GroupRowReads::master2,
                 [](const Channel &c) { return c.Master2(); });
        }
    }
    sequence.add(QStringLiteral("new constants"), [press] {
        for (size_t i = 0; i < press->rows.size(); ++i) {
            if (!press->rows[i].concerned)
                continue;
            press->outcomes[i] =
                press->step == 1
                    ? firstPressRow(press->reads[i], press->mode)
                    : secondPressRow(press->reads[i], press->measurement1[i], press->mode);
        }
        return true;
    });
    for (size_t i = 0; i < count; ++i) {
        if (!press->rows[i].concerned)
            continue;
        addWrite(sequence, press, i, false, session, unit, setup);
        addWrite(sequence, press, i, true, session, unit, setup);
    }
}
