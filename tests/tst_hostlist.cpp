#include "HostListBuilder.h"
#include "HostListDecoder.h"
#include "HostListQuery.h"
#include "ServiceAnswer.h"

#include <QRandomGenerator>
#include <QTest>

class TestHostList : public QObject {
    Q_OBJECT

    static HostList decode(const QByteArray& reply) {
        HostList hosts;
        if (DecodeHostList(reply, hosts) != DecodeResult::Ok)
            qFatal("reply rejected");
        return hosts;
    }

private Q_SLOTS:
    void singleEntryWithoutRacers() {
        const QByteArray reply = PackHost(FakeHost("Solo").limit(8));
        QCOMPARE(reply.size(), 53);
        const HostList hosts = decode(reply);
        QCOMPARE(hosts.size(), 1);
        QCOMPARE(hosts[0].name, QByteArray("Solo"));
        QCOMPARE(hosts[0].rawName.size(), 32);
        QCOMPARE(hosts[0].racerCount, 0);
        for (int j = 0; j < 23; ++j)
            QVERIFY(hosts[0].racerSlot(j).isEmpty());
    }

    void nextEntryStartsAfterTheRacers() {
        const QByteArray first = PackHost(FakeHost("Three").with({"a", "b", "c"}));
        QCOMPARE(first.size(), 125);
        const HostList hosts = decode(first + PackHost(FakeHost("Next").withLaps(77)));
        QCOMPARE(hosts.size(), 2);
        QCOMPARE(hosts[1].name, QByteArray("Next"));
        QCOMPARE(hosts[1].laps, 77);
        QCOMPARE(hosts[0].racerSlot(2), QByteArrayView(QByteArray("c") + QByteArray(23, '\0')));
    }

    void strayTrailingByteIsIgnored() {
        const QByteArray reply = PackHost(FakeHost("A")) + PackHost(FakeHost("B"));
        QCOMPARE(decode(reply + 'x').size(), 2);
        QCOMPARE(decode("x").size(), 0);
        QCOMPARE(decode({}).size(), 0);
    }

    void fieldsAreCopiedAsReceived() {
        FakeHost entry = FakeHost("^1Fast ^7Racers^a")
                             .version(1)
                             .at(2, 3, 1)
                             .limit(100)
                             .cars(0x00030201)
                             .withRules(43)
                             .withLaps(100)
                             .quali(9);
        const HostRecord h = decode(PackHost(entry)).first();
        QCOMPARE(h.name, QByteArray("Fast Racers*"));
        QCOMPARE(h.versionType(), 1);
        QCOMPARE(h.track[1], 3);
        QCOMPARE(h.maxPlayers(), 100);
        QCOMPARE(h.carMask[2], 3);
        QCOMPARE(VersionText(h), QByteArray("S1"));
        QCOMPARE(RulesText(h), QByteArray("VSPm"));
        QCOMPARE(PlayersText(h), QByteArray("00/100"));
        QVERIFY(h.isPrivate());
    }

    void texts_data() {
        QTest::addColumn<int>("racers");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("rules");
        QTest::addColumn<QByteArray>("players");
        QTest::addColumn<QByteArray>("letters");
        QTest::newRow("5 of 24") << 5 << 24 << 0 << QByteArray("05/24") << QByteArray("");
        QTest::newRow("0 of 8") << 0 << 8 << 127 << QByteArray("00/08") << QByteArray("VSQPMmp");
        QTest::newRow("12 of 100") << 12 << 100 << 128 << QByteArray("12/100") << QByteArray("");
    }
    void texts() {
        QFETCH(int, racers);
        QFETCH(int, limit);
        QFETCH(int, rules);
        QFETCH(QByteArray, players);
        QFETCH(QByteArray, letters);
        FakeHost entry = FakeHost("T").limit(quint8(limit)).withRules(quint8(rules));
        for (int i = 0; i < racers; ++i)
            entry.racers << QByteArray("r") + QByteArray::number(i);
        const HostRecord h = decode(PackHost(entry)).first();
        QCOMPARE(PlayersText(h), players);
        QCOMPARE(RulesText(h), letters);
    }

    void unlistedHostsAreStillDecoded() {
        const HostList hosts = decode(PackHost(FakeHost("Old").version(0).with({"x"})) +
                                      PackHost(FakeHost("Full").limit(0)));
        QCOMPARE(hosts.size(), 2);
        QVERIFY(!hosts[0].isListed());
        QVERIFY(!hosts[1].isListed());
        QCOMPARE(hosts[0].racerCount, 1);
    }

    void moreThan23RacersAreAllKept() {
        FakeHost entry = FakeHost("Big").limit(40);
        for (int i = 0; i < 30; ++i)
            entry.racers << QByteArray("Racer") + QByteArray::number(i);
        const HostList hosts = decode(PackHost(entry) + PackHost(FakeHost("After")));
        QCOMPARE(hosts[0].racerCount, 30);
        QVERIFY(hosts[0].racerSlot(29).startsWith("Racer29"));
        QCOMPARE(hosts[1].name, QByteArray("After"));
    }

