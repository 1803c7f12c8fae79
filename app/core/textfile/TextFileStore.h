#pragma once

#include <QByteArray>
#include <QString>

// Files the operator keeps, on disk. A file is read whole, up to a limit, so that it is parsed
// before anyone applies anything; it is saved atomically, so a failed save leaves the old file as
// it was.
namespace textfile {

// The unit a size limit is told in.
struct SizeUnit {
    qint64 bytes;
    const char *name;
};
inline constexpr SizeUnit Kilobytes{1024, "KB"};
inline constexpr SizeUnit Megabytes{1024 * 1024, "MB"};

// A kind of file as the messages name it.
struct FileKind {
    QString name;   // with its article: "a setup file"
    qint64 maxSize; // the largest file read, in bytes
    SizeUnit unit;  // the unit the messages tell maxSize in
};

struct FileBytes {
    QByteArray bytes;
    QString failure; // empty when the file was read
};

// The bytes of the file at `path`. A missing file (or none named) fails with the path followed by
// " file not found."; any other failure (a folder, no permission, larger than the kind's limit)
// says why.
FileBytes readFileBytes(const QString &path, const FileKind &kind);

// Writes `bytes` to `path` through a temporary file that replaces the old one only when all of it
// was written. Returns why it failed, or an empty text.
QString saveFileBytes(const QString &path, const QByteArray &bytes);

} // namespace textfile
