#include "AlertChoices.h"
#include "ArrivalWatch.h"
#include "BoundedFile.h"
#include "FavouriteWake.h"
#include "HostFixture.h"
#include "IniFile.h"
#include "LastSeen.h"
#include "MateRecord.h"
#include "Notifier.h"
#include "OnlineMates.h"
#include "PelmarkError.h"
#include "PresenceOptions.h"
#include "Sightings.h"
#include "SlotWatch.h"
#include "TrackNaming.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

QSet<QByteArray> names(const QString& list) {
    QSet<QByteArray> set;
    for (const QString& n : list.split(QLatin1Char(','), Qt::SkipEmptyParts))
        set.insert(n.toLatin1());
    return set;
}

QString joined(const QSet<QByteArray>& set) {
    QStringList list;
    for (const QByteArray& n : set)
        list << QString::fromLatin1(n);
    list.sort();
    return list.join(QLatin1Char(','));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QDateTime T0(QDate(2024, 5, 4), QTime(18, 0), Qt::UTC);

// A host with that many racers of its limit.
HostRecord seated(QByteArrayView name, int racers, quint8 limit = 4, quint8 versionType = 2) {
    QList<QByteArray> names;
    for (int i = 0; i < racers; ++i)
        names << "r" + QByteArray::number(i);
    HostRecord host = Host(name, names, versionType);
    host.track[3] = limit;
    return host;
}

} // namespace

class TestPresence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void arrivals_baselineAndDamping_data();
    void arrivals_baselineAndDamping();
    void onlinePersons_onePersonInTwoGroups();
    void alertChoices_groupAndMate_data();
    void alertChoices_groupAndMate();
    void alertChoices_roundTripAndPrune();
    void alertChoices_changedHostOffInAFileOfBefore();
    void damagedFile_emptyHistoryAndDefaults_data();
    void damagedFile_emptyHistoryAndDefaults();
    void damagedFile_keptAsideBeforeTheNextSave();
    void unwritableFolder_choicesThrowHistoryReportsFalse();
    void lastSeen_roundTripSinceAndChanges();
    void lastSeen_movesSavedAtOnceTimesEveryPeriod();
    void sightingText_threeForms();
    void arrivalLines_plainAndCapped();
    void options_outOfRangeGiveDefaults();
    void slotWatch_tellsEachFreeingOnceAndEndsWhenTheHostLeaves();
    void favouriteWake_toldAsItRisesThrough_data();
    void favouriteWake_toldAsItRisesThrough();
};

// Each step: "minute:online racers[:roster]"; the roster defaults to A,B.
void TestPresence::arrivals_baselineAndDamping_data() {
    QTest::addColumn<int>("damping");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("announced");
    QTest::newRow("first refresh is the baseline")
        << 10 << QStringList{"0:A,B", "1:A,B"} << QStringList{"", ""};
    QTest::newRow("newcomer once")
        << 10 << QStringList{"0:A", "1:A,B", "2:A,B"} << QStringList{"", "B", ""};
    QTest::newRow("back within damping")
        << 10 << QStringList{"0:A", "1:", "5:A"} << QStringList{"", "", ""};
    QTest::newRow("back after damping")
        << 10 << QStringList{"0:A", "1:", "12:A"} << QStringList{"", "", "A"};
    // Seen at 5, missed at 6: away since 6, so 15 is within ten minutes.
    QTest::newRow("away counts from the refresh that missed him")
        << 10 << QStringList{"0:A", "5:A", "6:", "15:A"} << QStringList{"", "", "", ""};
    QTest::newRow("no damping") << 0 << QStringList{"0:A", "1:", "2:A"} << QStringList{"", "", "A"};
    QTest::newRow("racer not in the roster")
        << 10 << QStringList{"0:", "1:X"} << QStringList{"", ""};
    QTest::newRow("added to the roster while racing")
        << 10 << QStringList{"0:A,X", "1:A,X:A,B,X"} << QStringList{"", ""};
    QTest::newRow("several at once") << 10 << QStringList{"0:", "1:A,B"} << QStringList{"", "A,B"};
}

