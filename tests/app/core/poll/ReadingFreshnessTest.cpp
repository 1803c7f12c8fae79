#include "ReadingFreshness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One row's reads tick by tick ('+' went through, '-' failed or not made) and its stale state
// after each ('s' stale, '.' current), with the ticks at which the state was reported changed.
struct Case {
    const char *legend;
    const char *reads;
    const char *stale;
    const char *reported; // '^' where noteRead reported a change
};

TEST(ReadingFreshness, ARowIsStaleAfterTwoTicksWithoutAReadingUntilTheNextOne) {
    const Case cases[] = {
        {"readings every tick stay current", "++++", "....", "    "},
        {"one missed tick is not yet stale", "+-+-", "....", "    "},
        {"two missed ticks in a row make it stale", "+--", "..s", "  ^"},
        {"it stays stale while reads keep failing", "+----", "..sss", "  ^  "},
        {"a fresh reading makes it current again", "+--+", "..s.", "  ^^"},
        {"and the count starts again from there", "+--+-+--", "..s....s", "  ^^   ^"},
        {"a row that never had a reading is never stale", "----", "....", "    "},
        {"its first reading counts from then on", "--+--", "....s", "    ^"},
    };
    for (const Case &c : cases) {
        ReadingFreshness freshness;
        std::string stale;
        std::string reported;
        for (const char *read = c.reads; *read; ++read) {
            const auto change = freshness.noteRead(3, *read == '+');
            stale += freshness.isStale(3) ? 's' : '.';
            reported += change ? '^' : ' ';
            if (change) {
                EXPECT_EQ(*change, freshness.isStale(3)) << c.legend;
            }
        }
        EXPECT_EQ(stale, c.stale) << c.legend;
        EXPECT_EQ(reported, c.reported) << c.legend;
    }
}

TEST(ReadingFreshness, RowsAgeApartAndANewViewForgetsThemAll) {
    ReadingFreshness freshness;
    for (int tick = 0; tick < 3; ++tick) {
        freshness.noteRead(1, true);
        freshness.noteRead(2, tick == 0);
    }
    EXPECT_FALSE(freshness.isStale(1));
    EXPECT_TRUE(freshness.isStale(2));
    EXPECT_FALSE(freshness.isStale(7)) << "a row never read";
    EXPECT_FALSE(freshness.noteRead(0, false)) << "rows count from 1";

    freshness.reset();
    EXPECT_FALSE(freshness.isStale(2));
    EXPECT_FALSE(freshness.noteRead(2, false)) << "no reading shown since the view came";
    EXPECT_FALSE(freshness.noteRead(2, false));
    EXPECT_FALSE(freshness.isStale(2));
}

} // namespace
