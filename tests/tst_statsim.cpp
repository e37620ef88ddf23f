#include "HostListDecoder.h"
#include "HttpClient.h"
#include "IniFile.h"
#include "PelmarkError.h"
#include "SingleByteText.h"
#include "StatSim.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>

namespace {

const QString HostsPath = QStringLiteral("/pubstat/get_stat2.php?action=hosts");

// The simulator as a child process on a free loopback port.
struct Fetched {
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QByteArray contentType;
    QByteArray cookie;
};

// A plain fetch that keeps status and headers, which the program's client hides.
Fetched fetch(const QUrl& url) {
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(url)));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10'000, &loop, &QEventLoop::quit);
    loop.exec();
    Fetched result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.error = reply->error();
    result.body = reply->readAll();
    result.contentType = reply->rawHeader("Content-Type");
    result.cookie = reply->rawHeader("Set-Cookie");
    return result;
}

HostList decodeHosts(const QByteArray& reply) {
    HostList hosts;
    if (IsRefusalReply(reply) || DecodeHostList(reply, hosts) != DecodeResult::Ok)
        qWarning("host list reply is a refusal or truncated");
    return hosts;
}

QByteArray trackKey(const HostRecord& host) {
    return QByteArray::number(host.track[0]) + QByteArray::number(host.track[1]) +
           QByteArray::number(host.track[2]);
}

quint32 carMask(const HostRecord& host) {
    return host.carMask[0] | host.carMask[1] << 8 | host.carMask[2] << 16 |
           static_cast<quint32>(host.carMask[3]) << 24;
}

QSet<QByteArray> racersOf(const HostRecord& host) {
    QSet<QByteArray> racers;
    for (qsizetype j = 0; j < host.racerCount; ++j)
        racers.insert(TrimBytes(host.racerSlot(j)));
    return racers;
}

struct MateRecord {
    QByteArray lfsName, nick, team, homepage;
};

// Reads one profile file; fails the test on a field longer than its width or on
// filler bytes that are not zero.
QList<MateRecord> readProfile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    QList<MateRecord> records;
    for (qsizetype at = 0; at + 383 <= data.size(); at += 383) {
        const QByteArray record = data.mid(at, 383);
        QList<QByteArray> fields;
        for (auto [offset, width] : {std::pair{0, 24}, {25, 50}, {76, 50}, {127, 255}}) {
            const int length = static_cast<quint8>(record[offset]);
            if (length > width ||
                record.mid(offset + 1 + length, width - length).count('\0') != width - length)
                qWarning("bad field at %d in %s", offset, qPrintable(path));
            fields << record.mid(offset + 1, length);
        }
        records << MateRecord{fields[0], fields[1], fields[2], fields[3]};
    }
    return records;
}

} // namespace

class TestStatSim : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hostList_decodesToRequestedHostCount();
    void hostList_coversWhatTheServerListMustHandle();
    void hostList_sameSeedSameStart_thenTheWorldMoves();
    void trackKeys_knownToTracksDataOrDeliberatelyUnknown();
    void tracksData_namesConfigurations_data();
    void tracksData_namesConfigurations();
    void highlights_knownFileHasTaggedCrlfLines_data();
    void highlights_knownFileHasTaggedCrlfLines();
    void highlights_unknownFile_404_data();
    void highlights_unknownFile_404();
    void badRequests_rejected();
    void identKey_hostListOnlyWithIt_data();
    void identKey_hostListOnlyWithIt();
    void fault_hostList_data();
    void fault_hostList();
    void fault_oversize_decodesButIsHuge();
    void fault_delay_delaysReply();
    void fault_every_spoilsOnlyEveryKthRequest();
    void fault_highlights_onlyWhenAsked();
    void control_changesFaultWhileRunning();
    void demoRoster_writesWholeRecords();
    void demoRoster_matesRaceInTheWorld();
    void badArguments_exitWithError_data();
    void badArguments_exitWithError();
    void terminate_exitsCleanly();
};

void TestStatSim::hostList_decodesToRequestedHostCount() {
    StatSim sim({"--hosts", "60"});
    QVERIFY(sim.port() > 0);
    const Fetched reply = fetch(sim.url(HostsPath));
    QCOMPARE(reply.status, 200);
    QCOMPARE(reply.contentType, QByteArray("application/octet-stream"));
    QVERIFY(reply.cookie.startsWith("sim_session="));
    QVERIFY(!IsRefusalReply(reply.body));
    HostList hosts;
    QCOMPARE(DecodeHostList(reply.body, hosts), DecodeResult::Ok);
    QCOMPARE(hosts.size(), 60);
    QSet<QByteArray> everybody;
    for (const HostRecord& host : hosts) {
        QVERIFY2(host.racerCount <= host.maxPlayers(), host.name.constData());
        const QSet<QByteArray> racers = racersOf(host);
        QCOMPARE(racers.size(), host.racerCount); // nobody twice, no empty slot
        QVERIFY(!racers.contains(QByteArray()));
        QVERIFY2(!everybody.intersects(racers), "a racer on two hosts at once");
        everybody += racers;
    }
}

