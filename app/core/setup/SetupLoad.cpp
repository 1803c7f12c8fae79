#include "SetupLoad.h"

#include "MeasurementObjects.h"
#include "SetupSession.h"
#include "SetupWindows.h"
#include "UnitLimits.h"
#include "UnitObjects.h"
#include "ViewState.h"

#include <memory>
#include <variant>

using namespace setupfile;

namespace {

// A channel value after the two-masters flag, in file order, and the property it is assigned to.
struct ChannelSingle {
    const char *what;
    float ChannelRecord::*value;
    void (Channel::*assign)(float);
};

const ChannelSingle ChannelLimitsAndScale[] = {
    {"high tolerance", &ChannelRecord::hiTol, &Channel::setHiTol},
    {"high approach", &ChannelRecord::hiAppr, &Channel::setHiAppr},
    {"low approach", &ChannelRecord::loAppr, &Channel::setLoAppr},
    {"low tolerance", &ChannelRecord::loTol, &Channel::setLoTol},
    {"scaling", &ChannelRecord::scaling, &Channel::setScaling},
    {"zero offset", &ChannelRecord::zeroOffset, &Channel::setZeroOffset},
    {"bar top", &ChannelRecord::barDisplayTop, &Channel::setBarDisplayTop},
    {"bar bottom", &ChannelRecord::barDisplayBot, &Channel::setBarDisplayBot},
};

// Builds the steps of one load. Each step makes at most one exchange; a failed exchange has been
// reported by the link error handler and the load goes on, as it always has. A step stops the
// load only when the object a record names is missing, which the reader's checks rule out.
class LoadPlan {
public:
    LoadPlan(const SetupParts &parts, LinkSequence &sequence)
        : m_parts(parts), m_sequence(sequence), m_steps(parts, sequence) {}

    void add(const SetupEntry &entry) {
        std::visit([this](const auto &what) { apply(what); }, entry.what);
    }

    SetupSteps &steps() { return m_steps; }

private:
    void apply(const GeneralEntry &entry) {
        const int value = entry.value;
        switch (entry.item) {
        case GeneralItem::MaxChannel:
            // The channel count goes to the unit twice: once from resizing the set, once more
            // from the item itself.
            m_steps.CreateChannels(value);
            m_steps.assignChannelCount(value);
            break;
        case GeneralItem::MaxLvdt:
            m_steps.CreateLVDTs(value);
            m_steps.assignProbeCount(value);
            break;
        case GeneralItem::MaxAnalog:
            m_steps.CreateAnalogs(value);
            break;
        case GeneralItem::MaxDigital:
            m_steps.station(QStringLiteral("Digital input count"), [p = m_parts, value] {
                p.unit.MaxDigital = static_cast<int16_t>(value);
            });
            break;
        case GeneralItem::MaxStrain:
            break;
        case GeneralItem::Decimals:
            m_steps.station(QStringLiteral("Decimals"), [p = m_parts, value] {
                p.unit.SystemDecimals = static_cast<int16_t>(value);
            });
            break;
        }
    }

    void apply(const WindowEntry &entry) {
        for (size_t side = 0; side < entry.values.size(); ++side)
            m_parts.view.WindowLayout[static_cast<size_t>(entry.section) * 4 + side] =
                entry.values[side];
    }

    void apply(const ChannelEntry &entry) {
        const auto record = std::make_shared<const ChannelRecord>(entry.record);
        const int n = record->index;
        channelStep(n, QStringLiteral("description"), [record, n](Channel &channel) {
            channel.Index = static_cast<int16_t>(n);
            channel.InUse = true;
            channel.setDescription(record->description);
        });
        channelStep(n, QStringLiteral("formula"),
                    [record](Channel &channel) { channel.setFormula(record->formula); });
        channelStep(n, QStringLiteral("master 1"), [record](Channel &channel) {
            channel.Decimals = record->decimals;
            channel.Units = record->units;
            channel.setMaster1(record->master1);
        });
        channelStep(n, QStringLiteral("master 2"),
                    [record](Channel &channel) { channel.setMaster2(record->master2); });
        channelStep(n, QStringLiteral("two masters"), [record](Channel &channel) {
            channel.setUseTwoMasters(record->useTwoMasters);
        });
        for (const ChannelSingle &single : ChannelLimitsAndScale) {
            channelStep(n, QLatin1String(single.what), [record, single](Channel &channel) {
                (channel.*single.assign)((*record).*single.value);
            });
        }
    }

