#include "RosterFixture.h"

#include "PelmarkError.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace RosterFixture;

namespace {

void friendsWork(Roster& f) {
    f.group(QStringLiteral("Friends"), {Mate("A"), Mate("Robert", "Bob")});
    f.group(QStringLiteral("Work"), {Mate("C", "Cee"), Mate("D")});
    f.hosts << Host("H", {"Robert"});
    f.servers({"H"});
    f.showAllMates(true);
    f.tree->RebuildRoster();
}

} // namespace

class TestRosterCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void createGroup_refusals_data();
    void createGroup_refusals();
    void createGroup_trimmedSortedEmitted();
    void createGroup_cancelled_nothing();
    void createGroup_refreshDuringInput();
    void deleteGroup_removesFileNodeEntries();
    void deleteGroup_onMateNode_beeps();
    void deleteMate_groupImageAndRememberedPosition();
    void deleteMate_onGroupNode_beeps();
    void deleteMate_failedRewrite_changesNothing();
    void invalidPosition_throws();
    void addMate_refusedOrFailed_changesNothing_data();
    void addMate_refusedOrFailed_changesNothing();
    void addMate_storesAndShows();
    void editMatePreset_fieldsAndPlaceholders_data();
    void editMatePreset_fieldsAndPlaceholders();
    void editMatePreset_nothingForGroupOrEmptyTree();
    void applyMate_nickOnly_inPlaceAndRenamed();
    void applyMate_changedLfsName_storesNothing();
    void rosterModel_consistentThroughBuildsSwitchesAndCommands();
    void roster_toldOfEachChangeOnly_beforeTheCommandsFollowers();
};

void TestRosterCommands::createGroup_refusals_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("beeps");
    QTest::newRow("bar then slash")
        << QStringLiteral("a|b/c")
        << QStringLiteral("Group name not allowed! Do not use the character \"/\"") << 0;
    QTest::newRow("backslash first in table")
        << QStringLiteral("?x\\")
        << QStringLiteral("Group name not allowed! Do not use the character \"\\\"") << 0;
    QTest::newRow("quote") << QStringLiteral("say \"hi\"")
                           << QStringLiteral(
                                  "Group name not allowed! Do not use the character \"\"\"")
                           << 0;
    QTest::newRow("existing file") << QStringLiteral("Work") << QString() << 1;
    QTest::newRow("blanks only") << QStringLiteral(" \t ") << QString() << 1;
    QTest::newRow("51 characters") << QString(51, QLatin1Char('x')) << QString() << 1;
}

