#include "HostNameJoin.h"

#include "ErrorHandler.h"
#include "Launcher.h"
#include "uJoinHost.h"

#include <QAction>

HostNameJoin::HostNameJoin(QAction* command, Launcher& launcher, Desktop& desktop, QWidget* window)
    : QObject(window), m_launcher(launcher), m_desktop(desktop), m_window(window) {
    connect(command, &QAction::triggered, this, &HostNameJoin::run);
}

void HostNameJoin::run() {
    Guarded(m_desktop, [&] {
        TfJoinHost box(m_window);
        if (const std::optional<TfJoinHost::Choice> chosen = box.Run())
            m_launcher.JoinServer(chosen->host, chosen->askPassword);
    });
}
