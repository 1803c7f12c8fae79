#pragma once

#include "LinkSequence.h"

#include <functional>

class Channel;
struct LinkSession;
struct SetupSession;
struct UnitObjects;

// Calls on the unit through a channel object from a step of a sequence. Every failed library
// call is counted by the link error handler (which has also told the operator), so a step knows
// whether its exchange went through.

// Calls call on channel's object; false when a call failed or the channel no longer exists.
bool callChannel(LinkSession &session, UnitObjects &unit, int channel,
                 const std::function<void(Channel &)> &call);

// Runs write on channel; the setup counts as changed only when the unit took it. True when it did.
// A channel written so becomes part of the setup, so the next save keeps its new constants even
// when the unit, not a file or the channel dialog, defined it.
bool writeConstant(LinkSession &session, SetupSession &setup, Channel &channel,
                   const std::function<void(Channel &)> &write);

// Reset MAX/MIN: the unit forgets the maximum and minimum it kept for its channels. A sequence of
// one exchange, so a click while a load, save or press runs waits for its end. The answer is not
// examined: a failure has been reported by the link error handler.
LinkSequence resetMaxMinSequence(LinkSession &session);