void TestStatSim::hostList_coversWhatTheServerListMustHandle() {
    StatSim sim;
    const HostList hosts = decodeHosts(fetch(sim.url(HostsPath)).body);
    QCOMPARE(hosts.size(), 120);
    QSet<int> versions;
    QSet<quint32> masks;
    int noLimit = 0, isPrivate = 0, crowded = 0, empty = 0, colourCoded = 0, markup = 0;
    for (const HostRecord& host : hosts) {
        versions.insert(host.versionType());
        masks.insert(carMask(host) & 0x3FFFF);
        noLimit += host.maxPlayers() == 0;
        isPrivate += host.isPrivate() && host.isListed();
        crowded += host.racerCount > 23;
        empty += host.racerCount == 0 && host.isListed();
        colourCoded += host.rawName.contains('^');
        markup += host.name.contains("<b>");
    }
    QVERIFY(versions.contains(1) && versions.contains(2));
    QVERIFY(versions.contains(0) || versions.contains(3));
    for (quint32 set : {0x3FFFFu, 0x3B77Fu, 0x3B7FFu, 0x7FFu, 0x77Fu})
        QVERIFY2(masks.contains(set), qPrintable(QString::number(set, 16)));
    QVERIFY(masks.size() > 6); // arbitrary combinations too
    QVERIFY(noLimit > 0 && isPrivate > 0 && crowded > 0 && empty > 0);
    QVERIFY(colourCoded > 10 && markup > 0);
}

void TestStatSim::hostList_sameSeedSameStart_thenTheWorldMoves() {
    StatSim first({"--seed", "7"});
    StatSim again({"--seed", "7"});
    StatSim other({"--seed", "8"});
    const QByteArray start = fetch(first.url(HostsPath)).body;
    QCOMPARE(fetch(again.url(HostsPath)).body, start);
    QVERIFY(fetch(other.url(HostsPath)).body != start);

    // Racers come and go from one request to the next, and never trip the refusal test.
    QByteArray previous = start;
    for (int i = 0; i < 8; ++i) {
        const QByteArray next = fetch(first.url(HostsPath)).body;
        QVERIFY(!IsRefusalReply(next));
        HostList hosts;
        QCOMPARE(DecodeHostList(next, hosts), DecodeResult::Ok);
        QVERIFY(next != previous);
        previous = next;
    }
}

void TestStatSim::trackKeys_knownToTracksDataOrDeliberatelyUnknown() {
    const IniDocument tracks = IniFile(QStringLiteral(TRACKS_DATA_PATH)).load();
    QVERIFY(!tracks.content().isEmpty());
    const QSet<QByteArray> unknownOnPurpose = {"990", "700", "2121"};
    StatSim sim({"--hosts", "300"});
    int unknown = 0;
    for (const HostRecord& host : decodeHosts(fetch(sim.url(HostsPath)).body)) {
        const QByteArray key = trackKey(host);
        const bool named = tracks.value(key, "Name").has_value();
        QVERIFY2(named != unknownOnPurpose.contains(key), key.constData());
        unknown += !named;
    }
    QVERIFY(unknown > 0);
}

void TestStatSim::tracksData_namesConfigurations_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("name"); // empty: no such section

    QTest::newRow("first track") << QByteArray("000") << QByteArray("Blackwood GP Track");
    QTest::newRow("reversed") << QByteArray("001") << QByteArray("Blackwood GP Track Rev");
    QTest::newRow("second config") << QByteArray("010") << QByteArray("Blackwood Rallycross");
    QTest::newRow("car park, no reverse") << QByteArray("021") << QByteArray();
    QTest::newRow("south city last")
        << QByteArray("151") << QByteArray("South City Chicane Route Rev");
    QTest::newRow("fern bay") << QByteArray("250") << QByteArray("Fern Bay RallyX Green");
    QTest::newRow("autocross") << QByteArray("300") << QByteArray("Autocross");
    QTest::newRow("autocross, no reverse") << QByteArray("301") << QByteArray();
    QTest::newRow("eight lane drag") << QByteArray("330") << QByteArray("Eight Lane Drag");
    QTest::newRow("kyoto") << QByteArray("421") << QByteArray("Kyoto Ring GP Long Rev");
    QTest::newRow("westhill") << QByteArray("500") << QByteArray("Westhill National");
    QTest::newRow("aston north") << QByteArray("661") << QByteArray("Aston North Rev");
    QTest::newRow("beyond aston") << QByteArray("670") << QByteArray();
}

