#pragma once

#include <QString>

// Which setup a part was measured with: the setup file's name and a hash of its content, so that
// two files of one name, or one file changed, are told apart in the log.
namespace recording {

struct SetupIdentity {
    QString fileName; // without its folder; empty when no setup file is loaded
    QString hash;     // SHA-256 of the file's bytes in hex; empty when it could not be read

    bool operator==(const SetupIdentity &) const = default;
};

// Reads the file at `path` (empty: no setup file).
SetupIdentity setupIdentity(const QString &path);

} // namespace recording
