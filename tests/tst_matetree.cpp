#include "RosterFixture.h"

#include "PelmarkError.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace RosterFixture;

namespace {

// Friends: A offline, B online; Work: C offline; Empty: no entries.
void friendsWorkEmpty(Roster& f) {
    f.group(QStringLiteral("Friends"), {Mate("A"), Mate("B")});
    f.group(QStringLiteral("Work"), {Mate("C")});
    f.group(QStringLiteral("Empty"));
    f.hosts << Host("Host B", {"x", "B"});
    f.servers({"Host B", "Quiet"});
}

} // namespace

class TestMateTree : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void views_data();
    void views();
    void viewSwitchTwice_restoresStartView();
    void nodeText_nickOrLfsName();
    void treeOrder_caseSensitive();
    void nodeAt_absoluteRowsCountCollapsedChildren();
    void longGroupName_entriesSkipped();
    void unreadableProfile_otherGroupsStillShow();
    void keyUp_onlyArrowsRemember_data();
    void keyUp_onlyArrowsRemember();
    void dblClick_selectsHostRowOrNothing();
    void rebuild_carriesRememberedNodeOver();
    void rebuild_clearsRememberedNodeWhenGone();
    void rebuild_findsChosenMateByLfsName_untilItIsGone();
    void onlineView_refreshWithoutChange_movesNothing();
    void addMateNode_sortedPlaceAndImages();
    void addMateNode_offlineKeepsOnlineGroupImage();
    void renameMateNode_movesAndFollowsRemembered();
};

void TestMateTree::views_data() {
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("outline");
    QTest::newRow("online only") << 1 << QStringLiteral("Empty[0] Friends[2]+(B[4]) Work[1]");
    QTest::newRow("all mates") << 0
                               << QStringLiteral("Empty[0] Friends[2](A[3] B[4]) Work[1](C[3])");
}

void TestMateTree::views() {
    QFETCH(int, tag);
    QFETCH(QString, outline);
    Roster f;
    friendsWorkEmpty(f);
    f.showAllMates(tag != 1);
    f.tree->RebuildRoster();
    QCOMPARE(f.outline(), outline);
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 1/3"));
    QCOMPARE(f.lSvrMates.text(), QStringLiteral("Servers with mates: 1"));
    QCOMPARE(f.serverImages(), (QList<int>{2, 1}));
    QCOMPARE(f.tree->mateTotal, 3);
}

void TestMateTree::viewSwitchTwice_restoresStartView() {
    Roster f;
    friendsWorkEmpty(f);
    f.tree->RebuildRoster();
    const QString start = f.outline();
    // Files changed behind the tree's back must not show: the switch does not reload.
    f.group(QStringLiteral("Later"), {Mate("B")});

    f.tree->bOnOfflineClick();
    QVERIFY(f.onOffline.isChecked());
    QVERIFY(f.onOffline.isEnabled());
    QCOMPARE(f.outline(), QStringLiteral("Empty[0] Friends[2](A[3] B[4]) Work[1](C[3])"));
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 1/3"));

    f.tree->bOnOfflineClick();
    QVERIFY(!f.onOffline.isChecked());
    QCOMPARE(f.outline(), start);
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 1/3"));
}

void TestMateTree::nodeText_nickOrLfsName() {
    Roster f;
    f.group(QStringLiteral("g"), {Mate("Robert", "Bob"), Mate("Carl"), Mate("Dan", "  ")});
    f.showAllMates(true);
    f.tree->RebuildRoster();
    QCOMPARE(f.outline(), QStringLiteral("g[1](  [3] Bob[3] Carl[3])"));
}

void TestMateTree::treeOrder_caseSensitive() {
    Roster f;
    for (const char* name : {"beta", "Beta", "alpha", "Alpha"})
        f.group(QString::fromLatin1(name));
    f.tree->RebuildRoster();
    const QStringList order = TreeRows::groupTexts(f.shown());
    // Whatever the locale puts first, the two spellings stay apart and grouped by letter.
    QCOMPARE(order.size(), 4);
    QCOMPARE(order.mid(0, 2).join(QLatin1Char(',')).toLower(), QStringLiteral("alpha,alpha"));
    QVERIFY(order[0] != order[1]);
}