void TestRosterCommands::createGroup_refusals() {
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(int, beeps);
    Roster f;
    friendsWork(f);
    const QStringList filesBefore = QDir(f.groupsDir).entryList(QDir::Files | QDir::Hidden);
    QSignalSpy created(f.commands.get(), &RosterCommands::groupCreated);
    f.desktop.answers.enqueue(typed);
    f.commands->CreateGroup();
    QCOMPARE(f.desktop.messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(f.desktop.beeps, beeps);
    QCOMPARE(QDir(f.groupsDir).entryList(QDir::Files | QDir::Hidden), filesBefore);
    QCOMPARE(f.stats.groups().size(), 2);
    QCOMPARE(f.shown().rowCount(), 2);
    QCOMPARE(created.count(), 0);
}

void TestRosterCommands::createGroup_trimmedSortedEmitted() {
    Roster f;
    friendsWork(f);
    f.chooseMate(QStringLiteral("Work"), QStringLiteral("D"));
    QCOMPARE(f.rememberedRow(), 5);
    QSignalSpy created(f.commands.get(), &RosterCommands::groupCreated);
    f.desktop.answers.enqueue(QStringLiteral("  Guild \t"));
    f.commands->CreateGroup();
    QCOMPARE(f.desktop.inputs.size(), 1);
    QCOMPARE(f.desktop.inputs[0].caption, QStringLiteral("Create a new group"));
    QCOMPARE(f.desktop.inputs[0].prompt, QStringLiteral("Group name:"));
    QCOMPARE(ReadFile(f.path(QStringLiteral("Guild"))), QByteArray());
    QVERIFY(QFile::exists(f.path(QStringLiteral("Guild"))));
    QCOMPARE(f.stats.groups().last(), QStringLiteral("Guild"));
    QCOMPARE(TreeRows::text(f.shown().index(1, 0)), QStringLiteral("Guild"));
    QCOMPARE(TreeRows::image(f.shown().index(1, 0)), 0);
    QCOMPARE(created.count(), 1);
    QCOMPARE(created[0][0].toString(), QStringLiteral("Guild"));
    // The remembered mate is still the one chosen.
    QCOMPARE(TreeRows::text(f.tree->rememberedIndex()), QStringLiteral("D"));
}

void TestRosterCommands::createGroup_cancelled_nothing() {
    Roster f;
    friendsWork(f);
    f.commands->CreateGroup(); // no answer queued: cancelled
    QCOMPARE(f.desktop.beeps, 0);
    QVERIFY(f.desktop.messages.isEmpty());
    QCOMPARE(f.stats.groups().size(), 2);
}

void TestRosterCommands::createGroup_refreshDuringInput() {
    Roster f;
    friendsWork(f);
    f.desktop.duringInput = [&] {
        f.group(QStringLiteral("Zoo"), {Mate("Z")});
        f.tree->RebuildRoster();
    };
    f.desktop.answers.enqueue(QStringLiteral("New"));
    f.commands->CreateGroup();
    QCOMPARE(f.outline(), QStringLiteral("Friends[2](A[3] Bob[4]) New[0] Work[1](Cee[3] D[3]) "
                                         "Zoo[1](Z[3])"));
    QCOMPARE(f.stats.groups().size(), 4);
    QCOMPARE(ReadFile(f.path(QStringLiteral("Work"))), RecordsBytes({Mate("C", "Cee"), Mate("D")}));
}

void TestRosterCommands::deleteGroup_removesFileNodeEntries() {
    Roster f;
    friendsWork(f);
    f.choose(f.groupNode(QStringLiteral("Work")));
    QSignalSpy deleted(f.commands.get(), &RosterCommands::groupDeleted);
    f.DeleteGroup();
    QVERIFY(!QFile::exists(f.path(QStringLiteral("Work"))));
    QCOMPARE(f.stats.groups(), QStringList{"Friends"});
    QCOMPARE(f.stats.mates().size(), 2);
    QCOMPARE(f.outline(), QStringLiteral("Friends[2](A[3] Bob[4])"));
    QCOMPARE(f.rememberedRow(), 0);
    QCOMPARE(deleted.count(), 1);
    f.tree->RebuildRoster();
    QCOMPARE(f.outline(), QStringLiteral("Friends[2](A[3] Bob[4])"));
    QCOMPARE(f.stats.mates().size(), 2);
}

void TestRosterCommands::deleteGroup_onMateNode_beeps() {
    Roster f;
    friendsWork(f);
    f.chooseMate(QStringLiteral("Work"), QStringLiteral("D"));
    const QString before = f.outline();
    f.DeleteGroup();
    QCOMPARE(f.desktop.beeps, 1);
    QCOMPARE(f.outline(), before);
    QVERIFY(QFile::exists(f.path(QStringLiteral("Work"))));
}

void TestRosterCommands::deleteMate_groupImageAndRememberedPosition() {
    Roster f;
    f.group(QStringLiteral("Solo"), {Mate("S")});
    f.group(QStringLiteral("Trio"), {Mate("T1"), Mate("T2"), Mate("T3")});
    f.showAllMates(true);
    f.tree->RebuildRoster();

    f.chooseMate(QStringLiteral("Trio"), QStringLiteral("T2"));
    f.DeleteMate();
    QCOMPARE(f.outline(), QStringLiteral("Solo[1](S[3]) Trio[1](T1[3] T3[3])"));
    QCOMPARE(ReadFile(f.path(QStringLiteral("Trio"))), RecordsBytes({Mate("T1"), Mate("T3")}));
    QCOMPARE(f.rememberedRow(), 0);
    // Position 0 is the Solo group: Add mate offers it, Edit mate does nothing.
    QCOMPARE(f.AddMateGroup(), QStringLiteral("Solo"));
    QVERIFY(!f.EditMatePreset());

    f.chooseMate(QStringLiteral("Solo"), QStringLiteral("S"));
    f.DeleteMate();
    QCOMPARE(f.outline(), QStringLiteral("Solo[0] Trio[1](T1[3] T3[3])"));
    QCOMPARE(ReadFile(f.path(QStringLiteral("Solo"))), QByteArray());
    QCOMPARE(f.stats.mates().size(), 2);
}

void TestRosterCommands::deleteMate_onGroupNode_beeps() {
    Roster f;
    friendsWork(f);
    f.choose(f.groupNode(QStringLiteral("Work")));
    f.DeleteMate();
    QCOMPARE(f.desktop.beeps, 1);
    QCOMPARE(f.stats.mates().size(), 4);
}

void TestRosterCommands::deleteMate_failedRewrite_changesNothing() {
    Roster f;
    friendsWork(f);
    f.chooseMate(QStringLiteral("Work"), QStringLiteral("D"));
    const QString before = f.outline();
    QVERIFY(QDir(f.groupsDir).removeRecursively()); // the folder went away meanwhile
    QVERIFY_THROWS_EXCEPTION(PelmarkError, f.DeleteMate());
    QCOMPARE(f.stats.mates().size(), 4);
    QCOMPARE(f.outline(), before);
    QCOMPARE(f.rememberedRow(), 5);
}

void TestRosterCommands::invalidPosition_throws() {
    Roster f;
    QVERIFY(!f.EditMatePreset()); // empty tree: silently nothing
    QVERIFY_THROWS_EXCEPTION(PelmarkError, f.DeleteGroup());
    QVERIFY_THROWS_EXCEPTION(PelmarkError, f.AddMateGroup());
    QCOMPARE(f.desktop.beeps, 0);
}

void TestRosterCommands::addMate_refusedOrFailed_changesNothing_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<QByteArray>("lfsName");
    QTest::addColumn<bool>("throws");
    QTest::newRow("duplicate") << QStringLiteral("Work") << QByteArray("D") << false;
    QTest::newRow("missing file") << QStringLiteral("Gone") << QByteArray("New") << true;
    QTest::newRow("empty group") << QString() << QByteArray("New") << true;
}

