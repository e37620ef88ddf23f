#include "RosterFixture.h"

#include <QTest>

using namespace RosterFixture;

class TestMatching : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void isMateOnline_data();
    void isMateOnline();
    void findMateHost_otherVersionTypeAndLaterHost();
    void findMateHost_sameNickResolvesToFirst();
    void findMate_needsGroupAndExactDisplayName();
    void hostNeedsPassword_firstHostDecides();
    void markMateHost_caseInsensitiveFirstRowIncluded();
    void matcher_answersAsTheScans();
    void matcher_marksTheRowsTheScanMarks();
    void build_racerInTwoGroups_countsTwiceMarksOneRow();
    void build_blankedNames_rowsMarkedByStoredLfsName();
    void build_emptyRoster_zeroCounters();
};

void TestMatching::isMateOnline_data() {
    QTest::addColumn<QByteArray>("racer");
    QTest::addColumn<int>("versionType");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("online");
    QTest::newRow("exact") << QByteArray("Alex") << 2 << QByteArray("Alex") << true;
    QTest::newRow("slot trimmed") << QByteArray(" Alex ") << 2 << QByteArray("Alex") << true;
    QTest::newRow("case matters") << QByteArray("alex") << 2 << QByteArray("Alex") << false;
    QTest::newRow("S1 host") << QByteArray("Alex") << 1 << QByteArray("Alex") << true;
    QTest::newRow("other version type") << QByteArray("Alex") << 3 << QByteArray("Alex") << false;
    QTest::newRow("blank name vs blank slot") << QByteArray("  ") << 2 << QByteArray() << false;
    QTest::newRow("prefix only") << QByteArray("Alexander") << 2 << QByteArray("Alex") << false;
}

void TestMatching::isMateOnline() {
    QFETCH(QByteArray, racer);
    QFETCH(int, versionType);
    QFETCH(QByteArray, name);
    QFETCH(bool, online);
    QuillonPubStats stats;
    stats.hosts << Host("H", {"Zed", racer}, quint8(versionType));
    QCOMPARE(stats.IsMateOnline(name), online);
}

void TestMatching::findMateHost_otherVersionTypeAndLaterHost() {
    QuillonPubStats stats;
    stats.mates << MateEntry::make(QStringLiteral("g"), Mate("Alex", "Al"))
                << MateEntry::make(QStringLiteral("g"), Mate("Demo"))
                << MateEntry::make(QStringLiteral("g"), Mate("Nobody"));
    stats.hosts << Host("First", {"Alex"}) << Host("Demo host", {" Demo"}, 9)
                << Host("Second", {"x", "Alex ", "Alex"});
    QCOMPARE(stats.FindMateHost("Al"), QByteArray("Second"));
    QCOMPARE(stats.FindMateHost("Alex"), QByteArray()); // display name is the nick
    QVERIFY(!stats.IsMateOnline("Demo"));
    QCOMPARE(stats.FindMateHost("Demo"), QByteArray("Demo host"));
    QCOMPARE(stats.FindMateHost("Nobody"), QByteArray());
    stats.hosts.clear();
    QCOMPARE(stats.FindMateHost("Al"), QByteArray());
}

void TestMatching::findMateHost_sameNickResolvesToFirst() {
    QuillonPubStats stats;
    stats.mates << MateEntry::make(QStringLiteral("a"), Mate("One", "Twin"))
                << MateEntry::make(QStringLiteral("b"), Mate("Two", "Twin"));
    stats.hosts << Host("H1", {"One"}) << Host("H2", {"Two"});
    QCOMPARE(stats.FindMateByDisplayName("Twin"), 0);
    QCOMPARE(stats.FindMateHost("Twin"), QByteArray("H1"));
}

void TestMatching::findMate_needsGroupAndExactDisplayName() {
    QuillonPubStats stats;
    stats.mates << MateEntry::make(QStringLiteral("a"), Mate("Robert", "Bob"))
                << MateEntry::make(QStringLiteral("b"), Mate("Robert", "Bob"))
                << MateEntry::make(QStringLiteral("b"), Mate("Ann"));
    QCOMPARE(stats.FindMate("Bob", QStringLiteral("b")), 1);
    QCOMPARE(stats.FindMate("Ann", QStringLiteral("b")), 2);
    QCOMPARE(stats.FindMate("Robert", QStringLiteral("a")), -1);
    QCOMPARE(stats.FindMate("Bob ", QStringLiteral("a")), -1);
    QCOMPARE(stats.FindMate("Bob", QStringLiteral("A")), -1);
}

void TestMatching::hostNeedsPassword_firstHostDecides() {
    QuillonPubStats stats;
    QVERIFY(!stats.HostNeedsPassword("Club"));
    stats.hosts << Host("Club", {}, 2, true) << Host("Club", {}, 2, false)
                << Host("Open", {}, 2, false);
    QVERIFY(stats.HostNeedsPassword("Club"));
    QVERIFY(!stats.HostNeedsPassword("club")); // exact here, unlike the row captions
    QVERIFY(!stats.HostNeedsPassword("Open"));
}