void TestMateTree::nodeAt_absoluteRowsCountCollapsedChildren() {
    Roster f;
    friendsWorkEmpty(f);
    f.showAllMates(true);
    f.tree->RebuildRoster();
    QCOMPARE(TreeRows::count(f.shown()), 6);
    const QStringList expected{"Empty", "Friends", "A", "B", "Work", "C"};
    for (int row = 0; row < expected.size(); ++row)
        QCOMPARE(TreeRows::text(f.nodeAt(row)), expected[row]);
    QCOMPARE(TreeRows::rowOf(f.tree->FindGroupNode(QStringLiteral("Work"))), 4);
    QVERIFY(!f.tree->FindGroupNode(QStringLiteral("work")).isValid());
    QVERIFY(!f.tree->FindGroupNode(QStringLiteral("A")).isValid()); // only roots are groups
}

void TestMateTree::longGroupName_entriesSkipped() {
    Roster f;
    const QString cut(50, QLatin1Char('G'));
    f.group(cut + QStringLiteral("_long_tail"), {Mate("Long")});
    f.group(cut, {Mate("Short")}); // the cut name of the other group, taken literally
    f.group(QStringLiteral("Plain"), {Mate("P")});
    f.hosts << Host("H", {"Long", "Short", "P"});
    f.servers({"H"});
    f.showAllMates(true);
    f.tree->RebuildRoster();
    // Neither group's mates can be told apart, so neither lands anywhere.
    QCOMPARE(f.shown().rowCount(f.groupNode(cut)), 0);
    QCOMPARE(f.shown().rowCount(f.groupNode(cut + QStringLiteral("_long_tail"))), 0);
    QCOMPARE(f.shown().rowCount(f.groupNode(QStringLiteral("Plain"))), 1);
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 1/3"));
}

// One group that cannot be read shows without mates; the error is still told.
void TestMateTree::unreadableProfile_otherGroupsStillShow() {
    Roster f;
    friendsWorkEmpty(f);
    f.tree->RebuildRoster();
    const QString outline = f.outline();
    QVERIFY(QDir().mkpath(f.groupsDir + QStringLiteral("x.profile")));
    QVERIFY_THROWS_EXCEPTION(PelmarkError, f.tree->RebuildRoster());
    QCOMPARE(f.outline(), outline + QStringLiteral(" x[0]"));
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 1/3"));
    QCOMPARE(f.serverImages(), (QList<int>{2, 1}));
    QVERIFY(f.tvMates.updatesEnabled());
}

void TestMateTree::keyUp_onlyArrowsRemember_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("remembers");
    QTest::newRow("down") << int(Qt::Key_Down) << true;
    QTest::newRow("left") << int(Qt::Key_Left) << true;
    QTest::newRow("page down") << int(Qt::Key_PageDown) << false;
    QTest::newRow("end") << int(Qt::Key_End) << false;
    QTest::newRow("letter") << int(Qt::Key_W) << false;
}

void TestMateTree::keyUp_onlyArrowsRemember() {
    QFETCH(int, key);
    QFETCH(bool, remembers);
    Roster f;
    friendsWorkEmpty(f);
    f.showAllMates(true);
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("Friends"), QStringLiteral("A"));
    QCOMPARE(f.rememberedRow(), 2);
    f.tvMates.setCurrentIndex(f.nodeAt(4)); // the selection moves to Work
    f.tree->tvMatesKeyUp(key);
    QCOMPARE(f.rememberedRow(), remembers ? 4 : 2);
    QCOMPARE(f.tree->rememberedDisplayName,
             remembers ? QStringLiteral("Work") : QStringLiteral("A"));
    // Choosing a group keeps the group of the last mate chosen.
    QCOMPARE(f.tree->rememberedGroup, QStringLiteral("Friends"));
}