void TestRosterCommands::addMate_refusedOrFailed_changesNothing() {
    QFETCH(QString, group);
    QFETCH(QByteArray, lfsName);
    QFETCH(bool, throws);
    Roster f;
    friendsWork(f);
    const QString before = f.outline();
    const QByteArray file = ReadFile(f.path(QStringLiteral("Work")));
    if (throws) {
        QVERIFY_THROWS_EXCEPTION(PelmarkError, f.commands->AddMate(group, Mate(lfsName)));
    } else {
        QCOMPARE(f.commands->AddMate(group, Mate(lfsName, "other nick")),
                 RosterCommands::AddResult::Duplicate);
        QCOMPARE(f.desktop.beeps, 1);
    }
    QCOMPARE(f.stats.mates().size(), 4);
    QCOMPARE(f.outline(), before);
    QCOMPARE(ReadFile(f.path(QStringLiteral("Work"))), file);
}

void TestRosterCommands::addMate_storesAndShows() {
    Roster f;
    friendsWork(f);
    using R = RosterCommands::AddResult;
    QCOMPARE(f.commands->AddMate(QStringLiteral("Work"), Mate("d")), R::Added); // case differs
    QCOMPARE(f.commands->AddMate(QStringLiteral("Friends"), Mate("D")), R::Added);
    QCOMPARE(ReadFile(f.path(QStringLiteral("Work"))),
             RecordsBytes({Mate("C", "Cee"), Mate("D"), Mate("d")}));
    QCOMPARE(f.stats.mates().size(), 6);
    QCOMPARE(f.stats.mates().last().group, QStringLiteral("Friends"));
    QCOMPARE(f.outline(), QStringLiteral("Friends[2](A[3] Bob[4] D[3]) Work[1](Cee[3] d[3] D[3])"));
    QCOMPARE(f.desktop.beeps, 0);
}

void TestRosterCommands::editMatePreset_fieldsAndPlaceholders_data() {
    QTest::addColumn<QByteArray>("team");
    QTest::addColumn<QByteArray>("homepage");
    QTest::addColumn<QByteArray>("shownTeam");
    QTest::addColumn<QByteArray>("shownHomepage");
    QTest::newRow("placeholders") << QByteArray("[TEAM]") << QByteArray("[HOMEPAGE]")
                                  << QByteArray() << QByteArray();
    QTest::newRow("padded placeholders")
        << QByteArray(" [TEAM] ") << QByteArray("\t[HOMEPAGE]") << QByteArray() << QByteArray();
    QTest::newRow("other case kept") << QByteArray("[team]") << QByteArray(" x.org ")
                                     << QByteArray("[team]") << QByteArray("x.org");
}

