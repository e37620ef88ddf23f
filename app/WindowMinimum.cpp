#include "WindowMinimum.h"

#include "DialogLook.h"

#include <QEvent>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QWindow>
#include <algorithm>

namespace {

// Between the banner and the nearest label beside it.
constexpr int BannerClearance = 6;

// Where a label's text ends on the right, in its parent.
int textRight(const QLabel* label) {
    const QRect text =
        QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                            label->sizeHint().boundedTo(label->size()), label->geometry());
    return text.x() + text.width();
}

} // namespace

WindowMinimum::WindowMinimum(const Parts& parts, int clientDesignWidth)
    : QObject(parts.splitter), m_p(parts), m_window(parts.splitter->window()),
      m_clientDesignWidth(clientDesignWidth) {
    // Label texts change the header (which has no layout) and the status bar.
    for (QWidget* watched : {m_window, m_p.banner->parentWidget(), m_p.status})
        watched->installEventFilter(this);
}

int WindowMinimum::clientNeed() const {
    int need = m_clientDesignWidth;
    for (const QLabel* label : m_p.besideBanner)
        need = std::max(need, textRight(label) + BannerClearance + m_p.banner->width());
    return std::max(need, m_p.status->minimumSizeHint().width());
}

QSize WindowMinimum::screenRoom() const {
    const QScreen* screen = m_window->screen();
    if (!screen)
        return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    // The frame needs its room too, once the window has one.
    const QSize frame = m_window->frameGeometry().size() - m_window->geometry().size();
    return screen->availableGeometry().size() - frame;
}

void WindowMinimum::update() {
    // Until the window shows, its frame is not known; the place it is restored to stays
    // as it was kept until then.
    if (!m_shown)
        return;
    const int right = m_p.splitter->widget(1)->minimumWidth();
    const int handle = m_p.splitter->handleWidth();
    const int height = std::max(m_p.splitter->widget(0)->minimumSizeHint().height(),
                                m_p.splitter->widget(1)->minimumSizeHint().height());
    m_window->setMinimumSize(QSize(clientNeed() + handle + right, height).boundedTo(screenRoom()));
}

void WindowMinimum::keepMainAreaWhole() {
    const QList<int> sizes = m_p.splitter->sizes();
    if (sizes.size() != 2)
        return;
    const int total = sizes.at(0) + sizes.at(1);
    const int client = std::min(clientNeed(), total - m_p.splitter->widget(1)->minimumWidth());
    if (sizes.at(0) < client)
        m_p.splitter->setSizes({client, total - client});
}

void WindowMinimum::followScreen() {
    QScreen* screen = m_window->screen();
    if (screen == m_screen)
        return;
    if (m_screen)
        disconnect(m_screen, nullptr, this, nullptr);
    m_screen = screen;
    if (screen)
        connect(screen, &QScreen::availableGeometryChanged, this, &WindowMinimum::update);
    update();
}

bool WindowMinimum::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Show) {
        m_shown = true;
        if (QWindow* handle = m_window->windowHandle()) {
            connect(handle, &QWindow::screenChanged, this, &WindowMinimum::followScreen,
                    Qt::UniqueConnection);
        }
        const QSize before = m_window->size();
        followScreen();
        update(); // the frame is known now
        keepMainAreaWhole();
        // Grown from a place kept when it could be smaller, it may reach past the screen.
        if (m_window->size() != before)
            KeepOnScreen(m_window, m_window->screen());
    } else if (watched == m_window && event->type() == QEvent::Resize && m_window->isVisible()) {
        // As the window opens or narrows, the main area gives up width only where the
        // right column has none left to give. Dragging the splitter is the user's choice.
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->oldSize().isValid() && resize->size().width() < resize->oldSize().width())
            keepMainAreaWhole();
    } else if (watched != m_window && event->type() == QEvent::LayoutRequest) {
        update();
    }
    return QObject::eventFilter(watched, event);
}
