#pragma once

#include <QString>

#include <chrono>
#include <cstdint>

// Storing the amplifier calibration in the unit's non-volatile memory: QorSaveCalibration starts
// it, then QorGetSaveStatus is asked every 200 ms, at most 50 times, until its first status is 1;
// its second status is then 0 for a stored calibration. These functions decide each step from the
// results alone, so the dialog only waits, asks and shows. A store that does not complete within
// the 50 polls is reported as a failure, never passed over in silence.
namespace procedures {

inline constexpr int SaveStatusPolls = 50;
inline constexpr std::chrono::milliseconds SaveStatusInterval{200};

enum class SaveProgress {
    Waiting, // wait SaveStatusInterval, then ask QorGetSaveStatus again
    Stored,
    Failed,
};

struct SaveDecision {
    SaveProgress progress;
    QString message; // shown for Failed

    bool operator==(const SaveDecision &) const = default;
};

// After QorSaveCalibration: `linkResult` is the library's error number (0 = the exchange
// worked), `status` the unit's answer (0 = storing has begun).
SaveDecision afterSaveStart(int32_t linkResult, int16_t status);

// After the `poll`-th QorGetSaveStatus (1 to SaveStatusPolls). A poll whose exchange failed has
// no statuses and the wait goes on; its error was reported by the library's error handler.
SaveDecision afterSaveStatus(int poll, int32_t linkResult, int16_t first, int16_t second);

} // namespace procedures
