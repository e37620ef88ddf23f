#pragma once

#include <QObject>

class QTimer;
class QWidget;

// Holds a timer off while its window cannot be seen (hidden, say to the tray, or
// minimized) and lets it go on when the window shows again, if it ran when it was held.
// A window that has not been shown yet is not held: the program shows it right after
// creation, and nothing is gained by waiting for that.
class TimerHold : public QObject {
    Q_OBJECT
public:
    TimerHold(QWidget* window, QTimer* timer);

    // Starts the timer; while the window cannot be seen, it starts when the window shows.
    void start();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();

    QWidget* m_window;
    QTimer* m_timer;
    bool m_unmapped = false;
    bool m_holding = false;
    bool m_resume = false;
};
