#pragma once

// Exit status of the immediate ends: a second instance, Cancel in the connect loop and Cancel in
// the "did not respond" box. Nothing is saved and no window runs its closing steps.
inline constexpr int ImmediateEndStatus = 1;

// Exit status of a close asked for by a signal whose settings did not all reach the settings
// file: nobody may be at the desk to read the report, so whoever sent the signal learns it here.
inline constexpr int SettingsNotSavedStatus = 2;

// Ends the process at once, skipping every shut-down step and static destructor.
[[noreturn]] void endProcessNow(int status = ImmediateEndStatus);
