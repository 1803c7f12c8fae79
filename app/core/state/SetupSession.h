#pragma once

#include <QString>

#include <cstdint>

// What a form that changes the setup in memory says: the setup now differs from its file.
class SetupChanges {
public:
    virtual ~SetupChanges() = default;
    virtual void markSetupChanged() = 0;
};

// The setup in memory: the file it came from, whether it changed since, and the number the next
// new setup file is named with.
struct SetupSession : SetupChanges {
    void markSetupChanged() override { SetupChanged = true; }

    QString SetupFileName;
    bool SetupChanged = false;
    int16_t NewSetupFileNum = 1;
};
