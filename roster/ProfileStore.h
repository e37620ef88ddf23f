#pragma once

#include "MateRecord.h"
#include "Trash.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

class QuillonPubStats;

// The profile files of the groups folder: one file per group, named by the group with
// ".profile", a headerless run of 383-byte records. Every call opens, works and closes
// the file within the call and throws PelmarkError when the file system refuses.
class ProfileStore {
public:
    explicit ProfileStore(QString groupsDir); // groups folder path ending in '/'
    const QString& groupsDir() const { return m_groupsDir; }
    QString ProfilePath(const QString& group) const;
    bool ProfileExists(const QString& group) const;

    // Clears the group and mate lists and loads every "*.profile" file. A missing
    // folder gives an empty roster. A file that cannot be read (a folder, a FIFO, no
    // permission) keeps its group in the list, without mates, and the load goes on with
    // the others; then the first such file's error is thrown, with every readable
    // profile in the lists.
    void LoadRoster(QuillonPubStats& stats) const;
    // Appends the entries of one file, or none when it cannot be read whole; the group
    // is the file name without its last extension, cut to 50 characters.
    void LoadProfile(const QString& path, QList<MateEntry>& mates) const;

    void CreateProfile(const QString& group) const;
    // Writes after the last whole record (over a trailing fragment); the file must exist.
    void AppendMateRecord(const QString& group, const MateRecord& record) const;
    // Overwrites, in place, the first record with the old record's LFS name; no match
    // leaves the file unchanged. The file must exist.
    void ReplaceMateRecord(const QString& group, const MateRecord& oldRecord,
                           const MateRecord& newRecord) const;
    // Writes the records of the group's entries, in list order, to a temporary file
    // renamed over the old one, so a failure leaves the previous file whole.
    void RewriteProfile(const QString& group, const QList<MateEntry>& mates) const;
    // Moves the file to the desktop's trash, so that a file manager can bring it back, and
    // tells where it went; or deletes it where the trash cannot take it. A folder under the
    // name stays; a failure is not reported.
    std::optional<TrashEntry> DeleteProfile(const QString& group) const;
    // The file's bytes as they are, for an undo: nothing when it is no regular file, cannot
    // be read or is larger than limit.
    std::optional<QByteArray> ReadProfileBytes(const QString& group, qint64 limit) const;
    // Makes the file hold exactly these bytes, through a temporary file renamed over it.
    void WriteProfileBytes(const QString& group, const QByteArray& bytes) const;
    // Deletes what an interrupted rewrite left beside a profile: regular files named like
    // the temporary files of the rewrite, "<group>.profile." and six letters. For the
    // start of the program, before any rewrite; a failure is not reported.
    void RemoveStaleTemporaries() const;

private:
    QString m_groupsDir;
    // Each profile's bytes as last read and the entries they gave: every refresh reads
    // the files again, and mostly they hold what they held.
    struct ReadProfile {
        QByteArray bytes;
        QList<MateEntry> entries;
    };
    mutable QHash<QString, ReadProfile> m_lastRead;
};
