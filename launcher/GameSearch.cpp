#include "GameSearch.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTimer>

#include <atomic>
#include <memory>
#include <system_error>
#include <thread>

namespace {

const QString GameFile = QStringLiteral("LFS.exe");
const QString DriveC = QStringLiteral("/drive_c");

// The subfolders of base, each with below appended, in name order.
QStringList foldersUnder(const QString& base, const QString& below = {}) {
    QStringList folders;
    const QStringList names =
        QDir(base).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names)
        folders << base + QLatin1Char('/') + name + below;
    return folders;
}

struct Walk {
    QDeadlineTimer deadline;
    int depth = 0;
    QSet<QString> seen; // canonical paths: a link back up the tree leads nowhere new
};

bool isGame(const QFileInfo& entry) {
    return entry.isFile() && entry.fileName().compare(GameFile, Qt::CaseInsensitive) == 0;
}

// Level by level, so that the shallowest copy wins: one deep in a backup folder is less
// likely the one that is played.
QString searchDriveC(const QString& driveC, Walk& walk) {
    QStringList level{driveC};
    for (int depth = 0; depth <= walk.depth && !level.isEmpty(); ++depth) {
        QStringList next;
        for (const QString& folder : std::as_const(level)) {
            if (walk.deadline.hasExpired())
                return {};
            const QString canonical = QFileInfo(folder).canonicalFilePath();
            if (canonical.isEmpty() || walk.seen.contains(canonical))
                continue;
            walk.seen.insert(canonical);
            const QFileInfoList entries =
                QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                           QDir::Name | QDir::IgnoreCase);
            for (const QFileInfo& entry : entries) {
                if (isGame(entry))
                    return entry.absoluteFilePath();
            }
            for (const QFileInfo& entry : entries) {
                // Windows' own folder holds tens of thousands of files and never the game.
                const bool windows =
                    depth == 0 &&
                    entry.fileName().compare(QStringLiteral("windows"), Qt::CaseInsensitive) == 0;
                if (entry.isDir() && !windows)
                    next << entry.filePath();
            }
        }
        level = std::move(next);
    }
    return {};
}

} // namespace

GameSearchHome GameSearchHome::fromEnvironment() {
    GameSearchHome home;
    home.home = QDir::homePath();
    home.dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    // A relative value does not count, as for every XDG base folder.
    if (!QDir::isAbsolutePath(home.dataHome))
        home.dataHome = home.home + QStringLiteral("/.local/share");
    home.winePrefix = qEnvironmentVariable("WINEPREFIX");
    return home;
}

QStringList WinePrefixes(const GameSearchHome& home) {
    QStringList candidates;
    if (!home.winePrefix.isEmpty())
        candidates << home.winePrefix;
    candidates << home.home + QStringLiteral("/.wine");
    candidates << foldersUnder(home.dataHome + QStringLiteral("/wineprefixes"));
    candidates << foldersUnder(home.dataHome + QStringLiteral("/bottles/bottles"));
    candidates << foldersUnder(
        home.home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles/bottles"));
    candidates << foldersUnder(home.home + QStringLiteral("/Games"));
    candidates << foldersUnder(home.home + QStringLiteral("/.PlayOnLinux/wineprefix"));
    const QString pfx = QStringLiteral("/pfx");
    candidates << foldersUnder(home.home + QStringLiteral("/.steam/steam/steamapps/compatdata"),
                               pfx);
    candidates << foldersUnder(home.dataHome + QStringLiteral("/Steam/steamapps/compatdata"), pfx);

    // ~/.steam/steam is usually a link to the data folder's Steam: each prefix once.
    QStringList prefixes;
    QSet<QString> seen;
    for (const QString& candidate : std::as_const(candidates)) {
        const QString canonical = QFileInfo(candidate + DriveC).canonicalFilePath();
        if (canonical.isEmpty() || !QFileInfo(canonical).isDir() || seen.contains(canonical))
            continue;
        seen.insert(canonical);
        prefixes << candidate;
    }
    return prefixes;
}

QString FindGame(const QStringList& prefixes, const GameSearchLimits& limits) {
    Walk walk;
    walk.deadline = QDeadlineTimer(limits.milliseconds);
    walk.depth = limits.depth;
    for (const QString& prefix : prefixes) {
        const QString game = searchDriveC(prefix + DriveC, walk);
        if (!game.isEmpty())
            return game;
        if (walk.deadline.hasExpired())
            break;
    }
    return {};
}

QString GameBrowseFolder(const GameSearchHome& home, const GameSearchLimits& limits) {
    const QString game = FindGame(WinePrefixes(home), limits);
    if (!game.isEmpty())
        return QFileInfo(game).absolutePath();
    const QString wineDriveC = home.home + QStringLiteral("/.wine") + DriveC;
    return QFileInfo(wineDriveC).isDir() ? wineDriveC : QString();
}

struct GameSearch::Shared {
    std::atomic_bool done{false};
    QString folder; // written by the thread before done, read here only after it
};

GameSearch::GameSearch(QObject* parent, Finder finder)
    : QObject(parent), m_finder(std::move(finder)) {
    // Checking a flag every few milliseconds costs nothing, and unlike a call posted by the
    // thread it can never reach this object after its end.
    m_poll.setInterval(5);
    connect(&m_poll, &QTimer::timeout, this, &GameSearch::poll);
}

GameSearch::~GameSearch() = default;

void GameSearch::start(const GameSearchHome& home, const GameSearchLimits& limits) {
    if (isRunning())
        return;
    m_shared = std::make_shared<Shared>();
    constexpr int Grace = 250;
    m_deadline = QDeadlineTimer(limits.milliseconds + Grace);
    try {
        std::thread([shared = m_shared, finder = m_finder, home, limits] {
            shared->folder = finder(home, limits);
            shared->done.store(true, std::memory_order_release);
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the dialog opens where it would anyway.
        m_deadline = QDeadlineTimer(0);
    }
    m_poll.start();
}

void GameSearch::poll() {
    const bool done = m_shared->done.load(std::memory_order_acquire);
    if (!done && !m_deadline.hasExpired())
        return;
    const QString folder = done ? m_shared->folder : QString();
    m_poll.stop();
    m_shared.reset(); // a follower may start the next search at once
    Q_EMIT finished(folder);
}
