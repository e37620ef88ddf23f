#pragma once

#include "Desktop.h"

#include <QQueue>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <utility>

// Records what the program shows and answers input boxes from a script.
class FakeDesktop : public Desktop {
public:
    QStringList errors;   // texts of standard error boxes
    QStringList messages; // texts of plain message boxes
    int beeps = 0;
    struct Input {
        QString caption;
        QString prompt;
    };
    QList<Input> inputs;                    // input boxes shown
    QQueue<std::optional<QString>> answers; // next answers; cancelled when empty
    std::function<void()> duringInput;      // runs while an input box is "open"
    std::function<void()> duringBox;        // runs while a message or error box is "open"
    std::optional<QString> nextFileName;
    QStringList fileDialogFolders; // start folders of the file-open dialogs shown
    struct Start {
        QString program;
        QStringList arguments;
        QString workingDirectory;
    };
    QList<Start> starts;
    QString startError;       // returned by startProgram when set
    bool reallyStart = false; // start the program for real (fake game)
    QList<QUrl> urls;
    QStringList processes;
    bool useRealProcessList = false;
    std::function<QStringList()> processLister;

    void showError(const QString& text) override {
        errors << text;
        boxOpen();
    }
    void showMessage(const QString& text) override {
        messages << text;
        boxOpen();
    }
    void boxOpen() {
        if (duringBox)
            std::exchange(duringBox, nullptr)(); // once: a box inside it must not recurse
    }
    std::optional<QString> inputBox(const QString& caption, const QString& prompt) override {
        inputs << Input{caption, prompt};
        if (duringInput)
            duringInput();
        return answers.isEmpty() ? std::nullopt : answers.dequeue();
    }
    void beep() override { ++beeps; }
    std::optional<QString> openFileName(QWidget*, const QString&,
                                        const QString& startFolder) override {
        fileDialogFolders << startFolder;
        return nextFileName;
    }
    QString startProgram(const QString& program, const QStringList& arguments,
                         const QString& workingDirectory) override;
    QString openUrl(const QUrl& url) override {
        urls << url;
        return {};
    }
    QStringList listProcesses() override { return processLister ? processLister() : processes; }
};

#include <QProcess>

inline QString FakeDesktop::startProgram(const QString& program, const QStringList& arguments,
                                         const QString& workingDirectory) {
    starts << Start{program, arguments, workingDirectory};
    if (!startError.isEmpty())
        return startError;
    if (reallyStart) {
        QProcess p;
        p.setProgram(program);
        p.setArguments(arguments);
        p.setWorkingDirectory(workingDirectory);
        if (!p.startDetached())
            return p.errorString();
    }
    return {};
}
