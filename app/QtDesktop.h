#pragma once

#include "Desktop.h"
#include "ProcessList.h"

#include <QMessageBox>
#include <memory>

class QFileDialog;
class QInputDialog;

// The real desktop: Qt's message boxes, input dialog, file dialog, QProcess,
// QDesktopServices and the proc file system.
class QtDesktop : public Desktop {
public:
    void showError(const QString& text) override;
    void showMessage(const QString& text) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt) override;
    void beep() override;
    std::optional<QString> openFileName(QWidget* parent, const QString& filter,
                                        const QString& startFolder) override;
    QString startProgram(const QString& program, const QStringList& arguments,
                         const QString& workingDirectory) override;
    QString openUrl(const QUrl& url) override;
    QStringList listProcesses() override;
    std::optional<bool> isProgramRunning(const QString& path) override;

private:
    ProcessWatch m_processes; // asked each second by the game watch
};

// The boxes as QtDesktop shows them, built apart so that they can be looked at
// without being run.
std::unique_ptr<QMessageBox> MakeMessageBox(const QString& text, QMessageBox::Icon icon,
                                            QWidget* parent = nullptr);
std::unique_ptr<QInputDialog> MakeInputBox(const QString& caption, const QString& prompt,
                                           QWidget* parent = nullptr);
std::unique_ptr<QFileDialog> MakeOpenFileDialog(const QString& filter, const QString& startFolder,
                                                QWidget* parent = nullptr);
