#include "AmpProfileProgramming.h"
#include "ProcedureTestPrint.h"

#include <gtest/gtest.h>

using namespace procedures;

namespace {

// A profile of a unit with 16 probes.
AmpProfileDocument sixteenProbes() {
    std::vector<AmplifierSettings> amplifiers;
    for (int probe = 1; probe <= 16; ++probe)
        amplifiers.push_back({static_cast<uint8_t>(probe), 85, static_cast<int16_t>(probe), 0});
    return profileOfUnit(amplifiers);
}

TEST(AmpProfileProgramming, SavingReadsEveryProbeInTurn) {
    const std::vector<AmpExchange> reads = profileReadRequests(2);
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[1], (AmpExchange{readGain(2), readRequest(AmpRequest::ReadLvdtFine, 2),
                                     readRequest(AmpRequest::ReadLvdtNull, 2)}));
    const AmpProfileDocument profile = sixteenProbes();
    EXPECT_EQ(profile.probeCount, int16_t{16});
    EXPECT_EQ(profile.blocks[15], (AmpProfileBlock{16, {16, 85, 16, 0}}));
}

TEST(AmpProfileProgramming, ALoadIntoASmallerUnitSetsItsProbesAndSkipsTheRest) {
    const AmpProfileDocument profile = sixteenProbes();
    EXPECT_EQ(probeCountNotice(profile, 8),
              QStringLiteral("Number of LVDTs stored in this file,\rdiffers from current setting"));
    EXPECT_FALSE(probeCountNotice(profile, 16));

    CalibrationSession shown(3, {{0, 60, 0, 0}, 1.0f, 0.0f});
    const std::vector<AmpExchange> sent = profileLoadRequests(profile, 8, shown);
    ASSERT_EQ(sent.size(), 7u + 3u)
        << "seven probes in one exchange each, probe 3 by its bars (its null is unchanged)";
    EXPECT_EQ(sent[0], (AmpExchange{setGain(1, 1, 85), setFine(1, 1), setNull(1, 0)}));
    EXPECT_EQ(sent[2], (AmpExchange{readGain(3), setGain(3, std::nullopt, 85)}))
        << "the shown probe's Ri goes through its scroll bar";
    EXPECT_EQ(sent[3], (AmpExchange{readGain(3), setGain(3, 3, std::nullopt)}));
    EXPECT_EQ(sent.back(), (AmpExchange{setGain(8, 8, 85), setFine(8, 8), setNull(8, 0)}));
    EXPECT_EQ(shown.baseline().amplifier, (AmplifierSettings{3, 85, 3, 0}))
        << "Cancel now puts back the loaded state";
}

TEST(AmpProfileProgramming, AnEmptyProfileSendsNothing) {
    CalibrationSession shown(1, {});
    EXPECT_TRUE(profileLoadRequests({}, 8, shown).empty());
    EXPECT_FALSE(probeCountNotice({}, 8));
}

} // namespace
