#pragma once

#include "Pictures.h"

#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QObject>
#include <QWidget>
#include <functional>

class QAbstractItemView;
class QAccessibleInterface;
class QFrame;
class QLabel;
class QPixmap;
class QToolButton;
class QTreeView;
class QVBoxLayout;
class ShapeWidget;

// The pieces the main window is built of.
namespace MainLook {

// The main area's width at the window's design size: where the right-anchored controls
// were placed, and the list's width at which its columns have their design widths.
inline constexpr int ClientDesignWidth = 667;

QFont fontOf(const QString& family, int pixelSize, bool bold = false);

QFont verdana(int pixelSize, bool bold = false);

QVBoxLayout* columnLayout(QWidget* panel);

QWidget* fixedHeightPanel(QWidget* parent, int height);

// A label that never interprets its text: several show text from the network or files.
QLabel* plainLabel(QWidget* parent, const QString& text);

// A label sized to its text at a fixed place.
QLabel* placedLabel(QWidget* parent, const QString& text, const QFont& font, int x, int y);

// A right-aligned label whose right edge stays where it is as the text changes.
QLabel* rightEdgeLabel(QWidget* parent, const QString& text, const QFont& font, int right, int y,
                       int boxWidth);

// Sized in the window's units: on a HiDPI screen the picture has more pixels than that.
QLabel* pictureLabel(QWidget* parent, const QPixmap& picture, int x, int y);

// The hint, which a screen reader reads as the button's name, is its command's
// (MainCommands); the description says what it does.
QToolButton* pictureButton(QWidget* parent, Pictures::Glyph glyph, int x, int y,
                           const QString& description);

// Lets a keyboard reach a control that otherwise only takes clicks: it takes the focus
// by Tab and acts on Enter or Space.
class KeyActivation : public QObject {
public:
    KeyActivation(QWidget* control, std::function<void()> act)
        : QObject(control), m_act(std::move(act)) {
        control->setFocusPolicy(Qt::TabFocus);
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                m_act();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_act;
};

ShapeWidget* shape(QWidget* parent, const QColor& fill, int x, int y, int width, int height);

// The chosen row or node must stay visible while the user works elsewhere.
void keepSelectionWhenUnfocused(QAbstractItemView* view);

QFrame* statusSeparator(QWidget* parent);

void setUpServerList(QTreeView* list);

void setUpMateTree(QTreeView* tree);

// A plain top-level widget reads as a "client" area; the main window is a window.
QAccessibleInterface* mainWindowAccessible(const QString& className, QObject* object);

} // namespace MainLook
