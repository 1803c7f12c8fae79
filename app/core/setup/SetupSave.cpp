#include "SetupSave.h"

#include "LinkSession.h"
#include "MeasurementObjects.h"
#include "SetupDocument.h"
#include "SetupFileStore.h"
#include "SetupSession.h"
#include "UnitObjects.h"
#include "ViewState.h"

#include <QDir>

#include <algorithm>

using namespace setupfile;

namespace {

// A channel value after the two-masters flag, in file order, and the property it is read from.
struct ChannelSingle {
    const char *what;
    float ChannelRecord::*value;
    float (Channel::*read)() const;
};

const ChannelSingle ChannelSingles[] = {
    {"master 1", &ChannelRecord::master1, &Channel::Master1},
    {"master 2", &ChannelRecord::master2, &Channel::Master2},
};

const ChannelSingle ChannelLimitsAndScale[] = {
    {"high tolerance", &ChannelRecord::hiTol, &Channel::HiTol},
    {"high approach", &ChannelRecord::hiAppr, &Channel::HiAppr},
    {"low approach", &ChannelRecord::loAppr, &Channel::LoAppr},
    {"low tolerance", &ChannelRecord::loTol, &Channel::LoTol},
    {"scaling", &ChannelRecord::scaling, &Channel::Scaling},
    {"zero offset", &ChannelRecord::zeroOffset, &Channel::ZeroOffset},
    {"bar top", &ChannelRecord::barDisplayTop, &Channel::BarDisplayTop},
    {"bar bottom", &ChannelRecord::barDisplayBot, &Channel::BarDisplayBot},
};

struct SaveState {
    SetupDocument document;
    QString failedRead; // what the read that failed was for
};

// Builds the reads of one save, each step one exchange. A read fails when the link error handler
// counted a failure during it (it has also told the operator why).
class SavePlan {
public:
    SavePlan(const SetupParts &parts, LinkSequence &sequence, std::shared_ptr<SaveState> state,
             std::shared_ptr<const bool> cancelled)
        : m_parts(parts), m_sequence(sequence), m_state(std::move(state)),
          m_cancelled(std::move(cancelled)) {}

    // The station's own values, and a record for every object the file will hold.
    void takeStationValues() {
        UnitObjects &unit = m_parts.unit;
        SetupDocument &document = m_state->document;
        SetupStationValues &station = document.station;
        station.channelCount = static_cast<int16_t>(unit.UnitSystem->MaxChannel());
        station.probeCount = static_cast<int16_t>(unit.UnitSystem->MaxLvdt());
        station.analogCount = unit.MaxAnalog;
        station.digitalCount = unit.MaxDigital;
        station.decimals = unit.SystemDecimals;
        station.windowLayout = m_parts.view.WindowLayout;
        const int channels =
            std::min<int>(station.channelCount, static_cast<int>(unit.Channels.size()));
        for (int n = 1; n <= channels; ++n) {
            const Channel *channel = unit.channel(n);
            if (!channel || !channel->InUse)
                continue;
            ChannelRecord record;
            record.index = channel->Index;
            record.decimals = channel->Decimals;
            record.units = channel->Units;
            document.channels.push_back(record);
        }
        for (const auto &probe : unit.Lvdts)
            document.probes.push_back({probe->Index, probe->Description, 0.0f, 0.0f});
        for (const auto &input : unit.Analogs)
            document.analogs.push_back({input->Index, input->Description, 0.0f, 0.0f});
        for (const auto &g : unit.Groups) {
            GroupRecord record;
            record.index = g->Index;
            record.description = g->Description;
            for (int position = 1; position <= g->Count; ++position)
                record.channels.push_back(static_cast<int16_t>(g->GetChannel(position)));
            record.windowGridTop = g->WindowGridTop;
            record.windowGridLeft = g->WindowGridLeft;
            record.windowGridHeight = g->WindowGridHeight;
            record.windowGridWidth = g->WindowGridWidth;
            record.windowBarTop = g->WindowBarTop;
            record.windowBarLeft = g->WindowBarLeft;
            record.windowBarHeight = g->WindowBarHeight;
            record.windowBarWidth = g->WindowBarWidth;
            record.windowDialTop = g->WindowDialTop;
            record.windowDialLeft = g->WindowDialLeft;
            record.windowDialHeight = g->WindowDialHeight;
            record.windowDialWidth = g->WindowDialWidth;
            document.groups.push_back(std::move(record));
        }
    }

