#pragma once

#include "SetupDocument.h"
#include "SetupFileReader.h"
#include "TextFileStore.h"

#include <QByteArray>
#include <QString>

// Setup files on disk. Loading reads the whole file and parses it before anyone applies anything;
// saving replaces the file atomically, so a failed save leaves the old file as it was.
namespace setupfile {

// Largest file read; a setup of the biggest unit is far smaller.
inline constexpr qint64 MaxSetupFileSize = 64 * 1024 * 1024;

using textfile::FileBytes;

// The bytes of the file at `path`. A missing file fails with the path followed by
// " file not found."; any other failure (a folder, no permission, too large) says why.
FileBytes readSetupFileBytes(const QString &path);

// Writes `bytes` to `path` through a temporary file that replaces the old one only when all of it
// was written. Returns why it failed, or an empty text.
QString writeSetupFileBytes(const QString &path, const QByteArray &bytes);

// readSetupFileBytes then readSetup; a file that cannot be read gives an error at line 0.
SetupReadResult loadSetupFile(const QString &path, const SetupStationValues &inForce,
                              const CountCheck &countCheck = {});

// writeSetup then writeSetupFileBytes.
QString saveSetupFile(const QString &path, const SetupDocument &document);

} // namespace setupfile
