// The process list from a Linux proc file system.

#include "ProcessList.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>

#include <QVarLengthArray>

#include <vector>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// A link's target; empty when it cannot be read, with missing set when there is no such
// link (a kernel thread has no executable). The watch reads every process's link each
// second, so a usual target is read into the caller's buffer and only the result takes a
// heap block; a longer one grows a buffer of its own. File names are UTF-8 to Qt on
// Linux; decoding them as such directly spares the locale decoder's extra block.
QString ReadLink(int dirFd, const char* path, char* buffer, std::size_t size, bool& missing) {
    missing = false;
    ssize_t n = ::readlinkat(dirFd, path, buffer, size);
    if (n < 0) {
        missing = errno == ENOENT;
        return {};
    }
    if (std::size_t(n) < size)
        return QString::fromUtf8(QByteArrayView(buffer, n));
    QByteArray longer(qsizetype(size) * 2, Qt::Uninitialized);
    for (;;) {
        n = ::readlinkat(dirFd, path, longer.data(), longer.size());
        if (n < 0) {
            missing = errno == ENOENT;
            return {};
        }
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

// Pids have at most seven digits (the kernel allows 4,194,304); a name of ten or more
// digits is no process, which keeps every "<pid>/exe" within a small buffer.
bool IsProcessId(const char* name) {
    int digits = 0;
    for (; *name; ++name, ++digits) {
        if (*name < '0' || *name > '9' || digits == 9)
            return false;
    }
    return digits > 0;
}

enum class Probe { Listed, NoExecutable, Unreadable };

// One process's executable, or for Wine the program it runs. pid is the process's name
// in the folder open as dirFd.
Probe ProbeProcess(const QString& procRoot, int dirFd, const char* pid, QString& executable) {
    char path[16];
    const int length = std::snprintf(path, sizeof path, "%s/exe", pid);
    if (length <= 0 || std::size_t(length) >= sizeof path)
        return Probe::Unreadable;
    char target[PATH_MAX];
    bool missing = false;
    executable = ReadLink(dirFd, path, target, sizeof target, missing);
    if (executable.isEmpty())
        return missing ? Probe::NoExecutable : Probe::Unreadable;
    // The kernel's mark on a file deleted or replaced while it runs (an update of the game
    // or of Wine); the process still runs the program of that path.
    const QLatin1String deleted(" (deleted)");
    if (executable.endsWith(deleted))
        executable.chop(deleted.size());
    if (IsWineLoader(executable)) {
        executable = WineProgramPath(procRoot + u'/' + QLatin1String(pid));
        if (executable.isEmpty())
            return Probe::Unreadable;
    }
    return Probe::Listed;
}

// Gathered on the stack, so that the list itself is allocated once, at its size.
using Found = QVarLengthArray<QString, 512>;

QStringList ToList(Found& found) {
    QStringList processes;
    processes.reserve(found.size());
    for (QString& path : found)
        processes.append(std::move(path));
    return processes;
}

// The pid namespace's own proc file system: only then does the load average's last pid
// count the processes this folder lists.
bool IsOwnNamespace(const QString& procRoot) {
    QFile status(procRoot + QStringLiteral("/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = status.read(64 * 1024);
    const qsizetype at = text.indexOf("\nNSpid:");
    if (at < 0)
        return false;
    const qsizetype end = text.indexOf('\n', at + 1);
    const QByteArray line = text.mid(at + 7, end < 0 ? -1 : end - at - 7).simplified();
    return !line.isEmpty() && !line.contains(' ');
}

} // namespace

QStringList ListProcesses(const QString& procRoot) {
    const QByteArray root = QFile::encodeName(procRoot);
    DIR* dir = ::opendir(root.constData());
    if (!dir)
        return {};
    Found found;
    // Links are read relative to the open folder: the kernel then walks two names per
    // process instead of the whole path.
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        QString executable;
        if (IsProcessId(entry->d_name) &&
            ProbeProcess(procRoot, dirFd, entry->d_name, executable) == Probe::Listed)
            found.append(std::move(executable));
    }
    ::closedir(dir);
    return ToList(found);
}

struct ProcessWatch::State {
    struct Entry {
        unsigned long long inode; // of the process's entry, as the folder lists it
        int pid;
        bool noExecutable;
    };

    long long lastPid() const;
    void unwatch();
    void readEvents();
    void watch();

    QString root;
    DIR* dir = nullptr; // open from call to call; each reading starts at its top
    int lastPidFd = -1; // the load average, whose last field is the last pid handed out
    long long seenLastPid = -1;
    std::vector<Entry> entries; // of the last reading of the folder, by pid
    std::vector<Entry> next;

    // isRunning's watch on the program's file.
    QString path;
    QByteArray file; // the path as the system takes it
    int inotifyFd = -1;
    int watchId = -1;
    bool touched = true; // opened or changed since the last reading, as far as known
    bool wasRunning = false;
    long long lastPidAtReading = -1; // its own: list() may be called between two ticks
    std::chrono::steady_clock::time_point lastReading;
    int readings = 0;
};

ProcessWatch::ProcessWatch(const QString& procRoot) : d(std::make_unique<State>()) {
    d->root = procRoot;
    if (IsOwnNamespace(procRoot)) {
        const QByteArray path = QFile::encodeName(procRoot + QStringLiteral("/loadavg"));
        d->lastPidFd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    }
}

ProcessWatch::~ProcessWatch() {
    if (d->inotifyFd >= 0)
        ::close(d->inotifyFd);
    if (d->lastPidFd >= 0)
        ::close(d->lastPidFd);
    if (d->dir)
        ::closedir(d->dir);
}

// The pid the kernel handed out last, to a process or a thread; -1 when it cannot be read.
long long ProcessWatch::State::lastPid() const {
    if (lastPidFd < 0)
        return -1;
    char text[128];
    const ssize_t n = ::pread(lastPidFd, text, sizeof text, 0);
    if (n <= 0 || std::size_t(n) >= sizeof text)
        return -1;
    ssize_t end = n;
    while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == ' '))
        --end;
    ssize_t begin = end;
    while (begin > 0 && text[begin - 1] >= '0' && text[begin - 1] <= '9')
        --begin;
    if (begin == end || end - begin > 18 || begin == 0 || text[begin - 1] != ' ')
        return -1;
    long long pid = 0;
    for (ssize_t i = begin; i < end; ++i)
        pid = pid * 10 + (text[i] - '0');
    return pid;
}

