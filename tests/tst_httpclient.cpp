#include "ErrorHandler.h"
#include "FakeDesktop.h"
#include "FakeService.h"
#include "HttpClient.h"
#include "PelmarkError.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

class TestHttpClient : public QObject {
    Q_OBJECT

    static QString errorOf(HttpClient& client, const QUrl& url) {
        try {
            client.get(url);
        } catch (const PelmarkError& e) {
            return e.message();
        }
        return {};
    }

private Q_SLOTS:
    void requestCarriesTheServiceHeaders() {
        FakeService service;
        service.setHandler([](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "session=abc123; Path=/");
            res.set_content("body", "text/plain");
        });
        HttpClient client;
        QCOMPARE(client.get(service.url("/pubstat/get_stat2.php?action=hosts")),
                 QByteArray("body"));
        client.get(service.url("/highlight_countries/highlights.txt"));

        const auto requests = service.requests();
        QCOMPARE(requests.size(), 2u);
        const auto& first = requests[0];
        QCOMPARE(QString::fromStdString(first.path), QStringLiteral("/pubstat/get_stat2.php"));
        QCOMPARE(QString::fromStdString(first.query), QStringLiteral("action=hosts"));
        auto header = [](const FakeService::Request& r, const char* name) {
            auto it = r.headers.find(name);
            return it == r.headers.end() ? QString() : QString::fromStdString(it->second);
        };
        QCOMPARE(header(first, "Content-Type"), QStringLiteral("text/html"));
        QCOMPARE(header(first, "Accept"), QStringLiteral("text/html, */*"));
        QCOMPARE(header(first, "User-Agent"),
                 QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
        QVERIFY(first.headers.find("Content-Length") == first.headers.end());
        QVERIFY(header(first, "Cookie").isEmpty());
        QCOMPARE(header(requests[1], "Cookie"), QStringLiteral("session=abc123"));
    }

    void errorStatusIsAnError() {
        FakeService service;
        service.setHandler([](const httplib::Request&, httplib::Response& res) {
            res.status = 503;
            res.set_content("busy", "text/plain");
        });
        HttpClient client;
        QCOMPARE(errorOf(client, service.url("/x")),
                 QStringLiteral("HTTP/1.1 503 Service Unavailable"));
        QVERIFY(!client.isBusy());
    }

    void refusedConnectionIsAnError() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        HttpClient client;
        const QString error =
            errorOf(client, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)));
        QVERIFY2(error.startsWith(QStringLiteral("Verbindung zu 127.0.0.1:")), qPrintable(error));
    }

    void stalledTransferEnds() {
        FakeService service;
        service.setHandler([](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            res.set_content("late", "text/plain");
        });
        HttpClient client;
        client.setStallLimit(300);
        QElapsedTimer t;
        t.start();
        QVERIFY(
            errorOf(client, service.url("/slow")).startsWith(QStringLiteral("Zeitüberschreitung")));
        QVERIFY(t.elapsed() < 1400);
    }

    void oversizedReplyIsAbandoned() {
        FakeService service;
        service.serve(QByteArray(64 * 1024, 'x'));
        HttpClient client;
        client.setSizeLimit(16 * 1024);
        QVERIFY(errorOf(client, service.url("/big")).contains(QStringLiteral("größer")));
        client.setSizeLimit(1024 * 1024);
        QCOMPARE(client.get(service.url("/big")).size(), 64 * 1024);
    }

    // While a request waits, timers still fire: the window would keep painting.
    void waitKeepsTheEventLoopRunning() {
        FakeService service;
        service.setHandler([](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            res.set_content("ok", "text/plain");
        });
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(20);
        HttpClient client;
        bool busyDuringWait = false;
        QTimer::singleShot(100, [&] { busyDuringWait = client.isBusy(); });
        QCOMPARE(client.get(service.url("/wait")), QByteArray("ok"));
        QVERIFY(ticks >= 5);
        QVERIFY(busyDuringWait);
        QVERIFY(!client.isBusy());
    }

    // Quitting while a request waits ends the wait without an error box. Last: once the
    // application is quitting, every later wait ends at once.
    void quitDuringAWaitShowsNothing() {
        FakeService service;
        service.setHandler([](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            res.set_content("late", "text/plain");
        });
        HttpClient client;
        FakeDesktop desktop;
        QTimer::singleShot(50, [] { QCoreApplication::exit(0); });
        QElapsedTimer t;
        t.start();
        QVERIFY(!Guarded(desktop, [&] { client.get(service.url("/slow")); }));
        QVERIFY(t.elapsed() < 350);
        QVERIFY(desktop.errors.isEmpty());
        QVERIFY(!client.isBusy());
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
