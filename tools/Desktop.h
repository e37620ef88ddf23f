#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;
class QUrl;

// The program's only door to the desktop: message boxes, the input box, the beep,
// the file-open dialog, starting programs and URLs, and the process list.
// The real one lives in app/ (QtDesktop); tests pass a recording fake.
class Desktop {
public:
    virtual ~Desktop() = default;

    // Standard error box: caption "Pelmark II", error icon, OK, plain text.
    // The text is shown as given; use StandardErrorText() to form it.
    virtual void showError(const QString& text) = 0;
    // Plain message box: caption "Pelmark II", no icon, OK, plain text.
    virtual void showMessage(const QString& text) = 0;
    // Standard input box centred on the screen with "OK" and "Abbrechen", at most
    // 255 characters, shown as typed. Empty optional when cancelled.
    virtual std::optional<QString> inputBox(const QString& caption, const QString& prompt) = 0;
    virtual void beep() = 0;
    // File-open dialog; filters in Qt's "Name (pattern);;Name (pattern)" form. It opens in
    // startFolder (the dialog's own choice when empty) and shows hidden folders too.
    virtual std::optional<QString> openFileName(QWidget* parent, const QString& filter,
                                                const QString& startFolder) = 0;
    // Starts a program detached with its arguments and working directory.
    // Returns an empty string on success, the system's error text otherwise.
    virtual QString startProgram(const QString& program, const QStringList& arguments,
                                 const QString& workingDirectory) = 0;
    // Opens a URL with the desktop's handler; empty string on success.
    virtual QString openUrl(const QUrl& url) = 0;
    // Full paths of the executables of the running processes (see launcher/).
    virtual QStringList listProcesses() = 0;
    // Whether a process runs the program at this full path, from a desktop that can tell
    // more cheaply than by the whole list; nullopt leaves it to listProcesses().
    virtual std::optional<bool> isProgramRunning(const QString& /*path*/) { return std::nullopt; }
};
