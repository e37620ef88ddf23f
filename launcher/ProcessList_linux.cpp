// The process list from a Linux proc file system.

#include "ProcessList.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

QString ReadLink(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    QByteArray buffer(4096, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::readlink(native.constData(), buffer.data(), buffer.size());
        if (n < 0)
            return {};
        if (n < buffer.size())
            return QFile::decodeName(buffer.left(n));
        buffer.resize(buffer.size() * 2);
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

bool IsProcessId(const QString& name) {
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

QStringList ListProcesses(const QString& procRoot) {
    QStringList processes;
    const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (!IsProcessId(entry))
            continue;
        const QString processDir = procRoot + u'/' + entry;
        const QString executable = ReadLink(processDir + QStringLiteral("/exe"));
        if (executable.isEmpty())
            continue;
        const QString path = IsWineLoader(executable) ? WineProgramPath(processDir) : executable;
        if (!path.isEmpty())
            processes << path;
    }
    return processes;
}