void TestPresence::arrivals_baselineAndDamping() {
    QFETCH(int, damping);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, announced);
    ArrivalWatch watch;
    watch.setDampingMinutes(damping);
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QStringList parts = steps.at(i).split(QLatin1Char(':'));
        const QDateTime now = T0.addSecs(parts.at(0).toInt() * 60);
        const QSet<QByteArray> roster =
            names(parts.size() > 2 ? parts.at(2) : QStringLiteral("A,B"));
        QCOMPARE(joined(watch.update(now, names(parts.at(1)), roster)), announced.at(i));
    }
}

void TestPresence::onlinePersons_onePersonInTwoGroups() {
    const auto entry = [](const char* group, const char* lfsName, const char* nick) {
        return MateEntry::make(QString::fromLatin1(group), MateRecord::make(lfsName, nick, {}, {}));
    };
    const QList<MateEntry> roster{entry("Friends", "Alex", "Al"), entry("Work", " Alex", ""),
                                  entry("Work", "Bea", ""), entry("Work", "Cy", "")};
    // Alex on two S2 hosts (the later one counts), Bea only as "bea", Cy only on a host
    // of another version type.
    const HostList hosts{Host("First", {" Alex "}), Host("Second", {"bea", "Alex"}),
                         Host("Demo", {"Cy"}, 3)};
    const QList<OnlineMate> online =
        OnlinePersons(Sightings::make(roster, hosts, TrackTable()), roster);
    QCOMPARE(online.size(), 1);
    QCOMPARE(online.at(0).lfsName, QByteArray("Alex"));
    QCOMPARE(online.at(0).displayName, QByteArray("Al"));
    QCOMPARE(online.at(0).host, QByteArray("Second"));
    QCOMPARE(online.at(0).groups, (QStringList{"Friends", "Work"}));
}

void TestPresence::alertChoices_groupAndMate_data() {
    QTest::addColumn<QStringList>("groupsOff");
    QTest::addColumn<QStringList>("mateChoices"); // "group=always|never"
    QTest::addColumn<QStringList>("groups");      // the person's groups
    QTest::addColumn<bool>("wanted");
    QTest::newRow("default") << QStringList{} << QStringList{} << QStringList{"G"} << true;
    QTest::newRow("group off") << QStringList{"G"} << QStringList{} << QStringList{"G"} << false;
    QTest::newRow("always beats group off")
        << QStringList{"G"} << QStringList{"G=always"} << QStringList{"G"} << true;
    QTest::newRow("never beats group on")
        << QStringList{} << QStringList{"G=never"} << QStringList{"G"} << false;
    QTest::newRow("one of two groups on")
        << QStringList{"G"} << QStringList{} << QStringList{"G", "H"} << true;
    QTest::newRow("never in one group wins")
        << QStringList{} << QStringList{"H=never", "G=always"} << QStringList{"G", "H"} << false;
    QTest::newRow("choice of another group does not apply")
        << QStringList{"G"} << QStringList{"H=always"} << QStringList{"G"} << false;
}

void TestPresence::alertChoices_groupAndMate() {
    QFETCH(QStringList, groupsOff);
    QFETCH(QStringList, mateChoices);
    QFETCH(QStringList, groups);
    QFETCH(bool, wanted);
    AlertChoices choices;
    for (const QString& g : groupsOff)
        choices.setGroupAlerts(g, false);
    for (const QString& c : mateChoices) {
        const QStringList kv = c.split(QLatin1Char('='));
        choices.setMateAlert(kv.at(0), "Alex ",
                             kv.at(1) == QLatin1String("always") ? MateAlert::Always
                                                                 : MateAlert::Never);
    }
    QCOMPARE(choices.wantsAlert("Alex", groups), wanted);
}

