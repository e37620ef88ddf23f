#pragma once

#include <QString>
#include <QWidget>

class QLabel;

// The borderless window shown while the program's windows are created.
class TfSplashScreen : public QWidget {
    Q_OBJECT
public:
    // exePath: the running program's file; its version block fills the two labels.
    explicit TfSplashScreen(const QString& exePath, QWidget* parent = nullptr);

    QLabel* lVersion = nullptr;
    QLabel* lCopyright = nullptr;

Q_SIGNALS:
    // The user closed it (through the window manager) while the program was starting.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;
};