void TestMateTree::dblClick_selectsHostRowOrNothing() {
    Roster f;
    friendsWorkEmpty(f);
    f.servers({"HOST B", "Quiet"}); // first row, other case
    f.showAllMates(true);
    f.tree->RebuildRoster();

    f.chooseMate(QStringLiteral("Friends"), QStringLiteral("A")); // offline
    f.tree->tvMatesDblClick();
    QCOMPARE(f.lvServer.selectedRow(), -1);

    f.chooseMate(QStringLiteral("Friends"), QStringLiteral("B"));
    f.tree->tvMatesDblClick();
    QCOMPARE(f.lvServer.selectedRow(), 0);
    QCOMPARE(f.lvServer.currentIndex().row(), 0);

    // Only an empty tree leaves the remembered node without a node.
    Roster empty;
    empty.tree->RebuildRoster();
    QVERIFY_THROWS_EXCEPTION(PelmarkError, empty.tree->tvMatesDblClick());
}

void TestMateTree::rebuild_carriesRememberedNodeOver() {
    Roster f;
    friendsWorkEmpty(f);
    f.showAllMates(true);
    // Shown, as in the window: only a visible tree scrolls to its current node.
    f.tvMates.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.tvMates));
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("Work"), QStringLiteral("C"));
    QCOMPARE(f.rememberedRow(), 5);

    // A new group sorting first pushes C down a row; its group stays collapsed.
    f.group(QStringLiteral("Aces"), {Mate("Z")});
    f.tree->RebuildRoster();
    QCOMPARE(f.rememberedRow(), 7);
    QCOMPARE(TreeRows::text(f.nodeAt(7)), QStringLiteral("C"));
    QCOMPARE(f.tvMates.currentIndex(), f.nodeAt(7));
    QCOMPARE(f.tree->rememberedGroup, QStringLiteral("Work"));
    QVERIFY2(!f.outline().contains(QLatin1Char('+')), qPrintable(f.outline()));

    // A group node is followed by its name, through the view switch too.
    f.choose(f.groupNode(QStringLiteral("Work")));
    f.tree->bOnOfflineClick(); // online only: Aces and Friends lose rows
    QCOMPARE(TreeRows::text(f.tree->rememberedIndex()), QStringLiteral("Work"));
    QCOMPARE(f.tree->rememberedDisplayName, QStringLiteral("Work"));
}

void TestMateTree::rebuild_clearsRememberedNodeWhenGone() {
    Roster f;
    friendsWorkEmpty(f);
    f.showAllMates(true);
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("Work"), QStringLiteral("C"));
    f.tree->bOnOfflineClick(); // C is offline: no node in the online-only view
    QCOMPARE(f.rememberedRow(), 0);
    QVERIFY(f.tree->rememberedDisplayName.isEmpty());
    QVERIFY(f.tree->rememberedGroup.isEmpty());
    QVERIFY(f.tvMates.selectionModel()->selectedIndexes().isEmpty());

    // Never chosen: a rebuild selects nothing.
    f.tree->RebuildRoster();
    QVERIFY(f.tvMates.selectionModel()->selectedIndexes().isEmpty());
}

