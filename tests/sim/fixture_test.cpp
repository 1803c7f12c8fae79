// The fixture's parts as the probes read them: an empty fixture, parts placed and taken out, the
// seeded set with its reported sizes, shift, drift and spread, the cycle, and the seed.
#include "control.h"
#include "placed_sizes.h"
#include "test_unit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qorsim {
namespace {

struct Steered : TestUnit {
    explicit Steered(Options o = Options()) : TestUnit(std::move(o)) {}
    // Applies control lines; false when one is refused.
    bool control(std::initializer_list<const char *> lines) {
        for (const char *line : lines) {
            if (!applyControl(*unit, faults, line).ok)
                return false;
        }
        return true;
    }
    std::vector<double> readings() {
        std::vector<double> out;
        for (int pr = 1; pr <= options.probes; ++pr)
            out.push_back(unit->probeReading(pr));
        return out;
    }
    std::vector<std::string> placed() { return unit->fixture().takePlacements(); }
    FaultInjector faults{Options{}};
};

void expectNear(const std::vector<double> &got, const std::vector<double> &want, double within) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_NEAR(got[i], want[i], within) << "probe " << i + 1;
}

TEST(Fixture, EachLineSetsWhatTheProbesTouch) {
    const std::vector<double> rest(8, Fixture::kRestDisplacement);
    struct Case {
        const char *proves;
        std::initializer_list<const char *> lines;
        // The probes' true displacements, or empty: those of the last part announced.
        std::vector<double> expected;
    };
    const Case cases[] = {
        {"an empty fixture rests every probe", {"part empty"}, rest},
        {"a part taken out leaves the probes at rest", {"part place", "part out"}, rest},
        {"a reference part is its size on every probe",
         {"part reference 0.0125"},
         std::vector<double>(8, 0.0125)},
        {"a placed part reads its announced sizes", {"part place"}, {}},
        {"a numbered part reads its announced sizes", {"part place 7"}, {}},
        {"hold keeps a placed part", {"part place 3", "part hold"}, {}},
        {"hold keeps a master",
         {"master1 -0.02", "part master1", "part hold"},
         std::vector<double>(8, -0.02)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.proves);
        Steered t;
        t.unit->setNoise(0);
        ASSERT_TRUE(t.control(c.lines));
        t.pass(5.0); // more than two parts of the free run
        std::vector<double> expected = c.expected;
        if (expected.empty()) {
            const std::vector<std::string> placed = t.placed();
            ASSERT_FALSE(placed.empty());
            expected = sizesIn(placed.back());
        }
        expectNear(t.readings(), expected, 1e-9);
    }
}

TEST(Fixture, ReportedSizesAreWhatTheProbesReadWithinTheNoise) {
    // The spread of repeated readings is the noise over the root of the ADC averaging, and
    // their mean the part's reported size.
    constexpr double kNoise = 0.0004;
    constexpr int kAverage = 4, kScans = 4000;
    Steered t;
    ASSERT_TRUE(t.control({"noise 0.0004", "part place 12"}));
    t.unit->settings().adcAverage = kAverage;
    const std::vector<std::string> placed = t.placed();
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].rfind("part 12 placed: P1=", 0), 0u) << placed[0];
    const std::vector<double> sizes = sizesIn(placed[0]);
    ASSERT_EQ(sizes.size(), 8u);
    std::vector<double> sum(8, 0), sum2(8, 0);
    for (int i = 0; i < kScans; ++i) {
        t.pass(0.01);
        for (std::size_t p = 0; p < 8; ++p) {
            const double d = t.unit->probeReading(static_cast<int>(p) + 1) - sizes[p];
            sum[p] += d;
            sum2[p] += d * d;
        }
    }
    const double sigma = kNoise / std::sqrt(kAverage);
    for (std::size_t p = 0; p < 8; ++p) {
        SCOPED_TRACE(p + 1);
        const double mean = sum[p] / kScans;
        EXPECT_NEAR(mean, 0.0, 4 * sigma / std::sqrt(kScans));
        EXPECT_NEAR(std::sqrt(sum2[p] / kScans - mean * mean), sigma, 0.05 * sigma);
    }
}

