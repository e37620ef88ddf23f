#include "RosterFixture.h"

#include "PelmarkError.h"

#include <QScrollBar>
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
    f.bOnOffline.setProperty("Tag", tag);
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
    QCOMPARE(f.bOnOffline.property("Tag").toInt(), 0);
    QVERIFY(f.bOnOffline.isEnabled());
    QCOMPARE(f.outline(), QStringLiteral("Empty[0] Friends[2](A[3] B[4]) Work[1](C[3])"));
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 1/3"));

    f.tree->bOnOfflineClick();
    QCOMPARE(f.bOnOffline.property("Tag").toInt(), 1);
    QCOMPARE(f.outline(), start);
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 1/3"));

    f.bOnOffline.setProperty("Tag", 7);
    f.tree->bOnOfflineClick();
    QCOMPARE(f.outline(), start);
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 0/0"));
}

void TestMateTree::nodeText_nickOrLfsName() {
    Roster f;
    f.group(QStringLiteral("g"), {Mate("Robert", "Bob"), Mate("Carl"), Mate("Dan", "  ")});
    f.bOnOffline.setProperty("Tag", 0);
    f.tree->RebuildRoster();
    QCOMPARE(f.outline(), QStringLiteral("g[1](  [3] Bob[3] Carl[3])"));
}

void TestMateTree::treeOrder_caseSensitive() {
    Roster f;
    for (const char* name : {"beta", "Beta", "alpha", "Alpha"})
        f.group(QString::fromLatin1(name));
    f.tree->RebuildRoster();
    QStringList order;
    for (int i = 0; i < f.tvMates.topLevelItemCount(); ++i)
        order << f.tvMates.topLevelItem(i)->text(0);
    // Whatever the locale puts first, the two spellings stay apart and grouped by letter.
    QCOMPARE(order.size(), 4);
    QCOMPARE(order.mid(0, 2).join(QLatin1Char(',')).toLower(), QStringLiteral("alpha,alpha"));
    QVERIFY(order[0] != order[1]);
}

void TestMateTree::nodeAt_absoluteRowsCountCollapsedChildren() {
    Roster f;
    friendsWorkEmpty(f);
    f.bOnOffline.setProperty("Tag", 0);
    f.tree->RebuildRoster();
    QCOMPARE(f.tree->NodeCount(), 6);
    const QStringList expected{"Empty", "Friends", "A", "B", "Work", "C"};
    for (int row = 0; row < expected.size(); ++row) {
        QTreeWidgetItem* node = f.tree->NodeAt(row);
        QCOMPARE(node->text(0), expected[row]);
        QCOMPARE(f.tree->AbsoluteRow(node), row);
    }
    QCOMPARE(f.tree->FindGroupNode(QStringLiteral("Work")), 4);
    QCOMPARE(f.tree->FindGroupNode(QStringLiteral("work")), -1);
    QCOMPARE(f.tree->FindGroupNode(QStringLiteral("A")), -1); // only roots are groups
    QVERIFY_THROWS_EXCEPTION(PelmarkError, f.tree->NodeAt(6));
    QVERIFY_THROWS_EXCEPTION(PelmarkError, f.tree->NodeAt(-1));
}

void TestMateTree::longGroupName_entriesSkipped() {
    Roster f;
    const QString cut(50, QLatin1Char('G'));
    f.group(cut + QStringLiteral("_long_tail"), {Mate("Long")});
    f.group(cut, {Mate("Short")}); // the cut name of the other group, taken literally
    f.group(QStringLiteral("Plain"), {Mate("P")});
    f.hosts << Host("H", {"Long", "Short", "P"});
    f.servers({"H"});
    f.bOnOffline.setProperty("Tag", 0);
    f.tree->RebuildRoster();
    // Neither group's mates can be told apart, so neither lands anywhere.
    QCOMPARE(f.groupNode(cut)->childCount(), 0);
    QCOMPARE(f.groupNode(cut + QStringLiteral("_long_tail"))->childCount(), 0);
    QCOMPARE(f.groupNode(QStringLiteral("Plain"))->childCount(), 1);
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
    f.bOnOffline.setProperty("Tag", 0);
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("Friends"), QStringLiteral("A"));
    QCOMPARE(f.tree->rememberedPosition, 2);
    f.tvMates.setCurrentItem(f.tree->NodeAt(4)); // the selection moves to Work
    f.tree->tvMatesKeyUp(key);
    QCOMPARE(f.tree->rememberedPosition, remembers ? 4 : 2);
    QCOMPARE(f.tree->rememberedDisplayName,
             remembers ? QStringLiteral("Work") : QStringLiteral("A"));
    // Choosing a group keeps the group of the last mate chosen.
    QCOMPARE(f.tree->rememberedGroup, QStringLiteral("Friends"));
}