    void apply(const ProbeEntry &entry) {
        const InputRecord record = entry.record;
        const QString what = QStringLiteral("Probe %1: ").arg(record.index);
        m_sequence.add(what + QStringLiteral("full scale"), [p = m_parts, record] {
            Lvdt *probe = p.unit.lvdt(record.index);
            if (!probe)
                return false;
            probe->Index = record.index;
            probe->Description = record.description;
            probe->setFullScale(record.fullScale);
            return true;
        });
        m_sequence.add(what + QStringLiteral("zero offset"), [p = m_parts, record] {
            Lvdt *probe = p.unit.lvdt(record.index);
            if (!probe)
                return false;
            probe->setZeroOffset(record.zeroOffset);
            return true;
        });
    }

    void apply(const AnalogEntry &entry) {
        const InputRecord record = entry.record;
        const QString what = QStringLiteral("Analog input %1: ").arg(record.index);
        m_sequence.add(what + QStringLiteral("full scale"), [p = m_parts, record] {
            analog *input = p.unit.analogInput(record.index);
            if (!input)
                return false;
            input->Index = record.index;
            input->Description = record.description;
            input->setFullScale(record.fullScale);
            return true;
        });
        m_sequence.add(what + QStringLiteral("zero offset"), [p = m_parts, record] {
            analog *input = p.unit.analogInput(record.index);
            if (!input)
                return false;
            input->setZeroOffset(record.zeroOffset);
            return true;
        });
    }

    void apply(const GroupEntry &entry) {
        m_steps.station(QStringLiteral("Group %1").arg(entry.record.description),
                        [p = m_parts, record = entry.record] {
                            auto made = std::make_unique<group>();
                            made->Index = record.index;
                            made->Description = record.description;
                            for (const int16_t channel : record.channels)
                                made->AddChannel(channel);
                            made->WindowGridTop = record.windowGridTop;
                            made->WindowGridLeft = record.windowGridLeft;
                            made->WindowGridHeight = record.windowGridHeight;
                            made->WindowGridWidth = record.windowGridWidth;
                            made->WindowBarTop = record.windowBarTop;
                            made->WindowBarLeft = record.windowBarLeft;
                            made->WindowBarHeight = record.windowBarHeight;
                            made->WindowBarWidth = record.windowBarWidth;
                            made->WindowDialTop = record.windowDialTop;
                            made->WindowDialLeft = record.windowDialLeft;
                            made->WindowDialHeight = record.windowDialHeight;
                            made->WindowDialWidth = record.windowDialWidth;
                            p.unit.Groups.push_back(std::move(made));
                        });
    }

    template <typename Assign> void channelStep(int n, const QString &what, Assign assign) {
        m_sequence.add(QStringLiteral("Channel %1: %2").arg(QString::number(n), what),
                       [p = m_parts, n, assign] {
                           Channel *channel = p.unit.channel(n);
                           if (!channel)
                               return false;
                           assign(*channel);
                           return true;
                       });
    }

    SetupParts m_parts;
    LinkSequence &m_sequence;
    SetupSteps m_steps;
};

} // namespace

SetupStationValues valuesInForce(UnitObjects &unit, const ViewState &view) {
    SetupStationValues values;
    values.channelCount = static_cast<int16_t>(unit.UnitSystem ? unit.UnitSystem->MaxChannel() : 0);
    values.probeCount = static_cast<int16_t>(unit.UnitSystem ? unit.UnitSystem->MaxLvdt() : 0);
    values.analogCount = unit.MaxAnalog;
    values.digitalCount = unit.MaxDigital;
    values.decimals = unit.SystemDecimals;
    values.windowLayout = view.WindowLayout;
    return values;
}

std::optional<QString> unitCountCheck(GeneralItem item, int16_t count) {
    switch (item) {
    case GeneralItem::MaxChannel:
        return whyCountRefused(UnitCount::Channels, count);
    case GeneralItem::MaxLvdt:
        return whyCountRefused(UnitCount::Probes, count);
    case GeneralItem::MaxAnalog:
        return whyCountRefused(UnitCount::Analogs, count);
    case GeneralItem::MaxDigital:
    case GeneralItem::MaxStrain:
    case GeneralItem::Decimals:
        break;
    }
    return std::nullopt;
}

LinkSequence loadSetupSequence(const SetupParts &parts, const SetupEntries &entries,
                               const QString &fileName, std::function<void(bool completed)> after) {
    LinkSequence sequence(QStringLiteral("Loading %1").arg(fileName));
    LoadPlan plan(parts, sequence);
    plan.steps().station(QStringLiteral("Updating off"), [p = parts] { p.view.UpdatesOn = false; });
    plan.steps().ClearSetup();
    for (const SetupEntry &entry : entries)
        plan.add(entry);
    sequence.finished = [p = parts, fileName, after = std::move(after)](bool completed) {
        if (completed) {
            p.setup.SetupChanged = false;
            p.setup.SetupFileName = fileName;
            p.windows.setCaption(setupCaption(p.config, fileName));
        }
        p.windows.refreshMainDisplay();
        p.view.UpdatesOn = p.windows.updatesChosen();
        if (after)
            after(completed);
    };
    return sequence;
}
