#include "ChannelSetupExchanges.h"

#include "LinkSession.h"
#include "MeasurementObjects.h"
#include "SetupSession.h"
#include "UnitObjects.h"

namespace setupforms {

namespace {

struct NumberProperty {
    ChannelNumber which;
    const char *what;
    float (Channel::*read)() const;
    void (Channel::*write)(float);
};

// In the order the dialog shows them.
const NumberProperty ShownNumbers[] = {
    {ChannelNumber::Master1, "master 1", &Channel::Master1, &Channel::setMaster1},
    {ChannelNumber::Master2, "master 2", &Channel::Master2, &Channel::setMaster2},
    {ChannelNumber::Scaling, "scaling", &Channel::Scaling, &Channel::setScaling},
    {ChannelNumber::Zero, "zero", &Channel::ZeroOffset, &Channel::setZeroOffset},
    {ChannelNumber::HiTol, "high tolerance", &Channel::HiTol, &Channel::setHiTol},
    {ChannelNumber::HiAppr, "high approach", &Channel::HiAppr, &Channel::setHiAppr},
    {ChannelNumber::LoAppr, "low approach", &Channel::LoAppr, &Channel::setLoAppr},
    {ChannelNumber::LoTol, "low tolerance", &Channel::LoTol, &Channel::setLoTol},
    {ChannelNumber::BarTop, "bar top", &Channel::BarDisplayTop, &Channel::setBarDisplayTop},
    {ChannelNumber::BarBot, "bar bottom", &Channel::BarDisplayBot, &Channel::setBarDisplayBot},
};

const NumberProperty &property(ChannelNumber which) {
    return ShownNumbers[static_cast<size_t>(which)];
}

// The values programmed after the two-masters flag, in the order they go to the unit.
const ChannelNumber LimitsScaleAndZero[] = {
    ChannelNumber::HiTol,  ChannelNumber::HiAppr, ChannelNumber::LoAppr,  ChannelNumber::LoTol,
    ChannelNumber::BarTop, ChannelNumber::BarBot, ChannelNumber::Scaling, ChannelNumber::Zero,
};

// Adds a step that runs `work` on the channel while it is still in the set.
template <typename Work>
void addStep(LinkSequence &sequence, const UnitObjects &unit, int channel, const QString &what,
             Work work) {
    sequence.add(QStringLiteral("Channel %1: %2").arg(channel).arg(what), [&unit, channel, work] {
        Channel *object = unit.channel(channel);
        if (!object)
            return false;
        work(*object);
        return true;
    });
}

} // namespace

LinkSequence showChannelSequence(const UnitObjects &unit, const LinkSession &session, int channel,
                                 std::shared_ptr<ChannelDefinition> into) {
    LinkSequence sequence(QStringLiteral("Channel %1: read").arg(channel));
    // Each read notes its field as unread when the link reports it failed.
    const auto reading = [failures = &session.FailedCalls, into](ChannelField field, auto read) {
        return [failures, into, field, read](Channel &c) {
            const long failedBefore = *failures;
            read(c);
            if (*failures != failedBefore)
                into->unread.insert(field);
        };
    };
    addStep(sequence, unit, channel, QStringLiteral("formula"),
            reading(ChannelField::Formula, [into](Channel &c) { into->formula = c.Formula(); }));
    addStep(sequence, unit, channel, QStringLiteral("description"),
            reading(ChannelField::Description, [into](Channel &c) {
                into->description = c.Description();
                into->decimals = c.Decimals;
            }));
    addStep(sequence, unit, channel, QStringLiteral("two masters"),
            reading(ChannelField::UseTwoMasters,
                    [into](Channel &c) { into->useTwoMasters = c.UseTwoMasters(); }));
    for (const NumberProperty &p : ShownNumbers)
        addStep(sequence, unit, channel, QLatin1String(p.what),
                reading(fieldOf(p.which),
                        [into, p](Channel &c) { into->number(p.which) = (c.*p.read)(); }));
    return sequence;
}

LinkSequence programChannelSequence(const UnitObjects &unit, SetupChanges &setup, int channel,
                                    const ChannelDefinition &definition) {
    LinkSequence sequence(QStringLiteral("Channel %1: program").arg(channel));
    const auto d = std::make_shared<const ChannelDefinition>(definition);
    addStep(sequence, unit, channel, QStringLiteral("description"),
            [d](Channel &c) { c.setDescription(d->description); });
    addStep(sequence, unit, channel, QStringLiteral("formula"), [d](Channel &c) {
        c.setFormula(d->formula);
        // The decimals stay in the station: no exchange of their own.
        c.Decimals = static_cast<int16_t>(d->decimals);
    });
    for (const ChannelNumber which : {ChannelNumber::Master1, ChannelNumber::Master2}) {
        const NumberProperty &p = property(which);
        addStep(sequence, unit, channel, QLatin1String(p.what),
                [d, p](Channel &c) { (c.*p.write)(d->number(p.which)); });
    }
    addStep(sequence, unit, channel, QStringLiteral("two masters"),
            [d](Channel &c) { c.setUseTwoMasters(d->useTwoMasters); });
    for (const ChannelNumber which : LimitsScaleAndZero) {
        const NumberProperty &p = property(which);
        addStep(sequence, unit, channel, QLatin1String(p.what),
                [d, p](Channel &c) { (c.*p.write)(d->number(p.which)); });
    }
    addStep(sequence, unit, channel, QStringLiteral("in use"), [&setup](Channel &c) {
        c.InUse = true;
        setup.markSetupChanged();
    });
    return sequence;
}

} // namespace setupforms