void TestMateTree::dblClick_selectsHostRowOrNothing() {
    Roster f;
    friendsWorkEmpty(f);
    f.servers({"HOST B", "Quiet"}); // first row, other case
    f.bOnOffline.setProperty("Tag", 0);
    f.tree->RebuildRoster();

    f.chooseMate(QStringLiteral("Friends"), QStringLiteral("A")); // offline
    f.tree->tvMatesDblClick();
    QCOMPARE(f.lvServer.selectedRow(), -1);

    f.chooseMate(QStringLiteral("Friends"), QStringLiteral("B"));
    f.tree->tvMatesDblClick();
    QCOMPARE(f.lvServer.selectedRow(), 0);
    QCOMPARE(f.lvServer.currentIndex().row(), 0);

    f.tree->rememberedPosition = 99;
    QVERIFY_THROWS_EXCEPTION(PelmarkError, f.tree->tvMatesDblClick());
}

void TestMateTree::rebuild_carriesRememberedNodeOver() {
    Roster f;
    friendsWorkEmpty(f);
    f.bOnOffline.setProperty("Tag", 0);
    // Shown, as in the window: only a visible tree scrolls to its current node.
    f.tvMates.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.tvMates));
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("Work"), QStringLiteral("C"));
    QCOMPARE(f.tree->rememberedPosition, 5);

    // A new group sorting first pushes C down a row; its group stays collapsed.
    f.group(QStringLiteral("Aces"), {Mate("Z")});
    f.tree->RebuildRoster();
    QCOMPARE(f.tree->rememberedPosition, 7);
    QCOMPARE(f.tree->NodeAt(7)->text(0), QStringLiteral("C"));
    QCOMPARE(f.tvMates.currentItem(), f.tree->NodeAt(7));
    QCOMPARE(f.tree->rememberedGroup, QStringLiteral("Work"));
    QVERIFY2(!f.outline().contains(QLatin1Char('+')), qPrintable(f.outline()));

    // A group node is followed by its name, through the view switch too.
    f.choose(f.groupNode(QStringLiteral("Work")));
    f.tree->bOnOfflineClick(); // online only: Aces and Friends lose rows
    QCOMPARE(f.tree->NodeAt(f.tree->rememberedPosition)->text(0), QStringLiteral("Work"));
    QCOMPARE(f.tree->rememberedDisplayName, QStringLiteral("Work"));
}

void TestMateTree::rebuild_clearsRememberedNodeWhenGone() {
    Roster f;
    friendsWorkEmpty(f);
    f.bOnOffline.setProperty("Tag", 0);
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("Work"), QStringLiteral("C"));
    f.tree->bOnOfflineClick(); // C is offline: no node in the online-only view
    QCOMPARE(f.tree->rememberedPosition, 0);
    QVERIFY(f.tree->rememberedDisplayName.isEmpty());
    QVERIFY(f.tree->rememberedGroup.isEmpty());
    QVERIFY(f.tvMates.selectedItems().isEmpty());

    // Never chosen: a rebuild selects nothing.
    f.tree->RebuildRoster();
    QVERIFY(f.tvMates.selectedItems().isEmpty());
}

void TestMateTree::rebuild_findsChosenMateByLfsName_untilItIsGone() {
    Roster f;
    f.group(QStringLiteral("Work"), {Mate("Robert", "Bob"), Mate("Carl")});
    f.bOnOffline.setProperty("Tag", 0);
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("Work"), QStringLiteral("Bob"));

    // Another nick in the file: still the same person, under its new text.
    f.group(QStringLiteral("Work"), {Mate("Robert", "Zoe"), Mate("Carl")});
    f.tree->RebuildRoster();
    QCOMPARE(f.tvMates.currentItem()->text(0), QStringLiteral("Zoe"));
    QCOMPARE(f.tree->NodeAt(f.tree->rememberedPosition)->text(0), QStringLiteral("Zoe"));
    QCOMPARE(f.tree->rememberedDisplayName, QStringLiteral("Zoe"));
    QVERIFY(!f.tree->chosenGone());

    // Gone from the file: no other node stands in for it.
    f.group(QStringLiteral("Work"), {Mate("Carl")});
    f.tree->RebuildRoster();
    QVERIFY(f.tree->chosenGone());
    QVERIFY(f.tvMates.selectedItems().isEmpty());
    f.group(QStringLiteral("Work"), {Mate("Robert", "Bob"), Mate("Carl")});
    f.tree->RebuildRoster();
    QVERIFY(!f.tree->chosenGone());
    QCOMPARE(f.tvMates.currentItem()->text(0), QStringLiteral("Bob"));
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
    f.groupNode(QStringLiteral("G02"))->setExpanded(false);
    f.chooseMate(QStringLiteral("G05"), QStringLiteral("B5"));
    const int remembered = f.tree->rememberedPosition;
    QTreeWidgetItem* selected = f.groupNode(QStringLiteral("G20"))->child(1);
    f.tvMates.setCurrentItem(selected);
    f.tvMates.scrollToItem(selected, QAbstractItemView::PositionAtCenter);
    const int row = f.tree->AbsoluteRow(selected);
    const int scroll = f.tvMates.verticalScrollBar()->value();
    QVERIFY(scroll > 0);
    const auto topNode = [&] { return f.tree->AbsoluteRow(f.tvMates.itemAt(QPoint(1, 1))); };
    const int top = topNode();

    f.tree->RebuildRoster();
    QCOMPARE(f.tvMates.verticalScrollBar()->value(), scroll);
    QCOMPARE(topNode(), top);
    QCOMPARE(f.tree->AbsoluteRow(f.tvMates.currentItem()), row);
    QCOMPARE(f.tvMates.selectedItems(), QList<QTreeWidgetItem*>{f.tvMates.currentItem()});
    QVERIFY(!f.groupNode(QStringLiteral("G02"))->isExpanded());
    QCOMPARE(f.tree->rememberedPosition, remembered);

    // A mate gone offline is a change: the build's own expansion and selection again.
    f.hosts.first() = Host("H", online.mid(1));
    f.tree->RebuildRoster();
    QVERIFY(f.groupNode(QStringLiteral("G02"))->isExpanded());
    QCOMPARE(f.tvMates.currentItem()->text(0), QStringLiteral("B5"));
}

