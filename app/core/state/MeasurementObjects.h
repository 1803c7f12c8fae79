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

class Lvdt {
public:
    explicit Lvdt(LinkSession &session) : m_session(session) {}

    int16_t Index = 0;
    QString Description;

    void SetDefaults(int n);
    void SetLVDTFullScale(int probe, float value);
    void SetLVDTZero(int probe, float value);
    float Value(int probe) const;
    float ZeroOffset() const;
    void setZeroOffset(float value);
    float FullScale() const;
    void setFullScale(float value);

private:
    LinkSession &m_session;
};

class analog {
public:
    explicit analog(LinkSession &session) : m_session(session) {}

    static constexpr float DefaultZeroOffset = 0.0f;
    static constexpr float DefaultFullScale = 1.0f;

    int16_t Index = 0;
    QString Description;

    // Sets Index and Description, then sends the default zero and full scale to the unit.
    void SetDefaults(int n);
    // Index and Description alone: the part of SetDefaults that sends nothing.
    void SetDefaultName(int n);
    void SetAnalogFullScale(int input, float value);
    void SetAnalogZero(int input, float value);
    float Value(int input) const;
    float ZeroOffset() const;
    void setZeroOffset(float value);
    float FullScale() const;
    void setFullScale(float value);

private:
    LinkSession &m_session;
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
