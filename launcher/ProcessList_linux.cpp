// The process list from a Linux proc file system.

#include "ProcessList.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>

#include <QVarLengthArray>

#include <climits>
#include <cstdio>
#include <dirent.h>
#include <unistd.h>

namespace {

// A link's target; empty when it cannot be read. The watch reads every process's link
// each second, so a usual target is read into the caller's buffer and only the result
// takes a heap block; a longer one grows a buffer of its own. File names are UTF-8 to
// Qt on Linux; decoding them as such directly spares the locale decoder's extra block.
QString ReadLink(int dirFd, const char* path, char* buffer, std::size_t size) {
    ssize_t n = ::readlinkat(dirFd, path, buffer, size);
    if (n < 0)
        return {};
    if (std::size_t(n) < size)
        return QString::fromUtf8(QByteArrayView(buffer, n));
    QByteArray longer(qsizetype(size) * 2, Qt::Uninitialized);
    for (;;) {
        n = ::readlinkat(dirFd, path, longer.data(), longer.size());
        if (n < 0)
            return {};
        if (n < longer.size())
            return QString::fromUtf8(QByteArrayView(longer.constData(), n));
        longer.resize(longer.size() * 2);
    }
}

// cmdline and environ: NUL-separated, usually with a NUL at the end.
QByteArrayList ReadNulList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray data = file.readAll();
    if (data.isEmpty())
        return {};
    if (data.endsWith('\0'))
        data.chop(1);
    return data.split('\0');
}

QString EnvValue(const QByteArrayList& environment, QByteArrayView name) {
    for (const QByteArray& entry : environment) {
        if (entry.size() > name.size() && entry.startsWith(name) && entry[name.size()] == '=')
            return QFile::decodeName(entry.mid(name.size() + 1));
    }
    return {};
}

QString WinePrefixOf(const QString& processDir) {
    const QByteArrayList environment = ReadNulList(processDir + QStringLiteral("/environ"));
    const QString prefix = EnvValue(environment, "WINEPREFIX");
    if (!prefix.isEmpty())
        return prefix;
    QString home = EnvValue(environment, "HOME");
    if (home.isEmpty())
        home = QDir::homePath();
    return home + QStringLiteral("/.wine");
}

// A Wine process shows the loader as its executable; the program it runs is the
// first argument that is not the loader itself.
QString WineProgramPath(const QString& processDir) {
    const QByteArrayList arguments = ReadNulList(processDir + QStringLiteral("/cmdline"));
    for (const QByteArray& argument : arguments) {
        const QString text = QFile::decodeName(argument);
        if (text.isEmpty() || IsWineLoader(text))
            continue;
        return WineToLinuxPath(text, WinePrefixOf(processDir));
    }
    return {};
}

bool IsProcessId(const char* name) {
    if (*name == '\0')
        return false;
    for (; *name; ++name) {
        if (*name < '0' || *name > '9')
            return false;
    }
    return true;
}

} // namespace

QStringList ListProcesses(const QString& procRoot) {
    const QByteArray root = QFile::encodeName(procRoot);
    DIR* dir = ::opendir(root.constData());
    if (!dir)
        return {};
    // Gathered on the stack, so that the list itself is allocated once, at its size.
    QVarLengthArray<QString, 512> found;
    // Links are read relative to the open folder: the kernel then walks two names per
    // process instead of the whole path.
    const int dirFd = ::dirfd(dir);
    char path[NAME_MAX + 8];
    char target[PATH_MAX];
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsProcessId(entry->d_name))
            continue;
        const int length = std::snprintf(path, sizeof path, "%s/exe", entry->d_name);
        if (length <= 0 || std::size_t(length) >= sizeof path)
            continue;
        QString executable = ReadLink(dirFd, path, target, sizeof target);
        if (executable.isEmpty())
            continue;
        if (IsWineLoader(executable)) {
            const QString processDir = procRoot + u'/' + QLatin1String(entry->d_name);
            executable = WineProgramPath(processDir);
            if (executable.isEmpty())
                continue;
        }
        found.append(std::move(executable));
    }
    ::closedir(dir);
    QStringList processes;
    processes.reserve(found.size());
    for (QString& path : found)
        processes.append(std::move(path));
    return processes;
}
