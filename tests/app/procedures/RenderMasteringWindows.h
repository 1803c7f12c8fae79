#pragma once

#include <QString>

// Draws the channel and group mastering dialogs in a few states into folder, each file named
// after the state and ending in suffix (e.g. "96dpi"); false when a state was not reached.
bool renderMastering(const QString &folder, const QString &suffix);
