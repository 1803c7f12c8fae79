#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Which reading a mastering press may use. The poll cycle stores the latest reading of the
// channel the dialog works on; a press right after the dialog moved to another channel, or after
// a read that failed, would otherwise take the previous channel's or an old value and write a
// wrong zero into the unit. So a press uses a reading only when it is of the channel the dialog
// prepared and was stored after the dialog prepared it, and never the same reading twice (the
// second master's reading comes after the first one's).
//
// Order is told by sequence numbers, not clocks: the poll cycle numbers the readings it stores.
namespace procedures {

// The latest reading the poll cycle stored for the mastering dialog.
struct StoredReading {
    int channel = 0;       // 0: nothing stored yet
    uint64_t sequence = 0; // grows by one with every reading stored, failed ones included
    double value = 0.0;
    bool valid = false; // false when the read failed
};

struct ReadingForPress {
    std::optional<double> value; // empty: no fresh reading, write nothing
    QString refusal;             // why, when empty
};

class FreshReadingGate {
public:
    // Arms the gate for `channel`; readings stored up to `latestSequence` are too old for it.
    void prepare(int channel, uint64_t latestSequence);
    // No channel is prepared; every press is refused until the next prepare().
    void disarm() { m_channel = 0; }
    int preparedChannel() const { return m_channel; }

    // The reading a press may use, or why there is none. An accepted reading is used up: the
    // next press needs a reading stored after it.
    ReadingForPress take(const StoredReading &latest);

private:
    int m_channel = 0;
    uint64_t m_usedUpTo = 0;
};

// "No reading of channel 3 is available yet. Press again once its live value has been read."
QString noReadingYetText(int channel);

} // namespace procedures
