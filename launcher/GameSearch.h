#pragma once

#include <QString>
#include <QStringList>

// The folders the search starts from.
struct GameSearchHome {
    QString home;       // the user's home
    QString dataHome;   // $XDG_DATA_HOME or ~/.local/share
    QString winePrefix; // $WINEPREFIX; may be empty
    // This session's folders.
    static GameSearchHome fromEnvironment();
};

struct GameSearchLimits {
    int depth = 5;           // folder levels below drive_c: users/NAME/Desktop/Games/LFS is five
    int milliseconds = 1000; // for the whole search
};

// The Wine prefixes the game is looked for in, in this order, each once (links resolved)
// and only those that hold drive_c:
//   $WINEPREFIX                                  the one the user set for this session
//   ~/.wine                                      plain Wine's default
//   $XDG_DATA_HOME/wineprefixes/*                winetricks
//   $XDG_DATA_HOME/bottles/bottles/*             Bottles
//   ~/.var/app/com.usebottles.bottles/data/bottles/bottles/*   Bottles as a Flatpak
//   ~/Games/*                                    Lutris
//   ~/.PlayOnLinux/wineprefix/*                  PlayOnLinux
//   ~/.steam/steam/steamapps/compatdata/*/pfx    Steam's Proton
//   $XDG_DATA_HOME/Steam/steamapps/compatdata/*/pfx
// The folders under one front-end come in name order.
QStringList WinePrefixes(const GameSearchHome& home);

// The full path of the first LFS.exe (any case) below the prefixes' drive_c folders: the
// prefixes in order, and within one the shallowest, then the first by name. drive_c/windows
// is skipped; links are followed, but no folder is read twice; unreadable folders are
// passed over. Empty when none is found within the limits.
QString FindGame(const QStringList& prefixes, const GameSearchLimits& limits = {});

// Where the browse dialog for the game opens: the folder of the game found, else
// ~/.wine/drive_c when it exists, else empty (the dialog's own choice).
QString GameBrowseFolder(const GameSearchHome& home, const GameSearchLimits& limits = {});

// GameBrowseFolder on a thread of its own, while the caller's event loop runs. Empty when
// the thread has not finished shortly after the limit (a folder that hangs in the kernel,
// such as a dead network mount, cannot be interrupted).
QString GameBrowseFolderWaiting(const GameSearchHome& home, const GameSearchLimits& limits = {});
