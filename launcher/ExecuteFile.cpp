#include "ExecuteFile.h"

#include "Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <optional>

namespace {

struct Command {
    QString program;
    QStringList arguments;
};

// A scheme of two letters at least, so that a Windows drive ("C:") is no URL.
bool LooksLikeUrl(const QString& text) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(text).hasMatch();
}

bool StartsWithNativeMagic(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = f.read(4);
    return head.startsWith("\x7f"
                           "ELF") ||
           head.startsWith("#!");
}

// A ".exe" is a Windows program unless it is in fact an ELF file or a script.
bool IsWindowsProgram(const QFileInfo& info) {
    return info.fileName().endsWith(QLatin1String(".exe"), Qt::CaseInsensitive) &&
           !StartsWithNativeMagic(info.absoluteFilePath());
}

QString ErrnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString WaitForProgram(const Command& command, const QString& workingDirectory) {
    QProcess process;
    process.setProgram(command.program);
    process.setArguments(command.arguments);
    process.setWorkingDirectory(workingDirectory);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    process.start();
    if (!process.waitForStarted(-1))
        return process.errorString();
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    return {};
}

const QString StarterName = QStringLiteral("pelmark-winstart.exe");

const QStringList& StarterFolders() {
    static const QStringList folders{QStringLiteral("."), QStringLiteral("../lib/pelmark2"),
                                     QStringLiteral("../libexec/pelmark2")};
    return folders;
}

// Wine and the starter, or a message saying which of them is missing.
std::optional<Command> WineCommand(const QString& program, const QString& parameters, bool wait,
                                   QString& missing) {
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty()) {
        missing =
            QStringLiteral("Wine is needed to start %1, but it is not installed.").arg(program);
        return std::nullopt;
    }
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString starter = FindWineStarter(appDir);
    if (starter.isEmpty()) {
        missing =
            QStringLiteral("%1 cannot be started: %2, which starts Windows programs "
                           "through Wine, is missing from %3.")
                .arg(program, StarterName, QDir::cleanPath(appDir + u'/' + StarterFolders().at(1)));
        return std::nullopt;
    }
    return Command{wine, WineStarterArguments(starter, program, parameters, wait)};
}

} // namespace

QString FindWineStarter(const QString& executableDir) {
    for (const QString& folder : StarterFolders()) {
        const QFileInfo candidate(executableDir + u'/' + folder + u'/' + StarterName);
        if (candidate.isFile())
            return QDir::cleanPath(candidate.absoluteFilePath());
    }
    return {};
}

QStringList WineStarterArguments(const QString& starter, const QString& program,
                                 const QString& parameters, bool wait) {
    QStringList arguments{starter};
    if (wait)
        arguments << QStringLiteral("-w");
    arguments << QString::fromLatin1(QFile::encodeName(program).toHex())
              << QString::fromLatin1(parameters.toLatin1().toHex());
    return arguments;
}

QStringList SplitParameters(const QString& parameters) {
    if (parameters.isEmpty())
        return {};
    return parameters.split(u' ', Qt::KeepEmptyParts);
}

void ExecuteFile(Desktop& desktop, const QString& file, const QString& parameters, bool wait) {
    const QFileInfo info(file);
    if (!info.exists() && LooksLikeUrl(file)) {
        const QString error = desktop.openUrl(QUrl(file));
        if (!error.isEmpty())
            desktop.showMessage(error);
        return;
    }
    if (!info.exists()) {
        desktop.showMessage(file + QStringLiteral(": ") + ErrnoText(ENOENT));
        return;
    }

    // The absolute path keeps a bare name from being looked up on the PATH.
    const QString path = info.absoluteFilePath();
    Command command;
    if (info.isFile() && IsWindowsProgram(info)) {
        QString missing;
        const std::optional<Command> wine = WineCommand(path, parameters, wait, missing);
        if (!wine) {
            desktop.showMessage(missing);
            return;
        }
        command = *wine;
    } else if (info.isFile() && info.isExecutable()) {
        command = {path, SplitParameters(parameters)};
    } else {
        const QString error = desktop.openUrl(QUrl::fromLocalFile(path));
        if (!error.isEmpty())
            desktop.showMessage(error);
        return;
    }

    const QString workingDirectory = info.absolutePath();
    const QString error =
        wait ? WaitForProgram(command, workingDirectory)
             : desktop.startProgram(command.program, command.arguments, workingDirectory);
    if (!error.isEmpty())
        desktop.showMessage(error);
}
