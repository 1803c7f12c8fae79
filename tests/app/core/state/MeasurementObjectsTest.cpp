#include "SilentTerminal.h"
#include "SimulatedUnit.h"
#include "StationFixture.h"

#include <gtest/gtest.h>

namespace {

class MeasurementObjectsTest : public ::testing::Test, public StationFixture {
protected:
    void SetUp() override { connectStandIn(QStringLiteral("--preset demo --log ") + logFile()); }
    QString logFile() const { return tempPath(QStringLiteral("unit.log")); }
    QStringList requests() const { return requestsOfLog(logFile()); }
};

TEST_F(MeasurementObjectsTest, SetsAreBuiltFromTheCounts) {
    ASSERT_EQ(state.unit.Channels.size(), 8u);
    ASSERT_EQ(state.unit.Lvdts.size(), 8u);
    ASSERT_EQ(state.unit.Analogs.size(), 1u);
    const Channel *const third = state.unit.channel(3);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->Index, 3);
    EXPECT_EQ(third->Decimals, 5);
    EXPECT_EQ(third->Units, QStringLiteral("Inch"));
    EXPECT_FALSE(third->InUse);
    EXPECT_EQ(state.unit.lvdt(3)->Description, QStringLiteral("Lvdt 3"));
    EXPECT_EQ(state.unit.analogInput(1)->Description, QStringLiteral("Analog  1"));
    group g;
    g.SetDefaults(3);
    EXPECT_EQ(g.Description, QStringLiteral("Group  3"));
    EXPECT_EQ(defaultObjectName("Lvdt", -2), QStringLiteral("Lvdt-2"));
}

TEST_F(MeasurementObjectsTest, CountsAreCachedAfterTheyAreSet) {
    const qsizetype before = requests().size();
    EXPECT_EQ(state.unit.UnitSystem->MaxChannel(), 8);
    EXPECT_EQ(state.unit.UnitSystem->MaxLvdt(), 8);
    EXPECT_EQ(requests().size(), before) << "a set count is not asked again";

    QorSystem fresh(state.session);
    EXPECT_EQ(fresh.MaxChannel(), 8);
    EXPECT_EQ(fresh.MaxChannel(), 8);
    EXPECT_EQ(requests().mid(before), QStringList{QStringLiteral("~YG")}) << "asked once";
}

TEST_F(MeasurementObjectsTest, ValueReadsTheChannelGivenNotTheObjectsOwn) {
    const float own = state.unit.channel(3)->Value(3);
    const float seventh = state.unit.channel(3)->Value(7);
    EXPECT_GT(own, 39.0f);
    EXPECT_LT(seventh, 1.0f);
}

// The two members with nothing behind them in the unit answer fixed values and send nothing.
TEST_F(MeasurementObjectsTest, PlaceholdersAnswerFixedValuesWithoutAsking) {
    const qsizetype before = requests().size();
    for (int input : {0, 1, 8, 200})
        EXPECT_EQ(ReadADC().Value(input), 999.0f) << input;
    state.unit.UnitSystem->setBoxFrequency(50);
    EXPECT_EQ(state.unit.UnitSystem->BoxFrequency(), 0) << "a written frequency is not kept";
    EXPECT_EQ(requests().size(), before);
}

// A property is the unit's value, not a copy in the object: what the object writes the library
// reads back for the object's own number, and what the library writes the object reads.
struct InUnit {
    float (*read)(LinkSession &, int);
    void (*write)(LinkSession &, int, float);
};

#define IN_UNIT(Read, Set)                                                                         \
    InUnit {                                                                                       \
        [](LinkSession &s, int n) {                                                                \
            float value = 0.0f;                                                                    \
            s.link.Read(s.LinkHandle, n, &value);                                                  \
            return value;                                                                          \
        },                                                                                         \
            [](LinkSession &s, int n, float value) {                                               \
                s.link.Set(s.LinkHandle, n, &value);                                               \
            }                                                                                      \
    }

