// The main window and its dialogs on a screen of a given size and scale: offscreen, with
// a 1280x1024 screen, at the scale of PELMARK_TEST_SCALE (QT_SCALE_FACTOR).
#include "MainWindowFixture.h"
#include "uMoreSettings.h"
#include "uSettings.h"

#include <QApplication>
#include <QScreen>
#include <QSplitter>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

namespace {

QRect available() {
    return QGuiApplication::primaryScreen()->availableGeometry();
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
        w.resize(620, 460);
        w.move(10, 20); // the frame's corner
        w.close();
        QCOMPARE(f.window->config.window.geometry, QRect(10, 20, 620, 460));
        TfMain& again = f.start();
        QCOMPARE(QRect(again.pos(), again.size()), QRect(10, 20, 620, 460));
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
