#include "DialogLook.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void SetUpToolDialog(QWidget* dialog, const QString& caption, int width, int height) {
    dialog->setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::CustomizeWindowHint);
    dialog->setWindowTitle(caption);
    dialog->setFixedSize(width, height);
    dialog->setFont(DialogFont());
}

void CentreOnParent(QWidget* dialog) {
    QRect area;
    if (const QWidget* parent = dialog->parentWidget())
        area = parent->window()->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    else
        return;
    QRect frame = dialog->frameGeometry();
    frame.moveCenter(area.center());
    dialog->move(frame.topLeft());
}

void SetTabChain(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, w);
        previous = w;
    }
}
