#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// Full paths of the executables of the running processes, read from a proc file
// system. Processes that cannot be read (gone, or not ours) are left out. A program
// running under Wine is listed by its own path, turned into a Linux path. A program whose
// file was deleted or replaced since its start is listed by the path it was started from.
QStringList ListProcesses(const QString& procRoot = QStringLiteral("/proc"));

// The same list for a watch that asks every second, sparing what the previous call makes
// needless. A process without an executable (a kernel thread, or one that has ended) is
// not asked again while its proc entry is the same one: a pid taken over by a new process
// comes with a new entry. And while no process or thread has been created since the
// previous call, the proc folder is not read again: only the processes seen then are
// asked, so that a program that replaced itself (exec) is still seen at once.
class ProcessWatch {
public:
    explicit ProcessWatch(const QString& procRoot = QStringLiteral("/proc"));
    ~ProcessWatch();
    ProcessWatch(const ProcessWatch&) = delete;
    ProcessWatch& operator=(const ProcessWatch&) = delete;

    QStringList list();

    // Whether a process runs the program at this full path (compared as
    // IsProcessRunning does), for a watch that asks every second. While the program
    // does not run, the process list is read again only when something could have
    // changed that: a process was made, the file at the path was opened (as every start
    // of it does, Wine's included) or changed, the path was changed, or ten seconds have
    // passed since the last reading. Where the file cannot be watched, every call reads
    // the list.
    bool isRunning(const QString& path);
    // How often isRunning read the process list.
    int readings() const;

private:
    struct State;
    std::unique_ptr<State> d;
};

// True when an entry equals the name; with fullPath false only the entry's file-name
// part (after its last '/', '\' or ':') is compared. Letters A-Z match either case;
// every other character only itself.
bool IsProcessRunning(const QStringList& processes, const QString& name, bool fullPath);

// True for the executables that Wine's processes show in place of the program: the
// file names wine, wine64, wine-preloader and wine64-preloader, in whatever folder.
bool IsWineLoader(const QString& executablePath);

// A Windows path as Wine sees it, turned into the Linux path of the same file:
// the drive comes from the prefix's dosdevices links ("Z:" is "/" when it has none),
// backslashes become slashes. A path that is no drive path only has its slashes turned.
QString WineToLinuxPath(const QString& windowsPath, const QString& prefixDir);
