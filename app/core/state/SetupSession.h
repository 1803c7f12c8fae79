#pragma once

#include <QString>

#include <cstdint>

// The setup in memory: the file it came from, whether it changed since, and the number the next
// new setup file is named with.
struct SetupSession {
    QString SetupFileName;
    bool SetupChanged = false;
    int16_t NewSetupFileNum = 1;
};
