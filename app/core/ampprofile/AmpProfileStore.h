#pragma once

#include "AmpProfileDocument.h"
#include "AmpProfileReader.h"

#include <QLatin1String>
#include <QString>

// Amplifier profile files on disk. Loading reads and parses the whole file before anything is
// sent to the unit; saving replaces the file atomically, so a failed save leaves the old file as
// it was.
namespace procedures {

// The file dialogs' filter and default suffix.
inline constexpr QLatin1String AmpProfileFilter("Qor Amplifier Profile (*.qap);;All (*.*)");
inline constexpr QLatin1String AmpProfileSuffix("qap");

// Largest file read; a profile of the biggest unit is a few kilobytes.
inline constexpr qint64 MaxAmpProfileFileSize = 1024 * 1024;

// The profile at `path`. A file that cannot be read gives an error at line 0: a missing one the
// file name followed by " file not found.", any other (a folder, no permission, too large) why.
AmpProfileReadResult loadAmpProfile(const QString &path);

// Writes `document` to `path` through a temporary file that replaces the old one only when all of
// it was written. Returns why it failed, or an empty text.
QString saveAmpProfile(const QString &path, const AmpProfileDocument &document);

} // namespace procedures
