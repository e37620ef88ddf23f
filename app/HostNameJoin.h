#pragma once

#include <QObject>

class Desktop;
class Launcher;
class QAction;
class QWidget;

// "Join host by name...": asks for the name in a box over the main window, then joins the
// host as a row's Join does: the same password rule, the same join parameters.
class HostNameJoin : public QObject {
    Q_OBJECT
public:
    // command: the shared action of the rows' menu, the empty list's menu and the tray.
    HostNameJoin(QAction* command, Launcher& launcher, Desktop& desktop, QWidget* window);

    void run();

private:
    Launcher& m_launcher;
    Desktop& m_desktop;
    QWidget* m_window;
};
