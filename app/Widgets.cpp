#include "Widgets.h"

#include <QEvent>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <climits>

ShapeWidget::ShapeWidget(const QColor& fill, QWidget* parent) : QWidget(parent), m_fill(fill) {}

void ShapeWidget::setFillColour(const QColor& fill) {
    m_fill = fill;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(m_fill);
    // The outline lies inside the widget's rectangle.
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

ColouredSplitter::ColouredSplitter(Qt::Orientation orientation, const QColor& colour,
                                   QWidget* parent)
    : QSplitter(orientation, parent), m_colour(colour) {}

QSplitterHandle* ColouredSplitter::createHandle() {
    return new ColouredSplitterHandle(orientation(), m_colour, this);
}

ColouredSplitterHandle::ColouredSplitterHandle(Qt::Orientation orientation, const QColor& colour,
                                               QSplitter* parent)
    : QSplitterHandle(orientation, parent), m_colour(colour) {}

void ColouredSplitterHandle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_colour);
}

RightAnchors::RightAnchors(QWidget* container, int designWidth)
    : QObject(container), m_container(container), m_designWidth(designWidth) {
    container->installEventFilter(this);
}

void RightAnchors::add(QWidget* widget, Narrower narrower) {
    m_anchors.append({widget, m_designWidth - widget->x() - widget->width(),
                      narrower == Narrower::StayPut ? widget->x() : INT_MIN});
}

void RightAnchors::apply() {
    const int width = m_container->width();
    for (const Anchor& anchor : std::as_const(m_anchors)) {
        const int left = width - anchor.rightDistance - anchor.widget->width();
        anchor.widget->move(std::max(left, anchor.designLeft), anchor.widget->y());
    }
}

bool RightAnchors::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_container && event->type() == QEvent::Resize)
        apply();
    return QObject::eventFilter(watched, event);
}

TreeLinesStyle::TreeLinesStyle() : m_lines(QStyleFactory::create(QStringLiteral("Windows"))) {}

TreeLinesStyle::~TreeLinesStyle() = default;

void TreeLinesStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    if (element == PE_IndicatorBranch && m_lines)
        m_lines->drawPrimitive(element, option, painter, widget);
    else
        QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void FocusTreeView::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (!hasFocus() || (model() && model()->rowCount(rootIndex()) > 0))
        return;
    QPainter painter(viewport());
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = viewport()->rect().adjusted(1, 1, -1, -1);
    frame.backgroundColor = palette().color(QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
}

void FocusTreeView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void FocusTreeView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    viewport()->update();
}
