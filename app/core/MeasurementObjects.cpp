#include "MeasurementObjects.h"

#include "Prompts.h"
#include "StationState.h"

#include <QByteArray>

namespace {

// Text reads go through ReplyText, which the link error handler also fills with the error's text:
// a failed read gives an empty text, never the error message or an earlier reply.
template <typename Read> QString readText(StationState &state, Read read) {
    state.ReplyText[0] = '\0';
    if (read(state.ReplyText.data()) != 0)
        return {};
    state.ReplyText.back() = '\0';
    return state.replyText();
}

QByteArray unitText(const QString &text) {
    return text.toLatin1();
}

} // namespace

QString defaultObjectName(const char *word, int n) {
    // The number carries a leading blank unless it is negative.
    return QLatin1String(word) + (n >= 0 ? QStringLiteral(" ") : QString()) + QString::number(n);
}

// ---- Channel ----------------------------------------------------------------------------------

#define QORVIEW_CHANNEL_FLOAT(Getter, Setter, ReadFn, SetFn)                                       \
    float Channel::Getter() const {                                                                \
        float value = 0.0f;                                                                        \
        m_state.link.ReadFn(m_state.LinkHandle, Index, &value);                                    \
        return value;                                                                              \
    }                                                                                              \
    void Channel::Setter(float value) {                                                            \
        m_state.link.SetFn(m_state.LinkHandle, Index, &value);                                     \
    }

QORVIEW_CHANNEL_FLOAT(Scaling, setScaling, QorReadCscale, QorSetCscale)
QORVIEW_CHANNEL_FLOAT(Master1, setMaster1, QorReadMaster1, QorSetMaster1)
QORVIEW_CHANNEL_FLOAT(Master2, setMaster2, QorReadMaster2, QorSetMaster2)
QORVIEW_CHANNEL_FLOAT(BarDisplayTop, setBarDisplayTop, QorReadBarScaleTop, QorSetBarScaleTop)
QORVIEW_CHANNEL_FLOAT(BarDisplayBot, setBarDisplayBot, QorReadBarScaleBottom, QorSetBarScaleBottom)
QORVIEW_CHANNEL_FLOAT(HiTol, setHiTol, QorReadHiTolerance, QorSetHiTolerance)
QORVIEW_CHANNEL_FLOAT(LoTol, setLoTol, QorReadLoTolerance, QorSetLoTolerance)
QORVIEW_CHANNEL_FLOAT(HiAppr, setHiAppr, QorReadHiApproach, QorSetHiApproach)
QORVIEW_CHANNEL_FLOAT(LoAppr, setLoAppr, QorReadLoApproach, QorSetLoApproach)
#undef QORVIEW_CHANNEL_FLOAT

void Channel::SetDefaults(int n) {
    Index = static_cast<int16_t>(n);
    Decimals = 5;
    Units = QStringLiteral("Inch");
    InUse = false;
}

QString Channel::Formula() const {
    return readText(m_state, [this](char *text) {
        return m_state.link.QorReadFormula(m_state.LinkHandle, Index, text);
    });
}

void Channel::setFormula(const QString &text) {
    if (Index == 0) {
        m_state.prompts.message(QStringLiteral("Index Zero in Formula Property"));
        return;
    }
    if (text.isEmpty())
        m_state.link.QorClearChannel(m_state.LinkHandle, Index);
    else
        m_state.link.QorDefineChannel(m_state.LinkHandle, Index, unitText(text).constData());
}

void Channel::SetChannelFormula(int channel, const QString &text) {
    m_state.link.QorDefineChannel(m_state.LinkHandle, channel, unitText(text).constData());
}

float Channel::Value(int channel) const {
    float value = 0.0f;
    m_state.link.QorReadChannel(m_state.LinkHandle, channel, &value);
    return value;
}

float Channel::ZeroOffset() const {
    float value = 0.0f;
    m_state.link.QorReadCzero(m_state.LinkHandle, Index, &value);
    return value;
}

void Channel::setZeroOffset(float value) {
    if (Index == 0) {
        m_state.prompts.message(QStringLiteral("Index Zero in ZeroOffset Property"));
        return;
    }
    m_state.link.QorSetCzero(m_state.LinkHandle, Index, &value);
}

bool Channel::UseTwoMasters() const {
    int32_t useTwo = 0;
    m_state.link.QorReadUse2Masters(m_state.LinkHandle, Index, &useTwo);
    return useTwo > 0;
}

void Channel::setUseTwoMasters(bool value) {
    m_state.link.QorSetUse2Masters(m_state.LinkHandle, Index, value ? 1 : 0);
}

QString Channel::Description() const {
    return readText(m_state, [this](char *text) {
        return m_state.link.QorReadChannelDesc(m_state.LinkHandle, Index, text);
    });
}

void Channel::setDescription(const QString &text) {
    m_state.link.QorSetChannelDesc(m_state.LinkHandle, Index, unitText(text).constData());
}

// ---- Lvdt -------------------------------------------------------------------------------------