void TestMatching::markMateHost_caseInsensitiveFirstRowIncluded() {
    Roster f;
    f.servers({"^Alpha", "Beta", "beta"});
    QCOMPARE(f.lvServer.proxy().markMateHosts({"^ALPHA", "BETA", "Gamma", ""}), 2);
    QCOMPARE(f.serverImages(), (QList<int>{2, 2, 1}));
}

void TestMatching::matcher_answersAsTheScans() {
    QuillonPubStats stats;
    stats.mates << MateEntry::make(QStringLiteral("a"), Mate("Alex", "Al"))
                << MateEntry::make(QStringLiteral("a"), Mate("Demo"))
                << MateEntry::make(QStringLiteral("b"), Mate(" Pad "))
                << MateEntry::make(QStringLiteral("b"), Mate("Two", "Al"))
                << MateEntry::make(QStringLiteral("b"), Mate("Two"))
                << MateEntry::make(QStringLiteral("b"), Mate("  "))
                << MateEntry::make(QStringLiteral("c"), Mate("alex"));
    stats.hosts << Host("First", {"Alex", " Two"}) << Host("Other type", {"Demo", "  "}, 7)
                << Host("S1", {"\tPad", "Pad"}, 1) << Host("Last", {"x", "Alex ", "Two"})
                << Host("Hidden", {"alex"}, 2);
    stats.hosts.last().racerCount = 0; // listed slots only
    const MateMatcher matcher(stats);
    QList<QByteArray> keys{"", "Al", "Demo", "Pad", " Pad ", "Two", "  ", "alex", "Alex"};
    for (const MateEntry& e : std::as_const(stats.mates))
        keys << e.record.displayName() << e.record.trimmedDisplayName()
             << TrimBytes(e.record.lfsName());
    for (const QByteArray& key : std::as_const(keys)) {
        QCOMPARE(matcher.IsMateOnline(key), stats.IsMateOnline(key));
        QCOMPARE(matcher.FindMateHost(key), stats.FindMateHost(key));
    }
    QCOMPARE(matcher.FindMateHost("Al"), QByteArray("Last"));
    QVERIFY(!matcher.IsMateOnline("alex"));
}

void TestMatching::build_racerInTwoGroups_countsTwiceMarksOneRow() {
    Roster f;
    f.group(QStringLiteral("a"), {Mate("Alex")});
    f.group(QStringLiteral("b"), {Mate("Alex", "Al")});
    f.stats.hosts << Host("Track day", {"Alex"});
    f.servers({"Other", "Track day"});
    f.tree->RebuildRoster();
    QCOMPARE(f.tree->onlineMateCount, 2);
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 2/2"));
    QCOMPARE(f.serverImages(), (QList<int>{1, 2}));
    QCOMPARE(f.lSvrMates.text(), QStringLiteral("Servers with mates: 1"));
}

void TestMatching::build_blankedNames_rowsMarkedByStoredLfsName() {
    Roster f;
    // Online by the trimmed LFS name, but the host look-up goes by the LFS name as stored;
    // the nick plays no part in it.
    f.group(QStringLiteral("a"), {Mate(" Pad "), Mate("Nico", " Nick ")});
    f.stats.hosts << Host("H", {"Pad"}) << Host("N", {"Nico"});
    f.servers({"H", "N"});
    f.tree->RebuildRoster();
    QCOMPARE(f.tree->onlineMateCount, 2);
    QCOMPARE(f.serverImages(), (QList<int>{1, 2}));
    QCOMPARE(f.lSvrMates.text(), QStringLiteral("Servers with mates: 1"));
}

void TestMatching::build_emptyRoster_zeroCounters() {
    Roster f;
    f.stats.hosts << Host("H", {"Alex"});
    f.servers({"H"});
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Ready"));
    f.tree->RebuildRoster();
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 0/0"));
    QCOMPARE(f.lSvrMates.text(), QStringLiteral("Servers with mates: 0"));
}

QTEST_MAIN(TestMatching)
#include "tst_matching.moc"

// The build marks rows through a set of folded host names; it must pick the row the plain
// scan picks: the first in display order, letter case ignored, Latin-1 included.
void TestMatching::matcher_marksTheRowsTheScanMarks() {
    const QList<QByteArray> captions{"Alpha", "ALPHA",    "beta", "\xC4pfel",
                                     "Beta",  "\xE4pfel", "Ss"};
    const QList<QByteArray> names{"alpha", "BETA", "\xE4PFEL", "\xC4pfel",
                                  "ss",    "\xDF", "none",     ""};
    for (const QByteArray& name : names) {
        QList<int> expected(captions.size(), 1);
        for (qsizetype i = 0; !name.isEmpty() && i < captions.size(); ++i) {
            if (ToDisplay(captions.at(i)).compare(ToDisplay(name), Qt::CaseInsensitive) == 0) {
                expected[i] = 2;
                break;
            }
        }
        Roster indexed;
        indexed.servers(captions);
        indexed.lvServer.proxy().markMateHosts({name});
        QCOMPARE(indexed.serverImages(), expected);
    }
}