void TestMateTree::addMateNode_sortedPlaceAndImages() {
    Roster f;
    friendsWorkEmpty(f);
    f.tree->RebuildRoster(); // online only
    f.choose(f.groupNode(QStringLiteral("Work")));
    QCOMPARE(f.tree->rememberedPosition, 3);

    f.hosts << Host("Quiet", {"Aaron"});
    f.stats.mates << MateEntry::make(QStringLiteral("Empty"), Mate("Aaron"));
    f.sightings.remake(); // as the commands' follower does once the entry is in the list
    f.tree->AddMateNode(Mate("Aaron"), QStringLiteral("Empty"), false);
    f.tree->AddMateNode(Mate("Off"), QStringLiteral("Work"), false);
    f.tree->AddMateNode(Mate("Y"), QStringLiteral("Missing"), false);
    QCOMPARE(f.outline(), QStringLiteral("Empty[2]+(Aaron[4]) Friends[2]+(B[4]) Work[1]"));
    QCOMPARE(f.tree->onlineMateCount, 2);
    QCOMPARE(f.lMateInfo.text(), QStringLiteral("Online mates: 1/3")); // left to the next build
    QCOMPARE(f.serverImages(), (QList<int>{2, 2}));
    // The remembered group moved down a row with the new node above it.
    QCOMPARE(f.tree->rememberedPosition, 4);
    QCOMPARE(f.tree->NodeAt(4)->text(0), QStringLiteral("Work"));

    f.tree->AddMateNode(Mate("Abe"), QStringLiteral("Friends"), true);
    QCOMPARE(f.outline(), QStringLiteral("Empty[2]+(Aaron[4]) Friends[2]+(Abe[3] B[4]) Work[1]"));
}

void TestMateTree::addMateNode_offlineKeepsOnlineGroupImage() {
    Roster f;
    f.group(QStringLiteral("Friends"), {Mate("B")});
    f.group(QStringLiteral("Work"), {Mate("C")});
    f.hosts << Host("H", {"B"});
    f.tree->RebuildRoster();
    f.stats.mates << MateEntry::make(QStringLiteral("Friends"), Mate("Late"));
    f.tree->AddMateNode(Mate("Late"), QStringLiteral("Friends"), false);
    f.tree->bOnOfflineClick();
    QCOMPARE(f.outline(), QStringLiteral("Friends[2](B[4] Late[3]) Work[1](C[3])"));
}

void TestMateTree::renameMateNode_movesAndFollowsRemembered() {
    Roster f;
    f.group(QStringLiteral("g"), {Mate("Robert", "Bob"), Mate("Carl"), Mate("Zed")});
    f.hosts << Host("H", {"Robert"});
    f.bOnOffline.setProperty("Tag", 0);
    f.tree->RebuildRoster();
    f.chooseMate(QStringLiteral("g"), QStringLiteral("Bob"));
    QCOMPARE(f.tree->rememberedPosition, 1);

    f.tree->RenameMateNode(Mate("Robert", "Bob"), Mate("Robert", " Xavier "), QStringLiteral("g"));
    QCOMPARE(f.outline(), QStringLiteral("g[2](Carl[3] Xavier[4] Zed[3])"));
    QCOMPARE(f.tree->rememberedPosition, 2);
    QCOMPARE(f.tree->rememberedDisplayName, QStringLiteral("Xavier"));

    // No node with the old text, or no such group: nothing changes.
    f.tree->RenameMateNode(Mate("Robert", "Bob"), Mate("Robert", "A"), QStringLiteral("g"));
    f.tree->RenameMateNode(Mate("Carl"), Mate("Carl", "A"), QStringLiteral("h"));
    QCOMPARE(f.outline(), QStringLiteral("g[2](Carl[3] Xavier[4] Zed[3])"));
}

QTEST_MAIN(TestMateTree)
#include "tst_matetree.moc"
