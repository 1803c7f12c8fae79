#pragma once

#include "PartRecord.h"
#include "Payloads.h"

#include <QString>

// The measurement log's records as the plant link's documents.
namespace plantlink {

// A recorded part as its document: every field as the log keeps it, values, nominal and limits
// as the station showed them (rounded to the channel's decimals the way the gauges round). A part
// recorded without a station name carries `stationName`.
PartMessage partMessage(const measurelog::PartRecord &part, const QString &stationName);

// The part counter as its document. The yield is the share of parts not rejected, in per cent
// (0 while the counter holds no part); parts without limits count as not rejected.
CounterState counterState(const measurelog::Counters &counters);

} // namespace plantlink
