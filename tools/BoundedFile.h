#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

// The whole file, or nothing when it is missing, unreadable, no regular file or larger
// than `limit`.
QByteArray ReadBoundedFile(const QString& path, qint64 limit);
// Through WriteFileSafely: the old file stays whole when this fails (false).
bool WriteWholeFile(const QString& path, const QByteArray& bytes);
// Keeps the file under `path` beside as "<path>.damaged", over an older copy, before a
// save replaces what could not be read of it. Nothing when it leads to no regular file.
void KeepDamagedCopy(const QString& path);
// The JSON object a side file holds; empty when the file is missing, refused, empty or
// damaged. A damaged file (cut by a crash, anything but a JSON object, or larger than
// `limit`) is kept aside first (KeepDamagedCopy): the next save would replace it for good.
// An empty file is read as empty without a copy: there is nothing in it to keep.
QJsonObject ReadJsonObjectFile(const QString& path, qint64 limit);
// The object in a side file's bytes; nothing when they hold no JSON object.
std::optional<QJsonObject> ParseJsonObject(const QByteArray& bytes);
