#include "WindowPlace.h"

#include "DialogLook.h"
#include "ErrorHandler.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QWidget>

namespace {

// A stored place counts as on a screen when this much of its top edge lies there: the
// title bar can be reached to move the window.
constexpr int ReachableWidth = 100;
constexpr int ReachableHeight = 30;

QScreen* screenHolding(const QRect& geometry) {
    const QRect top(geometry.topLeft(), QSize(geometry.width(), ReachableHeight));
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect shared = screen->availableGeometry().intersected(top);
        if (shared.width() >= std::min(ReachableWidth, geometry.width()) &&
            shared.height() >= ReachableHeight)
            return screen;
    }
    return nullptr;
}

// No larger than the screen's available area, and wholly on it.
void fitInto(QWidget* window, const QScreen* screen) {
    if (!screen)
        return;
    const QSize room = screen->availableGeometry().size();
    window->resize(window->size().boundedTo(room));
    KeepOnScreen(window, screen);
}

} // namespace

WindowPlace::WindowPlace(QWidget* window, QSplitter* splitter, ProgramSettings& settings,
                         Desktop& desktop)
    : QObject(window), m_window(window), m_splitter(splitter), m_settings(settings),
      m_desktop(desktop) {
    window->installEventFilter(this);
}

void WindowPlace::restore() {
    const ProgramSettings::WindowPlace& kept = m_settings.window;
    QScreen* screen = kept.kept ? screenHolding(kept.geometry) : nullptr;
    if (screen) {
        m_window->resize(kept.geometry.size());
        m_window->move(kept.geometry.topLeft()); // the frame's corner, as it was kept
        // The splitter takes its widths once it is laid out, when the window shows.
        if (kept.splitter.size() == m_splitter->count())
            m_pendingSplitter = kept.splitter;
        if (kept.maximised)
            m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
    } else {
        screen = m_window->screen() ? m_window->screen() : QGuiApplication::primaryScreen();
    }
    fitInto(m_window, screen);
    m_opened = current();
}

ProgramSettings::WindowPlace WindowPlace::current() const {
    ProgramSettings::WindowPlace place;
    place.kept = true;
    place.maximised = m_window->isMaximized();
    // The frame's corner and the inner size: what move() and resize() take back.
    const QRect inner = place.maximised ? m_window->normalGeometry() : m_window->geometry();
    place.geometry =
        QRect(inner.topLeft() - (m_window->geometry().topLeft() - m_window->pos()), inner.size());
    place.splitter = m_splitter->sizes();
    return place;
}

bool WindowPlace::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Show && m_opened.kept && !m_shown) {
        m_shown = true;
        if (!m_pendingSplitter.isEmpty())
            m_splitter->setSizes(m_pendingSplitter);
        m_pendingSplitter.clear();
        // Where it opened, once placed and laid out: closing there writes nothing.
        QTimer::singleShot(0, this, [this] { m_opened = current(); });
    }
    // Not restored (a window that never started): nothing of it is worth keeping.
    if (watched == m_window && event->type() == QEvent::Close && m_opened.kept) {
        const ProgramSettings::WindowPlace place = current();
        if (place != m_opened && place != m_settings.window) {
            Guarded(m_desktop, [&] { m_settings.writeWindowPlace(place); });
            m_opened = place;
        }
    }
    return QObject::eventFilter(watched, event);
}