void TestMateTree::rebuild_findsChosenMateByLfsName_untilItIsGone() {
    Roster f;
    f.group(QStringLiteral("Work"), {Mate("Robert", "Bob"), Mate("Carl")});
    f.showAllMates(true);
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("Work"), QStringLiteral("Bob"));

    // Another nick in the file: still the same person, under its new text.
    f.group(QStringLiteral("Work"), {Mate("Robert", "Zoe"), Mate("Carl")});
    f.tree->RebuildRoster();
    QCOMPARE(TreeRows::text(f.tvMates.currentIndex()), QStringLiteral("Zoe"));
    QCOMPARE(TreeRows::text(f.tree->rememberedIndex()), QStringLiteral("Zoe"));
    QCOMPARE(f.tree->rememberedDisplayName, QStringLiteral("Zoe"));
    QVERIFY(!f.tree->chosenGone());

    // Gone from the file: no other node stands in for it.
    f.group(QStringLiteral("Work"), {Mate("Carl")});
    f.tree->RebuildRoster();
    QVERIFY(f.tree->chosenGone());
    QVERIFY(f.tvMates.selectionModel()->selectedIndexes().isEmpty());
    f.group(QStringLiteral("Work"), {Mate("Robert", "Bob"), Mate("Carl")});
    f.tree->RebuildRoster();
    QVERIFY(!f.tree->chosenGone());
    QCOMPARE(TreeRows::text(f.tvMates.currentIndex()), QStringLiteral("Bob"));
}

// The nodes under the mouse stay put: what the user closed, selected (also without a
// mouse release) and scrolled to is kept while the refresh brings the same nodes.
void TestMateTree::onlineView_refreshWithoutChange_movesNothing() {
    Roster f;
    QList<QByteArray> online;
    for (int i = 0; i < 30; ++i) {
        const QByteArray a = "A" + QByteArray::number(i), b = "B" + QByteArray::number(i);
        f.group(QStringLiteral("G%1").arg(i, 2, 10, QLatin1Char('0')), {Mate(a), Mate(b)});
        online << a << b;
    }
    f.hosts << Host("H", online);
    f.tvMates.resize(200, 160);
    f.tvMates.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.tvMates));
    f.tree->RebuildRoster();
    f.tvMates.collapse(f.groupNode(QStringLiteral("G02")));
    f.chooseMate(QStringLiteral("G05"), QStringLiteral("B5"));
    const int remembered = f.rememberedRow();
    const QModelIndex selected = f.shown().index(1, 0, f.groupNode(QStringLiteral("G20")));
    f.tvMates.setCurrentIndex(selected);
    f.tvMates.scrollTo(selected, QAbstractItemView::PositionAtCenter);
    const int row = TreeRows::rowOf(selected);
    const int scroll = f.tvMates.verticalScrollBar()->value();
    QVERIFY(scroll > 0);
    const auto topNode = [&] { return TreeRows::rowOf(f.tvMates.indexAt(QPoint(1, 1))); };
    const int top = topNode();

    // Nothing changed: the tree is left alone, not reset and built again.
    QSignalSpy resets(f.tvMates.model(), &QAbstractItemModel::modelReset);
    f.tree->RebuildRoster();
    QCOMPARE(resets.size(), 0);
    QCOMPARE(f.tvMates.verticalScrollBar()->value(), scroll);
    QCOMPARE(topNode(), top);
    QCOMPARE(TreeRows::rowOf(f.tvMates.currentIndex()), row);
    QCOMPARE(f.tvMates.selectionModel()->selectedIndexes(),
             QModelIndexList{f.tvMates.currentIndex()});
    QVERIFY(!f.tvMates.isExpanded(f.groupNode(QStringLiteral("G02"))));
    QCOMPARE(f.rememberedRow(), remembered);

    // A mate gone offline is a change: the build's own expansion and selection again.
    f.hosts.first() = Host("H", online.mid(1));
    f.tree->RebuildRoster();
    QCOMPARE(resets.size(), 1);
    QVERIFY(f.tvMates.isExpanded(f.groupNode(QStringLiteral("G02"))));
    QCOMPARE(TreeRows::text(f.tvMates.currentIndex()), QStringLiteral("B5"));

    // As many online as before, but another one (A0 back, B0 gone): built again.
    QList<QByteArray> swapped = online.mid(2);
    swapped << online.first();
    f.hosts.first() = Host("H", swapped);
    f.tree->RebuildRoster();
    QCOMPARE(resets.size(), 2);
    const QModelIndex g00 = f.groupNode(QStringLiteral("G00"));
    QCOMPARE(f.shown().rowCount(g00), 1);
    QCOMPARE(TreeRows::text(f.shown().index(0, 0, g00)), QStringLiteral("A0"));
    QCOMPARE(f.tree->onlineMateCount, 59);
}

