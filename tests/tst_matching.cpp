#include "RosterFixture.h"
#include "Sightings.h"

#include <QTest>

using namespace RosterFixture;

class TestMatching : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void isMateOnline_data();
    void isMateOnline();
    void findMateHost_otherVersionTypeAndLaterHost();
    void sameNick_eachEntryFindsItsOwnHost();
    void findMate_needsGroupAndExactDisplayName();
    void hostNeedsPassword_firstHostDecides();
    void markMateHost_caseInsensitiveFirstRowIncluded();
    void sightings_oneAnswerPerEntry();
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
    const QList<MateEntry> roster{MateEntry::make(QStringLiteral("g"), Mate(name))};
    const HostList hosts{Host("H", {"Zed", racer}, quint8(versionType))};
    QCOMPARE(Sightings::make(roster, hosts, TrackTable()).isOnline({QStringLiteral("g"), name}),
             online);
}

namespace {
// The host "Join mate" goes to for the entry of that group and LFS name; empty for none.
QByteArray mateHost(const QList<MateEntry>& roster, const HostList& hosts, const char* group,
                    const QByteArray& lfsName) {
    const std::optional<MateSighting> seen =
        Sightings::make(roster, hosts, TrackTable()).find({QString::fromLatin1(group), lfsName});
    return seen ? seen->host : QByteArray();
}
} // namespace

void TestMatching::findMateHost_otherVersionTypeAndLaterHost() {
    const QList<MateEntry> roster{MateEntry::make(QStringLiteral("g"), Mate("Alex", "Al")),
                                  MateEntry::make(QStringLiteral("g"), Mate("Demo")),
                                  MateEntry::make(QStringLiteral("g"), Mate("Nobody"))};
    const HostList hosts{Host("First", {"Alex"}), Host("Demo host", {" Demo"}, 9),
                         Host("Second", {"x", "Alex ", "Alex"})};
    QCOMPARE(mateHost(roster, hosts, "g", "Alex"), QByteArray("Second"));
    QCOMPARE(mateHost(roster, hosts, "g", "Al"), QByteArray()); // a mate is known by LFS name
    QVERIFY(!Sightings::make(roster, hosts, TrackTable()).isOnline({QStringLiteral("g"), "Demo"}));
    QCOMPARE(mateHost(roster, hosts, "g", "Demo"), QByteArray("Demo host"));
    QCOMPARE(mateHost(roster, hosts, "g", "Nobody"), QByteArray());
    QCOMPARE(mateHost(roster, {}, "g", "Alex"), QByteArray());
}

// Two mates of one nick in two groups: each entry its own host, not the first one's.
void TestMatching::sameNick_eachEntryFindsItsOwnHost() {
    const QList<MateEntry> roster{MateEntry::make(QStringLiteral("a"), Mate("One", "Twin")),
                                  MateEntry::make(QStringLiteral("b"), Mate("Two", "Twin"))};
    const HostList hosts{Host("H1", {"One"}), Host("H2", {"Two"})};
    QCOMPARE(mateHost(roster, hosts, "a", "One"), QByteArray("H1"));
    QCOMPARE(mateHost(roster, hosts, "b", "Two"), QByteArray("H2"));
    QCOMPARE(Sightings::make(roster, hosts, TrackTable()).hostsWithMates(),
             (QSet<QByteArray>{"H1", "H2"}));
}

void TestMatching::findMate_needsGroupAndExactDisplayName() {
    QuillonPubStats stats;
    stats.setMates({MateEntry::make(QStringLiteral("a"), Mate("Robert", "Bob")),
                    MateEntry::make(QStringLiteral("b"), Mate("Robert", "Bob")),
                    MateEntry::make(QStringLiteral("b"), Mate("Ann"))});
    QCOMPARE(stats.FindMate("Bob", QStringLiteral("b")), 1);
    QCOMPARE(stats.FindMate("Ann", QStringLiteral("b")), 2);
    QCOMPARE(stats.FindMate("Robert", QStringLiteral("a")), -1);
    QCOMPARE(stats.FindMate("Bob ", QStringLiteral("a")), -1);
    QCOMPARE(stats.FindMate("Bob", QStringLiteral("A")), -1);
}

void TestMatching::hostNeedsPassword_firstHostDecides() {
    HostList hosts;
    QVERIFY(!HostNeedsPassword(hosts, "Club"));
    hosts << Host("Club", {}, 2, true) << Host("Club", {}, 2, false) << Host("Open", {}, 2, false);
    QVERIFY(HostNeedsPassword(hosts, "Club"));
    QVERIFY(!HostNeedsPassword(hosts, "club")); // exact here, unlike the row captions
    QVERIFY(!HostNeedsPassword(hosts, "Open"));
}