TEST_F(MeasurementObjectsTest, ChannelPropertiesAreTheUnitsValues) {
    Channel &ch = *state.unit.channel(2);
    const struct {
        const char *name;
        float (Channel::*get)() const;
        void (Channel::*set)(float);
        InUnit unit;
    } properties[] = {
        {"ZeroOffset", &Channel::ZeroOffset, &Channel::setZeroOffset,
         IN_UNIT(QorReadCzero, QorSetCzero)},
        {"Scaling", &Channel::Scaling, &Channel::setScaling, IN_UNIT(QorReadCscale, QorSetCscale)},
        {"Master1", &Channel::Master1, &Channel::setMaster1,
         IN_UNIT(QorReadMaster1, QorSetMaster1)},
        {"Master2", &Channel::Master2, &Channel::setMaster2,
         IN_UNIT(QorReadMaster2, QorSetMaster2)},
        {"BarDisplayTop", &Channel::BarDisplayTop, &Channel::setBarDisplayTop,
         IN_UNIT(QorReadBarScaleTop, QorSetBarScaleTop)},
        {"BarDisplayBot", &Channel::BarDisplayBot, &Channel::setBarDisplayBot,
         IN_UNIT(QorReadBarScaleBottom, QorSetBarScaleBottom)},
        {"HiTol", &Channel::HiTol, &Channel::setHiTol,
         IN_UNIT(QorReadHiTolerance, QorSetHiTolerance)},
        {"LoTol", &Channel::LoTol, &Channel::setLoTol,
         IN_UNIT(QorReadLoTolerance, QorSetLoTolerance)},
        {"HiAppr", &Channel::HiAppr, &Channel::setHiAppr,
         IN_UNIT(QorReadHiApproach, QorSetHiApproach)},
        {"LoAppr", &Channel::LoAppr, &Channel::setLoAppr,
         IN_UNIT(QorReadLoApproach, QorSetLoApproach)},
    };
    float next = 1.25f;
    for (const auto &p : properties) {
        SCOPED_TRACE(p.name);
        (ch.*p.set)(next);
        EXPECT_FLOAT_EQ(p.unit.read(state.session, 2), next) << "written to the unit";
        EXPECT_NE(p.unit.read(state.session, 3), next) << "and to channel 2 alone";
        p.unit.write(state.session, 2, next + 0.25f);
        EXPECT_FLOAT_EQ((ch.*p.get)(), next + 0.25f) << "read from the unit";
        next += 0.5f;
    }
    for (const bool useTwo : {true, false}) {
        ch.setUseTwoMasters(useTwo);
        int32_t inUnit = -1;
        state.session.link.QorReadUse2Masters(state.session.LinkHandle, 2, &inUnit);
        EXPECT_EQ(inUnit != 0, useTwo);
        state.session.link.QorSetUse2Masters(state.session.LinkHandle, 2, useTwo ? 0 : 1);
        EXPECT_EQ(ch.UseTwoMasters(), !useTwo);
    }
    ch.setDescription(QStringLiteral("Outer ring"));
    state.session.link.QorReadChannelDesc(state.session.LinkHandle, 2,
                                          state.session.ReplyText.data());
    EXPECT_EQ(state.session.replyText(), QStringLiteral("Outer ring"));
    state.session.link.QorSetChannelDesc(state.session.LinkHandle, 2, "Inner ring");
    EXPECT_EQ(ch.Description(), QStringLiteral("Inner ring"));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MeasurementObjectsTest, FormulaIsDefinedAndAnEmptyOneClearsTheChannel) {
    Channel &ch = *state.unit.channel(4);
    ch.setFormula(QStringLiteral("P1+P2"));
    EXPECT_EQ(ch.Formula(), QStringLiteral("P1+P2"));
    ch.SetChannelFormula(5, QStringLiteral("P3"));
    EXPECT_EQ(state.unit.channel(5)->Formula(), QStringLiteral("P3"));
    ch.setFormula(QString());
    EXPECT_EQ(ch.Formula(), QString());
}

TEST_F(MeasurementObjectsTest, IndexZeroRefusesFormulaAndZeroOffsetWithoutSending) {
    Channel unnumbered(state.session, prompts);
    const qsizetype before = requests().size();
    unnumbered.setFormula(QStringLiteral("P1"));
    unnumbered.setZeroOffset(1.0f);
    EXPECT_EQ(requests().size(), before);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("Index Zero in Formula Property"));
    EXPECT_EQ(prompts.shown[1].text, QStringLiteral("Index Zero in ZeroOffset Property"));
    EXPECT_EQ(prompts.shown[1].buttons, PromptButtons::Ok);
}

