#pragma once

#include "LinkSequence.h"

#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

class Channel;
class SetupChanges;
struct LinkSession;
struct UnitObjects;

// Calls on the unit through a channel object from a step of a sequence. Every failed library
// call is counted by the link error handler (which has also told the operator), so a step knows
// whether its exchange went through.

// Calls call on channel's object; false when a call failed or the channel no longer exists.
bool callChannel(LinkSession &session, const UnitObjects &unit, int channel,
                 const std::function<void(Channel &)> &call);

// Runs write on channel; the setup counts as changed only when the unit took it. True when it did.
// A channel written so becomes part of the setup, so the next save keeps its new constants even
// when the unit, not a file or the channel dialog, defined it.
bool writeConstant(LinkSession &session, SetupChanges &setup, Channel &channel,
                   const std::function<void(Channel &)> &write);

// Reset MAX/MIN: the unit forgets the maximum and minimum it kept for its channels. A sequence of
// one exchange, so a click while a load, save or press runs waits for its end. The answer is not
// examined: a failure has been reported by the link error handler.
LinkSequence resetMaxMinSequence(LinkSession &session);

// A channel's constants as the mastering procedures read them from the unit; a value stays empty
// until its read went through.
struct ChannelConstants {
    std::optional<QString> formula;
    std::optional<QString> description;
    std::optional<double> master1;
    std::optional<bool> usesTwoMasters;
    std::optional<double> master2;
    std::optional<double> zeroOffset;
    std::optional<double> scaling;
    // A read of this record failed (or the channel went away).
    bool failed = false;

    bool hasFormula() const { return formula && !formula->isEmpty(); }
};

enum class ChannelConstant {
    Formula,
    Description,
    Master1,
    UsesTwoMasters,
    Master2,
    ZeroOffset,
    Scaling
};

// What a failed read of the constants does to the rest of the sequence.
enum class OnFailedRead {
    StopSequence, // the sequence ends there (a press or preparation of one channel)
    SkipChannel,  // the channel's later reads are not made; the sequence goes on with the next
    ReadOn,       // every read is made; a failed one stays empty
};

// Adds one step per constant of `which`, in that order, reading `channel`'s constants into `into`.
// This is the one way the procedures read a channel's constants.
void addConstantReads(LinkSequence &sequence, LinkSession &session, const UnitObjects &unit,
                      int channel, std::initializer_list<ChannelConstant> which,
                      const std::shared_ptr<ChannelConstants> &into, OnFailedRead onFailure);
