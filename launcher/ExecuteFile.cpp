#include "ExecuteFile.h"

#include "Desktop.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <cstring>

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

} // namespace

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
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty()) {
            desktop.showMessage(
                QStringLiteral("Wine is needed to start %1, but it is not installed.").arg(path));
            return;
        }
        command = {wine, QStringList{path} + SplitParameters(parameters)};
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