QStringList ProcessWatch::list() {
    State& s = *d;
    if (!s.dir)
        s.dir = ::opendir(QFile::encodeName(s.root).constData());
    if (!s.dir) {
        s.entries.clear();
        s.seenLastPid = -1;
        return {};
    }
    const long long last = s.lastPid();
    const bool nothingNew = last >= 0 && last == s.seenLastPid;
    // Read before the folder: a process made while it is read moves the last pid on, and
    // the next call reads the folder again.
    s.seenLastPid = last;
    const int dirFd = ::dirfd(s.dir);
    Found found;
    if (nothingNew) {
        // Every process running now ran at the last reading, under the same pid.
        char pid[16];
        for (State::Entry& entry : s.entries) {
            if (entry.noExecutable)
                continue;
            std::snprintf(pid, sizeof pid, "%d", entry.pid);
            QString executable;
            const Probe probe = ProbeProcess(s.root, dirFd, pid, executable);
            if (probe == Probe::Listed)
                found.append(std::move(executable));
            entry.noExecutable = probe == Probe::NoExecutable;
        }
        return ToList(found);
    }
    s.next.clear();
    bool ascending = true;
    const auto byPid = [](const State::Entry& e, int p) { return e.pid < p; };
    ::rewinddir(s.dir);
    while (const dirent* entry = ::readdir(s.dir)) {
        if (!IsProcessId(entry->d_name))
            continue;
        State::Entry next{entry->d_ino, std::atoi(entry->d_name), false};
        ascending = ascending && (s.next.empty() || s.next.back().pid < next.pid);
        // The folder gives inode 1 to an entry it could not make: never taken as known.
        const auto known = std::lower_bound(s.entries.begin(), s.entries.end(), next.pid, byPid);
        if (next.inode != 1 && known != s.entries.end() && known->pid == next.pid &&
            known->inode == next.inode && known->noExecutable) {
            next.noExecutable = true;
        } else {
            QString executable;
            const Probe probe = ProbeProcess(s.root, dirFd, entry->d_name, executable);
            if (probe == Probe::Listed)
                found.append(std::move(executable));
            next.noExecutable = probe == Probe::NoExecutable && next.inode != 1;
        }
        s.next.push_back(next);
    }
    if (!ascending)
        std::sort(s.next.begin(), s.next.end(),
                  [](const State::Entry& a, const State::Entry& b) { return a.pid < b.pid; });
    s.entries.swap(s.next);
    return ToList(found);
}

