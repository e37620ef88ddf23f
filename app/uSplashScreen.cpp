#include "uSplashScreen.h"

#include "Pictures.h"
#include "QuillonTools.h"
#include "Widgets.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace {

constexpr int ClientWidth = 428;
constexpr int ClientHeight = 181;
constexpr int VersionRight = 412;
constexpr int VersionBoxWidth = 200;
constexpr int CopyrightBoxWidth = 200;

const QColor PanelColour(166, 210, 255);

QFont verdana(int pixelSize, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* textLabel(QWidget* parent, const QString& text, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->adjustSize();
    return label;
}

QLabel* placedText(QWidget* parent, const QString& text, const QFont& font, int x, int y) {
    QLabel* label = textLabel(parent, text, font);
    label->move(x, y);
    return label;
}

} // namespace

TfSplashScreen::TfSplashScreen(const QString& exePath, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setFixedSize(ClientWidth, ClientHeight);
    setAutoFillBackground(true);
    QPalette frame = palette();
    frame.setColor(QPalette::Window, Qt::black);
    setPalette(frame);

    // Children are stacked in creation order, back to front.
    auto* panel = new ShapeWidget(PanelColour, this); // filled, with its thin black outline
    panel->setGeometry(6, 6, 415, 169);
    auto* bar1 = new ShapeWidget(Qt::red, this);
    bar1->setGeometry(75, 47, 19, 9);
    auto* logo = new QLabel(this);
    logo->setPixmap(Pictures::GameLogo());
    logo->setGeometry(50, 20, 88, 31);
    auto* bar2 = new ShapeWidget(Qt::green, this);
    bar2->setGeometry(99, 47, 19, 9);
    auto* bar3 = new ShapeWidget(Qt::red, this);
    bar3->setGeometry(123, 47, 19, 9);
    placedText(this, QStringLiteral("Pelmark II, for LFS S2"), verdana(16, true), 144, 25);
    placedText(this, QStringLiteral("online racer status"), verdana(11, true), 145, 44);
    placedText(this, QStringLiteral("Please wait, loading..."), verdana(13, true), 134, 90);

    const TFileVersionInfo info = ReadFileVersionInfo(exePath);
    // Fixed boxes, so that a text set later still ends at the same place.
    lVersion = textLabel(this, QStringLiteral("v ") + info.FileVersion, verdana(11));
    lVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lVersion->setGeometry(VersionRight - VersionBoxWidth, 156, VersionBoxWidth, lVersion->height());
    lCopyright = placedText(this, info.LegalCopyRight, verdana(11), 12, 156);
    lCopyright->resize(CopyrightBoxWidth, lVersion->height());

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TfSplashScreen::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closedByUser();
}