TEST(Parts, TheSameNumberedPartHasTheSameSizeEveryTime) {
    Steered t;
    t.unit->setNoise(0);
    ASSERT_TRUE(t.control({"part place 7"}));
    t.pass(0.01);
    const std::vector<double> first = t.readings();
    const std::string announced = t.placed().at(0);
    // Other parts in between, and the process changed before the run reached part 7.
    ASSERT_TRUE(t.control({"part place 3", "part place", "shift 0.003", "drift 0.0002",
                           "spread 0.0001", "part out", "part place 7"}));
    t.pass(0.01);
    EXPECT_EQ(t.readings(), first);
    EXPECT_EQ(t.placed().back(), announced);
    while (t.unit->fixture().parts().next() < 7)
        t.unit->fixture().parts().takeNext();
    ASSERT_TRUE(t.control({"part place"}));
    EXPECT_EQ(t.placed().back(), announced) << "the run's part 7 is the part placed ahead";
}

TEST(Parts, ShiftDriftAndSpreadTakeEffectFromTheRunsNextPart) {
    struct Case {
        const char *proves;
        std::initializer_list<const char *> lines; // each "place" moves the run on one part
        long part;
        double mean;
    };
    const Case cases[] = {
        {"no change: the mean stays 0", {"part place"}, 40, 0.0},
        {"a shift steps the next part", {"part place", "shift 0.002"}, 2, 0.002},
        {"a shift leaves the parts before it", {"part place", "shift 0.002"}, 1, 0.0},
        {"shifts add up", {"shift 0.002", "part place", "shift -0.0005"}, 5, 0.0015},
        {"a drift moves each part on", {"part place", "drift 0.0001"}, 5, 0.0004},
        {"a new drift replaces the old one",
         {"drift 0.0001", "part place", "part place", "drift -0.0002"},
         4,
         0.0002 - 0.0004},
        {"a drift and a shift together",
         {"drift 0.0001", "shift 0.001", "part place", "part place", "drift 0"},
         10,
         0.0012},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.proves);
        Steered t;
        ASSERT_TRUE(t.control(c.lines));
        EXPECT_NEAR(t.unit->fixture().parts().mean(c.part), c.mean, 1e-12);
    }

    // The probes see it: with no spread and no noise each part of the run reads its mean.
    Steered t;
    t.unit->setNoise(0);
    ASSERT_TRUE(t.control({"spread 0", "part place", "shift 0.001", "part place", "drift 0.0005",
                           "part place", "part place"}));
    t.pass(0.01);
    expectNear(t.readings(), std::vector<double>(8, 0.002), 1e-12);
    const std::string status = t.unit->statusLine();
    EXPECT_NE(status.find("fixture part 4, true P1=0.002000000"), std::string::npos) << status;
    EXPECT_NE(status.find("next part 5, mean 0.002500000, spread 0.000000000, shift 0.001000000, "
                          "drift 0.000500000"),
              std::string::npos)
        << status;
}

TEST(Parts, TheSetIsSpreadAsSetAroundTheMean) {
    PartSet set(5, 8);
    set.setSpread(0.002);
    set.shift(0.01);
    constexpr int kParts = 4000;
    double sum = 0, sum2 = 0;
    for (long k = 1; k <= kParts; ++k) {
        for (double v : set.sizes(k)) {
            sum += v - 0.01;
            sum2 += (v - 0.01) * (v - 0.01);
        }
    }
    const double n = kParts * 8.0, mean = sum / n;
    EXPECT_NEAR(mean, 0.0, 4 * 0.002 / std::sqrt(n));
    EXPECT_NEAR(std::sqrt(sum2 / n - mean * mean), 0.002, 0.00005);
}

