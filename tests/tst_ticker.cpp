#include "IniFile.h"
#include "MainWindowFixture.h"
#include "TickerLabel.h"
#include "uSettings.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

class TestTicker : public QObject {
    Q_OBJECT

    static int highlightRequests(MainWindowFixture& f) {
        int n = 0;
        for (const auto& r : f.service.requests())
            n += r.path.rfind("/highlight_countries/", 0) == 0 ? 1 : 0;
        return n;
    }

private Q_SLOTS:
    void loadsTheCountrysFileAtStart() {
        MainWindowFixture f("[SETTINGS]\nCountry=United Kingdom\nNumHighlights=2\n");
        f.highlightFiles << QStringLiteral("highlights_United_Kingdom.txt");
        f.highlightsReply = "<b>Fast</b> lap\r\nsecond\r\nthird\r\n";
        TfMain& w = f.start();
        QVERIFY(f.desktop.errors.isEmpty());
        QCOMPARE(f.service.requests().back().path,
                 std::string("/highlight_countries/highlights_United_Kingdom.txt"));
        QCOMPARE(w.lHighlights->text(), QStringLiteral("Fast lap || second\r"));
        QVERIFY(!w.lHighlights->isHidden());
        QCOMPARE(w.lHighlights->x(), w.pMainTop->width());
        QVERIFY(w.tScrollHighlights->isActive());
        QCOMPARE(w.lCountry->text(), QStringLiteral("United Kingdom"));
    }

    void missingCountryFallsBackToAllCountriesAndSavesIt() {
        MainWindowFixture f("[SETTINGS]\nCountry=Germany\n");
        f.highlightsReply = "news\n";
        TfMain& w = f.start();
        QVERIFY(f.desktop.errors.isEmpty());
        QVERIFY(w.lHighlights->text().startsWith(
            QStringLiteral("County highligts of  \"Germany\" not availabe, using \"All countries\" "
                           "instead:        news")));
        QCOMPARE(w.lCountry->text(), QStringLiteral("All countries"));
        QCOMPARE(w.settings.country, QStringLiteral("All countries"));
        QCOMPARE(IniFile(f.configPath()).readString("SETTINGS", "Country", {}),
                 QStringLiteral("All countries"));
    }

