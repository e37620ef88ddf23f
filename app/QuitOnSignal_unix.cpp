#include "QuitOnSignal.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int signalPipe[2] = {-1, -1};
bool ended = false;

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[0], &byte, 1);
}
} // namespace

bool RunEnded() {
    return ended;
}

void EndRun(QWidget* window) {
    ended = true;
    // Menus, boxes and dialogs run loops of their own that would hold the run until someone
    // answers them; bounded, so that a popup that refuses to close cannot hold it either.
    for (int i = 0; i < 16 && QApplication::activePopupWidget(); ++i)
        QApplication::activePopupWidget()->close();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(top); dialog && dialog->isVisible())
            dialog->reject();
    }
    window->close();
    // Leaves the loops of the boxes that were open, and any box code opens from now on
    // returns at once, so the run ends however deep the signal came in.
    QCoreApplication::exit(0);
}

void CloseOnTerminationSignal(QWidget* window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window, notifier] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[1], &byte, 1);
        notifier->setEnabled(false);
        EndRun(window);
    });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, window,
                     [window] { EndRun(window); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
}
