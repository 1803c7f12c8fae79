#pragma once

#include <QString>
#include <QTemporaryDir>

// A log of 1,000,000 parts of 8 channels for the read side's benchmarks, made once per run in a
// temporary folder (one transaction, synchronous=OFF: quick to make, the same file as the
// writer's). Part i (from 0) has serial i + 1, the time Start + i * PartEvery, the setup
// Setups[i % 4] and the lot "LOT-<i / 500>".
namespace benchlog {

inline constexpr int Parts = 1000000;
inline constexpr int Channels = 8;
inline constexpr qint64 Start = 1796669672123;
inline constexpr qint64 PartEvery = 30000; // ms: a year of parts
extern const QString Setups[4];

// The run's temporary folder.
QTemporaryDir &folder();
// The log's path; made on the first call.
const QString &millionLog();

} // namespace benchlog
