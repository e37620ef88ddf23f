#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

// The program's own files (settings, track names, profiles, side files) are opened only
// when their name leads to a regular file. A FIFO, a device or a folder under such a
// name is refused: opening a FIFO waits for a writer for good, and /dev/zero never ends.
enum class OpenResult { Opened, Missing, Refused };

// Opens `path` into `file` without ever blocking. `mode` is ReadOnly, ReadWrite or
// WriteOnly, with Unbuffered and ExistingOnly as QFile takes them; a missing file is
// created for writing unless ExistingOnly, and Truncate empties the file. Missing: there
// is no such file. Refused: anything else failed, a path that is no regular file too.
// A file opened this way has no fileName(): messages take the path.
OpenResult OpenRegularFile(QFile& file, const QString& path, QIODevice::OpenMode mode);

// The whole regular file, or nothing when it is missing, refused, unreadable, larger
// than `limit` bytes or changed in size while read.
std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 limit);
