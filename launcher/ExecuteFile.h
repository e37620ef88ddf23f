#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class Desktop;
class QProcess;

// Opens a file, program or URL the way the desktop would, without a shell:
// - a URL goes to the desktop's handler;
// - a native program (executable, and not a Windows program) starts with its own
//   folder as working directory and the parameter string as its arguments;
// - a Windows program (".exe" that is no native executable) starts through Wine and the
//   starter, and receives the parameter string byte for byte (Latin-1) as its command line;
// - any other file opens with the desktop's handler for its type.
// Failures are shown in the plain message box; the call always returns normally.
// A program is started detached.
void ExecuteFile(Desktop& desktop, const QString& file, const QString& parameters);

// ExecuteFile with the program started attached (the starter waits for a Windows program):
// start() returns at once and finished() comes when the program has ended, or at once
// after anything that is no program to wait for (a URL, a document, a failure shown).
// The program itself never asks for that; the run ends the program when it goes first.
class ProgramRun : public QObject {
    Q_OBJECT
public:
    explicit ProgramRun(Desktop& desktop, QObject* parent = nullptr);
    ~ProgramRun() override;

    // Ignored while a program runs: one answer for one start.
    void start(const QString& file, const QString& parameters);
    bool isRunning() const { return m_process != nullptr; }

Q_SIGNALS:
    void finished();

private:
    void end();

    Desktop& m_desktop;
    QProcess* m_process = nullptr;
};

// The parameter string split at each single blank, so that joining the arguments
// with one blank gives the string back exactly; an empty string gives no arguments.
QStringList SplitParameters(const QString& parameters);

// Where the Windows-side starter lies for an executable in executableDir: beside it (the
// build tree), else in ../lib/pelmark2 or ../libexec/pelmark2 (installed). Empty when
// none of them holds it.
QString FindWineStarter(const QString& executableDir);

// The arguments for Wine that start the program through the starter. Both the path and
// the parameters travel hex-encoded: Wine rebuilds a Windows command line from its
// arguments with its own quoting, and only hex digits come through that unchanged.
QStringList WineStarterArguments(const QString& starter, const QString& program,
                                 const QString& parameters, bool wait);
