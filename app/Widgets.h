#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QProxyStyle>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTreeView>
#include <QWidget>
#include <memory>

// A filled rectangle with a one-pixel outline, for the coloured bars and the ticker band.
class ShapeWidget : public QWidget {
    Q_OBJECT
public:
    explicit ShapeWidget(const QColor& fill, QWidget* parent = nullptr);

    QColor fillColour() const { return m_fill; }
    void setFillColour(const QColor& fill);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
};

// A splitter whose handles are plain bars of one colour, without the style's grip.
class ColouredSplitter : public QSplitter {
    Q_OBJECT
public:
    ColouredSplitter(Qt::Orientation orientation, const QColor& colour, QWidget* parent = nullptr);

    QColor handleColour() const { return m_colour; }

protected:
    QSplitterHandle* createHandle() override;

private:
    QColor m_colour;
};

class ColouredSplitterHandle : public QSplitterHandle {
    Q_OBJECT
public:
    ColouredSplitterHandle(Qt::Orientation orientation, const QColor& colour, QSplitter* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colour;
};

// Keeps child widgets of a container at their distance from its right edge, the way
// they were placed at the container's design width. Widgets not added keep their place.
class RightAnchors : public QObject {
    Q_OBJECT
public:
    RightAnchors(QWidget* container, int designWidth);

    // Below the design width a widget either follows the right edge out at the left, or
    // stays at its design place, where it can be cut at the right but covers nothing.
    enum class Narrower { Follow, StayPut };
    // Takes the widget's current geometry as its place at the design width.
    void add(QWidget* widget, Narrower narrower = Narrower::Follow);
    // Moves the anchored widgets for the container's current width.
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Anchor {
        QWidget* widget;
        int rightDistance;
        int designLeft; // where it stays put, if it does
    };
    QWidget* m_container;
    int m_designWidth;
    QList<Anchor> m_anchors;
};

// The current style, but with the classic dotted branch lines and +/- boxes in trees.
class TreeLinesStyle : public QProxyStyle {
    Q_OBJECT
public:
    TreeLinesStyle();
    ~TreeLinesStyle() override;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

private:
    std::unique_ptr<QStyle> m_lines;
};

// A tree or list that shows its focus also while it has no row to draw the focus frame on:
// it frames its empty area.
class FocusTreeView : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
