#pragma once

#include <QString>
#include <QStringList>

// Full paths of the executables of the running processes, read from a proc file
// system. Processes that cannot be read (gone, or not ours) are left out. A program
// running under Wine is listed by its own path, turned into a Linux path.
QStringList ListProcesses(const QString& procRoot = QStringLiteral("/proc"));

// True when an entry equals the name; with fullPath false only the entry's file-name
// part (after its last '/', '\' or ':') is compared. Letters A-Z match either case;
// every other character only itself.
bool IsProcessRunning(const QStringList& processes, const QString& name, bool fullPath);

// True for the executables that Wine's processes show in place of the program.
bool IsWineLoader(const QString& executablePath);

// A Windows path as Wine sees it, turned into the Linux path of the same file:
// the drive comes from the prefix's dosdevices links ("Z:" is "/" when it has none),
// backslashes become slashes. A path that is no drive path only has its slashes turned.
QString WineToLinuxPath(const QString& windowsPath, const QString& prefixDir);
