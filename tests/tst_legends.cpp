#include "Pictures.h"
#include "uLegends.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using Pictures::Glyph;

namespace {

QImage ImageOf(const QIcon& icon, QIcon::Mode mode = QIcon::Normal) {
    return icon.pixmap(16, 16, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage ImageOf(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

const QLabel* LabelAt(const QWidget& window, const QPoint& place) {
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->pos() == place)
            return label;
    return nullptr;
}

} // namespace

class TestLegends : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void statusImages_areDistinctTransparentPictures() {
        const QList<QIcon> server = Pictures::ServerStatusImages();
        const QList<QIcon> mate = Pictures::MateStatusImages();
        QCOMPARE(server.size(), 4);
        QCOMPARE(mate.size(), 6);
        QList<QImage> seen;
        for (const QIcon& icon : server + mate) {
            const QImage image = ImageOf(icon);
            QCOMPARE(image.size(), QSize(16, 16));
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QVERIFY(qAlpha(image.pixel(8, 8)) > 0);
            seen << image;
        }
        // The balls of the mate list are the server list's balls.
        QCOMPARE(seen.at(4 + 3), seen.at(0));
        QCOMPARE(seen.at(4 + 4), seen.at(2));
        QCOMPARE(seen.at(4 + 5), seen.at(3));
        const QList<QImage> distinct = seen.mid(0, 4 + 3);
        for (int i = 0; i < distinct.size(); ++i)
            for (int j = i + 1; j < distinct.size(); ++j)
                QVERIFY2(distinct.at(i) != distinct.at(j),
                         qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
    }

    void glyphs_areDistinctAndOnOfflineHasGreyDisabledPicture() {
        QList<QImage> glyphs;
        for (int g = int(Glyph::AddGroup); g <= int(Glyph::Add); ++g) {
            const QImage image = ImageOf(Pictures::GlyphPixmap(Glyph(g)));
            QCOMPARE(image.size(), QSize(16, 16));
            QVERIFY(!glyphs.contains(image));
            glyphs << image;
        }
        const QIcon onOffline = Pictures::GlyphIcon(Glyph::OnOffline);
        QCOMPARE(ImageOf(onOffline, QIcon::Disabled),
                 ImageOf(Pictures::GlyphPixmap(Glyph::OnOfflineOff)));
        QCOMPARE(ImageOf(onOffline), ImageOf(Pictures::GlyphPixmap(Glyph::OnOffline)));
    }

    void largerPictures_haveTheirSizes() {
        QCOMPARE(Pictures::GameLogo().size(), QSize(88, 31));
        QCOMPARE(Pictures::Banner().size(), QSize(328, 42));
        QCOMPARE(Pictures::GroupOfPeople().size(), QSize(32, 32));
        QCOMPARE(Pictures::PersonWithText().size(), QSize(32, 32));
        QVERIFY(ImageOf(Pictures::GroupOfPeople()) != ImageOf(Pictures::PersonWithText()));
    }

    void legends_showTextsAndIconsInPlace_data() {
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bold");
        QTest::newRow("rules heading") << QPoint(6, 12) << "Rule legends:" << true;
        QTest::newRow("modified") << QPoint(96, 84) << "M = Modifieed host" << false;
        QTest::newRow("pitstop") << QPoint(96, 120) << "p = forced pitstop" << false;
        QTest::newRow("server heading") << QPoint(258, 12) << "Server list icons:" << true;
        QTest::newRow("mate heading") << QPoint(432, 12) << "Mate list icons:" << true;
        QTest::newRow("cars heading") << QPoint(6, 204) << "Cars:" << true;
        QTest::newRow("first car") << QPoint(54, 204) << "XFG = XF GTI" << false;
        QTest::newRow("last left car") << QPoint(54, 366) << "RAC = RACE ABOUT" << false;
        QTest::newRow("xrr") << QPoint(276, 312) << "XRR= XR GTR (GTR version of XR GT Turbo)"
                             << false;
        QTest::newRow("formula") << QPoint(276, 366) << "Formula cars = FOX, FO8" << false;
    }
    void legends_showTextsAndIconsInPlace() {
        QFETCH(QPoint, place);
        QFETCH(QString, text);
        QFETCH(bool, bold);
        TfLegends legends(Pictures::ServerStatusImages(), Pictures::MateStatusImages());
        const QLabel* label = LabelAt(legends, place);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->font().bold(), bold);
        QVERIFY(label->width() >= label->sizeHint().width());
        QVERIFY(label->geometry().right() < legends.width());
    }

    void legends_iconsComeFromTheImageLists() {
        const QList<QIcon> server = Pictures::ServerStatusImages();
        const QList<QIcon> mate = Pictures::MateStatusImages();
        TfLegends legends(server, mate);
        const struct {
            QPoint place;
            QIcon icon;
        } expected[] = {{{261, 36}, server.at(3)},
                        {{261, 108}, server.at(2)},
                        {{435, 36}, mate.at(0)},
                        {{435, 108}, mate.at(5)},
                        {{435, 156}, mate.at(4)}};
        for (const auto& e : expected) {
            const QLabel* label = LabelAt(legends, e.place);
            QVERIFY(label);
            QCOMPARE(ImageOf(label->pixmap()), ImageOf(e.icon));
        }
    }

    void showLegends_twiceGivesOneWindowAndCloseHides() {
        QWidget main;
        main.resize(881, 604);
        main.show();
        TfLegends legends(Pictures::ServerStatusImages(), Pictures::MateStatusImages(), &main);
        QVERIFY(!legends.isVisible());
        QCOMPARE(legends.size(), QSize(617, 418));
        const int children = legends.findChildren<QWidget*>().size();
        legends.ShowLegends();
        legends.ShowLegends();
        QVERIFY(legends.isVisible());
        int visibleLegends = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            visibleLegends += (qobject_cast<TfLegends*>(w) && w->isVisible()) ? 1 : 0;
        QCOMPARE(visibleLegends, 1);
        QCOMPARE(legends.bClose->geometry(), QRect(528, 384, 75, 25));
        legends.bClose->click();
        QVERIFY(!legends.isVisible());
        legends.ShowLegends();
        QVERIFY(legends.isVisible());
        QCOMPARE(legends.findChildren<QWidget*>().size(), children);
    }
};

QTEST_MAIN(TestLegends)
#include "tst_legends.moc"
