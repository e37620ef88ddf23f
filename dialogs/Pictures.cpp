#include "Pictures.h"

#include "PictureFiles.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <algorithm>
#include <cmath>

namespace Pictures {
namespace {

// The screens' largest ratio, rounded up: a picture drawn for it is at worst scaled down.
int ScreenScale() {
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    return std::clamp(int(std::ceil(ratio - 0.01)), 1, 4);
}

// One icon per picture for the whole run: the SVG engine keeps what it drew in the pixmap
// cache under the icon's identity, so a second icon of the same file would draw it again.
const QIcon& Icon(const char* file, const char* disabledFile = nullptr) {
    static QHash<QByteArray, QIcon> icons;
    const QByteArray key = QByteArray(file) + '|' + QByteArray(disabledFile);
    auto it = icons.find(key);
    if (it == icons.end()) {
        LoadPictureFiles();
        QIcon icon(QString::fromLatin1(file));
        if (disabledFile)
            icon.addFile(QString::fromLatin1(disabledFile), QSize(), QIcon::Disabled);
        it = icons.insert(key, icon);
    }
    return *it;
}

// Sized in the window's units: on a HiDPI screen the picture has more pixels than that.
QPixmap Picture(const char* file, const QSize& size) {
    return Icon(file).pixmap(size, ScreenScale());
}

const char* GlyphFile(Glyph glyph) {
    switch (glyph) {
    case Glyph::AddGroup:
        return PictureFile::PersonListBlue;
    case Glyph::DelGroup:
        return PictureFile::PersonListCrossed;
    case Glyph::AddMate:
        return PictureFile::PersonStar;
    case Glyph::DelMate:
        return PictureFile::PersonNoEntry;
    case Glyph::EditMate:
        return PictureFile::PersonForm;
    case Glyph::Settings:
        return PictureFile::FormTick;
    case Glyph::StartLFS:
        return PictureFile::RacingEmblem;
    case Glyph::OnOffline:
        return PictureFile::BallGreenRed;
    case Glyph::OnOfflineOff:
        return PictureFile::BallGrey;
    case Glyph::JoinMate:
        return PictureFile::PersonArrow;
    case Glyph::JoinPW:
        return PictureFile::PersonKey;
    case Glyph::JoinSvr:
        return PictureFile::ComputerArrow;
    case Glyph::JoinSvrPW:
        return PictureFile::ComputerKey;
    case Glyph::Legends:
        return PictureFile::SheetBalls;
    case Glyph::Browse:
        return PictureFile::Folder;
    case Glyph::Ok:
        return PictureFile::Tick;
    case Glyph::Close:
        return PictureFile::Cross;
    case Glyph::Add:
        return PictureFile::Plus;
    case Glyph::SlotWatch:
        return PictureFile::Hourglass;
    }
    return PictureFile::BallGrey;
}

// The SVG engine names no sizes of its own, but the window system takes the program's
// icon in the sizes the icon names (X11 keeps one picture per size): these are the theme's.
class AppIconEngine : public QIconEngine {
public:
    explicit AppIconEngine(QIcon svg) : m_svg(std::move(svg)) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        m_svg.paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return m_svg.pixmap(size, 1.0, mode, state);
    }
    QIconEngine* clone() const override { return new AppIconEngine(m_svg); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int size : AppIconSizes())
            sizes << QSize(size, size);
        return sizes;
    }

private:
    QIcon m_svg;
};

} // namespace

QList<QIcon> ServerStatusImages() {
    return {Icon(PictureFile::BallRed), Icon(PictureFile::BallGreen),
            Icon(PictureFile::BallGreenPerson), Icon(PictureFile::BallGrey)};
}

QList<QIcon> MateStatusImages() {
    return {Icon(PictureFile::PersonListGrey),  Icon(PictureFile::PersonListRed),
            Icon(PictureFile::PersonListGreen), Icon(PictureFile::BallRed),
            Icon(PictureFile::BallGreenPerson), Icon(PictureFile::BallGrey)};
}

QPixmap GlyphPixmap(Glyph glyph) {
    return Picture(GlyphFile(glyph), QSize(16, 16));
}

QIcon GlyphIcon(Glyph glyph) {
    if (glyph == Glyph::OnOffline)
        return Icon(GlyphFile(glyph), GlyphFile(Glyph::OnOfflineOff));
    return Icon(GlyphFile(glyph));
}

QPixmap GameLogo() {
    return Picture(PictureFile::GameLogo, QSize(88, 31));
}

QPixmap Banner() {
    return Picture(PictureFile::Banner, QSize(328, 42));
}

QPixmap GroupOfPeople() {
    return Picture(PictureFile::GroupOfPeople, QSize(32, 32));
}

QPixmap PersonWithText() {
    return Picture(PictureFile::PersonText, QSize(32, 32));
}

QIcon AppIcon() {
    return QIcon(new AppIconEngine(Icon(PictureFile::ProgramIcon)));
}

QList<int> AppIconSizes() {
    return {16, 22, 24, 32, 48, 64, 128, 256};
}

QImage AppIconImage(int size) {
    return Icon(PictureFile::ProgramIcon).pixmap(QSize(size, size), 1.0).toImage();
}

} // namespace Pictures