void TestStatSim::tracksData_namesConfigurations() {
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, name);
    const IniDocument tracks = IniFile(QStringLiteral(TRACKS_DATA_PATH)).load();
    QCOMPARE(tracks.value(key, "Name").value_or(QByteArray()), name);
}

void TestStatSim::highlights_knownFileHasTaggedCrlfLines_data() {
    QTest::addColumn<QString>("file");
    for (const char* file :
         {"highlights.txt", "highlights_Germany.txt", "highlights_United_Kingdom.txt",
          "highlights_Netherlands.txt", "highlights_United_States.txt", "highlights_Finland.txt"})
        QTest::newRow(file) << QString::fromLatin1(file);
}

void TestStatSim::highlights_knownFileHasTaggedCrlfLines() {
    QFETCH(QString, file);
    static StatSim sim;
    const Fetched reply = fetch(sim.url(QStringLiteral("/highlight_countries/") + file));
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.contentType.startsWith("text/plain"));
    QVERIFY(reply.body.endsWith("\r\n"));
    const QList<QByteArray> lines = reply.body.chopped(1).split('\n');
    QVERIFY(lines.size() >= 25 && lines.size() <= 40);
    int tagged = 0, long_ = 0;
    for (const QByteArray& line : lines) {
        QVERIFY(line.endsWith('\r') && line.count('\r') == 1);
        tagged += line.contains("<b>") && line.contains("</b>");
        long_ += line.size() > 160;
    }
    QVERIFY(tagged > lines.size() / 2);
    QVERIFY(long_ > 0);
    QVERIFY(reply.body.contains("<a href="));
}

void TestStatSim::highlights_unknownFile_404_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("country without file") << QStringLiteral("highlights_France.txt");
    QTest::newRow("other case") << QStringLiteral("highlights_germany.txt");
    QTest::newRow("blank kept") << QStringLiteral("highlights_United%20Kingdom.txt");
    QTest::newRow("no name") << QString();
}

void TestStatSim::highlights_unknownFile_404() {
    QFETCH(QString, file);
    static StatSim sim;
    QCOMPARE(fetch(sim.url(QStringLiteral("/highlight_countries/") + file)).status, 404);
}

void TestStatSim::badRequests_rejected() {
    StatSim sim;
    QCOMPARE(fetch(sim.url(QStringLiteral("/pubstat/get_stat2.php?action=racers"))).status, 400);
    QCOMPARE(fetch(sim.url(QStringLiteral("/pubstat/get_stat2.php"))).status, 400);
    QCOMPARE(fetch(sim.url(QStringLiteral("/elsewhere"))).status, 404);
    QCOMPARE(fetch(sim.url(QStringLiteral("/sim/control?fault=explode"))).status, 400);
}

void TestStatSim::identKey_hostListOnlyWithIt_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("listed");
    QTest::newRow("no key") << "" << false;
    QTest::newRow("other key") << "&idk=Ab4" << false;
    QTest::newRow("key in other case") << "&idk=ab3" << false;
    QTest::newRow("key") << "&idk=Ab3" << true;
}

void TestStatSim::identKey_hostListOnlyWithIt() {
    QFETCH(QString, query);
    QFETCH(bool, listed);
    static StatSim sim({"--ident-key", "Ab3", "--hosts", "10"});
    const Fetched reply = fetch(sim.url(HostsPath + query));
    QCOMPARE(reply.status, 200);
    HostList hosts;
    const bool decoded = DecodeHostList(reply.body, hosts) == DecodeResult::Ok;
    QCOMPARE(decoded && hosts.size() == 10, listed);
    // Without the key: a short line of text, which is not the refusal.
    QCOMPARE(reply.contentType.startsWith("text/plain"), !listed);
    QCOMPARE(IsRefusalReply(reply.body), false);
    // The highlight files need no key.
    QCOMPARE(fetch(sim.url(QStringLiteral("/highlight_countries/highlights.txt"))).status, 200);
}

enum class Outcome { Refusal, Error, Truncated };