void Lvdt::SetDefaults(int n) {
    Index = static_cast<int16_t>(n);
    Description = defaultObjectName("Lvdt", n);
}

void Lvdt::SetLVDTFullScale(int probe, float value) {
    m_state.link.QorSetTfsv(m_state.LinkHandle, probe, &value);
}

void Lvdt::SetLVDTZero(int probe, float value) {
    m_state.link.QorSetTzero(m_state.LinkHandle, probe, &value);
}

float Lvdt::Value(int probe) const {
    float value = 0.0f;
    m_state.link.QorReadLvdt(m_state.LinkHandle, probe, &value);
    return value;
}

float Lvdt::ZeroOffset() const {
    float value = 0.0f;
    m_state.link.QorReadTzero(m_state.LinkHandle, Index, &value);
    return value;
}

void Lvdt::setZeroOffset(float value) {
    SetLVDTZero(Index, value);
}

float Lvdt::FullScale() const {
    float value = 0.0f;
    m_state.link.QorReadTfsv(m_state.LinkHandle, Index, &value);
    return value;
}

void Lvdt::setFullScale(float value) {
    SetLVDTFullScale(Index, value);
}

// ---- analog -----------------------------------------------------------------------------------

void analog::SetDefaults(int n) {
    Index = static_cast<int16_t>(n);
    Description = defaultObjectName("Analog ", n);
    setZeroOffset(0.0f);
    setFullScale(1.0f);
}

void analog::SetAnalogFullScale(int input, float value) {
    m_state.link.QorSetAfsv(m_state.LinkHandle, input, &value);
}

void analog::SetAnalogZero(int input, float value) {
    m_state.link.QorSetAzero(m_state.LinkHandle, input, &value);
}

float analog::Value(int input) const {
    float value = 0.0f;
    m_state.link.QorReadAnalog(m_state.LinkHandle, input, &value);
    return value;
}

float analog::ZeroOffset() const {
    float value = 0.0f;
    m_state.link.QorReadAzero(m_state.LinkHandle, Index, &value);
    return value;
}

void analog::setZeroOffset(float value) {
    SetAnalogZero(Index, value);
}

float analog::FullScale() const {
    float value = 0.0f;
    m_state.link.QorReadAfsv(m_state.LinkHandle, Index, &value);
    return value;
}

void analog::setFullScale(float value) {
    SetAnalogFullScale(Index, value);
}

// ---- group ------------------------------------------------------------------------------------

void group::SetDefaults(int n) {
    Index = static_cast<int16_t>(n);
    Description = defaultObjectName("Group ", n);
}

void group::AddChannel(int channel) {
    m_channelList.push_back(static_cast<int16_t>(channel));
    Count = static_cast<int16_t>(m_channelList.size());
}

void group::RemoveChannel(int position) {
    if (position < 1 || position > static_cast<int>(m_channelList.size()))
        return;
    m_channelList.erase(m_channelList.begin() + (position - 1));
    Count = static_cast<int16_t>(m_channelList.size());
}

int group::GetChannel(int position) const {
    if (position < 1 || position > static_cast<int>(m_channelList.size()))
        return 0;
    return m_channelList[static_cast<size_t>(position - 1)];
}

// ---- QorSystem --------------------------------------------------------------------------------

int QorSystem::MaxLvdt() {
    if (m_maxLvdt == 0)
        m_state.link.QorGetNumberOfProbes(m_state.LinkHandle, &m_maxLvdt);
    return m_maxLvdt;
}

void QorSystem::setMaxLvdt(int n) {
    m_state.link.QorSetNumberOfProbes(m_state.LinkHandle, n);
    m_maxLvdt = static_cast<int16_t>(n);
}

int QorSystem::MaxChannel() {
    if (m_maxChannel == 0)
        m_state.link.QorGetNumberOfChannels(m_state.LinkHandle, &m_maxChannel);
    return m_maxChannel;
}

void QorSystem::setMaxChannel(int n) {
    m_state.link.QorSetNumberOfChannels(m_state.LinkHandle, n);
    m_maxChannel = static_cast<int16_t>(n);
}

void QorSystem::SaveSettings(const QString &name) {
    m_state.link.QorSaveSetup(m_state.LinkHandle, unitText(name).constData());
}

// ---- building the sets ------------------------------------------------------------------------

void CreateMeasurementObjects(StationState &state) {
    const int channels = state.UnitSystem->MaxChannel();
    for (int n = 1; n <= channels; ++n) {
        auto object = std::make_unique<Channel>(state);
        object->SetDefaults(n);
        state.Channels.push_back(std::move(object));
    }
    const int probes = state.UnitSystem->MaxLvdt();
    for (int n = 1; n <= probes; ++n) {
        auto object = std::make_unique<Lvdt>(state);
        object->SetDefaults(n);
        state.Lvdts.push_back(std::move(object));
    }
    for (int n = 1; n <= state.MaxAnalog; ++n) {
        auto object = std::make_unique<analog>(state);
        object->SetDefaults(n);
        state.Analogs.push_back(std::move(object));
    }
}
