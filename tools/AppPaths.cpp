#include "AppPaths.h"

#include "PelmarkError.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString FolderName = QStringLiteral("pelmark2");
const QString InstalledConfigName = QStringLiteral("Pelmark2.config");
const QString TracksName = QStringLiteral("Tracks.data");

QString withSlash(const QString& dir) {
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QString exeDirOf(const QString& exePath) {
    return withSlash(QFileInfo(exePath).absolutePath());
}

QString portableConfigPath(const QString& exePath) {
    return exeDirOf(exePath) + QFileInfo(exePath).completeBaseName() + QStringLiteral(".config");
}

bool isDir(const QString& path) {
    return QFileInfo(path).isDir();
}

// The user's copy first, then the share folder of the prefix the executable was
// installed to (so that any prefix works), then the system's data folders.
QString installedTracksPath(const QString& exeDir, const QString& userDataDir,
                            const QStringList& systemDataDirs) {
    QStringList candidates{userDataDir + TracksName,
                           QDir::cleanPath(exeDir + QStringLiteral("../share/") + FolderName +
                                           QLatin1Char('/') + TracksName)};
    for (const QString& dir : systemDataDirs)
        candidates << withSlash(dir) + FolderName + QLatin1Char('/') + TracksName;
    for (const QString& candidate : std::as_const(candidates))
        if (QFileInfo(candidate).isFile())
            return candidate;
    return candidates.at(1);
}

// A base folder (~/.config, ~/.local/share) may be made only inside an existing home:
// with no home there is nowhere the user would find the files again.
bool mayCreateIn(const QString& base, const QString& home) {
    if (isDir(base))
        return true;
    const QString cleanHome = QDir::cleanPath(home);
    return cleanHome != QDir::rootPath() && isDir(cleanHome) &&
           QDir::cleanPath(base).startsWith(cleanHome + QLatin1Char('/'));
}

QString notSavedNote() {
    return QStringLiteral("; Einstellungen und Gruppen können nicht gespeichert werden");
}

QString missingHomeText(const QString& home) {
    const QString clean = QDir::cleanPath(home);
    if (clean.isEmpty() || clean == QDir::rootPath())
        return QStringLiteral("Kein persönlicher Ordner (HOME) angegeben");
    return QStringLiteral("Der persönliche Ordner %1 existiert nicht")
        .arg(QDir::toNativeSeparators(clean));
}

void createFolder(const QString& folder, const QString& base, const QString& home) {
    if (isDir(folder))
        return;
    if (!mayCreateIn(base, home))
        throw PelmarkError(missingHomeText(home) + notSavedNote());
    if (!QDir().mkpath(folder) || !isDir(folder))
        throw PelmarkError(QStringLiteral("Der Ordner %1 kann nicht angelegt werden")
                               .arg(QDir::toNativeSeparators(QDir::cleanPath(folder))) +
                           notSavedNote());
}

} // namespace

bool IsPortableStart(const QString& exePath) {
    return isDir(exeDirOf(exePath) + QStringLiteral("data")) ||
           QFileInfo::exists(portableConfigPath(exePath));
}

AppPaths PortablePaths(const QString& exePath) {
    AppPaths paths;
    paths.exePath = exePath;
    paths.exeDir = exeDirOf(exePath);
    paths.dataDir = paths.exeDir + QStringLiteral("data/");
    paths.groupsDir = paths.dataDir + QStringLiteral("groups/");
    paths.configPath = portableConfigPath(exePath);
    paths.tracksPath = paths.dataDir + TracksName;
    return paths;
}

AppPaths InstalledPaths(const QString& exePath, const UserFolders& user) {
    AppPaths paths;
    paths.installed = true;
    paths.exePath = exePath;
    paths.exeDir = exeDirOf(exePath);
    paths.home = user.home;
    paths.configHome = user.configHome;
    paths.dataHome = user.dataHome;
    paths.dataDir = withSlash(user.dataHome) + FolderName + QStringLiteral("/data/");
    paths.groupsDir = paths.dataDir + QStringLiteral("groups/");
    paths.configPath =
        withSlash(user.configHome) + FolderName + QLatin1Char('/') + InstalledConfigName;
    paths.tracksPath = installedTracksPath(paths.exeDir, paths.dataDir, user.systemDataDirs);
    return paths;
}

UserFolders StandardUserFolders() {
    UserFolders user;
    user.home = QDir::homePath();
    user.configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    user.dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // The first standard location is the user's own; the rest are the system's.
    user.systemDataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    user.systemDataDirs.removeAll(user.dataHome);
    return user;
}

AppPaths ResolveAppPaths(const QString& exePath) {
    return IsPortableStart(exePath) ? PortablePaths(exePath)
                                    : InstalledPaths(exePath, StandardUserFolders());
}

void CreateUserFolders(const AppPaths& paths) {
    if (!paths.installed)
        return;
    createFolder(QFileInfo(paths.configPath).absolutePath(), paths.configHome, paths.home);
    createFolder(paths.groupsDir, paths.dataHome, paths.home);
}
