#include "FakeService.h"
#include "Highlights.h"
#include "HighlightsService.h"
#include "HostListService.h"
#include "HttpClient.h"
#include "StatSim.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

Q_DECLARE_METATYPE(HostListResult::Outcome)
Q_DECLARE_METATYPE(PelmarkError::Kind)

namespace {

using Outcome = HostListResult::Outcome;

// The answer a service gives next, if it gives one in time.
template <typename Result, typename Service>
std::optional<Result> nextAnswer(Service& service, int ms = 10'000) {
    QSignalSpy answers(&service, &Service::finished);
    if (!answers.wait(ms))
        return std::nullopt;
    return answers.first().first().template value<Result>();
}

quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

} // namespace

class TestServices : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What the simulator answers, and each way a transfer fails, as the window is told.
    void hostList_classifiesTheAnswer_data() {
        QTest::addColumn<QStringList>("simArgs"); // empty: nobody listens
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("hosts");
        QTest::addColumn<QString>("message"); // its start
        QTest::addColumn<bool>("failed");     // a transfer failure, with its error
        QTest::addColumn<PelmarkError::Kind>("kind");
        QTest::addColumn<int>("status");
        using K = PelmarkError::Kind;
        const auto row = [](const char* name, QStringList args, Outcome outcome, QString message,
                            int hosts = 0) {
            QTest::newRow(name) << args << outcome << hosts << message << false << K::Other << 0;
        };
        const auto failure = [](const char* name, QStringList args, K kind, QString message,
                                int status = 0) {
            QTest::newRow(name) << args << Outcome::Failed << 0 << message << true << kind
                                << status;
        };
        row("list", {"--hosts", "7"}, Outcome::List, {}, 7);
        row("refusal", {"--refuse"}, Outcome::Refused, "Could not refresh.");
        row("service text", {"--ident-key", "Ab3"}, Outcome::ServiceText,
            "The statistics service answered: Identification key (idk) missing or not valid - "
            "see your account settings");
        row("neither list nor text", {"--truncate"}, Outcome::Failed, "Could not refresh.");
        failure("connection refused", {}, K::Connection, "Verbindung zu 127.0.0.1:");
        failure("status 503", {"--status", "503"}, K::HttpStatus,
                "HTTP/1.1 503 Service Unavailable", 503);
        failure("stall", {"--stall", "2"}, K::TimeOut, "Zeitüberschreitung: 127.0.0.1:");
        failure("dropped mid-reply", {"--drop"}, K::Connection, "Verbindung zu 127.0.0.1:");
        failure("too large", {"--oversize"}, K::MalformedReply, "Die Antwort von 127.0.0.1:");
    }

    void hostList_classifiesTheAnswer() {
        QFETCH(QStringList, simArgs);
        QFETCH(Outcome, outcome);
        QFETCH(int, hosts);
        QFETCH(QString, message);
        QFETCH(bool, failed);
        QFETCH(PelmarkError::Kind, kind);
        QFETCH(int, status);
        std::optional<StatSim> sim;
        QString address = QStringLiteral("http://127.0.0.1:%1").arg(closedPort());
        if (!simArgs.isEmpty()) {
            sim.emplace(simArgs);
            QVERIFY(sim->port() > 0);
            address = sim->baseUrl();
        }
        HostListService service;
        service.client().setStallLimit(300);
        QVERIFY(service.fetch(address, {}));
        const std::optional<HostListResult> result = nextAnswer<HostListResult>(service);
        QVERIFY(result);
        QCOMPARE(result->outcome, outcome);
        QCOMPARE(result->hasList(), outcome == Outcome::List);
        QCOMPARE(result->hosts.size(), hosts);
        QVERIFY2(result->message.startsWith(message), qPrintable(result->message));
        QCOMPARE(bool(result->error), failed);
        if (failed) {
            QCOMPARE(result->error->kind(), kind);
            QCOMPARE(result->error->httpStatus(), status);
            QCOMPARE(result->message, result->error->message());
        }
        QVERIFY(!service.isWaiting());
    }

    // One request at a time: a second fetch while one waits sends nothing; a cancelled
    // one is never reported, and the next goes out at once.
    void hostList_oneRequestAtATime() {
        StatSim sim({"--delay", "300", "--hosts", "3", "--log"});
        sim.process().setReadChannel(QProcess::StandardError);
        HostListService service;
        QSignalSpy answers(&service, &HostListService::finished);
        QVERIFY(service.fetch(sim.baseUrl(), {}));
        QVERIFY(service.isWaiting());
        QVERIFY(!service.fetch(sim.baseUrl(), {}));
        QVERIFY(answers.wait(5000));
        QVERIFY(!service.isWaiting());
        QCOMPARE(sim.hostRequests(1).size(), 1);

        QVERIFY(service.fetch(sim.baseUrl(), {}));
        service.cancel();
        QVERIFY(!service.isWaiting());
        QVERIFY(service.fetch(sim.baseUrl(), {}));
        QVERIFY(answers.wait(5000));
        QVERIFY(!answers.wait(500));
        QCOMPARE(answers.count(), 2);
        QCOMPARE(answers.last().first().value<HostListResult>().hosts.size(), 3);
    }

    // A key that is not valid is never sent, and said once, before anything goes out.
    void hostList_invalidKey_saidOnceAndNotSent() {
        StatSim sim({"--ident-key", "Ab3", "--hosts", "4", "--log"});
        sim.process().setReadChannel(QProcess::StandardError);
        HostListService service;
        int said = 0;
        bool sentBeforeSaid = false;
        connect(&service, &HostListService::identKeyRejected, this, [&] {
            ++said;
            sentBeforeSaid = service.isWaiting() || service.client().isBusy();
        });
        for (int i = 0; i < 2; ++i) {
            QVERIFY(service.fetch(sim.baseUrl(), QStringLiteral("Ab3!")));
            const auto result = nextAnswer<HostListResult>(service);
            QVERIFY(result);
            QCOMPARE(result->outcome, Outcome::ServiceText);
        }
        QCOMPARE(said, 1);
        QVERIFY(!sentBeforeSaid);
        QVERIFY(service.fetch(sim.baseUrl(), QStringLiteral("Ab3")));
        const auto listed = nextAnswer<HostListResult>(service);
        QVERIFY(listed);
        QCOMPARE(listed->hosts.size(), 4);
        QCOMPARE(said, 1);
        const QString plain = QStringLiteral("GET /pubstat/get_stat2.php?action=hosts 200");
        QCOMPARE(
            sim.hostRequests(3),
            (QStringList{plain, plain,
                         QStringLiteral("GET /pubstat/get_stat2.php?action=hosts&idk=Ab3 200")}));
    }

    // The country's file, and the all-countries file after any failure of it; only a
    // missing file (404) moves the user's country, and only when the fallback came.
    void highlights_fallBackToAllCountries_data() {
        QTest::addColumn<QString>("country");
        QTest::addColumn<int>("countryStatus");
        QTest::addColumn<int>("allStatus");
        QTest::addColumn<QStringList>("files"); // asked for, in order
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("countryMissing");
        QTest::addColumn<int>("errorStatus"); // 0: no error
        const QString all = QStringLiteral("highlights.txt");
        const QString germany = QStringLiteral("highlights_Germany.txt");
        const QString france = QStringLiteral("highlights_France.txt");
        const QByteArray fallback = FallbackMessage(QStringLiteral("Germany")) + "all one";
        QTest::newRow("country file") << "Germany" << 200 << 200 << QStringList{germany}
                                      << QByteArray("own one") << false << 0;
        QTest::newRow("missing file: all countries from now on")
            << "France" << 404 << 200 << QStringList{france, all}
            << FallbackMessage(QStringLiteral("France")) + "all one" << true << 0;
        QTest::newRow("passing failure: the country again next time")
            << "Germany" << 503 << 200 << QStringList{germany, all} << fallback << false << 0;
        QTest::newRow("missing file, fallback fails too")
            << "France" << 404 << 503 << QStringList{france, all} << QByteArray() << false << 503;
        QTest::newRow("both fail")
            << "Germany" << 500 << 502 << QStringList{germany, all} << QByteArray() << false << 502;
    }

    void highlights_fallBackToAllCountries() {
        QFETCH(QString, country);
        QFETCH(int, countryStatus);
        QFETCH(int, allStatus);
        QFETCH(QStringList, files);
        QFETCH(QByteArray, text);
        QFETCH(bool, countryMissing);
        QFETCH(int, errorStatus);
        FakeService service;
        service.setHandler([=](const httplib::Request& req, httplib::Response& res) {
            const bool allFile = req.path == "/highlight_countries/highlights.txt";
            res.status = allFile ? allStatus : countryStatus;
            res.set_content(allFile ? "all one\nall two\n" : "own one\nown two\n", "text/plain");
        });
        HighlightsService highlights;
        // A base address that ends in '/' gets no second one.
        highlights.FetchHighlights(service.baseUrl() + QLatin1Char('/'), country, 1);
        QVERIFY(highlights.isWaiting());
        const std::optional<HighlightsResult> result = nextAnswer<HighlightsResult>(highlights);
        QVERIFY(result);
        QCOMPARE(result->text, text);
        QCOMPARE(result->countryMissing, countryMissing);
        QCOMPARE(result->ok(), errorStatus == 0);
        if (errorStatus != 0) {
            QCOMPARE(result->error->kind(), PelmarkError::Kind::HttpStatus);
            QCOMPARE(result->error->httpStatus(), errorStatus);
        }
        QStringList asked;
        for (const FakeService::Request& request : service.requests())
            asked << QString::fromStdString(request.path)
                         .mid(QStringLiteral("/highlight_countries/").size());
        QCOMPARE(asked, files);
        QVERIFY(!highlights.isWaiting());
    }

    // The simulator's own files: a country it has, and one it has none for.
    void highlights_fromTheSimulator() {
        StatSim sim;
        HighlightsService highlights;
        highlights.FetchHighlights(sim.baseUrl(), QStringLiteral("United Kingdom"), 3);
        const auto own = nextAnswer<HighlightsResult>(highlights);
        QVERIFY(own && own->ok());
        QCOMPARE(own->text.count(" || "), 2);
        QVERIFY(!own->text.startsWith("County"));
        QVERIFY(!own->countryMissing);

        highlights.FetchHighlights(sim.baseUrl(), QStringLiteral("France"), 3);
        const auto fallback = nextAnswer<HighlightsResult>(highlights);
        QVERIFY(fallback && fallback->ok());
        QVERIFY(fallback->text.startsWith(FallbackMessage(QStringLiteral("France"))));
        QVERIFY(fallback->countryMissing);
    }

    // New settings while the old ones' file is awaited: only the newest is reported.
    void highlights_newFetchDropsTheWaitingOne() {
        FakeService service;
        service.setHandler([](const httplib::Request& req, httplib::Response& res) {
            if (req.path.find("Germany") != std::string::npos)
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
            res.set_content(req.path + "\n", "text/plain");
        });
        HighlightsService highlights;
        QSignalSpy answers(&highlights, &HighlightsService::finished);
        highlights.FetchHighlights(service.baseUrl(), QStringLiteral("Germany"), 1);
        QTest::qWait(100); // on its way to the service
        highlights.FetchHighlights(service.baseUrl(), QStringLiteral("Finland"), 1);
        QVERIFY(answers.wait(5000));
        QVERIFY(!answers.wait(600)); // past the moment the dropped one's reply came
        QCOMPARE(answers.count(), 1);
        QCOMPARE(answers.first().first().value<HighlightsResult>().text,
                 QByteArray("/highlight_countries/highlights_Finland.txt"));
    }
};

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
