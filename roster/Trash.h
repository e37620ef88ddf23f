#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// One file in a trash folder as the desktop's trash lays it out: the file under files/ and
// its description under info/.
struct TrashEntry {
    QString file;        // <trash>/files/<name>
    QString info;        // <trash>/info/<name>.trashinfo
    QByteArray infoText; // what the description says, to tell that the entry is still ours
};

// Moves a file (a symlink itself, not what it points to) into the home trash, or into the
// trash of its own disk when it lies on another disk than the home trash. The description is
// written and checked before the file moves; a taken name leads to the next of a bounded
// number of names, any other failure ends the attempt. Nothing: the file stayed where it was
// and no trash holds anything of it.
std::optional<TrashEntry> MoveToTrash(const QString& path);

// Takes an entry out of the trash for good when the trash still holds it as it was put there:
// the same description and a file of these bytes. A failure is not reported.
void RemoveFromTrash(const TrashEntry& entry, const QByteArray& bytes);

// Path of a description: the path percent-encoded as a URL's, '/' kept.
QByteArray TrashInfoPath(const QByteArray& path);
