#include "IniFile.h"
#include "MainWindowFixture.h"
#include "uSettings.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
            w.tScrollHighlightsTimer();
        QCOMPARE(w.lHighlights->x(), 667 - 194 * 5);
        QCOMPARE(highlightRequests(f), before);
        w.tScrollHighlightsTimer();
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
        w.tScrollHighlightsTimer();
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
        TfSettings dialog(w.settings, w.ConfigPath, f.desktop, &w);
        w.setDialogs(nullptr, nullptr, &dialog);
        w.lHighlights->move(-40, w.lHighlights->y());
        QTimer::singleShot(0, &dialog, [&] {
            dialog.cbCountry->setCurrentIndex(
                dialog.cbCountry->findText(QStringLiteral("Germany")));
            dialog.eInterval->setText(QStringLiteral("30"));
            dialog.bOk->click();
        });
        w.bSettingsClick();
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
        TfSettings dialog(w.settings, w.ConfigPath, f.desktop, &w);
        w.setDialogs(nullptr, nullptr, &dialog);
        w.tScrollHighlights->stop(); // ticks are driven by hand
        f.service.setHandler([](const httplib::Request& req, httplib::Response& res) {
            const bool germany = req.path.find("Germany") != std::string::npos;
            if (!germany)
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            res.set_content(germany ? "Schnell\n" : "old\n", "text/plain");
        });
        const int before = highlightRequests(f);
        QTimer::singleShot(50, &w, [&] {
            QVERIFY(w.highlightsInProgress());
            QTimer::singleShot(0, &dialog, [&] {
                dialog.cbCountry->setCurrentIndex(
                    dialog.cbCountry->findText(QStringLiteral("Germany")));
                dialog.bOk->click();
            });
            w.bSettingsClick();
        });
        w.lHighlights->move(-w.lHighlights->width() - 1, w.lHighlights->y());
        w.tScrollHighlightsTimer();
        QVERIFY(f.desktop.errors.isEmpty());
        QCOMPARE(highlightRequests(f) - before, 2);
        QCOMPARE(f.service.requests().back().path,
                 std::string("/highlight_countries/highlights_Germany.txt"));
        QVERIFY2(w.lHighlights->text().startsWith(QStringLiteral("Schnell")),
                 qPrintable(w.lHighlights->text()));
        QCOMPARE(w.lCountry->text(), QStringLiteral("Germany"));
    }

    void aReloadWhileOneWaitsIsSkipped() {
        MainWindowFixture f;
        TfMain& w = f.start();
        f.service.setHandler([](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            res.set_content("slow\n", "text/plain");
        });
        const int before = int(f.service.requests().size());
        QTimer::singleShot(50, [&] {
            QVERIFY(w.highlightsInProgress());
            w.LoadHighlights();
        });
        w.LoadHighlights();
        QCOMPARE(int(f.service.requests().size()) - before, 1);
        QVERIFY(w.lHighlights->text().startsWith(QStringLiteral("slow ||  || ")));
    }
};

QTEST_MAIN(TestTicker)
#include "tst_ticker.moc"
