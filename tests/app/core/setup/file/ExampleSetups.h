#pragma once

#include "SetupDocument.h"

// The example setups kept in examples/: the demo unit's eight channels, and a larger station of
// 32 channels over 8 probes with groups. write_example_setups writes them; a test checks that the
// files kept in the repository are exactly what the writer makes of them.
setupfile::SetupDocument demoSetup();
setupfile::SetupDocument thirtyTwoChannelSetup();

struct ExampleSetup {
    const char *fileName;
    setupfile::SetupDocument (*make)();
};

inline constexpr ExampleSetup ExampleSetups[] = {
    {"demo.qor", demoSetup},
    {"32-channels.qor", thirtyTwoChannelSetup},
};
