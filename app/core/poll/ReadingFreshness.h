#pragma once

#include <optional>
#include <vector>

// Whether the reading a row of the view shows is still current. The poll reads every row once a
// tick; a row whose reads have gone through nowhere for StaleAfterMissedTicks ticks in a row (a
// line fault, the unit unplugged or hung) is stale until its next reading arrives, so that the
// operator never takes an old value for a live one. A row that has had no reading since the view
// was shown is never stale: there is nothing on screen to mistrust.
class ReadingFreshness {
public:
    static constexpr int StaleAfterMissedTicks = 2;

    // A new view, or one shown afresh: no row has a reading.
    void reset() { m_rows.clear(); }
    // The outcome of row's read in this tick (1-based; fresh: the read went through). Returns the
    // row's stale state when it changed.
    std::optional<bool> noteRead(int row, bool fresh);
    bool isStale(int row) const;

private:
    struct Row {
        bool hasReading = false;
        int missedTicks = 0;
        bool stale = false;
    };
    std::vector<Row> m_rows;
};
