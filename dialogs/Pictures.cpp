#include "Pictures.h"

#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <functional>

namespace Pictures {
namespace {

const QColor Red(214, 40, 32);
const QColor Green(40, 170, 50);
const QColor Grey(150, 150, 150);
const QColor Skin(240, 196, 150);
const QColor Shirt(52, 92, 170);
const QColor Outline(40, 40, 40);

using Drawer = std::function<void(QPainter&)>;

// Drawn for a device pixel ratio: the drawing works in the picture's own size, the
// pixels are scale times as many, so the picture stays sharp on a HiDPI screen.
QPixmap Draw(int width, int height, int scale, const Drawer& draw) {
    QImage image(width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    p.end();
    return QPixmap::fromImage(image);
}

// The screens' largest ratio, rounded up: a picture drawn for it is at worst scaled down.
int ScreenScale() {
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    return std::clamp(int(std::ceil(ratio - 0.01)), 1, 4);
}

// The ratios an icon carries: 1 and 2 always (a window may move to another screen),
// and the screens' own when it is larger.
QList<int> IconScales() {
    QList<int> scales{1, 2};
    if (ScreenScale() > 2)
        scales << ScreenScale();
    return scales;
}

QFont PictureFont(int pixelSize, bool bold, bool italic = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

// A shaded ball filling the rectangle.
void Ball(QPainter& p, const QRectF& r, const QColor& colour) {
    QRadialGradient g(r.left() + r.width() * 0.35, r.top() + r.height() * 0.3, r.width() * 0.7);
    g.setColorAt(0, colour.lighter(175));
    g.setColorAt(0.5, colour);
    g.setColorAt(1, colour.darker(150));
    p.setPen(QPen(colour.darker(200), 0.8));
    p.setBrush(g);
    p.drawEllipse(r);
}

// Head and shoulders; the rectangle is the figure's bounding box.
void Person(QPainter& p, const QRectF& r, const QColor& shirt = Shirt) {
    const qreal w = r.width();
    const qreal h = r.height();
    p.setPen(QPen(Outline, 0.8));
    p.setBrush(shirt);
    QPainterPath body;
    body.moveTo(r.left(), r.bottom());
    body.lineTo(r.left(), r.top() + h * 0.72);
    body.quadTo(r.left(), r.top() + h * 0.5, r.left() + w * 0.5, r.top() + h * 0.5);
    body.quadTo(r.right(), r.top() + h * 0.5, r.right(), r.top() + h * 0.72);
    body.lineTo(r.right(), r.bottom());
    body.closeSubpath();
    p.drawPath(body);
    p.setBrush(Skin);
    const qreal d = w * 0.58;
    p.drawEllipse(QRectF(r.left() + (w - d) / 2, r.top(), d, h * 0.5));
}

// A sheet of paper with ruled lines in the given colour.
void Sheet(QPainter& p, const QRectF& r, const QColor& lines, bool tick = false) {
    p.setPen(QPen(Outline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(lines, 1.2));
    const int count = int((r.height() - 2) / 2.5);
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + 2 + i * 2.5;
        if (y > r.bottom() - 1.5)
            break;
        p.drawLine(QPointF(r.left() + 1.8, y), QPointF(r.right() - 1.8, y));
    }
    if (tick) {
        p.setPen(QPen(Green, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(r.left() + 2, r.center().y() + 1),
                                  QPointF(r.left() + r.width() * 0.42, r.bottom() - 2),
                                  QPointF(r.right() + 1.5, r.top() + 1)}));
    }
}

// A list standing on its own: white sheet with coloured bullet rows.
void List(QPainter& p, const QRectF& r, const QColor& colour) {
    p.setPen(QPen(Outline, 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    for (int i = 0; i < 3; ++i) {
        const qreal y = r.top() + 2.2 + i * 2.8;
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawRect(QRectF(r.left() + 1.5, y - 0.2, 1.6, 1.6));
        p.setPen(QPen(colour.darker(115), 1.1));
        p.drawLine(QPointF(r.left() + 4, y + 0.6), QPointF(r.right() - 1.5, y + 0.6));
    }
}

void PersonWithList(QPainter& p, const QColor& colour) {
    Person(p, QRectF(0.5, 1.5, 9, 14));
    List(p, QRectF(7.5, 5.5, 8, 10), colour);
}

void Tick(QPainter& p, const QRectF& r, qreal width) {
    p.setPen(QPen(Green.darker(110), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(
        QPolygonF({QPointF(r.left(), r.top() + r.height() * 0.55),
                   QPointF(r.left() + r.width() * 0.38, r.bottom()), QPointF(r.right(), r.top())}));
}

void Cross(QPainter& p, const QRectF& r, const QColor& colour, qreal width) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void Star(QPainter& p, const QPointF& centre, qreal outer) {
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = (i % 2 == 0) ? outer : outer * 0.45;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        star << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    p.setPen(QPen(QColor(170, 120, 0), 0.8));
    p.setBrush(QColor(255, 205, 30));
    p.drawPolygon(star);
}

void Arrow(QPainter& p, const QRectF& r) {
    const qreal midY = r.center().y();
    const qreal shaft = r.height() * 0.22;
    QPolygonF arrow(
        {QPointF(r.left(), midY - shaft), QPointF(r.left() + r.width() * 0.5, midY - shaft),
         QPointF(r.left() + r.width() * 0.5, r.top()), QPointF(r.right(), midY),
         QPointF(r.left() + r.width() * 0.5, r.bottom()),
         QPointF(r.left() + r.width() * 0.5, midY + shaft), QPointF(r.left(), midY + shaft)});
    p.setPen(QPen(Green.darker(170), 0.8));
    p.setBrush(QColor(60, 200, 60));
    p.drawPolygon(arrow);
}

void Key(QPainter& p, const QRectF& r) {
    const QColor gold(220, 170, 20);
    p.setPen(QPen(gold.darker(170), 0.8));
    p.setBrush(gold);
    const qreal d = r.height() * 0.62;
    const QRectF bow(r.left(), r.top(), d, d);
    QPainterPath key;
    key.addEllipse(bow);
    const qreal y = bow.center().y();
    key.addRect(QRectF(bow.right() - 0.5, y - 0.9, r.right() - bow.right() + 0.5, 1.8));
    key.addRect(QRectF(r.right() - 2.2, y, 1.4, r.bottom() - y));
    key.addRect(QRectF(r.right() - 4.6, y, 1.4, (r.bottom() - y) * 0.7));
    key.setFillRule(Qt::WindingFill);
    p.drawPath(key.simplified());
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(bow.center(), d * 0.18, d * 0.18);
}

void Computer(QPainter& p, const QRectF& r) {
    p.setPen(QPen(Outline, 0.8));
    p.setBrush(QColor(200, 200, 205));
    const QRectF screen(r.left(), r.top(), r.width(), r.height() * 0.7);
    p.drawRoundedRect(screen, 1, 1);
    QLinearGradient g(screen.topLeft(), screen.bottomRight());
    g.setColorAt(0, QColor(90, 160, 235));
    g.setColorAt(1, QColor(20, 60, 140));
    p.setBrush(g);
    p.drawRect(screen.adjusted(1.5, 1.5, -1.5, -1.5));
    p.setBrush(QColor(170, 170, 175));
    p.drawRect(QRectF(r.center().x() - 1.5, screen.bottom(), 3, r.height() * 0.15));
    p.drawRect(QRectF(r.left() + r.width() * 0.2, r.bottom() - r.height() * 0.15, r.width() * 0.6,
                      r.height() * 0.15));
}

// Our own racing emblem: a slanted shield with a chequered corner and speed stripes.
void Emblem(QPainter& p, const QRectF& r) {
    const qreal slant = r.height() * 0.25;
    QPolygonF shield({QPointF(r.left() + slant, r.top()), QPointF(r.right(), r.top()),
                      QPointF(r.right() - slant, r.bottom()), QPointF(r.left(), r.bottom())});
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(235, 60, 40));
    g.setColorAt(1, QColor(150, 20, 15));
    p.setPen(QPen(QColor(60, 10, 10), 0.8));
    p.setBrush(g);
    p.drawPolygon(shield);
    p.save();
    QPainterPath clip;
    clip.addPolygon(shield);
    p.setClipPath(clip);
    const qreal cell = r.height() / 4;
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            p.setBrush((row + col) % 2 ? QColor(30, 30, 30) : QColor(250, 250, 250));
            p.drawRect(QRectF(r.right() - (col + 1) * cell - (3 - row) * slant / 4 + slant / 2,
                              r.top() + row * cell, cell, cell));
        }
    p.restore();
}

QPixmap MakeGlyph(Glyph glyph, int scale) {
    return Draw(16, 16, scale, [glyph](QPainter& p) {
        switch (glyph) {
        case Glyph::AddGroup:
            PersonWithList(p, QColor(60, 110, 200));
            break;
        case Glyph::DelGroup:
            PersonWithList(p, QColor(60, 110, 200));
            Cross(p, QRectF(8, 6.5, 7, 8), Red, 1.8);
            break;
        case Glyph::AddMate:
            Person(p, QRectF(1.5, 2.5, 10, 13));
            Star(p, QPointF(11.5, 4.5), 4.3);
            break;
        case Glyph::DelMate:
            Person(p, QRectF(0.5, 0.5, 10, 13));
            p.setPen(QPen(Red.darker(150), 0.8));
            p.setBrush(Red);
            p.drawEllipse(QRectF(8, 8, 7.5, 7.5));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9.5, 11.1, 4.5, 1.4));
            break;
        case Glyph::EditMate:
            Person(p, QRectF(0.5, 1.5, 9, 14));
            Sheet(p, QRectF(8.5, 4.5, 7, 10), QColor(120, 120, 120));
            p.setPen(QPen(QColor(200, 130, 20), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(15, 2), QPointF(10.5, 9.5));
            break;
        case Glyph::Settings:
            Sheet(p, QRectF(2.5, 1.5, 10, 13), QColor(150, 150, 150));
            Tick(p, QRectF(6, 6, 9, 8), 2.2);
            break;
        case Glyph::StartLFS:
            Emblem(p, QRectF(0.5, 3.5, 15, 9));
            break;
        case Glyph::OnOffline: {
            const QRectF r(1.5, 1.5, 13, 13);
            p.save();
            p.setClipRect(QRectF(0, 0, 8, 16));
            Ball(p, r, Green);
            p.setClipRect(QRectF(8, 0, 8, 16));
            Ball(p, r, Red);
            p.restore();
            break;
        }
        case Glyph::OnOfflineOff:
            Ball(p, QRectF(1.5, 1.5, 13, 13), Grey);
            break;
        case Glyph::JoinMate:
            Person(p, QRectF(0.5, 0.5, 9, 14));
            Arrow(p, QRectF(7, 7, 8.5, 8));
            break;
        case Glyph::JoinPW:
            Person(p, QRectF(0.5, 0.5, 9, 14));
            Key(p, QRectF(6.5, 9, 9, 5.5));
            break;
        case Glyph::JoinSvr:
            Computer(p, QRectF(0.5, 0.5, 12, 13));
            Arrow(p, QRectF(7, 7.5, 8.5, 8));
            break;
        case Glyph::JoinSvrPW:
            Computer(p, QRectF(0.5, 0.5, 12, 13));
            Key(p, QRectF(6.5, 9.5, 9, 5.5));
            break;
        case Glyph::Legends: {
            p.setPen(QPen(Outline, 0.8));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(1.5, 0.5, 13, 15));
            const QColor dots[] = {Red, Green, Grey};
            for (int i = 0; i < 3; ++i) {
                const qreal y = 2.5 + i * 4.5;
                Ball(p, QRectF(3, y, 3.5, 3.5), dots[i]);
                p.setPen(QPen(QColor(90, 90, 90), 1.1));
                p.drawLine(QPointF(8, y + 1.8), QPointF(13, y + 1.8));
            }
            break;
        }
        case Glyph::Browse: {
            const QColor folder(240, 190, 60);
            p.setPen(QPen(folder.darker(170), 0.8));
            p.setBrush(folder.darker(115));
            QPainterPath back;
            back.moveTo(1.5, 13.5);
            back.lineTo(1.5, 3.5);
            back.lineTo(6, 3.5);
            back.lineTo(7.5, 5);
            back.lineTo(13.5, 5);
            back.lineTo(13.5, 13.5);
            back.closeSubpath();
            p.drawPath(back);
            p.setBrush(folder);
            p.drawPolygon(QPolygonF(
                {QPointF(1.5, 13.5), QPointF(4, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5)}));
            break;
        }
        case Glyph::Ok:
            Tick(p, QRectF(2.5, 3, 11, 10), 2.6);
            break;
        case Glyph::Close:
            Cross(p, QRectF(3.5, 3.5, 9, 9), Red, 2.4);
            break;
        case Glyph::Add:
            p.setPen(QPen(Green.darker(150), 0.8));
            p.setBrush(QColor(60, 190, 60));
            p.drawPolygon(
                QPolygonF({QPointF(6, 2), QPointF(10, 2), QPointF(10, 6), QPointF(14, 6),
                           QPointF(14, 10), QPointF(10, 10), QPointF(10, 14), QPointF(6, 14),
                           QPointF(6, 10), QPointF(2, 10), QPointF(2, 6), QPointF(6, 6)}));
            break;
        }
    });
}

enum class Status { RedBall, GreenBall, GreenBallPerson, GreyBall, GreyList, RedList, GreenList };

QPixmap MakeStatus(Status status, int scale) {
    return Draw(16, 16, scale, [status](QPainter& p) {
        const QRectF ball(1.5, 1.5, 13, 13);
        switch (status) {
        case Status::RedBall:
            Ball(p, ball, Red);
            break;
        case Status::GreenBall:
            Ball(p, ball, Green);
            break;
        case Status::GreyBall:
            Ball(p, ball, Grey);
            break;
        case Status::GreenBallPerson:
            Ball(p, ball, Green);
            Person(p, QRectF(5, 4, 6, 10), QColor(250, 250, 250));
            break;
        case Status::GreyList:
            PersonWithList(p, Grey);
            break;
        case Status::RedList:
            PersonWithList(p, Red);
            break;
        case Status::GreenList:
            PersonWithList(p, Green);
            break;
        }
    });
}

// Pixmaps need a running application, so they are made on first use and kept, one per
// picture and scale.
const QPixmap& Cached(int key, int scale, const std::function<QPixmap(int)>& make) {
    static QHash<int, QPixmap> cache;
    const int slot = key * 8 + scale;
    auto it = cache.find(slot);
    if (it == cache.end())
        it = cache.insert(slot, make(scale));
    return *it;
}

const QPixmap& StatusPixmap(Status s, int scale) {
    return Cached(1000 + int(s), scale, [s](int at) { return MakeStatus(s, at); });
}

const QPixmap& ScaledGlyph(Glyph glyph, int scale) {
    return Cached(int(glyph), scale, [glyph](int at) { return MakeGlyph(glyph, at); });
}

// An icon with a picture for each ratio; Qt picks the one for the window's screen.
template <typename Make>
QIcon ScaledIcon(Make&& make, QIcon::Mode mode = QIcon::Normal, QIcon icon = QIcon()) {
    for (int scale : IconScales())
        icon.addPixmap(make(scale), mode);
    return icon;
}

QList<QIcon> Icons(std::initializer_list<Status> statuses) {
    QList<QIcon> icons;
    for (Status s : statuses)
        icons << ScaledIcon([s](int scale) { return StatusPixmap(s, scale); });
    return icons;
}

} // namespace

QList<QIcon> ServerStatusImages() {
    return Icons({Status::RedBall, Status::GreenBall, Status::GreenBallPerson, Status::GreyBall});
}

QList<QIcon> MateStatusImages() {
    return Icons({Status::GreyList, Status::RedList, Status::GreenList, Status::RedBall,
                  Status::GreenBallPerson, Status::GreyBall});
}

QPixmap GlyphPixmap(Glyph glyph) {
    return ScaledGlyph(glyph, ScreenScale());
}

QIcon GlyphIcon(Glyph glyph) {
    QIcon icon = ScaledIcon([glyph](int scale) { return ScaledGlyph(glyph, scale); });
    if (glyph == Glyph::OnOffline)
        icon = ScaledIcon([](int scale) { return ScaledGlyph(Glyph::OnOfflineOff, scale); },
                          QIcon::Disabled, icon);
    return icon;
}

QPixmap GameLogo() {
    return Cached(2000, ScreenScale(), [](int scale) {
        return Draw(88, 31, scale, [](QPainter& p) {
            Emblem(p, QRectF(0.5, 2.5, 34, 26));
            // Speed stripes trailing into the lettering.
            for (int i = 0; i < 3; ++i) {
                p.setPen(QPen(QColor(200, 30, 20, 220 - i * 60), 2.0));
                p.drawLine(QPointF(36 + i * 2, 8 + i * 7), QPointF(44 + i * 2, 8 + i * 7));
            }
            p.setFont(PictureFont(19, true, true));
            QPainterPath letters;
            letters.addText(QPointF(44, 24), p.font(), QStringLiteral("LFS"));
            p.setPen(QPen(QColor(20, 20, 20), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(letters);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(250, 250, 250));
            p.drawPath(letters);
        });
    });
}

QPixmap Banner() {
    return Cached(2001, ScreenScale(), [](int scale) {
        return Draw(328, 42, scale, [](QPainter& p) {
            const QRectF frame(0.5, 0.5, 327, 41);
            QLinearGradient g(frame.topLeft(), frame.bottomLeft());
            g.setColorAt(0, QColor(44, 76, 140));
            g.setColorAt(1, QColor(18, 34, 74));
            p.setPen(QPen(QColor(12, 22, 50), 1));
            p.setBrush(g);
            p.drawRoundedRect(frame, 5, 5);
            // A sheen across the upper half.
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 28));
            p.drawRoundedRect(QRectF(2, 2, 324, 18), 4, 4);
            // Three coloured bars as the program's mark.
            const QColor bars[] = {Red, QColor(60, 200, 60), Red};
            for (int i = 0; i < 3; ++i) {
                p.setPen(QPen(Qt::black, 0.8));
                p.setBrush(bars[i]);
                p.drawRect(QRectF(10 + i * 10, 13 + i * 3, 7, 16 - i * 3));
            }
            p.setPen(QColor(255, 255, 255));
            p.setFont(PictureFont(16, true));
            p.drawText(QRectF(48, 3, 276, 22), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("Pelmark II"));
            p.setPen(QColor(190, 215, 255));
            p.setFont(PictureFont(11, false));
            p.drawText(QRectF(48, 22, 276, 16), Qt::AlignLeft | Qt::AlignVCenter,
                       QStringLiteral("\u2014 visit our home page"));
            p.setPen(QColor(255, 210, 80));
            p.setFont(PictureFont(18, true));
            p.drawText(QRectF(270, 0, 50, 42), Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("\u00bb"));
        });
    });
}

QPixmap GroupOfPeople() {
    return Cached(2002, ScreenScale(), [](int scale) {
        return Draw(32, 32, scale, [](QPainter& p) {
            Person(p, QRectF(0.5, 4.5, 14, 22), QColor(190, 60, 50));
            Person(p, QRectF(17.5, 4.5, 14, 22), QColor(50, 140, 70));
            Person(p, QRectF(8, 8.5, 16, 23), Shirt);
        });
    });
}

QPixmap PersonWithText() {
    return Cached(2003, ScreenScale(), [](int scale) {
        return Draw(32, 32, scale, [](QPainter& p) {
            Person(p, QRectF(0.5, 5.5, 15, 25));
            p.setPen(QPen(Outline, 0.8));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(14.5, 2.5, 16, 27));
            p.setPen(QPen(QColor(80, 80, 80), 1.4));
            for (int i = 0; i < 7; ++i) {
                const qreal right = (i % 3 == 2) ? 23.5 : 28;
                p.drawLine(QPointF(17.5, 6.5 + i * 3.3), QPointF(right, 6.5 + i * 3.3));
            }
        });
    });
}

} // namespace Pictures

