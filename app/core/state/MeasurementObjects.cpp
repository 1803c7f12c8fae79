#include "MeasurementObjects.h"

#include "LinkSession.h"
#include "Prompts.h"
#include "UnitObjects.h"

#include <QByteArray>

namespace {

// Text reads go through ReplyText, which the link error handler also fills with the error's text:
// a failed read gives an empty text, never the error message or an earlier reply.
template <typename Read> QString readText(LinkSession &session, Read read) {
    session.ReplyText[0] = '\0';
    if (read(session.ReplyText.data()) != 0)
        return {};
    session.ReplyText.back() = '\0';
    return session.replyText();
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
        m_session.link.ReadFn(m_session.LinkHandle, Index, &value);                                \
        return value;                                                                              \
    }                                                                                              \
    void Channel::Setter(float value) {                                                            \
        m_session.link.SetFn(m_session.LinkHandle, Index, &value);                                 \
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
    return readText(m_session, [this](char *text) {
        return m_session.link.QorReadFormula(m_session.LinkHandle, Index, text);
    });
}

void Channel::setFormula(const QString &text) {
    if (Index == 0) {
        m_prompts.message(QStringLiteral("Index Zero in Formula Property"));
        return;
    }
    if (text.isEmpty())
        m_session.link.QorClearChannel(m_session.LinkHandle, Index);
    else
        m_session.link.QorDefineChannel(m_session.LinkHandle, Index, unitText(text).constData());
}

void Channel::SetChannelFormula(int channel, const QString &text) {
    m_session.link.QorDefineChannel(m_session.LinkHandle, channel, unitText(text).constData());
}

float Channel::Value(int channel) const {
    float value = 0.0f;
    m_session.link.QorReadChannel(m_session.LinkHandle, channel, &value);
    return value;
}

float Channel::ZeroOffset() const {
    float value = 0.0f;
    m_session.link.QorReadCzero(m_session.LinkHandle, Index, &value);
    return value;
}

void Channel::setZeroOffset(float value) {
    if (Index == 0) {
        m_prompts.message(QStringLiteral("Index Zero in ZeroOffset Property"));
        return;
    }
    m_session.link.QorSetCzero(m_session.LinkHandle, Index, &value);
}

bool Channel::UseTwoMasters() const {
    int32_t useTwo = 0;
    m_session.link.QorReadUse2Masters(m_session.LinkHandle, Index, &useTwo);
    return useTwo > 0;
}

void Channel::setUseTwoMasters(bool value) {
    m_session.link.QorSetUse2Masters(m_session.LinkHandle, Index, value ? 1 : 0);
}

QString Channel::Description() const {
    return readText(m_session, [this](char *text) {
        return m_session.link.QorReadChannelDesc(m_session.LinkHandle, Index, text);
    });
}

void Channel::setDescription(const QString &text) {
    m_session.link.QorSetChannelDesc(m_session.LinkHandle, Index, unitText(text).constData());
}

// ---- Lvdt -------------------------------------------------------------------------------------

float MeasuredInput::read(InputCalls::Read call, int input) const {
    float value = 0.0f;
    call(m_session, input, &value);
    return value;
}

float MeasuredInput::Value(int input) const {
    return read(m_calls.value, input);
}

float MeasuredInput::ZeroOffset() const {
    return read(m_calls.zeroOffset, Index);
}

void MeasuredInput::setZeroOffset(float value) {
    setZeroOffsetOf(Index, value);
}

float MeasuredInput::FullScale() const {
    return read(m_calls.fullScale, Index);
}

void MeasuredInput::setFullScale(float value) {
    setFullScaleOf(Index, value);
}

void MeasuredInput::setZeroOffsetOf(int input, float value) {
    m_calls.setZeroOffset(m_session, input, &value);
}

void MeasuredInput::setFullScaleOf(int input, float value) {
    m_calls.setFullScale(m_session, input, &value);
}

// ---- Lvdt -------------------------------------------------------------------------------------

namespace {

const InputCalls ProbeCalls{
    [](LinkSession &s, int n, float *v) { return s.link.QorReadLvdt(s.LinkHandle, n, v); },
    [](LinkSession &s, int n, float *v) { return s.link.QorReadTzero(s.LinkHandle, n, v); },
    [](LinkSession &s, int n, float *v) { return s.link.QorSetTzero(s.LinkHandle, n, v); },
    [](LinkSession &s, int n, float *v) { return s.link.QorReadTfsv(s.LinkHandle, n, v); },
    [](LinkSession &s, int n, float *v) { return s.link.QorSetTfsv(s.LinkHandle, n, v); },
};

const InputCalls AnalogCalls{
    [](LinkSession &s, int n, float *v) { return s.link.QorReadAnalog(s.LinkHandle, n, v); },
    [](LinkSession &s, int n, float *v) { return s.link.QorReadAzero(s.LinkHandle, n, v); },
    [](LinkSession &s, int n, float *v) { return s.link.QorSetAzero(s.LinkHandle, n, v); },
    [](LinkSession &s, int n, float *v) { return s.link.QorReadAfsv(s.LinkHandle, n, v); },
    [](LinkSession &s, int n, float *v) { return s.link.QorSetAfsv(s.LinkHandle, n, v); },
};

} // namespace

Lvdt::Lvdt(LinkSession &session) : MeasuredInput(session, ProbeCalls) {}

void Lvdt::SetDefaults(int n) {
    Index = static_cast<int16_t>(n);
    Description = defaultObjectName("Lvdt", n);
}

// ---- analog -----------------------------------------------------------------------------------

analog::analog(LinkSession &session) : MeasuredInput(session, AnalogCalls) {}

void analog::SetDefaults(int n) {
    SetDefaultName(n);
    setZeroOffset(DefaultZeroOffset);
    setFullScale(DefaultFullScale);
}

void analog::SetDefaultName(int n) {
    Index = static_cast<int16_t>(n);
    Description = defaultObjectName("Analog ", n);
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
        m_session.link.QorGetNumberOfProbes(m_session.LinkHandle, &m_maxLvdt);
    return m_maxLvdt;
}

void QorSystem::setMaxLvdt(int n) {
    m_session.link.QorSetNumberOfProbes(m_session.LinkHandle, n);
    m_maxLvdt = static_cast<int16_t>(n);
}

int QorSystem::MaxChannel() {
    if (m_maxChannel == 0)
        m_session.link.QorGetNumberOfChannels(m_session.LinkHandle, &m_maxChannel);
    return m_maxChannel;
}

void QorSystem::setMaxChannel(int n) {
    m_session.link.QorSetNumberOfChannels(m_session.LinkHandle, n);
    m_maxChannel = static_cast<int16_t>(n);
}

void QorSystem::SaveSettings(const QString &name) {
    m_session.link.QorSaveSetup(m_session.LinkHandle, unitText(name).constData());
}

// ---- building the sets ------------------------------------------------------------------------

void CreateMeasurementObjects(UnitObjects &unit, LinkSession &session, Prompts &prompts) {
    const int channels = unit.UnitSystem->MaxChannel();
    for (int n = 1; n <= channels; ++n) {
        auto object = std::make_unique<Channel>(session, prompts);
        object->SetDefaults(n);
        unit.Channels.push_back(std::move(object));
    }
    const int probes = unit.UnitSystem->MaxLvdt();
    for (int n = 1; n <= probes; ++n) {
        auto object = std::make_unique<Lvdt>(session);
        object->SetDefaults(n);
        unit.Lvdts.push_back(std::move(object));
    }
    for (int n = 1; n <= unit.MaxAnalog; ++n) {
        auto object = std::make_unique<analog>(session);
        object->SetDefaults(n);
        unit.Analogs.push_back(std::move(object));
    }
}
