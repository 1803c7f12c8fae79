#include "AmplifierGain.h"
#include "CalibrationNumbers.h"
#include "SaveWait.h"

#include <gtest/gtest.h>

using namespace procedures;

namespace {

TEST(AmplifierGain, GainFollowsCoarseRangeAndFineSettings) {
    EXPECT_NEAR(amplifierGain(0, 85, 0), 1.0148354f, 2e-7f);
    EXPECT_NEAR(amplifierGain(255, 30, 100), 9.423f, 5e-4f);
    EXPECT_EQ(gainText(amplifierGain(0, 85, 0)), QStringLiteral("1.014835"))
        << "1 + 1.28 / 86.28 = 1.01483542 to seven digits";
    EXPECT_EQ(gainText(2.0f), QStringLiteral("2"));
    EXPECT_EQ(gainText(amplifierGain(255, 0, 100)), QStringLiteral("206.2492"))
        << "the largest gain keeps seven digits";
}

struct RangeCase {
    const char *legend;
    int ri;
    const char *entry;
    bool scrollBarShown;
};

TEST(AmplifierGain, ARangeEntryIsSelectedByTheInputResistor) {
    const RangeCase cases[] = {
        {"85 is Lo", 85, "Lo", false},           {"60 is M Lo", 60, "M Lo", false},
        {"50 is M Hi", 50, "M Hi", false},       {"30 is Hi, not Cust", 30, "Hi", false},
        {"any other is Cust", 40, "Cust", true},
    };
    for (const auto &c : cases) {
        const int entry = gainRangeForRi(c.ri);
        EXPECT_EQ(GainRanges[static_cast<size_t>(entry)].name, QLatin1String(c.entry)) << c.legend;
        EXPECT_EQ(riScrollBarShown(entry), c.scrollBarShown) << c.legend;
        EXPECT_EQ(riForGainRange(entry, c.ri), c.ri) << c.legend;
    }
    EXPECT_EQ(riForGainRange(CustomGainRange, 123), 123) << "Cust keeps the scroll bar's Ri";
}

TEST(AmplifierGain, FineAndNullOutsideTheirBarsShowAsZero) {
    EXPECT_EQ(shownPositions({200, 40, 150, -501}), (AmplifierSettings{200, 40, 0, 0}));
    EXPECT_EQ(shownPositions({0, 255, -100, 500}), (AmplifierSettings{0, 255, -100, 500}));
}

struct NumberCase {
    const char *legend;
    const char16_t *text;
    char16_t separator;
    std::optional<float> value;
};

TEST(CalibrationNumbers, TheFullScaleIsANumberOfAtLeastAThousandth) {
    const NumberCase cases[] = {
        {"a plain number", u"1.5", u'.', 1.5f},
        {"blanks around it", u" 2.00000 ", u'.', 2.0f},
        {"the least full scale", u"0.001", u'.', 0.001f},
        {"below the least", u"0.0005", u'.', std::nullopt},
        {"zero", u"0", u'.', std::nullopt},
        {"negative", u"-1", u'.', std::nullopt},
        {"the regional comma", u"1,25", u',', 1.25f},
        {"a point where the comma is regional", u"1.25", u',', 1.25f},
        {"a comma where the point is regional", u"1,25", u'.', 1.25f},
        {"not a number", u"abc", u'.', std::nullopt},
        {"a number followed by text", u"1.5mm", u'.', std::nullopt},
        {"empty", u"", u'.', std::nullopt},
        {"beyond a single", u"1E+39", u'.', std::nullopt},
        {"a character beyond Latin-1", u"1\u20ac", u'.', std::nullopt},
    };
    for (const auto &c : cases) {
        const CheckedNumber checked = checkFullScale(QStringView(c.text), QChar(c.separator));
        EXPECT_EQ(checked.value, c.value) << c.legend;
        if (!c.value) {
            EXPECT_EQ(checked.refusal, QStringLiteral("The full scale must be a number from "
                                                      "0.001 to 3.402823E+38."))
                << c.legend;
        }
    }
}

TEST(CalibrationNumbers, TheOffsetIsAnyNumberAndBothShowFiveDecimals) {
    EXPECT_EQ(checkOffset(u"-0.25").value, -0.25f);
    EXPECT_EQ(checkOffset(u"0").value, 0.0f);
    const CheckedNumber refused = checkOffset(u"zero");
    EXPECT_FALSE(refused.value);
    EXPECT_TRUE(refused.refusal.contains(QStringLiteral("-3.402823E+38 to 3.402823E+38")));
    EXPECT_EQ(boxText(1.5f), QStringLiteral("1.50000"));
    EXPECT_EQ(boxText(-0.0001f), QStringLiteral("-0.00010"));
    EXPECT_EQ(boxText(-0.000001f), QStringLiteral("0.00000")) << "no sign on a shown zero";
}

struct SaveCase {
    const char *legend;
    int poll;
    int32_t linkResult;
    int16_t first, second;
    SaveProgress progress;
    const char *message;
};

TEST(SaveWait, TheStoreIsDoneFailedOrStillWaiting) {
    const SaveCase cases[] = {
        {"still storing", 1, 0, 0, 0, SaveProgress::Waiting, ""},
        {"stored", 7, 0, 1, 0, SaveProgress::Stored, ""},
        {"stored at the last poll", 50, 0, 1, 0, SaveProgress::Stored, ""},
        {"the unit reports a problem", 3, 0, 1, 4, SaveProgress::Failed,
         "Problem saving to QOR '4'"},
        {"a failed poll is passed over", 10, 263, 1, 0, SaveProgress::Waiting, ""},
        {"never finished", 50, 0, 0, 0, SaveProgress::Failed,
         "Problem saving to QOR '0'\nThe unit did not finish storing its calibration within 10 "
         "seconds."},
        {"never finished, last status kept", 50, 0, 2, 7, SaveProgress::Failed,
         "Problem saving to QOR '7'\nThe unit did not finish storing its calibration within 10 "
         "seconds."},
    };
    for (const auto &c : cases) {
        const SaveDecision decision = afterSaveStatus(c.poll, c.linkResult, c.first, c.second);
        EXPECT_EQ(decision.progress, c.progress) << c.legend;
        EXPECT_EQ(decision.message, QString::fromUtf8(c.message)) << c.legend;
    }
    EXPECT_EQ(afterSaveStart(0, 0).progress, SaveProgress::Waiting);
    const SaveDecision refused{SaveProgress::Failed,
                               QStringLiteral("Unable to initiate save operation")};
    EXPECT_EQ(afterSaveStart(0, 1), refused);
    EXPECT_EQ(afterSaveStart(261, 0), refused) << "a start that never reached the unit";
}

} // namespace
