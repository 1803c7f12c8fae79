#include "ChannelCalls.h"

#include "LinkSession.h"
#include "SetupSession.h"
#include "UnitObjects.h"

bool callChannel(LinkSession &session, UnitObjects &unit, int channel,
                 const std::function<void(Channel &)> &call) {
    Channel *object = unit.channel(channel);
    if (!object)
        return false;
    const long failedBefore = session.FailedCalls;
    call(*object);
    return session.FailedCalls == failedBefore;
}

bool writeConstant(LinkSession &session, SetupSession &setup, Channel &channel,
                   const std::function<void(Channel &)> &write) {
    const long failedBefore = session.FailedCalls;
    write(channel);
    if (session.FailedCalls != failedBefore)
        return false;
    channel.InUse = true;
    setup.SetupChanged = true;
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
