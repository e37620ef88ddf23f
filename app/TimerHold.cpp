#include "TimerHold.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

TimerHold::TimerHold(QWidget* window, QTimer* timer)
    : QObject(window), m_window(window), m_timer(timer) {
    window->installEventFilter(this);
}

void TimerHold::start() {
    if (m_holding)
        m_resume = true;
    else
        m_timer->start();
}

bool TimerHold::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window) {
        switch (event->type()) {
        // The window system hides a minimized window with a spontaneous hide event
        // while the window still counts as visible; the show event brings it back.
        case QEvent::Hide:
            m_unmapped = true;
            update();
            break;
        case QEvent::Show:
            m_unmapped = false;
            update();
            break;
        case QEvent::WindowStateChange:
            update();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TimerHold::update() {
    const bool hold = m_unmapped || m_window->isMinimized();
    if (hold == m_holding)
        return;
    m_holding = hold;
    if (hold) {
        // A timer that was off (a reload in progress, or one that failed) stays off.
        m_resume = m_timer->isActive();
        m_timer->stop();
    } else if (m_resume) {
        m_resume = false;
        m_timer->start();
    }
}
