#pragma once

#include <QByteArray>
#include <QString>

// The whole file, or nothing when it is missing, unreadable, no regular file or larger
// than `limit`.
QByteArray ReadBoundedFile(const QString& path, qint64 limit);
// Written to a temporary file and renamed over the old one, so a crash or a full disk
// never leaves half a file. False when that fails.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);
