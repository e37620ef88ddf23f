#include "ProfileStore.h"

#include "PelmarkError.h"
#include "QuillonPubStats.h"
#include "RegularFile.h"
#include "SafeWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <optional>

namespace {

PelmarkError fileError(QString message) {
    return PelmarkError(std::move(message), PelmarkError::Kind::File);
}

void writeRecord(QFile& file, const QString& path, const MateRecord& record) {
    if (file.write(record.bytes()) != MateRecord::Size || !file.flush())
        throw fileError(ErrorText::CannotWrite(path));
}

// Opens a profile file that must already exist; the append and the in-place
// replace never create one.
void openExisting(QFile& file, const QString& path) {
    if (OpenRegularFile(file, path,
                        QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered) !=
        OpenResult::Opened)
        throw fileError(ErrorText::CannotOpen(path));
}

qsizetype wholeRecords(qint64 fileSize) {
    return qsizetype(fileSize / MateRecord::Size);
}

} // namespace

ProfileStore::ProfileStore(QString groupsDir) : m_groupsDir(std::move(groupsDir)) {}

QString ProfileStore::ProfilePath(const QString& group) const {
    return m_groupsDir + group + QStringLiteral(".profile");
}

bool ProfileStore::ProfileExists(const QString& group) const {
    // A dangling link counts too: writing through it would create a file elsewhere.
    const QFileInfo info(ProfilePath(group));
    return info.exists() || info.isSymLink();
}

void ProfileStore::LoadRoster(QuillonPubStats& stats) const {
    QStringList groups;
    QList<MateEntry> mates;
    const QDir dir(m_groupsDir);
    if (!dir.exists()) {
        stats.clear();
        return;
    }
    // Every kind of entry is taken, so that a folder named like a profile is reported
    // rather than silently skipped. Sorted by name so that the roster's order (and so
    // which of two equal nicks comes first) does not depend on the file system.
    const QFileInfoList entries = dir.entryInfoList({QStringLiteral("*.profile")},
                                                    QDir::AllEntries | QDir::Hidden | QDir::System |
                                                        QDir::NoDotAndDotDot | QDir::CaseSensitive,
                                                    QDir::Name);
    // One bad file must not cost the rest of the roster: it shows as an empty group, and
    // its error is reported once, after the others are in.
    std::optional<PelmarkError> firstError;
    QSet<QString> paths;
    for (const QFileInfo& entry : entries) {
        paths.insert(entry.filePath());
        groups.append(entry.completeBaseName());
        try {
            LoadProfile(entry.filePath(), mates);
        } catch (const PelmarkError& e) {
            if (!firstError)
                firstError = e;
        }
    }
    m_lastRead.removeIf([&](const auto& read) { return !paths.contains(read.key()); });
    stats.assign(std::move(groups), std::move(mates));
    if (firstError)
        throw *firstError;
}

void ProfileStore::LoadProfile(const QString& path, QList<MateEntry>& mates) const {
    const QString group = QFileInfo(path).completeBaseName();
    QFile file;
    if (OpenRegularFile(file, path, QIODevice::ReadOnly) != OpenResult::Opened)
        throw fileError(ErrorText::CannotOpen(path));
    const qsizetype count = wholeRecords(file.size());
    // Read in runs of records: one call per record cost more than decoding them.
    constexpr qsizetype Run = 256;
    QByteArray bytes;
    for (qsizetype done = 0; done < count;) {
        const qsizetype n = std::min(Run, count - done);
        const QByteArray run = file.read(n * MateRecord::Size);
        if (run.size() != n * MateRecord::Size) {
            m_lastRead.remove(path);
            throw fileError(ErrorText::CannotRead(path));
        }
        bytes += run;
        done += n;
    }
    ReadProfile& last = m_lastRead[path];
    if (last.bytes.isNull() || last.bytes != bytes) {
        QList<MateEntry> read;
        read.reserve(count);
        for (qsizetype i = 0; i < count; ++i)
            read.append(MateEntry::make(group, MateRecord::fromBytes(QByteArrayView(bytes).sliced(
                                                   i * MateRecord::Size, MateRecord::Size))));
        last = {bytes, std::move(read)};
    }
    mates.append(last.entries);
}