void TestPresence::alertChoices_roundTripAndPrune() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("alerts.json"));
    AlertChoices choices;
    choices.setGroupAlerts(QStringLiteral("Work"), false);
    choices.setGroupAlerts(QStringLiteral("Gone"), false);
    choices.setMateAlert(QStringLiteral("Friends"), "J\xF6rg", MateAlert::Always);
    choices.setMateAlert(QStringLiteral("Friends"), "Left", MateAlert::Never);
    choices.setMateAlert(QStringLiteral("Friends"), "Bea", MateAlert::Never);
    choices.setMateAlert(QStringLiteral("Friends"), "Bea", MateAlert::AsGroup);
    choices.save(path);
    const AlertChoices loaded = AlertChoices::load(path);
    QVERIFY(loaded == choices);
    QCOMPARE(loaded.mateAlert(QStringLiteral("Friends"), "J\xF6rg"), MateAlert::Always);
    QCOMPARE(loaded.mateAlert(QStringLiteral("Friends"), "Bea"), MateAlert::AsGroup);

    AlertChoices pruned = loaded;
    pruned.prune(
        {QStringLiteral("Friends"), QStringLiteral("Work")},
        {MateEntry::make(QStringLiteral("Friends"), MateRecord::make("J\xF6rg", "J", {}, {}))});
    QVERIFY(pruned.groupAlerts(QStringLiteral("Gone")));
    QVERIFY(!pruned.groupAlerts(QStringLiteral("Work")));
    QCOMPARE(pruned.mateAlert(QStringLiteral("Friends"), "Left"), MateAlert::AsGroup);
    QCOMPARE(pruned.mateAlert(QStringLiteral("Friends"), "J\xF6rg"), MateAlert::Always);
}

// "Changed host" is off unless switched on, is chosen apart from "came online", and a
// file without it reads, and is written again, as before.
void TestPresence::alertChoices_changedHostOffInAFileOfBefore() {
    const QByteArray before =
        R"({"groupsOff": ["Work"], "mates": {"Friends": {"Bea": "never", "Cy": "always"}}})";
    AlertChoices choices = AlertChoices::fromJson(*ParseJsonObject(before));
    QCOMPARE(choices.toJson(), *ParseJsonObject(before));
    const QStringList friends{QStringLiteral("Friends")};
    QVERIFY(choices.wantsAlert("Cy", friends));
    QVERIFY(!choices.wantsAlert("Cy", friends, AlertEvent::ChangedHost));
    QVERIFY(!choices.groupAlerts(QStringLiteral("Friends"), AlertEvent::ChangedHost));

    choices.setGroupAlerts(QStringLiteral("Friends"), true, AlertEvent::ChangedHost);
    choices.setMateAlert(QStringLiteral("Friends"), "Dan", MateAlert::Never,
                         AlertEvent::ChangedHost);
    QVERIFY(choices.wantsAlert("Bea", friends, AlertEvent::ChangedHost)); // never: coming online
    QVERIFY(!choices.wantsAlert("Bea", friends));
    QVERIFY(!choices.wantsAlert("Dan", friends, AlertEvent::ChangedHost));
    QVERIFY(choices.wantsAlert("Dan", friends));
    QVERIFY(AlertChoices::fromJson(choices.toJson()) == choices);
    choices.prune({QStringLiteral("Work")}, {});
    QVERIFY(!choices.groupAlerts(QStringLiteral("Friends"), AlertEvent::ChangedHost));
    QCOMPARE(choices.mateAlert(QStringLiteral("Friends"), "Dan", AlertEvent::ChangedHost),
             MateAlert::AsGroup);
}

// A file that cannot be parsed, or is too large to be read, is kept beside, since the
// next save replaces it.
void TestPresence::damagedFile_emptyHistoryAndDefaults_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("keptAside");
    QTest::newRow("missing") << QByteArray() << false << false;
    QTest::newRow("empty") << QByteArray() << true << false;
    QTest::newRow("cut off") << QByteArray("{\"Alex\": {\"seen\": \"2024-05-") << true << true;
    QTest::newRow("array") << QByteArray("[1,2,3]") << true << true;
    QTest::newRow("wrong types") << QByteArray(
                                        "{\"Alex\": {\"seen\": 5, \"host\": []}, \"groupsOff\": 7, "
                                        "\"mates\": {\"G\": {\"Alex\": \"sometimes\"}}}")
                                 << true << false;
    QTest::newRow("host too long")
        << (QByteArray("{\"Alex\": {\"seen\": \"2024-05-04T18:00:00Z\", \"host\": \"") +
            QByteArray(300, 'h') + "\"}}")
        << true << false;
    QTest::newRow("oversized") << QByteArray(5 * 1024 * 1024, ' ') << true << true;
    QTest::newRow("FIFO") << QByteArray() << true << false; // made by the test
}

