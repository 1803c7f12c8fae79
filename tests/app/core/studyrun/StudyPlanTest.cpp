#include "StudyPlan.h"
#include "StudyTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace studyrun {
namespace {

StudyRecord soundRr() {
    return gaugeRrStudy({{1, QStringLiteral("Bore"), 3, 0.05}, {4, QStringLiteral("Face"), 3, {}}});
}

StudyRecord soundType1() {
    return type1Study({1, QStringLiteral("Bore"), 3, 0.05}, 25.0);
}

// The defaults are what the window starts with, and they are sound.
TEST(StudyPlan, TheDefaultsAreSoundStudies) {
    const StudyRecord rr = soundRr();
    EXPECT_EQ(layoutOf(rr), (studies::StudyLayout{3, 10, 3}));
    EXPECT_EQ(rr.appraiserNames, (QStringList{"A", "B", "C"}));
    EXPECT_EQ(checkStudy(rr), QString());
    const StudyRecord type1 = soundType1();
    EXPECT_EQ(layoutOf(type1), (studies::StudyLayout{1, 1, 50}));
    EXPECT_EQ(checkStudy(type1), QString());
    EXPECT_EQ(spreadOf(rr), studies::Spread::SixSigma);
}

TEST(StudyPlan, AStudyThatCannotBeRunIsRefusedWithTheReason) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char *legend;
        std::function<StudyRecord()> study;
        const char *reason;
    } cases[] = {
        {"no channel",
         [] {
             auto s = soundRr();
             s.channels.clear();
             return s;
         },
         "Choose the channel the study measures."},
        {"a channel twice",
         [] {
             auto s = soundRr();
             s.channels[1].channel = 1;
             return s;
         },
         "Channel 1 is chosen twice."},
        {"a tolerance of 0",
         [] {
             auto s = soundRr();
             s.channels[0].tolerance = 0.0;
             return s;
         },
         "The tolerance of channel 1 must be a number above 0."},
        {"one part",
         [] {
             auto s = soundRr();
             s.parts = 1;
             return s;
         },
         "The number of parts must be from 2 to 100; 1 was given."},
        {"eleven appraisers",
         [] {
             auto s = soundRr();
             s.appraisers = 11;
             s.appraiserNames = studies::defaultAppraiserNames(11);
             return s;
         },
         "The number of appraisers must be from 2 to 10; 11 was given."},
        {"one trial",
         [] {
             auto s = soundRr();
             s.trials = 1;
             return s;
         },
         "The number of trials must be from 2 to 10; 1 was given."},
        {"a name missing",
         [] {
             auto s = soundRr();
             s.appraiserNames[2] = QStringLiteral(" ");
             return s;
         },
         "Name each of the 3 appraisers."},
        {"fewer names than appraisers",
         [] {
             auto s = soundRr();
             s.appraiserNames.removeLast();
             return s;
         },
         "Name each of the 3 appraisers."},
        {"a name twice",
         [] {
             auto s = soundRr();
             s.appraiserNames[2] = QStringLiteral("A");
             return s;
         },
         "Two appraisers are named \"A\"."},
        {"a name with a line break",
         [] {
             auto s = soundRr();
             s.appraiserNames[1] = QStringLiteral("B\nx");
             return s;
         },
         "The name \"B\nx\" starts or ends with a space or holds a line break."},
        {"another spread",
         [] {
             auto s = soundRr();
             s.sigmaMultiplier = 4.0;
             return s;
         },
         "The study variation spans 6 σ, or 5.15 σ as older reports had it."},
        {"a type-1 study of two channels",
         [] {
             auto s = soundType1();
             s.channels.push_back({2, {}, 3, 0.1});
             return s;
         },
         "A type-1 study measures one channel."},
        {"a type-1 study without a reference",
         [] {
             auto s = soundType1();
             s.reference.reset();
             return s;
         },
         "Enter the reference part's size."},
        {"a type-1 study whose reference is no number",
         [nan] {
             auto s = soundType1();
             s.reference = nan;
             return s;
         },
         "Enter the reference part's size."},
        {"a type-1 study without a tolerance",
         [] {
             auto s = soundType1();
             s.channels[0].tolerance.reset();
             return s;
         },
         "Enter the tolerance of the characteristic."},
        {"a type-1 study of one repeat",
         [] {
             auto s = soundType1();
             s.trials = 1;
             return s;
         },
         "The number of repeats must be from 2 to 500; 1 was given."},
        {"a type-1 study with two appraisers",
         [] {
             auto s = soundType1();
             s.appraisers = 2;
             return s;
         },
         "A type-1 study is one appraiser measuring one reference part."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(checkStudy(c.study()), QString::fromUtf8(c.reason));
    }
}

// Sizes and standard deviations show a digit beyond the channel's, and never fewer than three
// significant ones, so a gauge's micrometres do not vanish into zeros.
TEST(StudyTexts, LengthsShowTheirSignificantDigits) {
    const struct {
        double value;
        int decimals;
        const char *text;
    } cases[] = {
        {0.199933, 2, "0.200"},     {25.00123, 3, "25.0012"}, {0.0000213, 4, "0.0000213"},
        {-0.00042, 3, "-0.000420"}, {0.0, 3, "0.0000"},       {1e-12, 4, "0.000000000"},
        {1234.5, 1, "1234.50"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lengthText(c.value, c.decimals), QString::fromLatin1(c.text)) << c.value;
    EXPECT_EQ(pText(0.0004), QStringLiteral("< 0.001"));
    EXPECT_EQ(pText(0.97412), QStringLiteral("0.974"));
    EXPECT_EQ(percentText(std::nullopt), QStringLiteral("—"));
}

} // namespace
} // namespace studyrun
