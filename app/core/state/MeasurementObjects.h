#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class Prompts;
struct LinkSession;
struct UnitObjects;

// The unit's measuring objects. Apart from their numbers and names they hold no measurement
// data: each property reads or writes the unit at once through the link library, so that the
// unit stays the one place where definitions, constants and calibration live. Library failures
// reach the operator through the station's link error handler; a failed read returns 0.

class Channel {
public:
    Channel(LinkSession &session, Prompts &prompts) : m_session(session), m_prompts(prompts) {}

    int16_t Index = 0;
    int16_t Decimals = 5;
    QString Units = QStringLiteral("Inch");
    bool InUse = false;

    void SetDefaults(int n);

    QString Formula() const;
    void setFormula(const QString &text);
    void SetChannelFormula(int channel, const QString &text);
    float Value(int channel) const;

    float ZeroOffset() const;
    void setZeroOffset(float value);
    float Scaling() const;
    void setScaling(float value);
    float Master1() const;
    void setMaster1(float value);
    float Master2() const;
    void setMaster2(float value);
    bool UseTwoMasters() const;
    void setUseTwoMasters(bool value);
    QString Description() const;
    void setDescription(const QString &text);
    float BarDisplayTop() const;
    void setBarDisplayTop(float value);
    float BarDisplayBot() const;
    void setBarDisplayBot(float value);
    float HiTol() const;
    void setHiTol(float value);
    float LoTol() const;
    void setLoTol(float value);
    float HiAppr() const;
    void setHiAppr(float value);
    float LoAppr() const;
    void setLoAppr(float value);

private:
    LinkSession &m_session;
    Prompts &m_prompts;
};

// The link calls of one kind of input (probes, analog inputs), each on the input's 1-based number.
struct InputCalls {
    using Read = int32_t (*)(LinkSession &, int input, float *value);
    using Write = int32_t (*)(LinkSession &, int input, float *value);
    Read value;
    Read zeroOffset;
    Write setZeroOffset;
    Read fullScale;
    Write setFullScale;
};

// What a probe and an analog input share: a number and a description kept by the station, and a
// live value, zero offset and full scale kept by the unit, through the calls of its kind. A read
// that fails reads 0 (the link error handler has told the operator).
class MeasuredInput {
public:
    int16_t Index = 0;
    QString Description;

    float Value(int input) const;
    float ZeroOffset() const;
    void setZeroOffset(float value);
    float FullScale() const;
    void setFullScale(float value);

protected:
    MeasuredInput(LinkSession &session, const InputCalls &calls)
        : m_session(session), m_calls(calls) {}
    ~MeasuredInput() = default;
    MeasuredInput(const MeasuredInput &) = delete;
    MeasuredInput &operator=(const MeasuredInput &) = delete;

    void setZeroOffsetOf(int input, float value);
    void setFullScaleOf(int input, float value);

private:
    float read(InputCalls::Read call, int input) const;

    LinkSession &m_session;
    const InputCalls &m_calls;
};

class Lvdt : public MeasuredInput {
public:
    explicit Lvdt(LinkSession &session);

    void SetDefaults(int n);
    void SetLVDTFullScale(int probe, float value) { setFullScaleOf(probe, value); }
    void SetLVDTZero(int probe, float value) { setZeroOffsetOf(probe, value); }
};

class analog : public MeasuredInput {
public:
    explicit analog(LinkSession &session);

    static constexpr float DefaultZeroOffset = 0.0f;
    static constexpr float DefaultFullScale = 1.0f;

    // Sets Index and Description, then sends the default zero and full scale to the unit.
    void SetDefaults(int n);
    // Index and Description alone: the part of SetDefaults that sends nothing.
    void SetDefaultName(int n);
    void SetAnalogFullScale(int input, float value) { setFullScaleOf(input, value); }
    void SetAnalogZero(int input, float value) { setZeroOffsetOf(input, value); }
};

// A named list of channels with its own display-window rectangles.
class group {
public:
    int16_t Index = 0;
    QString Description;
    int16_t Count = 0;
    int16_t WindowGridTop = 0, WindowGridLeft = 0, WindowGridHeight = 0, WindowGridWidth = 0;
    int16_t WindowBarTop = 0, WindowBarLeft = 0, WindowBarHeight = 0, WindowBarWidth = 0;
    int16_t WindowDialTop = 0, WindowDialLeft = 0, WindowDialHeight = 0, WindowDialWidth = 0;

    void SetDefaults(int n);
    void AddChannel(int channel);
    // position is 1-based; nothing happens for an empty list or a position beyond Count.
    void RemoveChannel(int position);
    // Channel number at 1-based position; 0 outside the list.
    int GetChannel(int position) const;

private:
    std::vector<int16_t> m_channelList;
};

// Unit-wide counts, cached after the first read or write.
class QorSystem {
public:
    explicit QorSystem(LinkSession &session) : m_session(session) {}

    int MaxLvdt();
    void setMaxLvdt(int n);
    int MaxChannel();
    void setMaxChannel(int n);
    void SaveSettings(const QString &name);
    int BoxFrequency() const { return 0; }
    void setBoxFrequency(int) {}

private:
    LinkSession &m_session;
    int16_t m_maxLvdt = 0;
    int16_t m_maxChannel = 0;
};

// Part of the measurement object model, though nothing in the station uses it: it answers 999 for
// every input without asking the unit.
class ReadADC {
public:
    float Value(int) const { return 999.0f; }
};

// "Lvdt 3", "Analog  3", "Group  3": the number formatted with a leading blank.
QString defaultObjectName(const char *word, int n);

// Builds the channel, probe and analog sets from UnitSystem's counts and MaxAnalog; each analog
// input sends its zero 0.0 and full scale 1.0 to the unit.
void CreateMeasurementObjects(UnitObjects &unit, LinkSession &session, Prompts &prompts);
