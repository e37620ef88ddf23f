#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps its files, decided once at start-up.
//
// Portable: the executable's folder holds a data folder or the settings file. Every file
// lives beside the executable and the program creates no folder.
// Installed: otherwise. The settings file and the data folder are per-user folders, which
// the program creates when they are missing; Tracks.data may come from the installed
// share folder.
struct AppPaths {
    bool installed = false;
    QString exePath;
    QString exeDir;     // ends in '/'
    QString dataDir;    // ends in '/'
    QString groupsDir;  // dataDir + "groups/"
    QString configPath; // the settings file
    QString tracksPath; // Tracks.data
    // Installed only: the user's home, and the base folders that hold ours.
    QString home;
    QString configHome;
    QString dataHome;
};

// The user's folders as the desktop names them (XDG), and where installed data may lie.
struct UserFolders {
    QString home;
    QString configHome;         // $XDG_CONFIG_HOME or ~/.config
    QString dataHome;           // $XDG_DATA_HOME or ~/.local/share
    QStringList systemDataDirs; // $XDG_DATA_DIRS
};

// True when the folder of exePath holds "data" or the executable's settings file.
bool IsPortableStart(const QString& exePath);
AppPaths PortablePaths(const QString& exePath);
AppPaths InstalledPaths(const QString& exePath, const UserFolders& user);
// The folders of this session, by Qt's standard paths.
UserFolders StandardUserFolders();
// The mode and its paths for the running program.
AppPaths ResolveAppPaths(const QString& exePath);

// Installed: creates the settings folder, the data folder and the groups folder when they
// are missing, and nothing else (a missing home folder is not made up). Throws
// PelmarkError when a folder cannot be made. Portable: does nothing.
void CreateUserFolders(const AppPaths& paths);
