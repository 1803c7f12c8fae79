#include "StudyReadings.h"
#include "RunOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <set>
#include <tuple>

namespace studies {
namespace {

const StudyLayout Layout{3, 10, 3};

TEST(RunOrder, EachTrialHasEveryAppraiserMeasureEveryPartInAnOrderOfItsOwn) {
    const std::vector<StudyStep> order = runOrder(Layout, 42);
    ASSERT_EQ(static_cast<int>(order.size()), Layout.readings());
    std::set<std::tuple<int, int, int>> seen;
    std::set<std::vector<int>> partOrders;
    for (int block = 0; block < Layout.trials * Layout.appraisers; ++block) {
        const int trial = block / Layout.appraisers, appraiser = block % Layout.appraisers;
        std::vector<int> parts;
        for (int i = 0; i < Layout.parts; ++i) {
            const StudyStep &step = order[slot(block * Layout.parts + i)];
            EXPECT_EQ(step.trial, trial);
            EXPECT_EQ(step.appraiser, appraiser);
            seen.insert({step.appraiser, step.part, step.trial});
            parts.push_back(step.part);
        }
        partOrders.insert(parts);
    }
    EXPECT_EQ(static_cast<int>(seen.size()), Layout.readings());
    // Nine blocks of ten parts: a fixed or repeated order would show here.
    EXPECT_EQ(partOrders.size(), 9u);
}

TEST(RunOrder, TheSameSeedGivesTheSameOrderAndAnotherSeedAnother) {
    EXPECT_EQ(runOrder(Layout, 42), runOrder(Layout, 42));
    EXPECT_NE(runOrder(Layout, 42), runOrder(Layout, 43));
    // The order rests on the generator's own sequence, which the C++ standard fixes, not on the
    // library's distributions: the first block for seed 42 stays what it was when stored
    // studies began to rely on it.
    const std::vector<StudyStep> order = runOrder(Layout, 42);
    std::vector<int> firstBlock;
    for (int i = 0; i < Layout.parts; ++i)
        firstBlock.push_back(order[slot(i)].part);
    EXPECT_EQ(firstBlock, (std::vector<int>{1, 7, 9, 0, 3, 8, 4, 2, 5, 6}));
}

TEST(RunOrder, PromptsNameTheAppraiserThePartAndTheTrial) {
    const QStringList names = {QStringLiteral("Anna"), QStringLiteral("Ben")};
    EXPECT_EQ(stepPrompt({1, 6, 1}, defaultAppraiserNames(3)),
              QStringLiteral("Appraiser B — part 7, trial 2"));
    EXPECT_EQ(stepPrompt({0, 0, 2}, names), QStringLiteral("Appraiser Anna — part 1, trial 3"));
    EXPECT_EQ(stepPrompt({2, 9, 0}, names), QStringLiteral("Appraiser C — part 10, trial 1"));
    EXPECT_EQ(referencePrompt(2, 50), QStringLiteral("Place the reference part (3 of 50)"));
}

TEST(StudyReadings, ARedoneReadingKeepsTheEarlierOneMarkedReplaced) {
    StudyReadings study({2, 2, 2}, 2);
    EXPECT_TRUE(study.record({0, 0, 0}, {1.0, 10.0}).isEmpty());
    EXPECT_TRUE(study.record({0, 1, 0}, {2.0, 20.0}).isEmpty());
    EXPECT_TRUE(study.record({0, 0, 0}, {1.5, 15.0}).isEmpty());

    ASSERT_EQ(study.history().size(), 3u);
    EXPECT_TRUE(study.history()[0].replaced);
    EXPECT_FALSE(study.history()[1].replaced);
    EXPECT_FALSE(study.history()[2].replaced);
    EXPECT_EQ(study.latest({0, 0, 0})->values, (std::vector<double>{1.5, 15.0}));
    EXPECT_EQ(study.takenSteps(), 2);
    EXPECT_EQ(study.readingsOf(1)[0][0], (std::vector<double>{15.0}));
    EXPECT_EQ(study.readingsOf(0)[0][1], (std::vector<double>{2.0}));
}

TEST(StudyReadings, TellsWhatIsMissingAndWhereToContinue) {
    StudyReadings study({2, 2, 2}, 1);
    const std::vector<StudyStep> order = runOrder(study.layout(), 5);
    for (std::size_t i = 0; i < 5; ++i)
        study.record(order[i], {static_cast<double>(i)});
    EXPECT_FALSE(study.isComplete());
    EXPECT_EQ(study.missingSteps().size(), 3u);
    EXPECT_EQ(study.nextStep(order), order[5]);

    // A reading taken out of order leaves an earlier gap to be asked for first.
    study.record(order[7], {7.0});
    EXPECT_EQ(study.nextStep(order), order[5]);
    study.record(order[5], {5.0});
    study.record(order[6], {6.0});
    EXPECT_TRUE(study.isComplete());
    EXPECT_TRUE(study.missingSteps().empty());
    EXPECT_FALSE(study.nextStep(order));
    const RrReadings readings = study.readingsOf(0);
    for (const auto &appraiser : readings)
        for (const auto &cell : appraiser)
            EXPECT_EQ(cell.size(), 2u);
}

TEST(StudyReadings, ReplayingTheHistoryRestoresTheStudy) {
    StudyReadings first({1, 1, 4}, 1);
    first.record({0, 0, 0}, {1.0});
    first.record({0, 0, 1}, {2.0});
    first.record({0, 0, 1}, {2.5});
    StudyReadings restored(first.layout(), first.channels());
    for (const RecordedReading &reading : first.history())
        restored.record(reading.step, reading.values);
    EXPECT_EQ(restored.readingsOf(0), first.readingsOf(0));
    EXPECT_EQ(restored.readingsOf(0)[0][0], (std::vector<double>{1.0, 2.5}));
    EXPECT_TRUE(restored.history()[1].replaced);
}

TEST(StudyReadings, RefusesReadingsThatDoNotFit) {
    StudyReadings study({2, 3, 2}, 2);
    const struct {
        StudyStep step;
        std::vector<double> values;
        const char *refusal;
    } rows[] = {
        {{2, 0, 0}, {1.0, 2.0}, "Appraiser C, part 1, trial 1 is not a step of this study."},
        {{0, 3, 0}, {1.0, 2.0}, "Appraiser A, part 4, trial 1 is not a step of this study."},
        {{0, 0, -1}, {1.0, 2.0}, "Appraiser A, part 1, trial 0 is not a step of this study."},
        {{0, 0, 0}, {1.0}, "A reading of this study has 2 values, one a channel; 1 came."},
        {{0, 0, 0},
         {1.0, std::numeric_limits<double>::infinity()},
         "The value of channel 2 is not a number."},
    };
    for (const auto &row : rows)
        EXPECT_EQ(study.record(row.step, row.values).toStdString(), row.refusal);
    EXPECT_TRUE(study.history().empty());
}

} // namespace
} // namespace studies
