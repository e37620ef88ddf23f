#pragma once

#include <QGlyphRun>
#include <QLabel>
#include <QList>
#include <QTextLayout>

// The ticker's label: it paints as a plain-text label does, but keeps its laid-out glyphs
// from one paint to the next and draws only those in the part being painted. The text
// only moves between paints, and shaping and drawing thousands of characters for every
// step was most of what the running ticker cost.
class TickerLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    // The ticker's look: one line of plain text in the band's colour, opaque and
    // transparent to the mouse (the band beneath takes the clicks).
    TickerLabel(const QString& text, const QColor& band, const QFont& font, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool paintsPlainly() const;
    void layOut();

    QList<QGlyphRun> m_runs; // in the label's coordinates, left to right
    QString m_laidOut;
    QRect m_laidOutIn;
    bool m_valid = false;
};
