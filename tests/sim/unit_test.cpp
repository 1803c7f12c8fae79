// The unit model: probes and amplifiers, the scan, channels across chains, the calibration
// store, setups and the non-volatile memory.
#include "nvstate.h"
#include "test_unit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>

namespace qorsim {
namespace {

TEST(ProbeModel, AmplifierScalesTheDisplacement) {
    TestUnit t;
    t.quiet(); // displacement -0.01
    EXPECT_DOUBLE_EQ(t.unit->probeReading(1), -0.01);

    t.unit->amplifier(1) = Amplifier{255, 30, 100, 0};
    t.unit->probeScaling(1) = ProbeScaling{0.1, 0.5};
    t.pass(0.01);
    double gain = (1 + 256.28 / 31.28) * 1.025 / ((1 + 129.28 / 51.28));
    EXPECT_NEAR(t.unit->probeReading(1), 0.1 * (-0.2 * gain) + 0.5, 1e-12);

    t.unit->amplifier(1) = Amplifier{128, 50, 0, 500};
    t.pass(0.01);
    EXPECT_NEAR(t.unit->probeReading(1), 0.1 * (-0.2 + 0.1) + 0.5, 1e-12);

    t.unit->setMasterSize(1, 1.0); // far beyond full travel: the amplifier saturates
    t.pass(0.01);
    EXPECT_NEAR(t.unit->probeReading(1), 0.1 * 1.1 + 0.5, 1e-12);
}

TEST(ProbeModel, RunPresentsANewPartEveryTwoSeconds) {
    TestUnit t;
    t.unit->setNoise(0);
    t.pass(0.01);
    std::set<double> parts;
    double first = t.unit->probeReading(1);
    t.pass(1.0);
    EXPECT_EQ(t.unit->probeReading(1), first) << "the same part within two seconds";
    for (int i = 0; i < 10; ++i) {
        t.pass(2.0);
        double v = t.unit->probeReading(1);
        EXPECT_LE(std::fabs(v), 0.002);
        parts.insert(v);
    }
    EXPECT_GE(parts.size(), 9u);

    t.unit->setPartMode(PartMode::Hold);
    double held = t.unit->probeReading(1);
    t.pass(5.0);
    EXPECT_EQ(t.unit->probeReading(1), held);
    t.unit->setPartMode(PartMode::Master2);
    t.pass(0.01);
    EXPECT_DOUBLE_EQ(t.unit->probeReading(1), 0.01);
}

TEST(ProbeModel, RunningAverageReducesNoise) {
    auto spread = [](int runAverage) {
        TestUnit t;
        t.quiet();
        t.unit->setNoise(0.001);
        t.unit->settings().runAverage = runAverage;
        double sum = 0, sum2 = 0;
        const int n = 2000;
        for (int i = 0; i < n; ++i) {
            t.pass(0.01);
            double v = t.unit->probeReading(1);
            sum += v;
            sum2 += v * v;
        }
        return std::sqrt(sum2 / n - (sum / n) * (sum / n));
    };
    EXPECT_NEAR(spread(1), 0.001, 0.0002);
    EXPECT_LT(spread(16), 0.0004);
}

TEST(ProbeModel, StuckProbeAndStoppedScanFreeze) {
    TestUnit t;
    t.pass(0.01);
    t.unit->setProbeStuck(2, true);
    double stuck = t.unit->probeReading(2), moving = t.unit->probeReading(1);
    t.pass(2.0);
    EXPECT_EQ(t.unit->probeReading(2), stuck);
    EXPECT_NE(t.unit->probeReading(1), moving);

    EXPECT_EQ(t.ask("~C8\r"), "~00\r");
    EXPECT_EQ(t.ask("~Y5\r"), "~00 0\r");
    double frozen = t.unit->probeReading(1);
    t.pass(3.0);
    EXPECT_EQ(t.unit->probeReading(1), frozen);
    EXPECT_EQ(t.ask("~C7\r"), "~00\r");
    t.pass(0.01);
    EXPECT_NE(t.unit->probeReading(1), frozen);
}

TEST(ProbeModel, AnalogIsASlowSineScaled) {
    TestUnit t;
    t.unit->analogScaling(1) = AnalogScaling{10.0, 20.0};
    double lo = 1e9, hi = -1e9;
    for (int i = 0; i < 400; ++i) {
        t.pass(0.1);
        lo = std::min(lo, t.unit->analogReading(1));
        hi = std::max(hi, t.unit->analogReading(1));
    }
    EXPECT_NEAR(hi, 23.0, 0.05);
    EXPECT_NEAR(lo, 17.0, 0.05);
}

TEST(Channels, ValueIsFormulaTimesScalePlusZero) {
    TestUnit t;
    t.quiet();
    ASSERT_EQ(t.unit->defineChannel(1, "P1*100"), 0);
    t.unit->channel(1).cscale = 2;
    t.unit->channel(1).czero = 3;
    EXPECT_DOUBLE_EQ(t.unit->channelValue(1), 1.0);
    ASSERT_EQ(t.unit->defineChannel(2, "C1+1"), 0);
    EXPECT_DOUBLE_EQ(t.unit->channelValue(2), 2.0);
    t.unit->clearChannel(1);
    EXPECT_EQ(t.unit->channelValue(1), 0.0);
    EXPECT_DOUBLE_EQ(t.unit->channelValue(2), 1.0) << "an undefined channel reads 0";
}

TEST(Channels, CircularDefinitionsAreRefusedThroughAnyChain) {
    TestUnit t;
    EXPECT_EQ(t.unit->defineChannel(1, "C1"), kCircular);
    ASSERT_EQ(t.unit->defineChannel(1, "C2+1"), 0);
    ASSERT_EQ(t.unit->defineChannel(2, "C3*2"), 0);
    EXPECT_EQ(t.unit->defineChannel(3, "ABS(C1)"), kCircular);
    EXPECT_EQ(t.unit->defineChannel(3, "AVG(C1:C2)"), kCircular);
    EXPECT_EQ(t.unit->channel(3).formula, "");
    EXPECT_EQ(t.unit->defineChannel(3, "C4"), 0);
    EXPECT_EQ(t.unit->defineChannel(2, "P1"), 0) << "breaking the chain frees channel 1";
    EXPECT_EQ(t.unit->defineChannel(4, "C1"), 0);
    EXPECT_EQ(t.ask("~C4 2 C4\r"), "~20\r");
    EXPECT_EQ(t.ask("~CF 2\r"), "~00   2 P1\r") << "a refused definition keeps the old one";
}

TEST(Channels, LongChainsOfSharedChannelsStayCheap) {
    TestUnit t;
    t.quiet();
    ASSERT_EQ(t.unit->defineChannel(1, "P1"), 0);
    for (int ch = 2; ch <= 60; ++ch) {
        std::string previous = "C" + std::to_string(ch - 1);
        ASSERT_EQ(t.unit->defineChannel(ch, previous + "+" + previous), 0);
    }
    t.pass(0.01); // would evaluate 2^59 paths without reuse
    EXPECT_DOUBLE_EQ(t.unit->channelValue(4), -0.08);
}

TEST(Channels, FormulaMemoryIsShared) {
    TestUnit t;
    std::string terms = "1";
    for (int i = 0; i < 200; ++i)
        terms += "+1"; // 401 nodes
    EXPECT_EQ(t.unit->defineChannel(1, terms), 0);
    EXPECT_EQ(t.unit->defineChannel(2, terms), 0);
    EXPECT_EQ(t.unit->defineChannel(3, terms), kTooManyNodes);
    EXPECT_EQ(t.unit->defineChannel(1, terms), 0) << "redefining replaces its own share";

    TestUnit u;
    std::string wide = "1" + std::string(2100, ' ');
    EXPECT_EQ(u.unit->defineChannel(1, wide), 0);
    EXPECT_EQ(u.unit->defineChannel(2, wide), kMemoryFull);
}

TEST(Channels, MaxMinMemoryFollowsTheScanUntilReset) {
    TestUnit t;
    t.unit->setNoise(0);
    ASSERT_EQ(t.unit->defineChannel(1, "TIR(P1)"), 0);
    ASSERT_EQ(t.unit->defineChannel(2, "MAX(P1)"), 0);
    t.unit->setPartMode(PartMode::Master1);
    t.pass(0.01);
    t.unit->setPartMode(PartMode::Master2);
    t.pass(0.01);
    EXPECT_NEAR(t.unit->channelValue(1), 0.02, 1e-12);
    EXPECT_NEAR(t.unit->channelValue(2), 0.01, 1e-12);
    EXPECT_EQ(t.ask("~C9\r"), "~00\r");
    EXPECT_EQ(t.unit->channelValue(1), 0.0);
}

TEST(Channels, CountBoundsTheChannelNumbers) {
    TestUnit t;
    EXPECT_EQ(t.ask("~YE 8\r"), "~00\r");
    EXPECT_EQ(t.ask("~YG\r"), "~00 8\r");
    EXPECT_EQ(t.ask("~C1 9\r"), "~10\r");
    EXPECT_EQ(t.ask("~YE 129\r"), "~10\r");
    EXPECT_EQ(t.ask("~YE 0\r"), "~10\r");
}

TEST(CalibrationStore, BusyForAboutSixHundredMilliseconds) {
    TestUnit t;
    EXPECT_EQ(t.ask("~PW\r"), "~00 0\r");
    EXPECT_EQ(t.ask("~PX\r"), "~00   0   0\r");
    t.pass(0.5);
    EXPECT_EQ(t.ask("~PX\r"), "~00   0   0\r");
    t.pass(0.15);
    EXPECT_EQ(t.ask("~PX\r"), "~00   1   0\r");

    Options failing;
    failing.saveStatus = 7;
    TestUnit f(failing);
    EXPECT_EQ(f.ask("~PW\r"), "~00 0\r");
    f.pass(1.0);
    EXPECT_EQ(f.ask("~PX\r"), "~00   1   7\r");
}

class WithStateFile : public ::testing::Test {
protected:
    void SetUp() override {
        path = std::filesystem::temp_directory_path() /
               ("qorsim-unit-" + std::to_string(::getpid()) + ".state");
        std::filesystem::remove(path);
        options.stateFile = path.string();
    }
    void TearDown() override { std::filesystem::remove(path); }
    std::filesystem::path path;
    Options options;
};

TEST_F(WithStateFile, SetupsCalibrationAndFrequenciesSurvivePowerOff) {
    {
        TestUnit t(options);
        ASSERT_EQ(t.ask("~C4 2 (P1 + P2) / 2\r"), "~00\r");
        ASSERT_EQ(t.ask("~CM 2 Mean of 1 and 2 %\r"), "~00\r");
        ASSERT_EQ(t.ask("~CQ 2 0.003000\r"), "~00\r");
        ASSERT_EQ(t.ask("~PC 3 0.100000\r"), "~00\r");
        ASSERT_EQ(t.ask("~YE 8\r"), "~00\r");
        ASSERT_EQ(t.ask("~Sv default\r"), "~00\r");
        ASSERT_EQ(t.ask("~Sv other one\r"), "~00\r");
        ASSERT_EQ(t.ask("~PF 4 85 60\r"), "~00\r");
        ASSERT_EQ(t.ask("~PW\r"), "~00 0\r");
        ASSERT_EQ(t.ask("~PF 5 1 1\r"), "~00\r"); // not stored
        ASSERT_EQ(t.ask("~YD 3 7000\r"), "~00\r");
        ASSERT_EQ(t.ask("~YC 4 9000\r"), "~00\r"); // in effect only
    }
    TestUnit t(options);
    EXPECT_EQ(t.ask("~CF 2\r"), "~00   2 (P1 + P2) / 2\r");
    EXPECT_EQ(t.ask("~CN 2\r"), "~00   2 Mean of 1 and 2 %\r");
    EXPECT_EQ(t.ask("~CV 2\r"), "~00   2 0.003000\r");
    EXPECT_EQ(t.ask("~PE 3\r"), "~00   3 0.100000\r");
    EXPECT_EQ(t.ask("~YG\r"), "~00 8\r");
    EXPECT_EQ(t.ask("~PI 4\r"), "~00   4 085 060\r");
    EXPECT_EQ(t.ask("~PI 5\r"), "~00   5 128 050\r");
    EXPECT_EQ(t.ask("~YB 3\r"), "~00 7000\r");
    EXPECT_EQ(t.ask("~YB 4\r"), "~00 5000\r");
    EXPECT_EQ(t.ask("~Sd\r"), "~00 default\r");
    EXPECT_EQ(t.ask("~Se\r"), "~00 other one\r");
    EXPECT_EQ(t.ask("~Se\r"), "~00\r");

    EXPECT_EQ(t.ask("~Sr\r"), "~00\r");
    EXPECT_EQ(t.ask("~CF 2\r"), "~00   2 \r");
    EXPECT_EQ(t.ask("~YG\r"), "~00 128\r");
    EXPECT_EQ(t.ask("~So other one\r"), "~00\r");
    EXPECT_EQ(t.ask("~CF 2\r"), "~00   2 (P1 + P2) / 2\r");
}

TEST_F(WithStateFile, AMalformedFileIsReportedNotFatal) {
    {
        std::FILE *f = std::fopen(options.stateFile.c_str(), "w");
        std::fputs("qorsim-state 1\nfrequency 2 6000\nbogus line\n", f);
        std::fclose(f);
    }
    NonVolatile nv;
    std::string error;
    EXPECT_FALSE(loadNonVolatile(options.stateFile, nv, error));
    EXPECT_NE(error.find(":3:"), std::string::npos) << error;
    TestUnit t(options);
    EXPECT_EQ(t.ask("~YB 2\r"), "~00 6000\r") << "what came before the fault is kept";
}

TEST(Presets, DemoDefinesEightLivePlausibleChannels) {
    Options demo;
    demo.preset = "demo";
    TestUnit t(demo);
    EXPECT_EQ(t.ask("~YG\r"), "~00 8\r");
    for (int ch = 1; ch <= 8; ++ch) {
        ChannelConfig &c = t.unit->channel(ch);
        EXPECT_FALSE(c.formula.empty()) << ch;
        EXPECT_FALSE(c.description.empty()) << ch;
        EXPECT_LT(c.barBottom, c.barTop) << ch;
        EXPECT_LE(c.loTolerance, c.loApproach) << ch;
        EXPECT_LT(c.loApproach, c.hiApproach) << ch;
        EXPECT_LT(c.hiApproach, c.hiTolerance) << ch;
        for (int i = 0; i < 20; ++i) {
            t.pass(0.5);
            double v = t.unit->channelValue(ch);
            EXPECT_GE(v, c.barBottom) << ch;
            EXPECT_LE(v, c.barTop) << ch;
        }
    }
    t.unit->setNoise(0);
    t.unit->setPartMode(PartMode::Master1);
    t.pass(0.01);
    EXPECT_NEAR(t.unit->channelValue(1), t.unit->channel(1).master1, 1e-9);
    t.unit->setPartMode(PartMode::Master2);
    t.pass(0.01);
    EXPECT_NEAR(t.unit->channelValue(1), t.unit->channel(1).master2, 1e-9);
}

} // namespace
} // namespace qorsim