void TestPresence::damagedFile_emptyHistoryAndDefaults() {
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    QFETCH(bool, keptAside);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("file.json"));
    if (QTest::currentDataTag() == QByteArray("FIFO"))
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (exists)
        writeFile(path, content);
    LastSeenStore store(path);
    store.load();
    QVERIFY(!store.find("Alex"));
    QVERIFY(AlertChoices::load(path) == AlertChoices());
    const QString copy = path + QStringLiteral(".damaged");
    QCOMPARE(QFile::exists(copy), keptAside);
    if (keptAside)
        QCOMPARE(readFile(copy), content);
}

// The copy holds the damaged bytes (over an older copy) and the save a valid file.
void TestPresence::damagedFile_keptAsideBeforeTheNextSave() {
    QTemporaryDir dir;
    const QString seenPath = dir.filePath(QStringLiteral("LastSeen.json"));
    const QString alertsPath = dir.filePath(QStringLiteral("MateAlerts.json"));
    const QByteArray cut("{\"Alex\": {\"seen\": \"2024-05-04T18:00:00Z\", \"ho");
    for (const QString& path : {seenPath, alertsPath}) {
        writeFile(path, cut);
        writeFile(path + QStringLiteral(".damaged"), "an older copy");
    }

    LastSeenStore store(seenPath);
    store.load();
    store.record(T0, {{"Bea", "B", "Host", "Track", {}}});
    QVERIFY(store.save());
    AlertChoices choices = AlertChoices::load(alertsPath);
    choices.setGroupAlerts(QStringLiteral("Work"), false);
    choices.save(alertsPath);

    for (const QString& path : {seenPath, alertsPath})
        QCOMPARE(readFile(path + QStringLiteral(".damaged")), cut);
    LastSeenStore again(seenPath);
    again.load();
    QCOMPARE(again.find("Bea")->host, QByteArray("Host"));
    QVERIFY(!AlertChoices::load(alertsPath).groupAlerts(QStringLiteral("Work")));
}

void TestPresence::unwritableFolder_choicesThrowHistoryReportsFalse() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/file.json"));
    QVERIFY_THROWS_EXCEPTION(PelmarkError, AlertChoices().save(path));
    LastSeenStore store(path);
    store.record(T0, {{"Alex", "Al", "Host", "Track", {}}});
    QVERIFY(!store.save());
}

void TestPresence::lastSeen_roundTripSinceAndChanges() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("seen.json"));
    LastSeenStore store(path);
    store.load();
    const OnlineMate alex{"Alex", "Al", "^1Red Host", "Blackwood", {}};
    QVERIFY(store.record(T0, {alex}));
    QVERIFY(!store.record(T0, {alex})); // the same refresh twice changes nothing
    QVERIFY(store.record(T0.addSecs(70), {alex}));
    QCOMPARE(store.find("Alex")->since, T0); // still the same stretch online
    QVERIFY(store.save());

    LastSeenStore again(path);
    again.load();
    QVERIFY(again.find("Alex") == store.find("Alex"));
    QCOMPARE(again.find("Alex")->seen, T0.addSecs(70));
    QCOMPARE(again.find("Alex")->host, QByteArray("^1Red Host"));
    QVERIFY(!again.isOnline("Alex")); // a new run knows nobody online yet

    // Away for a refresh: a new stretch begins.
    QVERIFY(!store.record(T0.addSecs(140), {}));
    QVERIFY(!store.isOnline("Alex"));
    QVERIFY(store.record(T0.addSecs(210), {alex}));
    QCOMPARE(store.find("Alex")->since, T0.addSecs(210));
}

