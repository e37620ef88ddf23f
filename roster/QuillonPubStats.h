#pragma once

#include "MateRecord.h"

#include <QList>
#include <QStringList>

// The roster's two shared lists and the look-ups on them (the host list is the refresh
// controller's). The main window owns the single instance. Look-ups answer indices,
// never pointers, so that no caller keeps a reference into a list across a wait.
class QuillonPubStats {
public:
    QStringList groups;     // one name per profile file, in file-system order
    QList<MateEntry> mates; // all groups' entries, group by group

    // First entry of that group whose LFS name equals the record's; -1 when none.
    int FindMateIndex(const QString& group, const MateRecord& record) const;
    // First entry of that group whose trimmed LFS name is this one; -1 when none. A mate
    // is known by group and LFS name, which no edit changes.
    int FindMateByLfsName(const QString& group, QByteArrayView trimmedLfsName) const;
    // Removes the first entry with the same group and LFS name.
    void RemoveMate(const MateEntry& entry);

    // First entry of that group whose display name is exactly this one; -1 when none.
    int FindMate(QByteArrayView displayName, const QString& group) const;
};
