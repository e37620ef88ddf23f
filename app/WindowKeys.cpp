#include "WindowKeys.h"

#include <QAbstractItemView>
#include <QKeyEvent>

void WindowKeys::onEnter(QAbstractItemView* view, std::function<void()> handler) {
    m_enter.append({view, std::move(handler)});
    view->installEventFilter(this);
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        modifiers != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    for (const auto& [view, handler] : std::as_const(m_enter)) {
        if (view == watched) {
            handler();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