    // A passing failure is no missing file: the pass shows all countries, but the user's
    // country stays, in memory and in the file, for the next pass.
    void droppedCountryRequest_keepsTheCountry() {
        MainWindowFixture f;
        QTcpServer highlights;
        QVERIFY(highlights.listen(QHostAddress::LocalHost));
        connect(&highlights, &QTcpServer::newConnection, &highlights, [&] {
            QTcpSocket* socket = highlights.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                if (socket->readAll().contains("Germany")) {
                    socket->abort(); // dropped before any answer
                    return;
                }
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\n"
                              "news\n");
                socket->disconnectFromHost();
            });
        });
        f.writeFile(QStringLiteral("Pelmark2.config"),
                    "[SERVICE]\nStatsServer=" + f.service.baseUrl().toLatin1() +
                        "\nHighlightsServer=http://127.0.0.1:" +
                        QByteArray::number(highlights.serverPort()) +
                        "\n[SETTINGS]\nCountry=Germany\n");
        const QByteArray configBefore = f.readFile(QStringLiteral("Pelmark2.config"));
        TfMain& w = f.start();
        QCOMPARE(f.desktop.errors, QStringList());
        QVERIFY(w.lHighlights->text().startsWith(
            QStringLiteral("County highligts of  \"Germany\" not availabe")));
        QVERIFY(w.lHighlights->text().contains(QStringLiteral("instead:        news")));
        QCOMPARE(w.settings.country, QStringLiteral("Germany"));
        QCOMPARE(w.lCountry->text(), QStringLiteral("Germany"));
        QCOMPARE(f.readFile(QStringLiteral("Pelmark2.config")), configBefore);
    }

    void bothRequestsFailing_oneErrorAndTheTickerStandsStill() {
        MainWindowFixture f("[SETTINGS]\nCountry=Germany\n");
        f.highlightFiles.clear();
        TfMain& w = f.start();
        QCOMPARE(f.desktop.errors.size(), 1);
        QCOMPARE(w.settings.country, QStringLiteral("Germany"));
        QCOMPARE(IniFile(f.configPath()).readString("SETTINGS", "Country", {}),
                 QStringLiteral("Germany"));
        QVERIFY(w.lHighlights->isHidden());
        QVERIFY(!w.tScrollHighlights->isActive());
    }

    void noLinesWantedStillAsks() {
        MainWindowFixture f("[SETTINGS]\nNumHighlights=0\n");
        TfMain& w = f.start();
        QCOMPARE(highlightRequests(f), 1);
        QCOMPARE(w.lHighlights->text(), QString());
    }

    void scroll_passesThenReloads() {
        MainWindowFixture f;
        TfMain& w = f.start();
        w.tScrollHighlights->stop(); // ticks are driven by hand
        const int y = w.lHighlights->y();
        w.lHighlights->resize(300, w.lHighlights->height());
        w.lHighlights->move(667, y);
        const int before = highlightRequests(f);
        for (int i = 0; i < 194; ++i)
            TickerStep(w);
        QCOMPARE(w.lHighlights->x(), 667 - 194 * 5);
        QCOMPARE(highlightRequests(f), before);
        TickerStep(w);
        QCOMPARE(highlightRequests(f), before + 1);
        QCOMPARE(w.lHighlights->x(), w.pMainTop->width() - 5);
        QCOMPARE(w.lHighlights->y(), y);
    }

    void failedReloadFromTheTickStopsTheTicker() {
        MainWindowFixture f;
        TfMain& w = f.start();
        QVERIFY(w.tScrollHighlights->isActive());
        f.highlightFiles.clear();
        w.lHighlights->move(-w.lHighlights->width() - 1, w.lHighlights->y());
        TickerStep(w);
        QCOMPARE(f.desktop.errors.size(), 1);
        QVERIFY(!w.tScrollHighlights->isActive());
    }

    void resizeMovesNothing() {
        MainWindowFixture f;
        TfMain& w = f.start();
        w.show();
        const QPoint pos = w.lHighlights->pos();
        const QString text = w.lHighlights->text();
        const int requests = highlightRequests(f);
        w.resize(w.width() + 300, w.height() + 100);
        QCoreApplication::processEvents();
        QCOMPARE(w.lHighlights->pos(), pos);
        QCOMPARE(w.lHighlights->text(), text);
        QCOMPARE(highlightRequests(f), requests);
        QCOMPARE(w.sHighlights->width(), w.pMainTop->width() + 10);
    }

    // Settings, OK: the settings are read back, the country shows, the ticker reloads at
    // once from the right edge, and a new interval applies.
    void settingsOkReloadsTheTicker() {
        MainWindowFixture f;
        f.highlightFiles << QStringLiteral("highlights_Germany.txt");
        TfMain& w = f.start();
        TfSettings& dialog = *w.settingsDialog();
        w.lHighlights->move(-40, w.lHighlights->y());
        QTimer::singleShot(0, &dialog, [&] {
            dialog.cbCountry->setCurrentIndex(
                dialog.cbCountry->findText(QStringLiteral("Germany")));
            dialog.eInterval->setText(QStringLiteral("30"));
            dialog.bOk->click();
        });
        QSignalSpy loaded(&w.ticker(), &Ticker::loaded);
        w.bSettingsClick();
        QVERIFY(loaded.wait());
        QVERIFY(f.desktop.errors.isEmpty());
        QCOMPARE(w.lCountry->text(), QStringLiteral("Germany"));
        QCOMPARE(f.service.requests().back().path,
                 std::string("/highlight_countries/highlights_Germany.txt"));
        QCOMPARE(w.lHighlights->x(), w.pMainTop->width());
        QCOMPARE(w.tAutoRefresh->interval(), 30000);
        QCOMPARE(IniFile(f.configPath()).readString("SETTINGS", "Country", {}),
                 QStringLiteral("Germany"));
    }

    // OK while the tick's reload waits: the new country's text follows that reply at once.
    void settingsOkWhileTheTicksReloadWaits_newCountryFollows() {
        MainWindowFixture f;
        f.highlightFiles << QStringLiteral("highlights_Germany.txt");
        TfMain& w = f.start();
        TfSettings& dialog = *w.settingsDialog();
        w.tScrollHighlights->stop(); // ticks are driven by hand
        f.service.setHandler([](const httplib::Request& req, httplib::Response& res) {
            const bool germany = req.path.find("Germany") != std::string::npos;
            if (!germany)
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            res.set_content(germany ? "Schnell\n" : "old\n", "text/plain");
        });
        const int before = highlightRequests(f);
        QTimer::singleShot(50, &w, [&] {
            QVERIFY(w.ticker().isLoading());
            QTimer::singleShot(0, &dialog, [&] {
                dialog.cbCountry->setCurrentIndex(
                    dialog.cbCountry->findText(QStringLiteral("Germany")));
                dialog.bOk->click();
            });
            w.bSettingsClick();
        });
        w.lHighlights->move(-w.lHighlights->width() - 1, w.lHighlights->y());
        TickerStep(w);
        QVERIFY(f.desktop.errors.isEmpty());
        QCOMPARE(highlightRequests(f) - before, 2);
        QCOMPARE(f.service.requests().back().path,
                 std::string("/highlight_countries/highlights_Germany.txt"));
        QVERIFY2(w.lHighlights->text().startsWith(QStringLiteral("Schnell")),
                 qPrintable(w.lHighlights->text()));
        QCOMPARE(w.lCountry->text(), QStringLiteral("Germany"));
    }

    // The ticker's own painting must not show anything the plain label would not.
    void tickerLabel_paintsAsThePlainLabel_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from"); // left edge of the painted part
        QTest::addColumn<int>("pointSize");
        const QString line = QStringLiteral("<b>-</b> Fast lap by Jürgen: 1:23.45 & more || ");
        QTest::newRow("plain") << QStringLiteral("Fast lap || second") << 0 << 8;
        QTest::newRow("carriage return, tab, trailing blanks")
            << QStringLiteral("a\tb || c\r  ") << 0 << 8;
        QTest::newRow("Latin-1 and control bytes")
            << QStringLiteral("\x01\xe9\xff\xa0^1Caf\xe9 &&x") << 0 << 11;
        QTest::newRow("long text, a part far right") << line.repeated(60) << 1500 << 8;
    }
    void tickerLabel_paintsAsThePlainLabel() {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, pointSize);
        const auto paint = [&](QLabel& label) {
            label.setTextFormat(Qt::PlainText);
            label.setFont(QFont(QStringLiteral("Verdana"), pointSize));
            label.setText(text);
            label.resize(label.fontMetrics().horizontalAdvance(text), 13);
            QImage image(600, 13, QImage::Format_ARGB32);
            image.fill(Qt::white);
            // Painted twice: the second paint is the one that moving the text repeats.
            label.render(&image, QPoint(), QRegion(from, 0, 600, 13));
            image.fill(Qt::white);
            label.render(&image, QPoint(), QRegion(from, 0, 600, 13));
            return image;
        };
        QLabel plain;
        TickerLabel ticker;
        const QImage expected = paint(plain);
        QVERIFY(expected != QImage(600, 13, QImage::Format_ARGB32)); // something was drawn
        QCOMPARE(paint(ticker), expected);
    }

    // While the window cannot be seen the ticker neither moves nor ticks; shown again it
    // goes on from where it stood. A reload that was waiting, or one that failed, keeps
    // its meaning: the first starts the ticker only once shown, the second never.
    void unseenWindow_tickerStandsAndGoesOnWhenShown_data() {
        QTest::addColumn<bool>("minimize");
        QTest::addColumn<int>("reload"); // 0 none, 1 waits while hidden, 2 fails before
        QTest::newRow("hidden") << false << 0;
        QTest::newRow("minimized") << true << 0;
        QTest::newRow("hidden while the pass's reload waits") << false << 1;
        QTest::newRow("hidden after a failed reload") << false << 2;
    }
    void unseenWindow_tickerStandsAndGoesOnWhenShown() {
        QFETCH(bool, minimize);
        QFETCH(int, reload);
        MainWindowFixture f;
        TfMain& w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.tScrollHighlights->isActive());
        const auto unseen = [&] { minimize ? w.showMinimized() : w.hide(); };
        const auto seen = [&] { minimize ? w.showNormal() : w.show(); };
        if (reload == 2) {
            f.highlightFiles.clear();
            w.lHighlights->move(-w.lHighlights->width(), w.lHighlights->y());
            TickerStep(w);
            QCOMPARE(f.desktop.errors.size(), 1);
        }
        if (reload == 1) {
            f.highlightsReply = "later\n";
            f.service.setHandler([&](const httplib::Request&, httplib::Response& res) {
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
                res.set_content(f.highlightsReply.toStdString(), "text/plain");
            });
            QTimer::singleShot(50, &w, unseen);
            w.lHighlights->move(-w.lHighlights->width(), w.lHighlights->y());
            TickerStep(w);
            QVERIFY(w.lHighlights->text().startsWith(QStringLiteral("later || ")));
        } else {
            unseen();
        }
        QCoreApplication::processEvents();
        QVERIFY(!w.tScrollHighlights->isActive());
        const QPoint stood = w.lHighlights->pos();
        QTest::qWait(3 * w.tScrollHighlights->interval());
        QCOMPARE(w.lHighlights->pos(), stood);

        seen();
        QCoreApplication::processEvents();
        QCOMPARE(w.tScrollHighlights->isActive(), reload != 2);
        QCOMPARE(w.lHighlights->pos(), stood);
        if (reload != 2)
            QTRY_VERIFY(w.lHighlights->x() < stood.x());
    }

    void aReloadWhileOneWaitsIsSkipped() {
        MainWindowFixture f;
        TfMain& w = f.start();
        f.service.setHandler([](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            res.set_content("slow\n", "text/plain");
        });
        const int before = int(f.service.requests().size());
        QSignalSpy loaded(&w.ticker(), &Ticker::loaded);
        QTimer::singleShot(50, [&] {
            QVERIFY(w.ticker().isLoading());
            w.ticker().LoadHighlights();
        });
        w.ticker().LoadHighlights();
        QVERIFY(loaded.wait());
        QCOMPARE(int(f.service.requests().size()) - before, 1);
        QVERIFY(w.lHighlights->text().startsWith(QStringLiteral("slow ||  || ")));
    }
};

QTEST_MAIN(TestTicker)
#include "tst_ticker.moc"
