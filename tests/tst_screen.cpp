// The main window and its dialogs on a screen of a given size and scale: offscreen, with
// a 1280x1024 screen, at the scale of PELMARK_TEST_SCALE (QT_SCALE_FACTOR).
#include "MainWindowFixture.h"
#include "ServerFinder.h"
#include "uMoreSettings.h"
#include "uSettings.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace {

QRect available() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// A control's rectangle in its window; for a label only where its text is, not its box.
QRect drawnPart(const QWidget* control) {
    QRect rect = control->rect();
    if (const auto* label = qobject_cast<const QLabel*>(control))
        rect = QStyle::alignedRect(label->layoutDirection(), label->alignment(),
                                   label->sizeHint().boundedTo(label->size()), label->rect());
    return rect.translated(control->mapTo(control->window(), QPoint()));
}

// What of it can be seen: cut by every widget it lies in.
QRect shownPart(const QWidget* control) {
    QRect rect = drawnPart(control);
    for (const QWidget* w = control->parentWidget(); w; w = w->parentWidget())
        rect &= QRect(w->mapTo(control->window(), QPoint()), w->size());
    return rect;
}

QString described(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace

class TestScreen : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Opened from the empty list's link, "More settings" stands wholly on the screen,
    // over the main window, although Settings (its parent) is not shown.
    void identKeyLink_opensMoreSettingsOnTheScreen() {
        MainWindowFixture f;
        f.serviceDown = true;
        TfMain& w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        TfMoreSettings* more = w.settingsDialog()->fMoreSettings;
        QRect opened;
        QTimer::singleShot(0, more, [&] {
            opened = more->frameGeometry();
            more->reject();
        });
        w.enterIdentKey();
        QVERIFY(!opened.isEmpty());
        QVERIFY2(available().contains(opened), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                              .arg(opened.x())
                                                              .arg(opened.y())
                                                              .arg(opened.width())
                                                              .arg(opened.height())));
    }

    // A fresh file: the layout's place where it fits, made to fit where it does not. A
    // stored place on the screen comes back; one off every screen is brought onto it.
    void mainWindow_fitsAndComesBackWhereItFits_data() {
        QTest::addColumn<QByteArray>("window");
        QTest::addColumn<bool>("restored");
        QTest::newRow("fresh file") << QByteArray() << false;
        QTest::newRow("kept on the screen")
            << QByteArray("Left=20\nTop=30\nWidth=1000\nHeight=600\nSplitLeft=700\n"
                          "SplitRight=290\n")
            << true;
        QTest::newRow("kept off every screen")
            << QByteArray("Left=5000\nTop=-3000\nWidth=700\nHeight=500\n") << false;
    }
    void mainWindow_fitsAndComesBackWhereItFits() {
        QFETCH(QByteArray, window);
        QFETCH(bool, restored);
        MainWindowFixture f(window.isEmpty() ? QByteArray() : "[WINDOW]\n" + window);
        TfMain& w = f.start();
        QVERIFY2(available().contains(w.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 %3x%4 in %5x%6")
                                .arg(w.x())
                                .arg(w.y())
                                .arg(w.width())
                                .arg(w.height())
                                .arg(available().width())
                                .arg(available().height())));
        const QRect stored(20, 30, 1000, 600);
        if (restored && available().contains(stored)) {
            QCOMPARE(w.geometry(), stored);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(w.spLeft->sizes().last(), 290); // the right pane keeps its width
        } else if (available().width() >= 873 && available().height() >= 570) {
            QCOMPARE(w.size(), QSize(873, 570)); // the layout's own size
        }

        // Closed where it opened: nothing written. Moved: the place is kept.
        const QByteArray before = f.readFile(QStringLiteral("Pelmark2.config"));
        w.close();
        QCOMPARE(f.readFile(QStringLiteral("Pelmark2.config")), before);
        w.show();
        // Small, but no smaller than the window goes, and wholly on the screen.
        const QSize size = w.minimumSize().expandedTo(QSize(620, 460));
        const int frame = w.frameGeometry().width() - w.width();
        const QRect place(QPoint(std::min(10, available().width() - frame - size.width()), 20),
                          size);
        w.resize(place.size());
        w.move(place.topLeft()); // the frame's corner
        w.close();
        QCOMPARE(f.window->config.window.geometry, place);
        TfMain& again = f.start();
        QCOMPARE(QRect(again.pos(), again.size()), place);
    }

    // Made as small as it goes, every control stands whole and clear of the others, and the
    // window still fits the screen. At a scale of 2 the screen (640 pixels wide) has less
    // room than the layout needs: the screen wins, and only the banner is cut.
    void mainWindow_atItsSmallestSize_showsEveryControlWhole() {
        MainWindowFixture f;
        TfMain& w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const bool screenWins = qgetenv("PELMARK_TEST_SCALE") == "2";
        w.resize(1, 1);
        QTRY_COMPARE(w.size(), w.minimumSize());
        QVERIFY(w.width() < 873 && w.height() < 570); // smaller than it opens
        QCOMPARE(w.frameGeometry().width() == available().width(), screenWins);
        // Long texts, as a refresh and the settings give them while the window shows; the
        // country is longer than any in the list, as a hand-edited file may have it.
        const std::pair<QLabel*, const char*> texts[] = {
            {w.lSvrCount, "Servers online: 9999"},
            {w.lOccupied, "Servers occupied: 9999"},
            {w.lSvrMates, "Servers with mates: 999"},
            {w.lPlayersOnline, "Players online: 99999"},
            {w.lCountry, "The Very Long Republic of Nowhere In Particular"}};
        for (const auto& [label, text] : texts)
            label->setText(QString::fromLatin1(text));
        QCoreApplication::processEvents();
        w.resize(1, 1);
        QTRY_COMPARE(w.size(), w.minimumSize());
        QVERIFY2(available().contains(w.frameGeometry()), qPrintable(described(w.frameGeometry())));

        QList<QWidget*> controls =
            w.pRightTop->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        controls << w.tvMates << w.lvServer << w.finder().eFilter << w.finder().bFilters
                 << w.bJoinSvr << w.bJoinSvrPW << w.bLegends;
        controls << w.lSvrCount << w.lOccupied << w.lSvrMates << w.lPlayersOnline;
        controls << w.Label1 << w.Label2 << w.lVersion << w.lCountry;
        // Where the screen wins, the banner is cut where the main area ends.
        if (!screenWins)
            controls << w.Image2;
        QCOMPARE(controls.size(), screenWins ? 25 : 26);
        // Whole across, and within the window; the lowest row of the tool bar is cut at
        // its panel's bottom edge by design.
        const auto whole = [&](const QWidget* c) {
            const QRect shown = shownPart(c);
            const QRect drawn = drawnPart(c);
            return shown.left() == drawn.left() && shown.right() == drawn.right() &&
                   w.rect().contains(drawn);
        };
        for (const QWidget* c : std::as_const(controls)) {
            QVERIFY2(whole(c),
                     qPrintable(QStringLiteral("%1 cut: %2 of %3")
                                    .arg(QString::fromLatin1(c->metaObject()->className()),
                                         described(shownPart(c)), described(drawnPart(c)))));
        }
        for (qsizetype i = 0; i < controls.size(); ++i)
            for (qsizetype j = i + 1; j < controls.size(); ++j)
                QVERIFY2(!shownPart(controls[i]).intersects(shownPart(controls[j])),
                         qPrintable(described(shownPart(controls[i])) + QStringLiteral(" and ") +
                                    described(shownPart(controls[j]))));
    }
};

int main(int argc, char** argv) {
    // One screen of 1280x1024, as the offscreen platform reads it from a file.
    QTemporaryFile screens;
    if (!screens.open())
        return 1;
    screens.write(R"({"screens": [{"name": "Screen", "x": 0, "y": 0, "width": 1280,
                  "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96}]})");
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    const QByteArray scale = qgetenv("PELMARK_TEST_SCALE");
    if (!scale.isEmpty())
        qputenv("QT_SCALE_FACTOR", scale);
    QApplication app(argc, argv);
    TestScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_screen.moc"