TEST_F(MeasurementObjectsTest, ProbePropertiesAreTheUnitsValues) {
    Lvdt &probe = *state.unit.lvdt(2);
    const struct {
        const char *name;
        float (Lvdt::*get)() const;
        void (Lvdt::*set)(float);
        void (Lvdt::*setFor)(int, float);
        InUnit unit;
    } properties[] = {
        {"FullScale", &Lvdt::FullScale, &Lvdt::setFullScale, &Lvdt::SetLVDTFullScale,
         IN_UNIT(QorReadTfsv, QorSetTfsv)},
        {"ZeroOffset", &Lvdt::ZeroOffset, &Lvdt::setZeroOffset, &Lvdt::SetLVDTZero,
         IN_UNIT(QorReadTzero, QorSetTzero)},
    };
    for (const auto &p : properties) {
        SCOPED_TRACE(p.name);
        (probe.*p.set)(0.125f);
        EXPECT_FLOAT_EQ(p.unit.read(state.session, 2), 0.125f) << "written to the unit";
        p.unit.write(state.session, 2, 0.375f);
        EXPECT_FLOAT_EQ((probe.*p.get)(), 0.375f) << "read from the unit";
        (probe.*p.setFor)(3, 0.0625f);
        EXPECT_FLOAT_EQ(p.unit.read(state.session, 3), 0.0625f) << "the probe named";
        EXPECT_FLOAT_EQ(p.unit.read(state.session, 2), 0.375f) << "not the object's own";
    }
}

#undef IN_UNIT

// The unit's ASCII protocol has no analog scaling: each analog call exchanges the start-scan
// line, so a fresh analog input's defaults are two such exchanges.
TEST_F(MeasurementObjectsTest, AnalogDefaultsAreSentToTheUnit) {
    const qsizetype before = requests().size();
    analog input(state.session);
    input.SetDefaults(2);
    EXPECT_EQ(input.Description, QStringLiteral("Analog  2"));
    EXPECT_EQ(requests().mid(before), (QStringList{QStringLiteral("~C7"), QStringLiteral("~C7")}));
    EXPECT_FLOAT_EQ(input.FullScale(), 1.0f);
}

TEST_F(MeasurementObjectsTest, FailedTextReadGivesAnEmptyText) {
    state.unit.channel(1)->Description(); // leaves a text in the reply buffer
    Channel beyond(state.session, prompts);
    beyond.SetDefaults(200); // the unit accepts 128 channels
    EXPECT_EQ(beyond.Description(), QString());
    ASSERT_EQ(prompts.shown.size(), 1u) << "the failure is reported once";
    EXPECT_EQ(prompts.shown[0].buttons, PromptButtons::Ok);
}

struct GroupCase {
    const char *legend;
    std::vector<int> added;
    std::vector<int> removedPositions;
    std::vector<int> expected;
};

TEST(GroupTest, AddAndRemoveByPosition) {
    const GroupCase cases[] = {
        {"duplicates are kept", {3, 3}, {}, {3, 3}},
        {"remove the middle one", {1, 2, 3}, {2}, {1, 3}},
        {"remove the last remaining", {5}, {1}, {}},
        {"position beyond the list", {1, 2}, {3}, {1, 2}},
        {"position zero", {1, 2}, {0}, {1, 2}},
        {"empty list", {}, {1}, {}},
    };
    for (const auto &c : cases) {
        group g;
        EXPECT_EQ(g.Count, 0);
        for (int channel : c.added)
            g.AddChannel(channel);
        for (int position : c.removedPositions)
            g.RemoveChannel(position);
        std::vector<int> held;
        for (int p = 1; p <= g.Count; ++p)
            held.push_back(g.GetChannel(p));
        EXPECT_EQ(held, c.expected) << c.legend;
        EXPECT_EQ(g.GetChannel(g.Count + 1), 0) << c.legend;
    }
}

} // namespace