// Who came, went or moved is written at once; times of mates still online only every
// period, and at the end of the run.
void TestPresence::lastSeen_movesSavedAtOnceTimesEveryPeriod() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("seen.json"));
    const auto savedSeen = [&](const QByteArray& name) {
        LastSeenStore file(path);
        file.load();
        const std::optional<LastSighting> s = file.find(name);
        return s ? s->seen : QDateTime();
    };
    const auto at = [](qint64 secs) { return T0.addSecs(secs); };
    const OnlineMate alex{"Alex", "Al", "Host", "Track", {}};
    const OnlineMate bob{"Bob", "Bo", "Host", "Track", {}};
    LastSeenStore store(path);
    const auto refresh = [&](qint64 secs, const QList<OnlineMate>& online) {
        store.record(at(secs), online);
        QVERIFY(store.saveIfDue(at(secs)));
    };
    refresh(0, {alex});
    QCOMPARE(savedSeen("Alex"), at(0));
    refresh(70, {alex});
    QCOMPARE(savedSeen("Alex"), at(0)); // only his time moved on
    refresh(140, {alex, bob});
    QCOMPARE(savedSeen("Alex"), at(140)); // Bob came
    refresh(210, {alex, bob});
    refresh(280, {alex});
    QCOMPARE(savedSeen("Bob"), at(210)); // Bob went: his last time is kept at once
    refresh(280 + LastSeenStore::SeenSavePeriod - 70, {alex});
    QCOMPARE(savedSeen("Alex"), at(280));
    refresh(280 + LastSeenStore::SeenSavePeriod, {alex});
    QCOMPARE(savedSeen("Alex"), at(280 + LastSeenStore::SeenSavePeriod));
    store.record(at(2000), {alex});
    QVERIFY(store.saveUnsaved());
    QCOMPARE(savedSeen("Alex"), at(2000));
}

void TestPresence::sightingText_threeForms() {
    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    const QDateTime since(QDate(2024, 5, 4), QTime(18, 7));
    const LastSighting s{since.addSecs(600), since, "Host <b>", "Blackwood"};
    QCOMPARE(SightingText(s, true, locale),
             QStringLiteral("Online on Host <b> (Blackwood) since 18:07"));
    QCOMPARE(SightingText(s, false, locale),
             QStringLiteral("Last seen %1 on Host <b> (Blackwood)")
                 .arg(locale.toString(since.addSecs(600), QLocale::ShortFormat)));
    QCOMPARE(SightingText(std::nullopt, false, locale), QStringLiteral("Not seen online yet"));
}

void TestPresence::arrivalLines_plainAndCapped() {
    QList<OnlineMate> arrived;
    for (int i = 0; i < 10; ++i)
        arrived.append({"x", "Mate %1", "Host", "Track", {}});
    const QStringList lines = ArrivalLines(arrived, 8);
    QCOMPARE(lines.size(), 9);
    // No placeholder of a name is filled in a second time.
    QCOMPARE(lines.first(), QStringLiteral("Mate %1 on Host (Track)"));
    QCOMPARE(lines.last(), QStringLiteral("and 2 more"));
    QCOMPARE(ArrivalLines(arrived.mid(0, 8), 8).size(), 8);
}

void TestPresence::options_outOfRangeGiveDefaults() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.config"));
    QVERIFY(ReadPresenceOptions(IniFile(path)).notifications);
    writeFile(path, "[options]\nDesktopNotifications=0\nOnlineAlertDamping=121\nKeepInTray=1\n");
    PresenceOptions o = ReadPresenceOptions(IniFile(path));
    QVERIFY(!o.notifications);
    QCOMPARE(o.dampingMinutes, 10);
    QVERIFY(o.keepInTray);
    IniFile file(path);
    WriteDampingOption(file, 120);
    QCOMPARE(ReadPresenceOptions(file).dampingMinutes, 120);
    QVERIFY(!o.joinFreedSlot);
    QCOMPARE(o.favouriteRacers, 0);
    writeFile(path, "[OPTIONS]\nJoinFreedSlot=1\nFavouriteRacers=256\n");
    o = ReadPresenceOptions(IniFile(path));
    QVERIFY(o.joinFreedSlot);
    QCOMPARE(o.favouriteRacers, 0);
}

