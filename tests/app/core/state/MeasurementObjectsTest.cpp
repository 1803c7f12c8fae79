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
    const Channel &third = *state.unit.channel(3);
    EXPECT_EQ(third.Index, 3);
    EXPECT_EQ(third.Decimals, 5);
    EXPECT_EQ(third.Units, QStringLiteral("Inch"));
    EXPECT_FALSE(third.InUse);
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
    EXPECT_EQ(fresh.BoxFrequency(), 0);
}

TEST_F(MeasurementObjectsTest, ValueReadsTheChannelGivenNotTheObjectsOwn) {
    const float own = state.unit.channel(3)->Value(3);
    const float seventh = state.unit.channel(3)->Value(7);
    EXPECT_GT(own, 39.0f);
    EXPECT_LT(seventh, 1.0f);
    EXPECT_EQ(ReadADC().Value(5), 999.0f);
}

TEST_F(MeasurementObjectsTest, ChannelPropertiesGoStraightToTheUnit) {
    Channel &ch = *state.unit.channel(2);
    using Get = float (Channel::*)() const;
    using Set = void (Channel::*)(float);
    const struct {
        const char *name;
        Get get;
        Set set;
    } properties[] = {
        {"ZeroOffset", &Channel::ZeroOffset, &Channel::setZeroOffset},
        {"Scaling", &Channel::Scaling, &Channel::setScaling},
        {"Master1", &Channel::Master1, &Channel::setMaster1},
        {"Master2", &Channel::Master2, &Channel::setMaster2},
        {"BarDisplayTop", &Channel::BarDisplayTop, &Channel::setBarDisplayTop},
        {"BarDisplayBot", &Channel::BarDisplayBot, &Channel::setBarDisplayBot},
        {"HiTol", &Channel::HiTol, &Channel::setHiTol},
        {"LoTol", &Channel::LoTol, &Channel::setLoTol},
        {"HiAppr", &Channel::HiAppr, &Channel::setHiAppr},
        {"LoAppr", &Channel::LoAppr, &Channel::setLoAppr},
    };
    float next = 1.25f;
    for (const auto &p : properties) {
        (ch.*p.set)(next);
        EXPECT_FLOAT_EQ((ch.*p.get)(), next) << p.name;
        next += 0.5f;
    }
    ch.setUseTwoMasters(true);
    EXPECT_TRUE(ch.UseTwoMasters());
    ch.setUseTwoMasters(false);
    EXPECT_FALSE(ch.UseTwoMasters());
    ch.setDescription(QStringLiteral("Outer ring"));
    EXPECT_EQ(ch.Description(), QStringLiteral("Outer ring"));
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

TEST_F(MeasurementObjectsTest, ProbeAndAnalogPropertiesGoStraightToTheUnit) {
    Lvdt &probe = *state.unit.lvdt(2);
    probe.setFullScale(0.1f);
    probe.setZeroOffset(0.02f);
    EXPECT_FLOAT_EQ(probe.FullScale(), 0.1f);
    EXPECT_FLOAT_EQ(probe.ZeroOffset(), 0.02f);
    probe.SetLVDTFullScale(3, 0.2f);
    EXPECT_FLOAT_EQ(state.unit.lvdt(3)->FullScale(), 0.2f);

    // The unit's ASCII protocol has no analog scaling: each analog call exchanges the start-scan
    // line, so a fresh analog input's defaults are two such exchanges.
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