void TestRosterCommands::editMatePreset_fieldsAndPlaceholders() {
    QFETCH(QByteArray, team);
    QFETCH(QByteArray, homepage);
    QFETCH(QByteArray, shownTeam);
    QFETCH(QByteArray, shownHomepage);
    Roster f;
    f.group(QStringLiteral("g"), {MateRecord::make(" Lfs", " Nick ", team, homepage)});
    f.showAllMates(true);
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("g"), QStringLiteral(" Nick "));
    const auto preset = f.EditMatePreset();
    QVERIFY(preset);
    QCOMPARE(preset->group, QStringLiteral("g"));
    QCOMPARE(preset->lfsName, QByteArray(" Lfs"));
    QCOMPARE(preset->nick, QByteArray(" Nick "));
    QCOMPARE(preset->team, shownTeam);
    QCOMPARE(preset->homepage, shownHomepage);
    QCOMPARE(f.AddMateGroup(), QStringLiteral("g"));
}

void TestRosterCommands::editMatePreset_nothingForGroupOrEmptyTree() {
    Roster f;
    friendsWork(f);
    f.choose(f.groupNode(QStringLiteral("Work")));
    QVERIFY(!f.EditMatePreset());
    QCOMPARE(f.AddMateGroup(), QStringLiteral("Work"));
    // A mate chosen, then gone from the list behind the tree's back.
    f.chooseMate(QStringLiteral("Work"), QStringLiteral("D"));
    f.stats.setMates(f.stats.mates().first(f.stats.mates().size() - 1));
    QVERIFY(!f.EditMatePreset());
}

void TestRosterCommands::applyMate_nickOnly_inPlaceAndRenamed() {
    Roster f;
    friendsWork(f);
    f.chooseMate(QStringLiteral("Friends"), QStringLiteral("Bob"));
    // A refresh while the dialog is open: the command must look everything up again.
    f.tree->RebuildRoster();
    QVERIFY(f.commands->ApplyMate(QStringLiteral("Friends"),
                                  MateRecord::make("Robert", "Aaa", "T", "h")));
    QCOMPARE(ReadFile(f.path(QStringLiteral("Friends"))),
             RecordsBytes({Mate("A"), MateRecord::make("Robert", "Aaa", "T", "h")}));
    // The carried-over choice leaves its group collapsed, as every group of this view.
    QCOMPARE(f.outline(), QStringLiteral("Friends[2](A[3] Aaa[4]) Work[1](Cee[3] D[3])"));
    QCOMPARE(f.stats.mates()[1].record.nick(), QByteArray("Aaa"));
    QCOMPARE(TreeRows::text(f.tree->rememberedIndex()), QStringLiteral("Aaa"));
    // Emptying the nick shows the LFS name.
    QVERIFY(f.commands->ApplyMate(QStringLiteral("Friends"), Mate("Robert")));
    QCOMPARE(f.outline(), QStringLiteral("Friends[2](A[3] Robert[4]) Work[1](Cee[3] D[3])"));
}

void TestRosterCommands::applyMate_changedLfsName_storesNothing() {
    Roster f;
    friendsWork(f);
    const QString before = f.outline();
    QVERIFY(!f.commands->ApplyMate(QStringLiteral("Friends"), Mate("Roberto", "Bob")));
    QVERIFY(!f.commands->ApplyMate(QStringLiteral("Friends"), Mate("", "Bob")));
    QVERIFY(!f.commands->ApplyMate(QStringLiteral("Work"), Mate("Robert", "Bob")));
    QCOMPARE(f.outline(), before);
    QCOMPARE(ReadFile(f.path(QStringLiteral("Friends"))),
             RecordsBytes({Mate("A"), Mate("Robert", "Bob")}));

    // A failed write leaves the list as the file is.
    QVERIFY(QFile::remove(f.path(QStringLiteral("Friends"))));
    QVERIFY_THROWS_EXCEPTION(
        PelmarkError, f.commands->ApplyMate(QStringLiteral("Friends"), Mate("Robert", "New")));
    QCOMPARE(f.stats.mates()[1].record.nick(), QByteArray("Bob"));
    QCOMPARE(f.outline(), before);
}