// ---- the program's icon -------------------------------------------------------------
//
// Drawn from one description, in a 256 by 256 square, that gives both the pictures (the
// window, the tray, the PNG sizes of the installed icon) and the installed SVG, so the
// desktop's menu shows exactly what the window shows.

namespace Pictures {
namespace {

struct ArtStop {
    qreal at;
    QColor colour;
};

struct ArtPaint {
    enum Kind { None, Solid, Linear, Radial } kind = None;
    QColor colour;
    QPointF from, to; // linear
    QPointF centre;   // radial
    qreal radius = 0;
    QList<ArtStop> stops;
};

// An outline in SVG path syntax (absolute M, L, Q and Z only), or a circle.
struct ArtShape {
    QString path;
    QPointF centre;
    qreal radius = 0;
    ArtPaint fill;
    QColor stroke;
    qreal strokeWidth = 0;
};

ArtPaint SolidPaint(const QColor& colour) {
    ArtPaint paint;
    paint.kind = ArtPaint::Solid;
    paint.colour = colour;
    return paint;
}

ArtPaint VerticalPaint(qreal top, qreal bottom, const QColor& from, const QColor& to) {
    ArtPaint paint;
    paint.kind = ArtPaint::Linear;
    paint.from = QPointF(0, top);
    paint.to = QPointF(0, bottom);
    paint.stops = {{0, from}, {1, to}};
    return paint;
}

QString Polygon(const QList<QPointF>& points) {
    QString d;
    for (const QPointF& point : points)
        d += (d.isEmpty() ? QStringLiteral("M") : QStringLiteral(" L")) +
             QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
    return d + QStringLiteral(" Z");
}

QList<ArtShape> IconArt() {
    QList<ArtShape> art;
    // The tile, in the ticker band's blue.
    art << ArtShape{QStringLiteral("M52,16 L204,16 Q240,16 240,52 L240,204 Q240,240 204,240 "
                                   "L52,240 Q16,240 16,204 L16,52 Q16,16 52,16 Z"),
                    {},
                    0,
                    VerticalPaint(16, 240, QColor(190, 224, 255), QColor(96, 152, 224)),
                    QColor(28, 48, 92),
                    8};
    // The program's mark: red, green and red bars.
    const QColor bars[] = {Red, QColor(60, 200, 60), Red};
    for (int i = 0; i < 3; ++i) {
        const qreal left = 40 + i * 64;
        art << ArtShape{Polygon({{left, 40}, {left + 48, 40}, {left + 48, 62}, {left, 62}}),
                        {},
                        0,
                        SolidPaint(bars[i]),
                        Qt::black,
                        4};
    }
    // The racing emblem: a slanted shield with a chequered corner.
    const qreal top = 84, bottom = 172, slant = 28, right = 232, left = 48;
    const QList<QPointF> shield{
        {left + slant, top}, {right, top}, {right - slant, bottom}, {left, bottom}};
    art << ArtShape{Polygon(shield),
                    {},
                    0,
                    VerticalPaint(top, bottom, QColor(235, 60, 40), QColor(150, 20, 15)),
                    {},
                    0};
    const qreal cell = (bottom - top) / 4;
    const auto edge = [&](qreal y) { return right - (y - top) * slant / (bottom - top); };
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) {
            const qreal y0 = top + row * cell, y1 = y0 + cell;
            art << ArtShape{
                Polygon({{edge(y0) - (col + 1) * cell, y0},
                         {edge(y0) - col * cell, y0},
                         {edge(y1) - col * cell, y1},
                         {edge(y1) - (col + 1) * cell, y1}}),
                {},
                0,
                SolidPaint((row + col) % 2 ? QColor(30, 30, 30) : QColor(250, 250, 250)),
                {},
                0};
        }
    art << ArtShape{Polygon(shield), {}, 0, {}, QColor(60, 10, 10), 4};
    // A racer online: the green ball with a person.
    ArtPaint ball;
    ball.kind = ArtPaint::Radial;
    ball.centre = QPointF(66, 176);
    ball.radius = 58;
    ball.stops = {{0, QColor(120, 235, 130)}, {0.5, Green}, {1, QColor(20, 110, 30)}};
    art << ArtShape{{}, {80, 192}, 40, ball, QColor(20, 85, 25), 4};
    art << ArtShape{{}, {80, 178}, 11, SolidPaint(QColor(250, 250, 250)), {}, 0};
    art << ArtShape{QStringLiteral("M58,216 Q58,194 80,194 Q102,194 102,216 Z"),
                    {},
                    0,
                    SolidPaint(QColor(250, 250, 250)),
                    {},
                    0};
    return art;
}

// Reads the path syntax that IconArt writes.
QPainterPath ArtPath(const QString& d) {
    QPainterPath path;
    const QStringList tokens = QString(d)
                                   .replace(QLatin1Char(','), QLatin1Char(' '))
                                   .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QChar command;
    QList<qreal> numbers;
    const auto flush = [&] {
        if (command == QLatin1Char('M') && numbers.size() == 2)
            path.moveTo(numbers[0], numbers[1]);
        else if (command == QLatin1Char('L') && numbers.size() == 2)
            path.lineTo(numbers[0], numbers[1]);
        else if (command == QLatin1Char('Q') && numbers.size() == 4)
            path.quadTo(numbers[0], numbers[1], numbers[2], numbers[3]);
        else if (command == QLatin1Char('Z'))
            path.closeSubpath();
        numbers.clear();
    };
    for (const QString& token : tokens) {
        if (token.at(0).isLetter()) {
            flush();
            command = token.at(0);
            if (token.size() > 1)
                numbers << token.mid(1).toDouble();
        } else {
            numbers << token.toDouble();
        }
    }
    flush();
    return path;
}

QBrush ArtBrush(const ArtPaint& paint) {
    switch (paint.kind) {
    case ArtPaint::None:
        return Qt::NoBrush;
    case ArtPaint::Solid:
        return paint.colour;
    case ArtPaint::Linear: {
        QLinearGradient g(paint.from, paint.to);
        for (const ArtStop& stop : paint.stops)
            g.setColorAt(stop.at, stop.colour);
        return g;
    }
    case ArtPaint::Radial: {
        QRadialGradient g(paint.centre, paint.radius);
        for (const ArtStop& stop : paint.stops)
            g.setColorAt(stop.at, stop.colour);
        return g;
    }
    }
    return Qt::NoBrush;
}

// The description ready to paint: reading its outlines back from text costs as much as
// filling them, and it never changes.
struct PaintedShape {
    QPainterPath path; // empty for a circle
    QPointF centre;
    qreal radius = 0;
    QBrush brush;
    QPen pen;
};

const QList<PaintedShape>& PaintedArt() {
    static const QList<PaintedShape> painted = [] {
        QList<PaintedShape> shapes;
        for (const ArtShape& shape : IconArt())
            shapes.append({shape.path.isEmpty() ? QPainterPath() : ArtPath(shape.path),
                           shape.centre, shape.radius, ArtBrush(shape.fill),
                           shape.strokeWidth > 0 ? QPen(shape.stroke, shape.strokeWidth,
                                                        Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                                                 : QPen(Qt::NoPen)});
        return shapes;
    }();
    return painted;
}

void PaintArt(QPainter& p, qreal size) {
    p.scale(size / 256, size / 256);
    for (const PaintedShape& shape : PaintedArt()) {
        p.setBrush(shape.brush);
        p.setPen(shape.pen);
        if (shape.path.isEmpty())
            p.drawEllipse(shape.centre, shape.radius, shape.radius);
        else
            p.drawPath(shape.path);
    }
}

QString SvgColour(const QColor& colour) {
    return colour.name(QColor::HexRgb);
}

// The icon drawn for whatever size and ratio is asked, so it is sharp everywhere.
class AppIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->drawImage(rect, AppIconImage(qMax(rect.width(), rect.height())));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        return QPixmap::fromImage(AppIconImage(qMin(size.width(), size.height())));
    }
    QIconEngine* clone() const override { return new AppIconEngine; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int size : AppIconSizes())
            sizes << QSize(size, size);
        return sizes;
    }
};

} // namespace

