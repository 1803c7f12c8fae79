#include "PublishedExample.h"
#include "RangeDistribution.h"
#include "StudyFactors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace studies {
namespace {

using example::agreesWithPrinted;

TEST(RangeDistribution, MatchesTheRangesClosedFormsForTwoAndThreeReadings) {
    // E[R] = 2/√π and E[R²] = 2 for two readings; E[R] = 3/√π and E[R²] = 2 + 3√3/π for three.
    const auto meanSquare = [](const spc::RangeMoments &m) {
        return m.mean * m.mean + m.standardDeviation * m.standardDeviation;
    };
    const spc::RangeMoments two = spc::rangeMomentsOf(2);
    const spc::RangeMoments three = spc::rangeMomentsOf(3);
    EXPECT_NEAR(two.mean, 2.0 * std::numbers::inv_sqrtpi, 1e-12);
    EXPECT_NEAR(meanSquare(two), 2.0, 1e-12);
    EXPECT_NEAR(three.mean, 3.0 * std::numbers::inv_sqrtpi, 1e-12);
    EXPECT_NEAR(meanSquare(three), 2.0 + 3.0 * std::sqrt(3.0) / std::numbers::pi, 1e-12);
    EXPECT_NEAR(spc::d2Star(2, 1), std::numbers::sqrt2, 1e-12);
    EXPECT_EQ(spc::rangeMomentsOf(30).n, 30) << "sizes beyond the charts' are worked out too";
}

TEST(RangeDistribution, AveragedRangesMatchThePrintedTableOfTwoRanges) {
    // d2* for the average of g = 2 ranges, as the table for few subgroups prints it.
    const char *printed[] = {"1.28", "1.81", "2.15", "2.40", "2.60",
                             "2.77", "2.91", "3.02", "3.13"};
    for (int m = 2; m <= 10; ++m) {
        SCOPED_TRACE(m);
        EXPECT_TRUE(agreesWithPrinted(spc::d2Star(m, 2), printed[m - 2]));
    }
}

// The manual's K1, K2 and K3 table as printed. Each entry must be what the study uses, and must
// be 1/d2* for its size as computed here (K1 for many ranges, so 1/d2), to the printed digits.
TEST(StudyFactors, TheManualsTableIsUsedEntryByEntryAndAgreesWithTheComputedFactor) {
    const struct {
        const char *name;
        int size;
        const char *printed;
    } table[] = {
        {"K1", 2, "0.8862"},  {"K1", 3, "0.5908"}, {"K2", 2, "0.7071"}, {"K2", 3, "0.5231"},
        {"K3", 2, "0.7071"},  {"K3", 3, "0.5231"}, {"K3", 4, "0.4467"}, {"K3", 5, "0.4030"},
        {"K3", 6, "0.3742"},  {"K3", 7, "0.3534"}, {"K3", 8, "0.3375"}, {"K3", 9, "0.3249"},
        {"K3", 10, "0.3146"},
    };
    for (const auto &entry : table) {
        SCOPED_TRACE(std::string(entry.name) + " for " + std::to_string(entry.size));
        const std::string name = entry.name;
        const StudyFactor used = name == "K1"   ? trialsFactor(entry.size, 30)
                                 : name == "K2" ? appraisersFactor(entry.size)
                                                : partsFactor(entry.size);
        EXPECT_EQ(used.name.toStdString(), name);
        EXPECT_EQ(used.source, FactorSource::ManualTable);
        EXPECT_EQ(used.value, std::stod(entry.printed));
        const double computed = name == "K1" ? 1.0 / spc::rangeMomentsOf(entry.size).mean
                                             : 1.0 / spc::d2Star(entry.size, 1);
        EXPECT_TRUE(agreesWithPrinted(computed, entry.printed));
    }
}

} // namespace
} // namespace studies
