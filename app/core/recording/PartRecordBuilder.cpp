#include "PartRecordBuilder.h"

#include "PartVerdicts.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace recording {

using measurelog::PartRecord;
using measurelog::ValueRecord;

PartRecordBuilder::PartRecordBuilder(RecordContext context) : m_context(std::move(context)) {}

PartRecord PartRecordBuilder::build(const RecordingView &view, const TickReadings &readings) const {
    PartRecord part;
    part.station = m_context.station;
    part.operatorName = m_context.operatorName;
    part.serialText = m_context.serialText;
    part.setupFile = m_context.setupFile;
    part.setupHash = m_context.setupHash;
    part.viewName = view.name;
    part.values.reserve(view.channels.size());
    const size_t count = std::min(view.channels.size(), readings.channels.size());
    for (size_t i = 0; i < count; ++i) {
        const ChannelSetup &setup = view.channels[i];
        if (setup.state == SetupState::Missing)
            continue;
        ValueRecord value;
        value.channel = setup.channel;
        value.description = setup.description;
        value.value = readings.channels[i].value.value_or(std::numeric_limits<double>::quiet_NaN());
        value.decimals = setup.decimals;
        value.nominal = setup.nominal;
        if (setup.limits) {
            value.lowTolerance = setup.limits->loTol;
            value.lowApproach = setup.limits->loAppr;
            value.highApproach = setup.limits->hiAppr;
            value.highTolerance = setup.limits->hiTol;
        }
        value.verdict = channelVerdict(value.value, setup.limits);
        part.values.push_back(std::move(value));
    }
    part.verdict = measurelog::worstVerdict(part.values);
    return part;
}

} // namespace recording
