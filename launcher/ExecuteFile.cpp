#include "ExecuteFile.h"

#include "Desktop.h"

#include <QCoreApplication>
#include <QDir>
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
    QString workingDirectory;
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
    return Command{wine, WineStarterArguments(starter, program, parameters, wait), {}};
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

namespace {

// The command that starts file, or nothing when it was handed to the desktop or a failure
// was shown.
std::optional<Command> CommandFor(Desktop& desktop, const QString& file, const QString& parameters,
                                  bool wait) {
    const QFileInfo info(file);
    if (!info.exists() && LooksLikeUrl(file)) {
        const QString error = desktop.openUrl(QUrl(file));
        if (!error.isEmpty())
            desktop.showMessage(error);
        return std::nullopt;
    }
    if (!info.exists()) {
        desktop.showMessage(file + QStringLiteral(": ") + ErrnoText(ENOENT));
        return std::nullopt;
    }

    // The absolute path keeps a bare name from being looked up on the PATH.
    const QString path = info.absoluteFilePath();
    Command command;
    if (info.isFile() && IsWindowsProgram(info)) {
        QString missing;
        const std::optional<Command> wine = WineCommand(path, parameters, wait, missing);
        if (!wine) {
            desktop.showMessage(missing);
            return std::nullopt;
        }
        command = *wine;
    } else if (info.isFile() && info.isExecutable()) {
        command = {path, SplitParameters(parameters), {}};
    } else {
        const QString error = desktop.openUrl(QUrl::fromLocalFile(path));
        if (!error.isEmpty())
            desktop.showMessage(error);
        return std::nullopt;
    }
    command.workingDirectory = info.absolutePath();
    return command;
}

} // namespace

void ExecuteFile(Desktop& desktop, const QString& file, const QString& parameters) {
    const std::optional<Command> command = CommandFor(desktop, file, parameters, false);
    if (!command)
        return;
    const QString error =
        desktop.startProgram(command->program, command->arguments, command->workingDirectory);
    if (!error.isEmpty())
        desktop.showMessage(error);
}

ProgramRun::ProgramRun(Desktop& desktop, QObject* parent) : QObject(parent), m_desktop(desktop) {}

ProgramRun::~ProgramRun() {
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

void ProgramRun::start(const QString& file, const QString& parameters) {
    if (isRunning())
        return;
    const std::optional<Command> command = CommandFor(m_desktop, file, parameters, true);
    if (!command) {
        // Still an answer of its own, after start() has returned like every other time.
        QMetaObject::invokeMethod(this, &ProgramRun::finished, Qt::QueuedConnection);
        return;
    }
    m_process = new QProcess(this);
    m_process->setProgram(command->program);
    m_process->setArguments(command->arguments);
    m_process->setWorkingDirectory(command->workingDirectory);
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(m_process, &QProcess::finished, this, &ProgramRun::end);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // A crash is followed by finished(); only a failed start ends here.
        if (error != QProcess::FailedToStart)
            return;
        m_desktop.showMessage(m_process->errorString());
        end();
    });
    m_process->start();
}

void ProgramRun::end() {
    m_process->deleteLater();
    m_process = nullptr;
    Q_EMIT finished();
}
