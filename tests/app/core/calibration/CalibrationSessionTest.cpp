#include "CalibrationSession.h"
#include "ProcedureTestPrint.h"

#include <gtest/gtest.h>

using namespace procedures;

namespace {

constexpr int Probe = 3;
constexpr auto AsRead = std::nullopt;

// Probe 3 as the unit holds it: Ri 60 (M Lo), fine gain 150 beyond its scroll bar.
const ProbeCalibration Read{{200, 60, 150, -20}, 2.5f, 0.125f};

AmpOperation read(AmpRequest request) {
    return readRequest(request, Probe);
}

TEST(CalibrationSession, OpeningOnlyReadsAndShowsWhatItRead) {
    EXPECT_EQ(CalibrationSession::openRequests(Probe),
              (AmpExchange{read(AmpRequest::ReadLvdtGain), read(AmpRequest::ReadLvdtFine),
                           read(AmpRequest::ReadLvdtNull), read(AmpRequest::ReadFullScale),
                           read(AmpRequest::ReadZeroOffset)}));
    const CalibrationSession session(Probe, Read);
    EXPECT_EQ(session.positions(), (AmplifierSettings{200, 60, 0, -20}));
    EXPECT_EQ(session.unit(), Read) << "the fine gain shown as 0 is not written back";
    EXPECT_EQ(session.gainRange(), 1);
    EXPECT_FALSE(session.riScrollBarShown());
}

TEST(CalibrationSession, EachMoveSendsOnlyWhatChanged) {
    CalibrationSession session(Probe, Read);
    EXPECT_EQ(session.moveCoarse(201), (AmpExchange{readGain(Probe), setGain(Probe, 201, AsRead)}))
        << "coarse gain keeps the unit's Ri";
    EXPECT_EQ(session.moveCoarse(201), AmpExchange{}) << "an unchanged position sends nothing";
    EXPECT_EQ(session.moveFine(0), AmpExchange{}) << "the shown fine gain is already 0";
    EXPECT_EQ(session.moveFine(250), AmpExchange{setFine(Probe, 100)}) << "taken at the bar's end";
    EXPECT_EQ(session.moveNull(-499), AmpExchange{setNull(Probe, -499)});
    EXPECT_EQ(session.changeFullScale(3.0f), AmpExchange{setFullScale(Probe, 3.0f)});
    EXPECT_EQ(session.changeZeroOffset(-1.0f), AmpExchange{setZeroOffset(Probe, -1.0f)});
    EXPECT_EQ(session.unit(), (ProbeCalibration{{201, 60, 100, -499}, 3.0f, -1.0f}));
}

TEST(CalibrationSession, ARangeEntrySetsTheRiScrollBar) {
    CalibrationSession session(Probe, Read);
    EXPECT_EQ(session.selectGainRange(0),
              (AmpExchange{readGain(Probe), setGain(Probe, AsRead, 85)}))
        << "Lo sends Ri 85 and keeps the unit's Rf";
    EXPECT_EQ(session.selectGainRange(0), AmpExchange{}) << "choosing it again sends nothing";
    EXPECT_EQ(session.selectGainRange(CustomGainRange), AmpExchange{})
        << "Cust keeps the scroll bar's Ri";
    EXPECT_TRUE(session.riScrollBarShown());
    EXPECT_EQ(session.moveRi(40), (AmpExchange{readGain(Probe), setGain(Probe, AsRead, 40)}));
    EXPECT_NEAR(session.gain(), 5.875969f, 1e-5f) << "Rf 200, Ri 40, fine gain shown as 0";
}

TEST(CalibrationSession, CancelPutsBackEverythingTheDialogChangedInOrder) {
    CalibrationSession session(Probe, Read);
    session.moveNull(5);
    session.moveFine(-7);
    session.selectGainRange(3);
    session.moveCoarse(0);
    session.changeZeroOffset(9.0f);
    EXPECT_EQ(session.cancel(),
              (std::vector<AmpExchange>{{readGain(Probe), setGain(Probe, AsRead, 60)},
                                        {readGain(Probe), setGain(Probe, 200, AsRead)},
                                        {setFine(Probe, 150)},
                                        {setNull(Probe, -20)},
                                        {setZeroOffset(Probe, 0.125f)}}))
        << "Ri, coarse, fine (as it was read, beyond its bar), null, then the offset";
    EXPECT_EQ(session.unit(), Read);
    EXPECT_EQ(session.positions(), (AmplifierSettings{200, 60, 0, -20}));
    EXPECT_EQ(session.gainRange(), 1);
    EXPECT_TRUE(session.cancel().empty()) << "nothing left to put back";
}

TEST(CalibrationSession, AfterALoadCancelPutsBackTheLoadedState) {
    CalibrationSession session(Probe, Read);
    EXPECT_EQ(session.loadSettings({10, 85, 1, 2}),
              (std::vector<AmpExchange>{{readGain(Probe), setGain(Probe, AsRead, 85)},
                                        {readGain(Probe), setGain(Probe, 10, AsRead)},
                                        {setFine(Probe, 1)},
                                        {setNull(Probe, 2)}}));
    EXPECT_EQ(session.gainRange(), 0) << "the range box follows the loaded Ri";
    session.adoptUnitAsBaseline();
    session.moveFine(3);
    EXPECT_EQ(session.cancel(), std::vector<AmpExchange>{{setFine(Probe, 1)}});
}

struct LoadCase {
    const char *legend;
    AmplifierSettings file;
    std::vector<AmpExchange> sent;
    AmplifierSettings bars;
};

// Probe 3 holds fine gain 150, which its bar shows as 0.
TEST(CalibrationSession, ALoadSendsEachValueTheUnitHoldsDifferentlyAsTheFileHoldsIt) {
    const LoadCase cases[] = {
        {"the file's 0 differs from the unit's 150 although the bar already shows 0",
         {200, 60, 0, -20},
         {{setFine(Probe, 0)}},
         {200, 60, 0, -20}},
        {"values beyond the bars go as they are; the bars stand at their ends",
         {200, 60, -300, 900},
         {{setFine(Probe, -300)}, {setNull(Probe, 900)}},
         {200, 60, -100, 500}},
        {"what the unit holds already is not sent again", Read.amplifier, {}, {200, 60, 100, -20}},
    };
    for (const auto &c : cases) {
        CalibrationSession session(Probe, Read);
        EXPECT_EQ(session.loadSettings(c.file), c.sent) << c.legend;
        EXPECT_EQ(session.unit().amplifier, c.file) << c.legend;
        EXPECT_EQ(session.positions(), c.bars) << c.legend;
    }
}

TEST(AmplifierRequests, RequestsReadAsTheLibraryCalls) {
    EXPECT_EQ(describe(AmpExchange{readGain(3), setGain(3, 200, AsRead), setZeroOffset(3, -0.5f),
                                   saveCalibration(), getSaveStatus()}),
              QStringLiteral("QorReadLvdtGain(3); QorSetLvdtGain(3, 200, as read); "
                             "QorSetTzero(3, -0.5); QorSaveCalibration(); QorGetSaveStatus()"));
}

} // namespace
