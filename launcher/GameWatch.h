#pragma once

#include "PelmarkError.h"

#include <QObject>
#include <functional>

class QTimer;

// Watches, once a second, whether the game runs, and says so when that changes. A
// failing look is told through failed(); the watch goes on after it.
class GameWatch : public QObject {
    Q_OBJECT
public:
    // probe: true while the game runs (Launcher::IsGameRunning); it may throw PelmarkError.
    explicit GameWatch(std::function<bool()> probe, QObject* parent = nullptr);

    QTimer* timer() const { return m_timer; }
    void start();
    // One look now, as each tick takes.
    void check();

Q_SIGNALS:
    void runningChanged(bool running);
    void failed(const PelmarkError& error);

private:
    std::function<bool()> m_probe;
    QTimer* m_timer;
    bool m_running = false;
};
