#pragma once

#include <QIcon>

// The program icon (resource 101), in every size it is drawn at. Every window shows it, and
// every call returns the same icon.
QIcon stationIcon();