void TestStatSim::fault_hostList_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("errorPart");
    QTest::addColumn<int>("minMs");

    const auto row = [](const char* name, QStringList args, Outcome outcome, QString part = {},
                        int minMs = 0) {
        QTest::newRow(name) << args << static_cast<int>(outcome) << part << minMs;
    };
    row("refuse", {"--refuse"}, Outcome::Refusal);
    row("status 500", {"--status", "500"}, Outcome::Error, "500");
    row("status 503", {"--status", "503"}, Outcome::Error, "503");
    row("truncate", {"--truncate"}, Outcome::Truncated);
    row("truncate, one host", {"--truncate", "--hosts", "1"}, Outcome::Truncated);
    row("drop", {"--drop"}, Outcome::Error);
    // The client gives up after half a second of silence, well before the server closes.
    row("stall", {"--stall", "2"}, Outcome::Error, QString(), 450);
    row("oversize", {"--oversize"}, Outcome::Error);
}

void TestStatSim::fault_hostList() {
    QFETCH(QStringList, args);
    QFETCH(int, outcome);
    QFETCH(QString, errorPart);
    QFETCH(int, minMs);
    StatSim sim(args);
    HttpClient client;
    client.setStallLimit(500);
    QByteArray body;
    QString error;
    QElapsedTimer timer;
    timer.start();
    try {
        body = GetNow(client, sim.url(HostsPath));
    } catch (const PelmarkError& e) {
        error = e.message();
    }
    QVERIFY(timer.elapsed() >= minMs && timer.elapsed() < 1900);
    switch (static_cast<Outcome>(outcome)) {
    case Outcome::Refusal:
        QVERIFY(error.isEmpty());
        QVERIFY(IsRefusalReply(body));
        break;
    case Outcome::Error:
        QVERIFY2(!error.isEmpty(), "fault reported as success");
        QVERIFY2(error.contains(errorPart), qPrintable(error));
        break;
    case Outcome::Truncated: {
        QVERIFY(error.isEmpty());
        QVERIFY(!IsRefusalReply(body));
        HostList hosts;
        QCOMPARE(DecodeHostList(body, hosts), DecodeResult::Truncated);
        break;
    }
    }
}

void TestStatSim::fault_oversize_decodesButIsHuge() {
    StatSim sim({"--oversize", "--hosts", "10"});
    const Fetched reply = fetch(sim.url(HostsPath));
    QCOMPARE(reply.status, 200);
    QVERIFY(reply.body.size() > 16 * 1024 * 1024);
    HostList hosts;
    QCOMPARE(DecodeHostList(reply.body, hosts), DecodeResult::Ok);
    QVERIFY(hosts.size() > 2000);
    QVERIFY(!IsRefusalReply(reply.body));
}

void TestStatSim::fault_delay_delaysReply() {
    StatSim sim({"--delay", "400"});
    QElapsedTimer timer;
    timer.start();
    const Fetched reply = fetch(sim.url(HostsPath));
    QVERIFY(timer.elapsed() >= 400);
    QCOMPARE(decodeHosts(reply.body).size(), 120);
}

void TestStatSim::fault_every_spoilsOnlyEveryKthRequest() {
    StatSim sim({"--refuse", "--fault-every", "3"});
    QList<bool> refused;
    for (int i = 0; i < 6; ++i)
        refused << IsRefusalReply(fetch(sim.url(HostsPath)).body);
    QCOMPARE(refused, (QList<bool>{false, false, true, false, false, true}));
}

void TestStatSim::fault_highlights_onlyWhenAsked() {
    const QString file = QStringLiteral("/highlight_countries/highlights.txt");
    StatSim hostsOnly({"--status", "503"});
    QCOMPARE(fetch(hostsOnly.url(HostsPath)).status, 503);
    QCOMPARE(fetch(hostsOnly.url(file)).status, 200);

    StatSim both({"--status", "503", "--fault-highlights"});
    QCOMPARE(fetch(both.url(file)).status, 503);

    StatSim truncated({"--truncate", "--fault-highlights"});
    const QByteArray whole = fetch(hostsOnly.url(file)).body;
    const QByteArray cut = fetch(truncated.url(file)).body;
    QVERIFY(!cut.isEmpty() && cut.size() < whole.size() && whole.startsWith(cut));
}

void TestStatSim::control_changesFaultWhileRunning() {
    StatSim sim;
    QVERIFY(!IsRefusalReply(fetch(sim.url(HostsPath)).body));
    QCOMPARE(fetch(sim.url(QStringLiteral("/sim/control?fault=refuse"))).status, 200);
    QVERIFY(IsRefusalReply(fetch(sim.url(HostsPath)).body));
    QCOMPARE(fetch(sim.url(QStringLiteral("/sim/control?fault=status&value=500"))).status, 200);
    QCOMPARE(fetch(sim.url(HostsPath)).status, 500);
    QVERIFY(fetch(sim.url(QStringLiteral("/sim/control"))).body.contains("status=500"));
    QCOMPARE(fetch(sim.url(QStringLiteral("/sim/control?fault=none"))).status, 200);
    QCOMPARE(decodeHosts(fetch(sim.url(HostsPath)).body).size(), 120);
}

