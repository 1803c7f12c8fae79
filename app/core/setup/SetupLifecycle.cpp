#include "SetupLifecycle.h"

#include "LinkSession.h"
#include "LiveFollowers.h"
#include "MeasurementObjects.h"
#include "SetupSession.h"
#include "SetupWindows.h"
#include "StationConfig.h"
#include "UnitObjects.h"
#include "ViewState.h"

#include <QDir>

#include <memory>
#include <utility>

namespace {

constexpr int16_t LastSetupFileNum = 999;

template <typename Position> void keepWithin(Position &position, int count) {
    if (position > count)
        position = static_cast<Position>(count);
}

// Removes the objects beyond `count` from the end of a set, or appends new ones up to it.
template <typename Object, typename Make>
void resize(std::vector<std::unique_ptr<Object>> &set, int count, Make make) {
    while (static_cast<int>(set.size()) > count)
        set.pop_back();
    for (int k = static_cast<int>(set.size()) + 1; k <= count; ++k)
        set.push_back(make(k));
}

void fitChannels(const SetupParts &p, int count) {
    if (p.windows.currentChannel() > count)
        p.windows.setCurrentChannel(count);
    keepWithin(p.live.MasteringChannel, count);
    keepWithin(p.live.ChannelSetupLiveChannel, count);
    resize(p.unit.Channels, count, [&p](int k) {
        auto channel = std::make_unique<Channel>(p.session, p.prompts);
        channel->SetDefaults(k);
        return channel;
    });
    p.windows.setChannelLabelCount(count);
}

void fitProbes(const SetupParts &p, int count) {
    if (p.windows.currentLvdt() > count)
        p.windows.setCurrentLvdt(count);
    keepWithin(p.live.LvdtSetupLiveInput, count);
    resize(p.unit.Lvdts, count, [&p](int k) {
        auto probe = std::make_unique<Lvdt>(p.session);
        probe->SetDefaults(k);
        return probe;
    });
}

void keepAnalogPositionsWithin(const SetupParts &p, int count) {
    if (p.windows.currentAnalog() > count)
        p.windows.setCurrentAnalog(count);
    keepWithin(p.live.AnalogSetupLiveInput, count);
}

void removeGroups(const SetupParts &p) {
    p.unit.Groups.clear();
    p.view.SelectedGroup = 0;
    p.live.MasteringGroup = 0;
}

} // namespace

SetupSteps::SetupSteps(const SetupParts &parts, LinkSequence &sequence)
    : m_parts(parts), m_sequence(sequence),
      m_channels(parts.unit.UnitSystem ? parts.unit.UnitSystem->MaxChannel() : 0),
      m_probes(parts.unit.UnitSystem ? parts.unit.UnitSystem->MaxLvdt() : 0),
      m_analogs(parts.unit.MaxAnalog) {}

void SetupSteps::station(const QString &what, std::function<void()> change) {
    m_sequence.add(what, [change = std::move(change)] {
        change();
        return true;
    });
}

void SetupSteps::ClearSetup() {
    const int channels = m_channels;
    m_sequence.add(QStringLiteral("Channels 1 to %1 made anew").arg(channels),
                   [p = m_parts, channels] {
                       p.view.ViewMode = View::Channels;
                       removeGroups(p);
                       p.unit.Channels.clear();
                       p.windows.setChannelLabelCount(0);
                       fitChannels(p, channels);
                       p.unit.UnitSystem->setMaxChannel(channels);
                       return true;
                   });
    const int probes = m_probes;
    assignProbeCount(probes, [p = m_parts, probes] {
        p.unit.Lvdts.clear();
        fitProbes(p, probes);
    });
    const int analogs = m_analogs;
    station(QStringLiteral("Analog inputs made anew"), [p = m_parts] {
        p.unit.Analogs.clear();
        p.unit.MaxAnalog = 0;
    });
    m_analogs = 0;
    CreateAnalogs(analogs);
}

void SetupSteps::CreateChannels(int newCount) {
    m_sequence.add(QStringLiteral("Channel count %1").arg(newCount), [p = m_parts, newCount] {
        fitChannels(p, newCount);
        p.unit.UnitSystem->setMaxChannel(newCount);
        return true;
    });
    m_channels = newCount;
}

void SetupSteps::CreateLVDTs(int newCount) {
    assignProbeCount(newCount, [p = m_parts, newCount] { fitProbes(p, newCount); });
}

