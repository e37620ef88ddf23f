#include "BoundedFile.h"

#include "RegularFile.h"
#include "SafeWrite.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A copy of a file too large for a link is made in memory up to this size.
constexpr qint64 MaxCopyBytes = 64 * 1024 * 1024;
} // namespace

QByteArray ReadBoundedFile(const QString& path, qint64 limit) {
    return ReadRegularFile(path, limit).value_or(QByteArray());
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
    return WriteFileSafely(path, bytes);
}

void KeepDamagedCopy(const QString& path) {
    if (!QFileInfo(path).isFile())
        return;
    const QString copy = path + QStringLiteral(".damaged");
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(copy);
    // A second name for the same bytes costs no space, so it holds on a full disk and for
    // a file of any size; the save that follows gives the side file new bytes of its own.
    struct stat old {};
    if (::lstat(to.constData(), &old) == 0 && (S_ISREG(old.st_mode) || S_ISLNK(old.st_mode)))
        ::unlink(to.constData());
    if (::linkat(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) == 0)
        return;
    if (const std::optional<QByteArray> bytes = ReadRegularFile(path, MaxCopyBytes))
        WriteFileSafely(copy, *bytes);
}

std::optional<QJsonObject> ParseJsonObject(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    return doc.object();
}

QJsonObject ReadJsonObjectFile(const QString& path, qint64 limit) {
    const QFileInfo info(path);
    if (info.isFile() && info.size() > limit) {
        KeepDamagedCopy(path);
        return {};
    }
    const QByteArray bytes = ReadBoundedFile(path, limit);
    if (bytes.isEmpty())
        return {};
    if (std::optional<QJsonObject> object = ParseJsonObject(bytes))
        return *std::move(object);
    KeepDamagedCopy(path);
    return {};
}