void TestPresence::slotWatch_tellsEachFreeingOnceAndEndsWhenTheHostLeaves() {
    SlotWatch watch;
    QVERIFY(watch.start("A"));
    QVERIFY(!watch.start("A"));
    QVERIFY(!watch.start(""));
    QVERIFY(watch.start("B"));
    QVERIFY(watch.start("C"));
    QVERIFY(!watch.canStartMore());
    QVERIFY(!watch.start("D"));
    QVERIFY(watch.cancel("C"));
    QVERIFY(!watch.cancel("C"));
    const TrackTable tracks;
    const auto step = [&](const HostList& hosts) {
        const SlotWatch::Change change = watch.update(hosts, tracks);
        QStringList told;
        for (const HostSeen& seen : change.freed)
            told << SlotFreeText(seen);
        for (const QByteArray& host : change.left)
            told << SlotWatchLeftText(host);
        return told;
    };
    const QString freeA = QStringLiteral("A slot is free on A (n/a, 3/4)");
    QCOMPARE(step({seated("A", 4), seated("B", 4)}), QStringList());
    QCOMPARE(step({seated("A", 3), seated("B", 4)}), QStringList{freeA});
    QCOMPARE(step({seated("A", 2), seated("B", 4)}), QStringList()); // still free: told
    QCOMPARE(step({seated("A", 4), seated("B", 4)}), QStringList());
    QCOMPARE(step({seated("A", 3), seated("B", 4)}), QStringList{freeA}); // full in between
    // The first listed host of a name is its row; one of another version type is no row.
    QCOMPARE(step({seated("B", 1, 4, 3), seated("A", 4), seated("A", 1)}),
             QStringList{QStringLiteral("B left the list; its watch ended")});
    QCOMPARE(watch.hosts(), QList<QByteArray>{"A"});
    // A name's placeholders are not filled a second time.
    QCOMPARE(SlotFreeText({"H%2", "T%1", 3, 4}),
             QStringLiteral("A slot is free on H%2 (T%1, 3/4)"));
    QCOMPARE(FavouriteWokeText({"H%2", "T", 1, 4}), QStringLiteral("H%2 has 1 racer (T)"));
}

// Each step: the favourite's racers, "-" while it is not listed, "*n" while it is not
// a favourite; told: the racers of the notification, or empty.
void TestPresence::favouriteWake_toldAsItRisesThrough_data() {
    QTest::addColumn<int>("racers");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("first refresh is the baseline")
        << 3 << QStringList{"5", "5"} << QStringList{"", ""};
    QTest::newRow("once per rise")
        << 3 << QStringList{"1", "3", "5", "2", "4", "4"} << QStringList{"", "3", "", "", "4", ""};
    QTest::newRow("off") << 0 << QStringList{"1", "5"} << QStringList{"", ""};
    QTest::newRow("back on the list")
        << 3 << QStringList{"4", "-", "4"} << QStringList{"", "", "4"};
    QTest::newRow("a new favourite is its own baseline")
        << 3 << QStringList{"*1", "5", "2", "4"} << QStringList{"", "", "", "4"};
}

void TestPresence::favouriteWake_toldAsItRisesThrough() {
    QFETCH(int, racers);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, told);
    FavouriteWake wake;
    wake.setRacers(racers);
    const TrackTable tracks;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        QString step = steps.at(i);
        const bool favourite = !step.startsWith(QLatin1Char('*'));
        step.remove(QLatin1Char('*'));
        HostList hosts{seated("Other", 4, 8)};
        if (step != QLatin1String("-"))
            hosts.prepend(seated("Fav", step.toInt(), 8));
        const QSet<QByteArray> favourites =
            favourite ? QSet<QByteArray>{"Fav"} : QSet<QByteArray>{};
        const QList<HostSeen> woken = wake.update(hosts, favourites, tracks);
        QCOMPARE(woken.size(), told.at(i).isEmpty() ? 0 : 1);
        if (!woken.isEmpty())
            QCOMPARE(QString::number(woken.first().racers), told.at(i));
    }
}

QTEST_GUILESS_MAIN(TestPresence)
#include "tst_presence.moc"
