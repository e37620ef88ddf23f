#include "TickerLabel.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>
#include <algorithm>

namespace {

// Glyphs reach this far beyond their origin, either way, at most: the slack around the
// painted part for which glyphs are drawn.
qreal overhang(const QFontMetricsF& metrics) {
    return 2 * std::max(metrics.maxWidth(), metrics.height());
}

} // namespace

bool TickerLabel::paintsPlainly() const {
    // The one case kept: plain text on one line, left and vertically centred, no frame,
    // margin or indent, enabled, left to right. Anything else paints as the label does.
    return textFormat() == Qt::PlainText && !wordWrap() && frameWidth() == 0 && margin() == 0 &&
           indent() <= 0 && alignment() == (Qt::AlignLeft | Qt::AlignVCenter) && isEnabled() &&
           !buddy() && layoutDirection() == Qt::LeftToRight && !text().isRightToLeft() &&
           !text().contains(u'\n');
}

TickerLabel::TickerLabel(const QString& text, const QColor& band, const QFont& font,
                         QWidget* parent)
    : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setFont(font);
    // The label's name is its text, so a screen reader reads the highlights themselves.
    setAccessibleDescription(QStringLiteral("LFS Highlight-Ticker"));
    setWordWrap(false);
    // Filled with the band's colour, which is all it covers, the label is opaque: a step
    // then moves what is drawn already and paints only the strip it uncovers, where a
    // see-through label has the header and the band beneath it repainted at every step.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    colours.setColor(QPalette::Window, band);
    setPalette(colours);
}

void TickerLabel::layOut() {
    // The text as the painter's own text drawing prepares it: carriage returns become
    // blanks, tabs stop every eight x widths, one line as long as it needs, centred
    // vertically in the label.
    QString prepared = text();
    prepared.replace(u'\r', u' ');
    const QFontMetricsF metrics(font());
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    option.setTextDirection(Qt::LeftToRight);
    option.setTabStopDistance(qRound(metrics.horizontalAdvance(u'x') * 8));
    QTextLayout layout(prepared, font());
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    qreal top = 0;
    const QRect box = contentsRect();
    if (line.isValid()) {
        line.setLineWidth(0x01000000);
        top = box.y() + (box.height() - (line.ascent() + line.descent())) / 2;
        line.setPosition(QPointF(box.x(), top));
    }
    layout.endLayout();
    m_runs = layout.glyphRuns();
    m_laidOut = text();
    m_laidOutIn = box;
    m_valid = true;
}

void TickerLabel::paintEvent(QPaintEvent* event) {
    if (!paintsPlainly()) {
        QLabel::paintEvent(event);
        return;
    }
    if (text().isEmpty())
        return;
    if (!m_valid || m_laidOutIn != contentsRect() || m_laidOut != text())
        layOut();
    QPainter painter(this);
    painter.setPen(QPen(palette().brush(foregroundRole()), painter.pen().widthF()));
    const qreal slack = overhang(QFontMetricsF(font()));
    const qreal left = event->rect().left() - slack;
    const qreal right = event->rect().right() + slack;
    for (const QGlyphRun& run : std::as_const(m_runs)) {
        const QList<QPointF> positions = run.positions();
        const auto before = [](const QPointF& p, qreal x) { return p.x() < x; };
        const auto first = std::lower_bound(positions.begin(), positions.end(), left, before);
        const auto last = std::lower_bound(first, positions.end(), right, before);
        if (first == last)
            continue;
        if (first == positions.begin() && last == positions.end()) {
            painter.drawGlyphRun(QPointF(), run);
            continue;
        }
        const qsizetype from = first - positions.begin();
        const qsizetype count = last - first;
        QGlyphRun part = run;
        part.setGlyphIndexes(run.glyphIndexes().mid(from, count));
        part.setPositions(positions.mid(from, count));
        painter.drawGlyphRun(QPointF(), part);
    }
}

void TickerLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_valid = false;
    QLabel::changeEvent(event);
}