QList<int> AppIconSizes() {
    return {16, 22, 24, 32, 48, 64, 128, 256};
}

QImage AppIconImage(int size) {
    // Every window, the tray and each new window after them ask for the same few sizes;
    // other sizes (a scaled paint) are drawn each time, so the store stays this small.
    static QHash<int, QImage> drawn;
    if (const auto it = drawn.constFind(size); it != drawn.constEnd())
        return *it;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    PaintArt(p, size);
    p.end();
    if (AppIconSizes().contains(size))
        drawn.insert(size, image);
    return image;
}

QByteArray AppIconSvg() {
    QString defs;
    QString body;
    int gradients = 0;
    for (const ArtShape& shape : IconArt()) {
        QString fill = QStringLiteral("none");
        const ArtPaint& paint = shape.fill;
        if (paint.kind == ArtPaint::Solid) {
            fill = SvgColour(paint.colour);
        } else if (paint.kind != ArtPaint::None) {
            const QString id = QStringLiteral("g%1").arg(gradients++);
            QString stops;
            for (const ArtStop& stop : paint.stops)
                stops += QStringLiteral("<stop offset=\"%1\" stop-color=\"%2\"/>")
                             .arg(stop.at)
                             .arg(SvgColour(stop.colour));
            defs +=
                paint.kind == ArtPaint::Linear
                    ? QStringLiteral("<linearGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" "
                                     "x1=\"%2\" y1=\"%3\" x2=\"%4\" y2=\"%5\">%6"
                                     "</linearGradient>\n")
                          .arg(id)
                          .arg(paint.from.x())
                          .arg(paint.from.y())
                          .arg(paint.to.x())
                          .arg(paint.to.y())
                          .arg(stops)
                    : QStringLiteral("<radialGradient id=\"%1\" gradientUnits=\"userSpaceOnUse\" "
                                     "cx=\"%2\" cy=\"%3\" r=\"%4\">%5</radialGradient>\n")
                          .arg(id)
                          .arg(paint.centre.x())
                          .arg(paint.centre.y())
                          .arg(paint.radius)
                          .arg(stops);
            fill = QStringLiteral("url(#%1)").arg(id);
        }
        const QString stroke =
            shape.strokeWidth > 0
                ? QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\" stroke-linejoin=\"round\" "
                                 "stroke-linecap=\"round\"")
                      .arg(SvgColour(shape.stroke))
                      .arg(shape.strokeWidth)
                : QString();
        body +=
            shape.path.isEmpty()
                ? QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\"%5/>\n")
                      .arg(shape.centre.x())
                      .arg(shape.centre.y())
                      .arg(shape.radius)
                      .arg(fill, stroke)
                : QStringLiteral("<path d=\"%1\" fill=\"%2\"%3/>\n").arg(shape.path, fill, stroke);
    }
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                          "viewBox=\"0 0 256 256\">\n<defs>\n%1</defs>\n%2</svg>\n")
        .arg(defs, body)
        .toUtf8();
}

QIcon AppIcon() {
    return QIcon(new AppIconEngine);
}

} // namespace Pictures
