#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <initializer_list>

class QScreen;
class QWidget;

// The dialogs' classic 8 pt face. The fallbacks are of the same narrow build, so that
// texts placed at fixed positions keep to their room where the face is not installed.
inline QFont DialogFont(int pixelSize = 11,
                        const QString& family = QStringLiteral("MS Sans Serif")) {
    QFont f(family);
    f.setFamilies({family, QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans"),
                   QStringLiteral("Sans Serif")});
    f.setPixelSize(pixelSize);
    return f;
}

// Fixed client size, tool-window frame, caption.
void SetUpToolDialog(QWidget* dialog, const QString& caption, int width, int height);
// Keyboard focus moves through the widgets in the order given.
void SetTabChain(std::initializer_list<QWidget*> widgets);
// Moves the dialog to the middle of the window it opens over (its parent's, or the
// nearest shown one above; the middle of the parent's screen without one), wholly on that
// window's screen.
void CentreOnParent(QWidget* dialog);
// Moves the window, as little as it takes, to lie wholly in the screen's available area
// (its top-left corner where it is larger).
void KeepOnScreen(QWidget* window, const QScreen* screen);
