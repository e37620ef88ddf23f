#include "ProcessList.h"

#include <QDir>
#include <QFileInfo>

namespace {

char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

// Deliberately not QString::compare(CaseInsensitive): that folds Unicode letters too,
// and the game's path must only match with A-Z taken either way.
bool EqualIgnoringAsciiCase(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i].unicode()) != AsciiLower(b[i].unicode()))
            return false;
    }
    return true;
}

QStringView FileNamePart(QStringView entry) {
    qsizetype cut = -1;
    for (const QChar separator : {u'/', u'\\', u':'})
        cut = std::max(cut, entry.lastIndexOf(separator));
    return entry.mid(cut + 1);
}

bool IsAsciiLetter(QChar c) {
    const char16_t u = AsciiLower(c.unicode());
    return u >= u'a' && u <= u'z';
}

// Where a drive letter leads in the prefix; empty when the drive is unknown.
QString DriveRoot(const QString& prefixDir, QChar driveLetter) {
    const QChar lower(AsciiLower(driveLetter.unicode()));
    for (const QChar letter : {lower, QChar(lower.unicode() - 32)}) {
        const QFileInfo link(prefixDir + QStringLiteral("/dosdevices/") + letter + u':');
        if (link.isSymLink())
            return link.symLinkTarget();
    }
    // Wine maps Z: to the root unless the prefix says otherwise.
    return lower == u'z' ? QStringLiteral("/") : QString();
}

} // namespace

bool IsProcessRunning(const QStringList& processes, const QString& name, bool fullPath) {
    for (const QString& entry : processes) {
        const QStringView compared = fullPath ? QStringView(entry) : FileNamePart(entry);
        if (EqualIgnoringAsciiCase(compared, name))
            return true;
    }
    return false;
}

bool IsWineLoader(const QString& executablePath) {
    // A view, not a copy: the watch asks this of every process each second. The whole
    // name, not its end: "notwine" is some other program, whose first argument is no game.
    const QStringView base = FileNamePart(executablePath);
    for (const char* loader : {"wine", "wine64", "wine-preloader", "wine64-preloader"}) {
        if (base == QLatin1String(loader))
            return true;
    }
    return false;
}

QString WineToLinuxPath(const QString& windowsPath, const QString& prefixDir) {
    QString path = windowsPath;
    path.replace(u'\\', u'/');
    if (path.startsWith(QLatin1String("//?/")) || path.startsWith(QLatin1String("/?\?/")))
        path.remove(0, 4);
    if (path.size() < 2 || !IsAsciiLetter(path[0]) || path[1] != u':')
        return path;
    const QString root = DriveRoot(prefixDir, path[0]);
    if (root.isEmpty())
        return path;
    QString rest = path.mid(2);
    if (!rest.startsWith(u'/'))
        rest.prepend(u'/');
    const QString linuxPath = QDir::cleanPath(root + rest);
    // Native entries are the kernel's resolved paths; resolve ours alike when we can.
    const QString canonical = QFileInfo(linuxPath).canonicalFilePath();
    return canonical.isEmpty() ? linuxPath : canonical;
}
