#include "MasteringArithmetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace procedures;

namespace {

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

TEST(MasteringArithmetic, ZeroingMovesTheZeroSoThatMaster1ReadsTrue) {
    const ZeroInput input{5.010, 0.0, 1.0, 5.000};
    for (const Intermediates intermediates :
         {Intermediates::Doubles, Intermediates::GroupSingles}) {
        const MasteringResult result = zeroChannel(input, intermediates);
        ASSERT_TRUE(result.succeeded());
        EXPECT_NEAR(result.zeroOffset, -0.010, 1e-7);
        EXPECT_EQ(result.scaling, 1.0) << "zeroing leaves the scaling";
    }
    EXPECT_EQ(zeroChannel({3.25, 1.5, 2.0, 2.0}, Intermediates::Doubles).zeroOffset, 0.25)
        << "an existing zero is taken out first";
    const double single = zeroChannel({0.1, 0.0, 1.0, 0.0}, Intermediates::GroupSingles).zeroOffset;
    EXPECT_EQ(single, static_cast<double>(static_cast<float>(-0.1))) << "the group holds a single";
}

TEST(MasteringArithmetic, TwoMastersGiveTheExampleConstantsInBothPrecisions) {
    const TwoMasterInput input{10.0, 0.0, 0.0, 1.0, 10.02, 0.01};
    const MasteringResult doubles = masterChannel(input, Intermediates::Doubles);
    ASSERT_TRUE(doubles.succeeded());
    EXPECT_NEAR(doubles.scaling, 1.001, 1e-12);
    EXPECT_NEAR(doubles.zeroOffset, 0.01, 1e-12);

    const TwoMasterInput singleMasters{10.0, 0.0, 0.0, 1.0, 10.02f, 0.01f};
    const MasteringResult singles = masterChannel(singleMasters, Intermediates::GroupSingles);
    ASSERT_TRUE(singles.succeeded());
    EXPECT_NEAR(singles.scaling, 1.001, 1e-6);
    EXPECT_NEAR(singles.zeroOffset, 0.01, 1e-6);
    EXPECT_EQ(singles.scaling, static_cast<double>(static_cast<float>(singles.scaling)))
        << "the group's new scaling is held as a single";
}

// Whatever the old constants, the new ones make both readings show their masters.
TEST(MasteringArithmetic, NewConstantsMapBothReadingsOntoTheirMasters) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> value(-50.0, 50.0);
    std::uniform_real_distribution<double> scale(0.2, 5.0);
    for (int run = 0; run < 1000; ++run) {
        TwoMasterInput in{value(random), value(random), value(random),
                          scale(random), value(random), value(random)};
        if (std::fabs(in.reading1 - in.reading2) < 0.01)
            continue;
        const MasteringResult result = masterChannel(in, Intermediates::Doubles);
        ASSERT_TRUE(result.succeeded()) << "run " << run;
        const double u1 = (in.reading1 - in.zeroOffset) / in.scaling;
        const double u2 = (in.reading2 - in.zeroOffset) / in.scaling;
        EXPECT_NEAR(u1 * result.scaling + result.zeroOffset, in.master1, 1e-9) << "run " << run;
        EXPECT_NEAR(u2 * result.scaling + result.zeroOffset, in.master2, 1e-9) << "run " << run;
        const MasteringResult group = masterChannel(in, Intermediates::GroupSingles);
        ASSERT_TRUE(group.succeeded()) << "run " << run;
        EXPECT_NEAR(u1 * group.scaling + group.zeroOffset, in.master1, 1e-2) << "run " << run;
    }
}

struct RefusalCase {
    const char *legend;
    TwoMasterInput input;
    Intermediates intermediates;
    MasteringRefusal refusal;
};

TEST(MasteringArithmetic, ImpossibleComputationsAreRefusedAndKeepTheConstants) {
    const RefusalCase cases[] = {
        {"readings closer than 5E-05",
         {10.0, 10.00004, 0.5, 2.0, 1.0, 0.0},
         Intermediates::Doubles,
         MasteringRefusal::SpreadTooSmall},
        {"equal readings",
         {3.0, 3.0, 0.5, 2.0, 1.0, 0.0},
         Intermediates::GroupSingles,
         MasteringRefusal::SpreadTooSmall},
        {"a scaling of 0",
         {10.0, 0.0, 0.5, 0.0, 1.0, 0.0},
         Intermediates::Doubles,
         MasteringRefusal::ZeroScaling},
        {"readings apart whose unscaled values meet in doubles",
         {0.0, 1.0, 1e17, 1.0, 1.0, 0.0},
         Intermediates::Doubles,
         MasteringRefusal::EqualUnscaled},
        {"readings apart whose unscaled values meet in singles",
         {1e6, 1e6 + 0.001, 0.0, 1.0, 1.0, 0.0},
         Intermediates::GroupSingles,
         MasteringRefusal::EqualUnscaled},
        {"a reading that is not a number",
         {Nan, 0.0, 0.5, 2.0, 1.0, 0.0},
         Intermediates::Doubles,
         MasteringRefusal::NotANumber},
        {"an infinite master",
         {1.0, 0.0, 0.5, 2.0, std::numeric_limits<double>::infinity(), 0.0},
         Intermediates::Doubles,
         MasteringRefusal::NotANumber},
        {"a scaling too large for a single",
         {1.0, 0.0, 0.0, 1e30, 1e10, 0.0},
         Intermediates::Doubles,
         MasteringRefusal::OutOfRange},
        {"unscaled values beyond a single",
         {1.0, 0.0, 0.0, 1e-300, 1.0, 0.0},
         Intermediates::GroupSingles,
         MasteringRefusal::OutOfRange},
    };
    for (const auto &c : cases) {
        const MasteringResult result = masterChannel(c.input, c.intermediates);
        EXPECT_EQ(result.refusal, c.refusal) << c.legend;
        EXPECT_EQ(result.zeroOffset, c.input.zeroOffset) << c.legend;
        EXPECT_EQ(result.scaling, c.input.scaling) << c.legend;
        EXPECT_FALSE(refusalText(result.refusal).isEmpty()) << c.legend;
    }
    EXPECT_TRUE(
        masterChannel({0.00005, 0.0, 0.0, 1.0, 1.0, 0.0}, Intermediates::Doubles).succeeded())
        << "a spread of exactly 5E-05 is enough";
    EXPECT_EQ(zeroChannel({Nan, 0.0, 1.0, 5.0}, Intermediates::Doubles).refusal,
              MasteringRefusal::NotANumber);
    EXPECT_EQ(zeroChannel({-1e39, 0.0, 1.0, 5.0}, Intermediates::Doubles).refusal,
              MasteringRefusal::OutOfRange);
    EXPECT_EQ(refusalText(MasteringRefusal::SpreadTooSmall),
              QStringLiteral("Mastering unsuccessful."));
}

} // namespace