// The model and the view's proxy under Qt's model tester while the tree is built, switched
// and changed by every command; the changes leave the tree a build would make.
// A load that finds what was held is no change; a command's followers hear of it after
// the roster changed and its sightings were made anew.
void TestRosterCommands::roster_toldOfEachChangeOnly_beforeTheCommandsFollowers() {
    Roster f;
    friendsWork(f);
    QSignalSpy changed(&f.stats, &QuillonPubStats::changed);
    const quint64 loaded = f.stats.revision();
    f.tree->RebuildRoster();
    QCOMPARE(changed.size(), 0);
    QCOMPARE(f.stats.revision(), loaded);

    f.hosts << Host("Other", {"New"});
    bool seenWhenTold = false;
    QObject::connect(f.commands.get(), &RosterCommands::mateAdded, [&] {
        seenWhenTold = changed.size() == 1 &&
                       f.sightings.current().isOnline({QStringLiteral("Work"), QByteArray("New")});
    });
    QCOMPARE(f.commands->AddMate(QStringLiteral("Work"), Mate("New")),
             RosterCommands::AddResult::Added);
    QVERIFY(seenWhenTold);
    QVERIFY(f.stats.revision() != loaded);

    // Changed on disk behind the program's back: the next load says so, once.
    f.group(QStringLiteral("Work"), {Mate("C", "Cee")});
    f.tree->RebuildRoster();
    QCOMPARE(changed.size(), 2);
    QCOMPARE(f.stats.mates().size(), 3);
    f.tree->RebuildRoster();
    QCOMPARE(changed.size(), 2);
}

void TestRosterCommands::rosterModel_consistentThroughBuildsSwitchesAndCommands() {
    Roster f;
    const auto mode = QAbstractItemModelTester::FailureReportingMode::QtTest;
    auto* proxy = qobject_cast<QSortFilterProxyModel*>(f.tvMates.model());
    QVERIFY(proxy && qobject_cast<RosterModel*>(proxy->sourceModel()));
    QAbstractItemModelTester model(proxy->sourceModel(), mode);
    QAbstractItemModelTester view(proxy, mode);
    friendsWork(f); // all mates
    f.showAllMates(false);
    f.tree->RebuildRoster();
    f.showAllMates(true);

    using R = RosterCommands::AddResult;
    for (const char* name : {"Zoo", "Aces", "Mid"}) {
        f.desktop.answers.enqueue(QString::fromLatin1(name));
        f.commands->CreateGroup();
    }
    QCOMPARE(f.commands->AddMate(QStringLiteral("Work"), Mate("Dan", "Bee")), R::Added);
    QCOMPARE(f.commands->AddMate(QStringLiteral("Mid"), Mate("Robert")), R::Added); // online
    QVERIFY(f.commands->ApplyMate(QStringLiteral("Work"), Mate("C", "Zulu")));      // moves down
    QVERIFY(f.commands->ApplyMate(QStringLiteral("Work"), Mate("D", "Abe")));       // moves up
    f.chooseMate(QStringLiteral("Friends"), QStringLiteral("A"));
    f.DeleteMate();
    f.choose(f.groupNode(QStringLiteral("Zoo")));
    f.DeleteGroup();
    const QString changed = f.outline();
    QCOMPARE(changed, QStringLiteral("Aces[0] Friends[2](Bob[4]) Mid[2](Robert[4]) "
                                     "Work[1](Abe[3] Bee[3] Zulu[3])"));
    f.tree->RebuildRoster();
    QCOMPARE(f.outline(), changed);

    f.commands->Undo(); // Zoo back
    f.tree->RebuildRoster();
    f.showAllMates(false);
    QCOMPARE(f.commands->AddMate(QStringLiteral("Zoo"), Mate("Robert")), R::Added);
    QCOMPARE(f.commands->AddMate(QStringLiteral("Zoo"), Mate("Off")), R::Added);
    f.chooseMate(QStringLiteral("Mid"), QStringLiteral("Robert"));
    f.DeleteMate();
    QCOMPARE(f.outline(), QStringLiteral("Aces[0] Friends[2]+(Bob[4]) Mid[0]+ Work[1] "
                                         "Zoo[2]+(Robert[4])"));
}

QTEST_MAIN(TestRosterCommands)
#include "tst_rostercommands.moc"