void ProcessWatch::State::unwatch() {
    if (watchId >= 0)
        ::inotify_rm_watch(inotifyFd, watchId);
    watchId = -1;
}

void ProcessWatch::State::readEvents() {
    if (inotifyFd < 0)
        return;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(inotifyFd, buffer, sizeof buffer);
        if (got <= 0)
            return; // nothing more for now
        const std::size_t n = std::size_t(got);
        for (std::size_t at = 0; n - at >= sizeof(inotify_event);) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            // Events of a watch given up before are no news about the file.
            if (event.mask & IN_Q_OVERFLOW) {
                touched = true;
            } else if (event.wd == watchId) {
                touched = true;
                // The path may name another file now: watched afresh.
                if (event.mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF | IN_ATTRIB))
                    unwatch();
            }
            if (event.len > n - at - sizeof event)
                break;
            at += sizeof event + event.len;
        }
    }
}

void ProcessWatch::State::watch() {
    // The path is looked up only while unwatched, not at every tick. A folder above the
    // file moved away, with another file put in its place, tells the watched file
    // nothing: the reading every ten seconds sees to that.
    if (watchId >= 0 || file.isEmpty())
        return;
    if (inotifyFd < 0)
        inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotifyFd < 0)
        return;
    watchId = ::inotify_add_watch(inotifyFd, file.constData(),
                                  IN_OPEN | IN_ATTRIB | IN_MODIFY | IN_DELETE_SELF | IN_MOVE_SELF);
    touched = true; // what happened before the watch is not known
}

bool ProcessWatch::isRunning(const QString& path) {
    // Long enough to spare nearly every reading, short enough that a start no sign
    // announced (a process that replaced itself with Wine before Wine opened the
    // file, say) is seen soon.
    constexpr auto RereadPeriod = std::chrono::seconds(10);
    State& s = *d;
    if (path != s.path) {
        s.unwatch();
        s.path = path;
        s.file = QFile::encodeName(path);
    }
    s.readEvents();
    s.watch();
    const auto now = std::chrono::steady_clock::now();
    const long long last = s.lastPid();
    // Only a new process, or one that starts the file (and so opens it), can make the
    // program run.
    if (s.watchId >= 0 && !s.touched && !s.wasRunning && last >= 0 && last == s.lastPidAtReading &&
        now - s.lastReading < RereadPeriod)
        return false;
    // Taken before the reading: a process made during it moves the pid on for the next tick.
    s.lastPidAtReading = last;
    s.touched = false;
    s.wasRunning = IsProcessRunning(list(), path, true);
    s.lastReading = now;
    ++s.readings;
    return s.wasRunning;
}

int ProcessWatch::readings() const {
    return d->readings;
}
