#pragma once

#include <QByteArray>
#include <QString>

// How a file may be written when the folder refuses a temporary file beside it.
enum class WriteMode {
    Replace,        // temporary file and rename, or nothing
    InPlaceFallback // the file itself, when only the folder is read-only (QSaveFile's
                    // direct write fallback): for settings in a folder the user cannot
                    // write to, at the cost of half a file on a crash
};

// The one way the program writes a whole file: to a temporary file beside it, unbuffered
// and every write checked, then renamed over the old one. False when anything fails; the
// old file is then as it was. Only a regular file or a new name is written: a name that
// is a folder, a FIFO or a device, or a symlink to anything but a regular file (or to
// nothing), is refused. A symlink to a regular file stays a symlink; its target is
// replaced.
bool WriteFileSafely(const QString& path, const QByteArray& bytes,
                     WriteMode mode = WriteMode::Replace);