    void refusal_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("hosts"); // decoded, or -1 for no host list
        QTest::newRow("text") << QByteArray("Sorry, can't do that") << true << -1;
        // A host list holds zero bytes; the words in a name are no refusal.
        QTest::newRow("inside a name") << PackHost(FakeHost("I can't brake")) << false << 1;
        QTest::newRow("inside a racer")
            << PackHost(FakeHost("x").with({"can't"})) + PackHost(FakeHost("y")) << false << 2;
        QTest::newRow("text with a zero byte") << QByteArray("can't\0", 6) << false << -1;
        QTest::newRow("other case") << QByteArray("CAN'T") << false << -1;
        QTest::newRow("normal") << PackHost(FakeHost("cant")) << false << 1;
    }
    void refusal() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, refused);
        QFETCH(int, hosts);
        QCOMPARE(IsRefusalReply(reply), refused);
        HostList decoded;
        const bool ok = DecodeHostList(reply, decoded) == DecodeResult::Ok;
        QCOMPARE(ok ? int(decoded.size()) : -1, hosts);
    }

    // Every prefix of a valid reply is decoded or rejected, never read past its end
    // (the sanitizer build of this suite catches an overread).
    void everyPrefixIsSafe() {
        const QByteArray whole =
            PackHost(FakeHost("One").with({"a", "b"})) + PackHost(FakeHost("Two").with({"c"}));
        const qsizetype firstEnd = 53 + 48;
        for (qsizetype n = 1; n < whole.size(); ++n) {
            const QByteArray prefix(whole.constData(), n); // own buffer: overreads are caught
            HostList hosts{HostRecord{}};
            const DecodeResult r = DecodeHostList(prefix, hosts);
            const bool complete = n == 1 || n == firstEnd || n == firstEnd + 1;
            QCOMPARE(r == DecodeResult::Ok, complete);
            if (n == 1) {
                QVERIFY(hosts.isEmpty());
            } else {
                QCOMPARE(hosts.size(), 1); // decoded: "One"; rejected: the list as it was
                QCOMPARE(hosts[0].name, complete ? QByteArray("One") : QByteArray());
            }
        }
    }

    void badInput() {
        HostList hosts;
        // A racer count of 255 with too few name bytes.
        QByteArray reply = PackHost(FakeHost("Liar").claim(255));
        QCOMPARE(DecodeHostList(reply, hosts), DecodeResult::Truncated);
        // A name of 32 carets.
        QCOMPARE(decode(PackHost(FakeHost(QByteArray(32, '^')))).first().name, QByteArray(31, '^'));
        // Markup in a name is kept as text; the list shows it literally.
        QCOMPARE(decode(PackHost(FakeHost("<b>bold</b>"))).first().name, QByteArray("<b>bold</b>"));
        // 1 MiB of random bytes: decoded or rejected, nothing else.
        QRandomGenerator rng(42);
        for (int round = 0; round < 20; ++round) {
            QByteArray noise(1024 * 1024, '\0');
            rng.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
            HostList out;
            const DecodeResult r = DecodeHostList(noise, out);
            QVERIFY(r == DecodeResult::Ok || out.isEmpty());
        }
    }

    void serviceAnswerLine_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("line"); // null: not text, "Could not refresh." stays
        const QString none;
        QTest::newRow("first line only")
            << QByteArray("No key given\nsecond line") << "No key given";
        QTest::newRow("blank lines and blanks skipped")
            << QByteArray("\r\n \t\r\n  Ask later  \r\nmore") << "Ask later";
        QTest::newRow("control characters removed")
            << QByteArray("Service\x07 busy\x1b, try later\t again in a minute\x7f")
            << "Service busy, try later again in a minute";
        QTest::newRow("cut to 200") << QByteArray(300, 'x') + "\ny" << QString(200, u'x');
        QTest::newRow("UTF-8") << QByteArray("Schl\xc3\xbcssel fehlt") << "Schlüssel fehlt";
        QTest::newRow("Latin-1") << QByteArray("Schl\xfcssel fehlt") << "Schlüssel fehlt";
        QTest::newRow("markup kept as text") << QByteArray("<b>no</b>") << "<b>no</b>";
        QTest::newRow("empty") << QByteArray() << none;
        QTest::newRow("only blanks") << QByteArray("\r\n  \n\t") << none;
        QTest::newRow("NUL inside") << QByteArray("text\0more", 9) << none;
        QTest::newRow("mostly control bytes") << QByteArray("a\x01\x02b\x03\x04") << none;
        QTest::newRow("packed host list")
            << PackHost(FakeHost("A long host name of text").with({"racer"})) << none;
        QTest::newRow("truncated host list")
            << PackHost(FakeHost("Solo").with({"a", "b"})).chopped(10) << none;
    }
    void serviceAnswerLine() {
        QFETCH(QByteArray, reply);
        QFETCH(QString, line);
        const std::optional<QString> got = ServiceAnswerLine(reply);
        QCOMPARE(got.has_value(), !line.isNull());
        if (got)
            QCOMPARE(*got, line);
    }

    void hostListQuery_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("rejected");
        const QString bare = QStringLiteral("action=hosts");
        QTest::newRow("no key") << "" << bare << false;
        QTest::newRow("key") << "aB3"
                             << "action=hosts&idk=aB3" << false;
        QTest::newRow("64 characters")
            << QString(64, u'k') << bare + "&idk=" + QString(64, u'k') << false;
        QTest::newRow("65 characters") << QString(65, u'k') << bare << true;
        for (const char* odd : {"a&idk=b", "a b", "a%20",
                                "\xc3\xa4"
                                "bc",
                                "ab-c"})
            QTest::addRow("odd %s", odd) << QString::fromUtf8(odd) << bare << true;
    }
    void hostListQuery() {
        QFETCH(QString, key);
        QFETCH(QString, query);
        QFETCH(bool, rejected);
        const HostListQuery request = MakeHostListQuery(key);
        QCOMPARE(request.query, query);
        QCOMPARE(request.keyRejected, rejected);
    }
};

QTEST_GUILESS_MAIN(TestHostList)
#include "tst_hostlist.moc"
