#include "FreshnessLabel.h"

#include "ListFreshness.h"
#include "PlainText.h"

#include <QPainter>
#include <QStyle>

namespace {

// Wider than this the reason would squeeze the filter field.
constexpr int MaxWidthInChars = 40;
// Dark enough on the window's grey to read as well as the black text does.
const QColor OfflineColour(0xa0, 0x10, 0x10);

} // namespace

FreshnessLabel::FreshnessLabel(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("lFreshness"));
    setTextFormat(Qt::PlainText); // the reason may quote the service
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void FreshnessLabel::setFreshness(const ListFreshness& freshness) {
    m_offline = freshness.isOffline();
    // A changed text is announced as any label's change is.
    setText(freshness.text());
    setToolTip(PlainToolTip(text())); // a tooltip would take markup in the reason as such
    updateGeometry();
    update();
}

QSize FreshnessLabel::sizeHint() const {
    const QSize full = QLabel::sizeHint();
    return {qMin(full.width(), fontMetrics().averageCharWidth() * MaxWidthInChars), full.height()};
}

// "Updated 18:42" always fits; a reason gives way first.
QSize FreshnessLabel::minimumSizeHint() const {
    const QSize full = QLabel::sizeHint();
    const int time = fontMetrics().horizontalAdvance(QStringLiteral("Offline since 00:00"));
    return {qMin(full.width(), time), full.height()};
}

void FreshnessLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    QPalette colours = palette();
    if (m_offline)
        colours.setColor(QPalette::WindowText, OfflineColour);
    style()->drawItemText(&painter, area, int(alignment()), colours, isEnabled(),
                          fontMetrics().elidedText(text(), Qt::ElideRight, area.width()),
                          foregroundRole());
}
