// Opening files by name on Linux.

#include "RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int OpenFlags(QIODevice::OpenMode mode) {
    int flags = O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    if ((mode & QIODevice::ReadWrite) == QIODevice::ReadWrite)
        flags |= O_RDWR;
    else if (mode & QIODevice::WriteOnly)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if ((mode & QIODevice::WriteOnly) && !(mode & QIODevice::ExistingOnly))
        flags |= O_CREAT;
    if (mode & QIODevice::Truncate)
        flags |= O_TRUNC;
    return flags;
}

} // namespace

OpenResult OpenRegularFile(QFile& file, const QString& path, QIODevice::OpenMode mode) {
    const int fd = ::open(QFile::encodeName(path).constData(), OpenFlags(mode), 0666);
    if (fd < 0)
        return errno == ENOENT ? OpenResult::Missing : OpenResult::Refused;
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    // Blocking again once it is known to be a regular file, as QFile expects.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        !file.open(fd, mode & ~(QIODevice::ExistingOnly | QIODevice::Truncate),
                   QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return OpenResult::Refused;
    }
    return OpenResult::Opened;
}

std::optional<QByteArray> ReadRegularFile(const QString& path, qint64 limit) {
    QFile file;
    if (OpenRegularFile(file, path, QIODevice::ReadOnly) != OpenResult::Opened)
        return std::nullopt;
    const qint64 size = file.size();
    if (size > limit)
        return std::nullopt;
    // One byte more than expected tells a file that grew meanwhile.
    QByteArray bytes = file.read(size + 1);
    if (bytes.size() != size || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}
