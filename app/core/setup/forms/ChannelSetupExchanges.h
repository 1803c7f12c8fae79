#pragma once

#include "ChannelSetupFields.h"
#include "LinkSequence.h"

#include <functional>
#include <memory>

struct LinkSession;
class SetupChanges;
struct UnitObjects;

// The channel setup dialog's exchanges as sequences, one request per step, through the channel
// object of the set. A step whose channel has left the set (the set shrank while it waited) ends
// the sequence; a request the unit refused has been reported by the link error handler and the
// sequence goes on with the next field, as the unit is the judge of a formula.
namespace setupforms {

// Reads channel `channel` into `into`, in the order the dialog shows it: formula, description,
// decimals (the station's), the two-masters flag, then master 1, master 2, scaling, zero, high
// tolerance, high approach, low approach, low tolerance, bar top and bar bottom. A read the link
// reports as failed (counted in `session`) puts its field into `into->unread`.
LinkSequence showChannelSequence(const UnitObjects &unit, const LinkSession &session, int channel,
                                 std::shared_ptr<ChannelDefinition> into);

// Programs channel `channel` with `definition`: description, formula (an empty one clears the
// channel), decimals (the station's), master 1, master 2, the two-masters flag, high tolerance,
// high approach, low approach, low tolerance, bar top, bar bottom, scaling, zero; last the channel
// is marked in use and the setup as changed.
LinkSequence programChannelSequence(const UnitObjects &unit, SetupChanges &setup, int channel,
                                    const ChannelDefinition &definition);

} // namespace setupforms
