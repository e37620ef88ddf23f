#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

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

// GameBrowseFolder on a thread of its own: start() returns at once and finished() brings
// the folder, through the caller's event loop. The answer is empty when the thread has not
// finished shortly after the limit (a folder that hangs in the kernel, such as a dead network
// mount, cannot be interrupted); such a thread ends on its own later and touches nothing of
// this object, which may be gone by then.
class GameSearch : public QObject {
    Q_OBJECT
public:
    // The search itself; another one only in tests.
    using Finder = std::function<QString(const GameSearchHome&, const GameSearchLimits&)>;

    explicit GameSearch(QObject* parent = nullptr, Finder finder = GameBrowseFolder);
    ~GameSearch() override;

    // Ignored while a search runs: one answer for one search.
    void start(const GameSearchHome& home, const GameSearchLimits& limits = {});
    bool isRunning() const { return m_shared != nullptr; }

Q_SIGNALS:
    void finished(const QString& folder);

private:
    struct Shared;
    void poll();

    Finder m_finder;
    std::shared_ptr<Shared> m_shared; // also held by the thread
    QDeadlineTimer m_deadline;
    QTimer m_poll;
};