void ProfileStore::CreateProfile(const QString& group) const {
    const QString path = ProfilePath(group);
    QFile file;
    if (OpenRegularFile(file, path, QIODevice::WriteOnly | QIODevice::Truncate) !=
        OpenResult::Opened)
        throw fileError(ErrorText::CannotWrite(path));
}

void ProfileStore::AppendMateRecord(const QString& group, const MateRecord& record) const {
    const QString path = ProfilePath(group);
    QFile file;
    openExisting(file, path);
    // After the last whole record, so that a trailing fragment is overwritten.
    const qint64 size = file.size();
    const qint64 end = qint64(wholeRecords(size)) * MateRecord::Size;
    if (!file.seek(end))
        throw fileError(ErrorText::CannotWrite(path));
    const QByteArray fragment = file.read(size - end);
    if (!file.seek(end))
        throw fileError(ErrorText::CannotWrite(path));
    if (file.write(record.bytes()) == MateRecord::Size && file.flush())
        return;
    // A full disk can take part of the record; the file goes back to what it was, so
    // that no cut record is left behind. This needs no new space.
    if (file.seek(end))
        file.write(fragment);
    file.resize(size);
    throw fileError(ErrorText::CannotWrite(path));
}

void ProfileStore::ReplaceMateRecord(const QString& group, const MateRecord& oldRecord,
                                     const MateRecord& newRecord) const {
    const QString path = ProfilePath(group);
    QFile file;
    openExisting(file, path);
    const QByteArray oldName = oldRecord.lfsName();
    const qsizetype count = wholeRecords(file.size());
    for (qsizetype i = 0; i < count; ++i) {
        const qint64 offset = qint64(i) * MateRecord::Size;
        if (!file.seek(offset))
            throw fileError(ErrorText::CannotRead(path));
        const QByteArray bytes = file.read(MateRecord::Size);
        if (bytes.size() != MateRecord::Size)
            throw fileError(ErrorText::CannotRead(path));
        if (MateRecord::fromBytes(bytes).lfsName() != oldName)
            continue;
        if (!file.seek(offset))
            throw fileError(ErrorText::CannotWrite(path));
        writeRecord(file, path, newRecord);
        return;
    }
}

void ProfileStore::RewriteProfile(const QString& group, const QList<MateEntry>& mates) const {
    QByteArray records;
    for (const MateEntry& entry : mates) {
        if (entry.group == group)
            records += entry.record.bytes();
    }
    WriteProfileBytes(group, records);
}

void ProfileStore::WriteProfileBytes(const QString& group, const QByteArray& bytes) const {
    const QString path = ProfilePath(group);
    if (!WriteFileSafely(path, bytes))
        throw fileError(ErrorText::CannotWrite(path));
}

std::optional<QByteArray> ProfileStore::ReadProfileBytes(const QString& group, qint64 limit) const {
    return ReadRegularFile(ProfilePath(group), limit);
}

std::optional<TrashEntry> ProfileStore::DeleteProfile(const QString& group) const {
    const QString path = ProfilePath(group);
    const QFileInfo info(path);
    // A folder named like a profile was never the program's to delete.
    if (info.isDir() && !info.isSymLink())
        return std::nullopt;
    if (info.exists() || info.isSymLink()) {
        if (std::optional<TrashEntry> entry = MoveToTrash(path))
            return entry;
    }
    QFile::remove(path);
    return std::nullopt;
}

void ProfileStore::RemoveStaleTemporaries() const {
    // QSaveFile's name for its temporary file: the target's name, a dot, six letters.
    static const QRegularExpression temporary(QStringLiteral("^.*\\.profile\\.[A-Za-z]{6}$"));
    const QFileInfoList entries =
        QDir(m_groupsDir)
            .entryInfoList({QStringLiteral("*.profile.??????")},
                           QDir::Files | QDir::Hidden | QDir::NoSymLinks | QDir::CaseSensitive);
    for (const QFileInfo& entry : entries) {
        if (entry.isFile() && !entry.isSymLink() && temporary.match(entry.fileName()).hasMatch())
            QFile::remove(entry.filePath());
    }
}