void SetupSteps::CreateAnalogs(int newCount) {
    const int oldCount = m_analogs;
    m_analogs = newCount;
    if (newCount < oldCount) {
        station(QStringLiteral("Analog input count %1").arg(newCount), [p = m_parts, newCount] {
            keepAnalogPositionsWithin(p, newCount);
            while (static_cast<int>(p.unit.Analogs.size()) > newCount)
                p.unit.Analogs.pop_back();
            p.unit.MaxAnalog = static_cast<int16_t>(newCount);
        });
        return;
    }
    // Each new input sends its default zero, then its default full scale: two exchanges.
    for (int k = oldCount + 1; k <= newCount; ++k) {
        m_sequence.add(QStringLiteral("Analog input %1: zero").arg(k), [p = m_parts, k] {
            if (static_cast<int>(p.unit.Analogs.size()) != k - 1)
                return false;
            auto input = std::make_unique<analog>(p.session);
            input->SetDefaultName(k);
            input->setZeroOffset(analog::DefaultZeroOffset);
            p.unit.Analogs.push_back(std::move(input));
            return true;
        });
        m_sequence.add(QStringLiteral("Analog input %1: full scale").arg(k),
                       [p = m_parts, k, newCount] {
                           analog *input = p.unit.analogInput(k);
                           if (!input)
                               return false;
                           input->setFullScale(analog::DefaultFullScale);
                           if (k == newCount)
                               p.unit.MaxAnalog = static_cast<int16_t>(newCount);
                           return true;
                       });
    }
}

void SetupSteps::assignChannelCount(int count) {
    m_sequence.add(QStringLiteral("Channel count %1").arg(count), [p = m_parts, count] {
        p.unit.UnitSystem->setMaxChannel(count);
        return true;
    });
    m_channels = count;
}

void SetupSteps::assignProbeCount(int count) {
    assignProbeCount(count, {});
}

void SetupSteps::assignProbeCount(int count, std::function<void()> before) {
    m_sequence.add(QStringLiteral("Probe count %1").arg(count),
                   [p = m_parts, count, before = std::move(before)] {
                       if (before)
                           before();
                       p.unit.UnitSystem->setMaxLvdt(count);
                       return true;
                   });
    m_probes = count;
    if (m_channels != count)
        assignChannelCount(m_channels);
}

LinkSequence NewSetup(const SetupParts &parts, const QString &setupsFolder) {
    const QString fileName = newSetupFileName(setupsFolder, parts.setup.NewSetupFileNum);
    LinkSequence sequence(QStringLiteral("New setup %1").arg(QDir::toNativeSeparators(fileName)));
    SetupSteps steps(parts, sequence);
    steps.station(QStringLiteral("New setup"), [p = parts, fileName] {
        p.view.UpdatesOn = false;
        p.setup.SetupFileName = fileName;
        // Unlike the caption after a load, this one ends with a blank.
        p.windows.setCaption(setupCaption(p.config, fileName) + QLatin1Char(' '));
    });
    steps.ClearSetup();
    sequence.finished = [p = parts](bool) {
        p.setup.NewSetupFileNum = nextSetupFileNum(p.setup.NewSetupFileNum);
        p.view.UpdatesOn = p.windows.updatesChosen();
        // The view is now the channel view of a new set: the displays must not keep the rows of
        // the view and objects they showed before.
        p.windows.refreshMainDisplay();
    };
    return sequence;
}

QString newSetupFileName(const QString &folder, int counter) {
    return QDir(folder).filePath(QStringLiteral("QORSetup%1.qor").arg(counter));
}

int16_t nextSetupFileNum(int16_t counter) {
    const int next = counter + 1;
    return static_cast<int16_t>(next > LastSetupFileNum ? 1 : next);
}

QString setupCaption(const StationConfig &config, const QString &fileName) {
    return config.CompanyName + QStringLiteral("   ") + config.ProductName + QStringLiteral(" [") +
           fileName + QLatin1Char(']');
}

bool CheckMaxChannel(UnitObjects &unit, int newMax, bool fixNow) {
    for (const auto &g : unit.Groups) {
        int position = 1;
        while (position <= g->Count) {
            if (g->GetChannel(position) <= newMax) {
                ++position;
                continue;
            }
            if (!fixNow)
                return false;
            // The entries after it move up: look at the same position again.
            g->RemoveChannel(position);
        }
    }
    return true;
}
