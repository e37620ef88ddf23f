// The yardstick for the whole program's idle cost: an empty window of the same toolkit,
// shown for a while and then closed.
//   bare_window [seconds]          the empty window
//   bare_window [seconds] timers   the same window doing only what the program's timers
//       ask of the toolkit: every 120 ms an opaque strip moves 5 px, held while the window
//       cannot be seen, as the ticker is; every second a timer fires with nothing to do,
//       as the game watch would with nothing to read.
#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

class TimerWindow : public QWidget {
public:
    TimerWindow() {
        m_strip = new QWidget(this);
        QPalette palette = m_strip->palette();
        palette.setColor(QPalette::Window, QColor(0xc0, 0xd8, 0xf0));
        m_strip->setPalette(palette);
        m_strip->setAutoFillBackground(true);
        m_strip->setGeometry(800, 82, 4000, 13);
        m_step.setInterval(120);
        QObject::connect(&m_step, &QTimer::timeout, this, [this] {
            const int x = m_strip->x() <= -m_strip->width() ? width() : m_strip->x() - 5;
            m_strip->move(x, m_strip->y());
        });
        m_second.setInterval(1000);
        QObject::connect(&m_second, &QTimer::timeout, this, [this] {
            m_second.stop();
            m_second.start();
        });
        m_step.start();
        m_second.start();
    }

protected:
    bool event(QEvent* event) override {
        switch (event->type()) {
        case QEvent::Hide:
            m_step.stop();
            break;
        case QEvent::Show:
            m_step.start();
            break;
        case QEvent::WindowStateChange:
            if (isMinimized())
                m_step.stop();
            break;
        default:
            break;
        }
        return QWidget::event(event);
    }

private:
    QWidget* m_strip;
    QTimer m_step;
    QTimer m_second;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 60;
    const bool timers = argc > 2 && QByteArray(argv[2]) == "timers";
    // Made only when asked for: its timers would wake the empty window too.
    std::unique_ptr<QWidget> window =
        timers ? std::make_unique<TimerWindow>() : std::make_unique<QWidget>();
    window->resize(800, 600);
    window->show();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return QApplication::exec();
}
