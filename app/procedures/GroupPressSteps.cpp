#include "GroupPressSteps.h"

#include "LinkSession.h"
#include "UnitObjects.h"

#include <functional>

using namespace procedures;

namespace {

// Reads a channel's value into its row; a read whose call failed leaves it empty.
void addValueRead(LinkSequence &sequence, const std::shared_ptr<GroupPress> &press, size_t row,
                  LinkSession &session, const UnitObjects &unit) {
    const int channel = press->rows[row].channel;
    sequence.add(
        QStringLiteral("channel %1 value").arg(channel), [press, row, channel, &session, &unit] {
            float value = 0;
            if (callChannel(session, unit, channel, [&](Channel &c) { value = c.Value(c.Index); }))
                press->readings[row] = value;
            return true;
        });
}

void addWrite(LinkSequence &sequence, const std::shared_ptr<GroupPress> &press, size_t row,
              bool scaling, LinkSession &session, const UnitObjects &unit, SetupChanges &setup) {
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

GroupRowReads readsOf(const GroupPress::Row &row, std::optional<double> reading,
                      const ChannelConstants &constants) {
    return {row.hasFormula,    row.usesTwoMasters, reading,          constants.zeroOffset,
            constants.scaling, constants.master1,  constants.master2};
}

} // namespace

void addGroupPressSteps(LinkSequence &sequence, const std::shared_ptr<GroupPress> &press,
                        LinkSession &session, const UnitObjects &unit, SetupChanges &setup) {
    const size_t count = press->rows.size();
    press->readings.assign(count, std::nullopt);
    press->constants.clear();
    for (size_t i = 0; i < count; ++i)
        press->constants.push_back(std::make_shared<ChannelConstants>());
    press->reads.assign(count, {});
    press->outcomes.assign(count, {});
    press->measurement1.resize(count);
    for (size_t i = 0; i < count; ++i) {
        if (press->rows[i].concerned)
            addValueRead(sequence, press, i, session, unit);
    }
    const bool secondPress = press->step == 2;
    for (size_t i = 0; i < count; ++i) {
        const GroupPress::Row &row = press->rows[i];
        if (!row.concerned)
            continue;
        const auto read = [&](std::initializer_list<ChannelConstant> which) {
            addConstantReads(sequence, session, unit, row.channel, which, press->constants[i],
                             OnFailedRead::ReadOn);
        };
        if (secondPress)
            read({ChannelConstant::ZeroOffset, ChannelConstant::Master1, ChannelConstant::Scaling,
                  ChannelConstant::Master2});
        else if (!press->mode.takesSecondMaster(row.usesTwoMasters))
            read({ChannelConstant::ZeroOffset, ChannelConstant::Master1});
    }
    sequence.add(QStringLiteral("new constants"), [press] {
        for (size_t i = 0; i < press->rows.size(); ++i) {
            if (!press->rows[i].concerned)
                continue;
            press->reads[i] = readsOf(press->rows[i], press->readings[i], *press->constants[i]);
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
