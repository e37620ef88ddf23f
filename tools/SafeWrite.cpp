#include "SafeWrite.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>

namespace {

// A missing name may be created; an existing one must lead to a regular file.
bool writableName(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(name.constData(), &link) != 0)
        return errno == ENOENT;
    if (S_ISREG(link.st_mode))
        return true;
    struct stat target {};
    return S_ISLNK(link.st_mode) && ::stat(name.constData(), &target) == 0 &&
           S_ISREG(target.st_mode);
}

} // namespace

bool WriteFileSafely(const QString& path, const QByteArray& bytes, WriteMode mode) {
    if (!writableName(path))
        return false;
    // Unbuffered: a buffered QSaveFile loses a failed final flush (a full disk) and
    // commits the cut file as if it were whole.
    QSaveFile file(path);
    file.setDirectWriteFallback(mode == WriteMode::InPlaceFallback);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