void TestMateTree::addMateNode_sortedPlaceAndImages() {
    Roster f;
    friendsWorkEmpty(f);
    f.tree->RebuildRoster(); // online only
    f.choose(f.groupNode(QStringLiteral("Work")));
    QCOMPARE(f.rememberedRow(), 3);

    f.hosts << Host("Quiet", {"Aaron"});
    f.stats.appendMate(MateEntry::make(QStringLiteral("Empty"), Mate("Aaron")));
    f.tree->AddMateNode(Mate("Aaron"), QStringLiteral("Empty"));
    f.tree->AddMateNode(Mate("Off"), QStringLiteral("Work"));
    f.tree->AddMateNode(Mate("Y"), QStringLiteral("Missing"));
    QCOMPARE(f.outline(), QStringLiteral("Empty[2]+(Aaron[4]) Friends[2]+(B[4]) Work[1]"));
    QCOMPARE(f.tree->onlineMateCount, 2);
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 1/3")); // left to the next build
    QCOMPARE(f.serverImages(), (QList<int>{2, 2}));
    // The remembered group moved down a row with the new node above it.
    QCOMPARE(f.rememberedRow(), 4);
    QCOMPARE(TreeRows::text(f.nodeAt(4)), QStringLiteral("Work"));

    // In the all-mates view an offline mate has a node; the switch built from the lists.
    f.showAllMates(true);
    f.tree->AddMateNode(Mate("Abe"), QStringLiteral("Friends"));
    QCOMPARE(f.outline(),
             QStringLiteral("Empty[2](Aaron[4]) Friends[2](A[3] Abe[3] B[4]) Work[1](C[3])"));
}

void TestMateTree::addMateNode_offlineKeepsOnlineGroupImage() {
    Roster f;
    f.group(QStringLiteral("Friends"), {Mate("B")});
    f.group(QStringLiteral("Work"), {Mate("C")});
    f.hosts << Host("H", {"B"});
    f.tree->RebuildRoster();
    f.stats.appendMate(MateEntry::make(QStringLiteral("Friends"), Mate("Late")));
    f.tree->AddMateNode(Mate("Late"), QStringLiteral("Friends"));
    f.tree->bOnOfflineClick();
    QCOMPARE(f.outline(), QStringLiteral("Friends[2](B[4] Late[3]) Work[1](C[3])"));
}

void TestMateTree::renameMateNode_movesAndFollowsRemembered() {
    Roster f;
    f.group(QStringLiteral("g"), {Mate("Robert", "Bob"), Mate("Carl"), Mate("Zed")});
    f.hosts << Host("H", {"Robert"});
    f.showAllMates(true);
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("g"), QStringLiteral("Bob"));
    QCOMPARE(f.rememberedRow(), 1);

    f.tree->RenameMateNode(Mate("Robert", "Bob"), Mate("Robert", " Xavier "), QStringLiteral("g"));
    QCOMPARE(f.outline(), QStringLiteral("g[2](Carl[3] Xavier[4] Zed[3])"));
    QCOMPARE(f.rememberedRow(), 2);
    QCOMPARE(f.tree->rememberedDisplayName, QStringLiteral("Xavier"));

    // No node with the old text, or no such group: nothing changes.
    f.tree->RenameMateNode(Mate("Robert", "Bob"), Mate("Robert", "A"), QStringLiteral("g"));
    f.tree->RenameMateNode(Mate("Carl"), Mate("Carl", "A"), QStringLiteral("h"));
    QCOMPARE(f.outline(), QStringLiteral("g[2](Carl[3] Xavier[4] Zed[3])"));
}

QTEST_MAIN(TestMateTree)
#include "tst_matetree.moc"
