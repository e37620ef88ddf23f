#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// The whole file, or nothing when it is missing, unreadable, no regular file or larger
// than `limit`.
QByteArray ReadBoundedFile(const QString& path, qint64 limit);
// Written to a temporary file and renamed over the old one, so a crash or a full disk
// never leaves half a file. False when that fails.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);
// The JSON object a side file holds; empty when the file is missing, refused, empty or
// damaged. A damaged file (cut by a crash, or anything but a JSON object) is copied beside
// as "<path>.damaged" first, over an older copy: the next save would replace it for good.
QJsonObject ReadJsonObjectFile(const QString& path, qint64 limit);
