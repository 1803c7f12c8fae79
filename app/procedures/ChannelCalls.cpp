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

bool writeConstant(LinkSession &session, SetupSession &setup, const std::function<void()> &write) {
    const long failedBefore = session.FailedCalls;
    write();
    if (session.FailedCalls != failedBefore)
        return false;
    setup.SetupChanged = true;
    return true;
}