void TestStatSim::demoRoster_writesWholeRecords() {
    QTemporaryDir dir;
    const QString groups = dir.filePath(QStringLiteral("data/groups"));
    QCOMPARE(QProcess::execute(QStringLiteral(STATSIM_PATH),
                               {QStringLiteral("--write-demo-roster"), groups}),
             0);
    const QStringList files = QDir(groups).entryList({QStringLiteral("*.profile")}, QDir::Files);
    QVERIFY(files.contains("New Group.profile") && files.contains("League Team.profile"));
    QVERIFY(files.size() >= 4);

    QHash<QByteArray, int> groupsOf;
    int withNick = 0, withoutNick = 0, teamPlaceholder = 0;
    for (const QString& file : files) {
        const QString path = QDir(groups).filePath(file);
        const qint64 size = QFileInfo(path).size();
        QCOMPARE(size % 383, 0);
        if (file == QStringLiteral("New Group.profile")) {
            QCOMPARE(size, 0);
            continue;
        }
        const QList<MateRecord> mates = readProfile(path);
        QVERIFY(mates.size() >= 3 && mates.size() <= 6);
        for (const MateRecord& mate : mates) {
            QVERIFY(!mate.lfsName.isEmpty());
            ++groupsOf[mate.lfsName];
            (mate.nick.isEmpty() ? withoutNick : withNick)++;
            teamPlaceholder += mate.team == "[TEAM]";
        }
    }
    QVERIFY(withNick > 0 && withoutNick > 0 && teamPlaceholder > 0);
    QVERIFY(std::any_of(groupsOf.begin(), groupsOf.end(), [](int n) { return n > 1; }));
}

void TestStatSim::demoRoster_matesRaceInTheWorld() {
    QTemporaryDir dir;
    QCOMPARE(QProcess::execute(QStringLiteral(STATSIM_PATH),
                               {QStringLiteral("--write-demo-roster"), dir.path()}),
             0);
    QSet<QByteArray> mates;
    for (const QString& file : QDir(dir.path()).entryList(QDir::Files))
        for (const MateRecord& mate : readProfile(dir.filePath(file)))
            mates.insert(mate.lfsName);

    StatSim sim;
    QSet<QByteArray> seen;
    for (int i = 0; i < 10; ++i) {
        int online = 0, onPrivate = 0, onHidden = 0;
        for (const HostRecord& host : decodeHosts(fetch(sim.url(HostsPath)).body)) {
            const QSet<QByteArray> here = racersOf(host) & mates;
            seen += here;
            online += here.size();
            onPrivate += host.isPrivate() && host.isS1OrS2() ? here.size() : 0;
            onHidden += host.isS1OrS2() ? 0 : here.size();
        }
        QVERIFY2(online >= 3 && online <= mates.size() - 3, qPrintable(QString::number(online)));
        QVERIFY(onPrivate > 0);
        QVERIFY(onHidden > 0);
    }
    QCOMPARE(seen, mates);
}

void TestStatSim::badArguments_exitWithError_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("unknown flag") << QStringList{"--bogus"};
    QTest::newRow("port out of range") << QStringList{"--port", "70000"};
    QTest::newRow("status not a number") << QStringList{"--status", "abc"};
    QTest::newRow("missing value") << QStringList{"--hosts"};
    QTest::newRow("two faults") << QStringList{"--refuse", "--drop"};
    QTest::newRow("every zero") << QStringList{"--fault-every", "0"};
    QTest::newRow("ident key missing") << QStringList{"--ident-key"};
    QTest::newRow("ident key empty") << QStringList{"--ident-key", ""};
}

void TestStatSim::badArguments_exitWithError() {
    QFETCH(QStringList, args);
    QProcess process;
    process.start(QStringLiteral(STATSIM_PATH), args);
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardOutput().isEmpty()); // never claims to listen
}

void TestStatSim::terminate_exitsCleanly() {
    StatSim sim({"--stall", "30"});
    QVERIFY(sim.port() > 0);
    // A request stuck in a stall must not hold up the shutdown.
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(sim.url(HostsPath))));
    QTRY_VERIFY(reply->bytesAvailable() > 0);
    sim.process().terminate();
    QVERIFY(sim.process().waitForFinished(3000));
    QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.process().exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestStatSim)
#include "tst_statsim.moc"