    void readUnitValues() {
        const size_t channels = m_state->document.channels.size();
        for (size_t i = 0; i < channels; ++i)
            readChannel(i);
        for (size_t i = 0; i < m_state->document.probes.size(); ++i)
            readProbe(i);
        for (size_t i = 0; i < m_state->document.analogs.size(); ++i)
            readAnalog(i);
    }

private:
    void readChannel(size_t i) {
        channelRead(i, QStringLiteral("description"), [](const Channel &channel, ChannelRecord &r) {
            r.description = channel.Description();
        });
        channelRead(i, QStringLiteral("formula"), [](const Channel &channel, ChannelRecord &r) {
            r.formula = channel.Formula();
        });
        for (const ChannelSingle &single : ChannelSingles)
            channelSingle(i, single);
        channelRead(i, QStringLiteral("two masters"), [](const Channel &channel, ChannelRecord &r) {
            r.useTwoMasters = channel.UseTwoMasters();
        });
        for (const ChannelSingle &single : ChannelLimitsAndScale)
            channelSingle(i, single);
    }

    void channelSingle(size_t i, const ChannelSingle &single) {
        channelRead(i, QLatin1String(single.what),
                    [single](const Channel &channel, ChannelRecord &r) {
                        r.*single.value = (channel.*single.read)();
                    });
    }

    template <typename Read> void channelRead(size_t i, const QString &what, Read read) {
        const int n = m_state->document.channels[i].index;
        step(QStringLiteral("Channel %1: %2").arg(QString::number(n), what),
             [p = m_parts, state = m_state, i, n, read] {
                 const Channel *channel = p.unit.channel(n);
                 if (!channel)
                     return false;
                 read(*channel, state->document.channels[i]);
                 return true;
             });
    }

    void readProbe(size_t i) {
        const int n = m_state->document.probes[i].index;
        const QString what = QStringLiteral("Probe %1: ").arg(n);
        step(what + QStringLiteral("full scale"), [p = m_parts, state = m_state, i, n] {
            const Lvdt *probe = p.unit.lvdt(n);
            if (!probe)
                return false;
            state->document.probes[i].fullScale = probe->FullScale();
            return true;
        });
        step(what + QStringLiteral("zero offset"), [p = m_parts, state = m_state, i, n] {
            const Lvdt *probe = p.unit.lvdt(n);
            if (!probe)
                return false;
            state->document.probes[i].zeroOffset = probe->ZeroOffset();
            return true;
        });
    }

    void readAnalog(size_t i) {
        const int n = m_state->document.analogs[i].index;
        const QString what = QStringLiteral("Analog input %1: ").arg(n);
        step(what + QStringLiteral("full scale"), [p = m_parts, state = m_state, i, n] {
            const analog *input = p.unit.analogInput(n);
            if (!input)
                return false;
            state->document.analogs[i].fullScale = input->FullScale();
            return true;
        });
        step(what + QStringLiteral("zero offset"), [p = m_parts, state = m_state, i, n] {
            const analog *input = p.unit.analogInput(n);
            if (!input)
                return false;
            state->document.analogs[i].zeroOffset = input->ZeroOffset();
            return true;
        });
    }

    template <typename Read> void step(const QString &what, Read read) {
        m_sequence.add(what, [p = m_parts, state = m_state, cancelled = m_cancelled, what, read] {
            if (*cancelled)
                return false;
            const long failedBefore = p.session.FailedCalls;
            if (read() && p.session.FailedCalls == failedBefore)
                return true;
            state->failedRead = what;
            return false;
        });
    }

    SetupParts m_parts;
    LinkSequence &m_sequence;
    std::shared_ptr<SaveState> m_state;
    std::shared_ptr<const bool> m_cancelled;
};

} // namespace

LinkSequence saveSetupSequence(const SetupParts &parts, const QString &fileName,
                               std::shared_ptr<const bool> cancelled,
                               std::function<void(const SetupSaveResult &)> done) {
    LinkSequence sequence(QStringLiteral("Saving %1").arg(fileName));
    auto state = std::make_shared<SaveState>();
    SavePlan plan(parts, sequence, state, cancelled);
    plan.takeStationValues();
    plan.readUnitValues();
    sequence.finished = [p = parts, fileName, state, cancelled,
                         done = std::move(done)](bool completed) {
        SetupSaveResult result;
        if (*cancelled) {
            result.outcome = SetupSaveResult::Outcome::Cancelled;
        } else if (!completed) {
            result.why = QStringLiteral("%1 was not saved: a read from the unit failed (%2).")
                             .arg(QDir::toNativeSeparators(fileName), state->failedRead);
        } else {
            result.why = saveSetupFile(fileName, state->document);
            if (result.why.isEmpty()) {
                result.outcome = SetupSaveResult::Outcome::Saved;
                p.setup.SetupChanged = false;
            }
        }
        if (done)
            done(result);
    };
    return sequence;
}
