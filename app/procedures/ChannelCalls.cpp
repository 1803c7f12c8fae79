#include "ChannelCalls.h"

#include "LinkSession.h"
#include "SetupSession.h"
#include "UnitObjects.h"

#include <algorithm>
#include <iterator>

namespace {

// How each constant is read through the channel object and where it goes in the record.
struct ConstantRead {
    ChannelConstant constant;
    const char *what;
    void (*read)(const Channel &, ChannelConstants &);
};

constexpr ConstantRead ConstantReads[] = {
    {ChannelConstant::Formula, "formula",
     [](const Channel &c, ChannelConstants &k) {
         k.formula = c.Formula();
     }},
    {ChannelConstant::Description, "description",
     [](const Channel &c, ChannelConstants &k) {
         k.description = c.Description();
     }},
    {ChannelConstant::Master1, "master 1",
     [](const Channel &c, ChannelConstants &k) {
         k.master1 = c.Master1();
     }},
    {ChannelConstant::UsesTwoMasters, "two masters",
     [](const Channel &c, ChannelConstants &k) {
         k.usesTwoMasters = c.UseTwoMasters();
     }},
    {ChannelConstant::Master2, "master 2",
     [](const Channel &c, ChannelConstants &k) {
         k.master2 = c.Master2();
     }},
    {ChannelConstant::ZeroOffset, "zero",
     [](const Channel &c, ChannelConstants &k) {
         k.zeroOffset = c.ZeroOffset();
     }},
    {ChannelConstant::Scaling, "scaling",
     [](const Channel &c, ChannelConstants &k) {
         k.scaling = c.Scaling();
     }},
};

const ConstantRead &readOf(ChannelConstant constant) {
    return *std::find_if(std::begin(ConstantReads), std::end(ConstantReads),
                         [constant](const ConstantRead &r) { return r.constant == constant; });
}

} // namespace

bool callChannel(LinkSession &session, const UnitObjects &unit, int channel,
                 const std::function<void(Channel &)> &call) {
    Channel *object = unit.channel(channel);
    if (!object)
        return false;
    const long failedBefore = session.FailedCalls;
    call(*object);
    return session.FailedCalls == failedBefore;
}

bool writeConstant(LinkSession &session, SetupChanges &setup, Channel &channel,
                   const std::function<void(Channel &)> &write) {
    const long failedBefore = session.FailedCalls;
    write(channel);
    if (session.FailedCalls != failedBefore)
        return false;
    channel.InUse = true;
    setup.markSetupChanged();
    return true;
}

LinkSequence resetMaxMinSequence(LinkSession &session) {
    LinkSequence sequence(QStringLiteral("Reset MAX/MIN"));
    sequence.add(QStringLiteral("reset max/min"), [&session] {
        session.link.QorResetMM(session.LinkHandle);
        return true;
    });
    return sequence;
}

void addConstantReads(LinkSequence &sequence, LinkSession &session, const UnitObjects &unit,
                      int channel, std::initializer_list<ChannelConstant> which,
                      const std::shared_ptr<ChannelConstants> &into, OnFailedRead onFailure) {
    for (const ChannelConstant constant : which) {
        const ConstantRead &read = readOf(constant);
        sequence.add(
            QStringLiteral("channel %1 %2").arg(channel).arg(QLatin1String(read.what)),
            [&session, &unit, channel, into, onFailure, get = read.read] {
                if (into->failed && onFailure == OnFailedRead::SkipChannel)
                    return true;
                // A read that failed leaves its value empty.
                ChannelConstants taken = *into;
                if (callChannel(session, unit, channel, [&](Channel &c) { get(c, taken); })) {
                    *into = std::move(taken);
                    return true;
                }
                into->failed = true;
                return onFailure != OnFailedRead::StopSequence;
            });
    }
}
