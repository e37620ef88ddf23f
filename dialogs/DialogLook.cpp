#include "DialogLook.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void SetUpToolDialog(QWidget* dialog, const QString& caption, int width, int height) {
    dialog->setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint);
    dialog->setWindowTitle(caption);
    dialog->setFixedSize(width, height);
    dialog->setFont(DialogFont());
}

namespace {

// The window a dialog opens over: its parent's, or, where that is not shown (Settings
// when "More settings" opens from the empty list's link), the nearest shown one above it.
const QWidget* ShownWindowAbove(const QWidget* dialog) {
    const QWidget* over = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    while (over && !over->isVisible())
        over = over->parentWidget() ? over->parentWidget()->window() : nullptr;
    return over;
}

int Clamped(int start, int length, int areaStart, int areaLength) {
    return std::clamp(start, areaStart, std::max(areaStart, areaStart + areaLength - length));
}

} // namespace

void KeepOnScreen(QWidget* window, const QScreen* screen) {
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    frame.moveTo(Clamped(frame.left(), frame.width(), area.left(), area.width()),
                 Clamped(frame.top(), frame.height(), area.top(), area.height()));
    window->move(frame.topLeft());
}

void CentreOnParent(QWidget* dialog) {
    const QWidget* over = ShownWindowAbove(dialog);
    // A window hidden in the tray still knows the screen it was on.
    const QWidget* owner = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
    const QScreen* screen = over    ? over->screen()
                            : owner ? owner->screen()
                                    : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = dialog->frameGeometry();
    frame.moveCenter(over ? over->frameGeometry().center() : screen->availableGeometry().center());
    dialog->move(frame.topLeft());
    // Wholly on the screen that holds the window, its title bar included.
    KeepOnScreen(dialog, screen);
}

void SetTabChain(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}
