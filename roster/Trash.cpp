#include "Trash.h"

#include "RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Enough for any name a person keeps trashing; beyond it the file is deleted instead.
constexpr int NameTries = 100;

bool isFolder(const QByteArray& path) {
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The trash folder with its files and info folders, made private where missing.
bool prepare(const QByteArray& trash) {
    for (const QByteArray& folder : {trash, trash + "/files", trash + "/info"}) {
        if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (!isFolder(folder))
            return false;
    }
    return true;
}

std::optional<dev_t> deviceOf(const QByteArray& path) {
    struct stat st;
    if (::stat(path.constData(), &st) != 0)
        return std::nullopt;
    return st.st_dev;
}

// The top folder of the disk that holds `folder`: its last ancestor on the same device.
QByteArray topFolder(QByteArray folder, dev_t device) {
    while (folder != "/") {
        const qsizetype slash = folder.lastIndexOf('/');
        const QByteArray parent = slash <= 0 ? QByteArray("/") : folder.left(slash);
        if (deviceOf(parent) != device)
            break;
        folder = parent;
    }
    return folder;
}

// The trash of the disk at `top`: the shared ".Trash" an administrator made (a sticky
// folder, no link), else one of the user's own.
std::optional<QByteArray> diskTrash(const QByteArray& top) {
    const QByteArray base = top == "/" ? QByteArray() : top;
    const QByteArray uid = QByteArray::number(qulonglong(::getuid()));
    const QByteArray shared = base + "/.Trash";
    struct stat st;
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) &&
        prepare(shared + '/' + uid))
        return shared + '/' + uid;
    const QByteArray own = base + "/.Trash-" + uid;
    if (prepare(own))
        return own;
    return std::nullopt;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// The description, whole and on the disk, or nothing left of it.
bool writeInfo(int fd, const QByteArray& path, const QByteArray& text) {
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) == 0 && written)
        return true;
    ::unlink(path.constData());
    return false;
}

enum class Move { Moved, Taken, Failed };

// rename() would replace a file left in files/ without its description.
Move moveWithoutReplacing(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return Move::Moved;
    if (errno == EEXIST)
        return Move::Taken;
    if (errno != EINVAL && errno != ENOSYS)
        return Move::Failed;
    // A file system that knows no such rename: the same, less strictly.
    struct stat st;
    if (::lstat(to.constData(), &st) == 0)
        return Move::Taken;
    if (errno != ENOENT)
        return Move::Failed;
    return ::rename(from.constData(), to.constData()) == 0 ? Move::Moved : Move::Failed;
}

} // namespace

QByteArray TrashInfoPath(const QByteArray& path) {
    return path.toPercentEncoding("/");
}

std::optional<TrashEntry> MoveToTrash(const QString& path) {
    const QFileInfo info(path);
    const QString folderPath = info.absoluteDir().canonicalPath();
    if (folderPath.isEmpty() || info.fileName().isEmpty())
        return std::nullopt;
    const QByteArray folder = QFile::encodeName(folderPath);
    const QByteArray name = QFile::encodeName(info.fileName());
    const QByteArray source = (folder == "/" ? QByteArray() : folder) + '/' + name;
    struct stat st;
    if (::lstat(source.constData(), &st) != 0)
        return std::nullopt;

    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty() || !QDir().mkpath(dataHome))
        return std::nullopt;
    const QByteArray homeTrash = QFile::encodeName(dataHome) + "/Trash";
    // Without a home trash the file is deleted rather than dropped on a disk's top folder.
    if (!prepare(homeTrash))
        return std::nullopt;
    QByteArray trash = homeTrash;
    QByteArray recorded = source;
    if (deviceOf(homeTrash + "/files") != st.st_dev) {
        const QByteArray top = topFolder(folder, st.st_dev);
        const std::optional<QByteArray> own = diskTrash(top);
        if (!own)
            return std::nullopt;
        trash = *own;
        recorded = source.mid(top == "/" ? 1 : top.size() + 1);
    }
    const QByteArray text =
        "[Trash Info]\nPath=" + TrashInfoPath(recorded) + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() +
        '\n';

    for (int i = 1; i <= NameTries; ++i) {
        const QByteArray entry = i == 1 ? name : name + '.' + QByteArray::number(i);
        const QByteArray infoPath = trash + "/info/" + entry + ".trashinfo";
        const int fd = ::open(infoPath.constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return std::nullopt; // a full disk, no free inode, a read-only trash: no use trying
        }
        if (!writeInfo(fd, infoPath, text))
            return std::nullopt;
        const QByteArray target = trash + "/files/" + entry;
        const Move moved = moveWithoutReplacing(source, target);
        if (moved == Move::Moved)
            return TrashEntry{QFile::decodeName(target), QFile::decodeName(infoPath), text};
        ::unlink(infoPath.constData());
        if (moved == Move::Failed)
            return std::nullopt;
    }
    return std::nullopt;
}

void RemoveFromTrash(const TrashEntry& entry, const QByteArray& bytes) {
    if (ReadRegularFile(entry.info, entry.infoText.size() + 1) != entry.infoText ||
        ReadRegularFile(entry.file, bytes.size() + 1) != bytes)
        return;
    // The file first: a description left alone still shows what was lost.
    if (QFile::remove(entry.file))
        QFile::remove(entry.info);
}