TEST(Cycle, AlternatesEmptyAndTheRunsNextPart) {
    Steered t;
    t.unit->setNoise(0);
    const double start = t.now;
    ASSERT_TRUE(t.control({"part cycle 3 1.5"}));
    struct Step {
        double at;      // seconds after the cycle began
        long part;      // in the fixture, 0: empty
        long announced; // parts announced by then
        double nextChange;
    };
    const Step steps[] = {
        {0.5, 0, 0, 1.5}, {1.6, 1, 1, 4.5}, {4.4, 1, 1, 4.5},
        {4.6, 0, 1, 6.0}, {6.1, 2, 2, 9.0}, {9.2, 0, 2, 10.5},
    };
    long announced = 0;
    for (const Step &s : steps) {
        SCOPED_TRACE(s.at);
        t.pass(start + s.at - t.now);
        for (const std::string &line : t.placed())
            EXPECT_EQ(line.rfind("part " + std::to_string(++announced) + " placed", 0), 0u);
        EXPECT_EQ(announced, s.announced);
        const std::vector<double> expected =
            s.part ? t.unit->fixture().parts().sizes(s.part)
                   : std::vector<double>(8, Fixture::kRestDisplacement);
        expectNear(t.readings(), expected, 1e-12);
        EXPECT_DOUBLE_EQ(t.unit->nextFixtureChange(), start + s.nextChange);
    }
    // Unwatched for a while, every part whose time came is placed and announced in turn.
    t.pass(start + 30.0 - t.now);
    const std::vector<std::string> late = t.placed();
    ASSERT_EQ(late.size(), 5u);
    EXPECT_EQ(late.front().rfind("part 3 placed", 0), 0u);
    EXPECT_EQ(late.back().rfind("part 7 placed", 0), 0u);
    // Hold in the middle of a part keeps that part.
    t.pass(start + 31.0 - t.now);
    ASSERT_TRUE(t.control({"part hold"}));
    t.pass(10.0);
    EXPECT_TRUE(t.placed().empty());
    EXPECT_EQ(t.unit->partMode(), PartMode::Placed);
    expectNear(t.readings(), t.unit->fixture().parts().sizes(7), 1e-12);
}

TEST(Seed, MakesRunsRepeatable) {
    auto run = [](std::uint64_t seed) {
        Options o;
        o.seed = seed;
        Steered t(o);
        EXPECT_TRUE(
            t.control({"part place", "part place 9", "drift 0.0001", "part cycle 0.5 0.5"}));
        for (int i = 0; i < 6; ++i)
            t.pass(0.5);
        return t.placed();
    };
    const std::vector<std::string> first = run(41);
    EXPECT_EQ(first.size(), 5u);
    EXPECT_EQ(run(41), first);
    EXPECT_NE(run(42), first);
}

TEST(Fixture, OptionsSetThePartsFromPowerOn) {
    OptionsResult r = parseOptions(splitOptionString("--spread 0 --drift 0.001 --cycle 0.5,0.25"));
    ASSERT_EQ(r.error, "");
    Steered t(r.options);
    t.unit->setNoise(0);
    EXPECT_EQ(t.unit->partMode(), PartMode::Cycle);
    t.pass(0.3);
    EXPECT_EQ(t.placed().size(), 1u);
    expectNear(t.readings(), std::vector<double>(8, 0.001), 1e-12);
    t.pass(0.75);
    expectNear(t.readings(), std::vector<double>(8, 0.002), 1e-12);
}

TEST(Control, PartLinesAreTakenOrRefused) {
    struct Case {
        const char *line;
        bool ok;
    };
    const Case cases[] = {
        {"part empty", true},        {"part out", true},
        {"part place", true},        {"part place 7", true},
        {"part place 0", false},     {"part place x", false},
        {"part place 7 8", false},   {"part reference 0.005", true},
        {"part reference", false},   {"part cycle", true},
        {"part cycle 2 0.5", true},  {"part cycle 0.01", false},
        {"part cycle 2 1 1", false}, {"shift +0.001", true},
        {"shift nan", false},        {"drift -0.00001", true},
        {"spread 0", true},          {"spread -0.001", false},
    };
    Steered t;
    for (const Case &c : cases)
        EXPECT_EQ(applyControl(*t.unit, t.faults, c.line).ok, c.ok) << c.line;
}

} // namespace
} // namespace qorsim