void TestMatching::markMateHost_caseInsensitiveFirstRowIncluded() {
    Roster f;
    f.servers({"^Alpha", "Beta", "beta"});
    QCOMPARE(f.lvServer.proxy().markMateHosts({"^ALPHA", "BETA", "Gamma", ""}), 2);
    QCOMPARE(f.serverImages(), (QList<int>{2, 2, 1}));
}

// One answer per entry, by group and trimmed LFS name: online when an S1 or S2 host lists
// the trimmed name, the host the last of any type that lists the name as stored.
void TestMatching::sightings_oneAnswerPerEntry() {
    QList<MateEntry> roster;
    for (const auto& [group, record] : {std::pair{"a", Mate("Alex", "Al")},
                                        {"a", Mate("Demo")},
                                        {"b", Mate(" Pad ")},
                                        {"b", Mate("Two", "Al")},
                                        {"b", Mate("Two")},
                                        {"b", Mate("  ")},
                                        {"c", Mate("alex")},
                                        {"c", Mate("Alex", "Lex")}})
        roster << MateEntry::make(QString::fromLatin1(group), record);
    HostList hosts{Host("First", {"Alex", " Two"}), Host("Other type", {"Demo", "  "}, 7),
                   Host("S1", {"\tPad", "Pad"}, 1), Host("Last", {"x", "Alex ", "Two"}),
                   Host("Hidden", {"alex"}, 2)};
    hosts.last().racerCount = 0; // listed slots only
    const Sightings seen = Sightings::make(roster, hosts, TrackTable());
    const auto at = [&](const char* group, const QByteArray& name) {
        const std::optional<MateSighting> s = seen.find({QString::fromLatin1(group), name});
        return s ? QStringLiteral("%1 %2@%3/%4%5")
                       .arg(s->online ? "online" : "offline", QString::fromLatin1(s->host))
                       .arg(s->hostIndex)
                       .arg(s->slot)
                       .arg(s->marksHost ? " marks" : "")
                 : QStringLiteral("none");
    };
    // The later host wins, for one person in two groups alike.
    QCOMPARE(at("a", "Alex"), QStringLiteral("online Last@3/1 marks"));
    QCOMPARE(at("c", "Alex"), QStringLiteral("online Last@3/1 marks"));
    // Only on a host of another version type: offline, yet "Join mate" can go there.
    QCOMPARE(at("a", "Demo"), QStringLiteral("offline Other type@1/0"));
    // Stored with blanks around: online by the trimmed name, but no host lists it as stored.
    QCOMPARE(at("b", "Pad"), QStringLiteral("online @-1/-1"));
    QCOMPARE(at("b", "Two"), QStringLiteral("online Last@3/2 marks"));
    QCOMPARE(at("b", ""), QStringLiteral("none"));
    QCOMPARE(at("c", "alex"), QStringLiteral("none"));
    QVERIFY(!seen.isOnline({QStringLiteral("c"), "alex"}));
    QCOMPARE(seen.hostsWithMates(), QSet<QByteArray>{"Last"});
    QCOMPARE(seen.entryCount(), 8);
    QCOMPARE(seen.onlineEntryCount(), 5); // Two twice in one group, Alex in two groups
    QCOMPARE(seen.onlinePersonCount(), 3);
    QCOMPARE(seen.persons(), (QSet<QByteArray>{"Alex", "Demo", "Pad", "Two", "alex"}));
}

void TestMatching::build_racerInTwoGroups_countsTwiceMarksOneRow() {
    Roster f;
    f.group(QStringLiteral("a"), {Mate("Alex")});
    f.group(QStringLiteral("b"), {Mate("Alex", "Al")});
    f.hosts << Host("Track day", {"Alex"});
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
    f.hosts << Host("H", {"Pad"}) << Host("N", {"Nico"});
    f.servers({"H", "N"});
    f.tree->RebuildRoster();
    QCOMPARE(f.tree->onlineMateCount, 2);
    QCOMPARE(f.serverImages(), (QList<int>{1, 2}));
    QCOMPARE(f.lSvrMates.text(), QStringLiteral("Servers with mates: 1"));
}

void TestMatching::build_emptyRoster_zeroCounters() {
    Roster f;
    f.hosts << Host("H", {"Alex"});
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
