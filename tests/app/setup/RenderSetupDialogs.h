#pragma once

#include <QString>

// Renders the probe, analog and system setup dialogs into folder; false when a picture failed.
bool renderSetupDialogs(const QString &folder);
