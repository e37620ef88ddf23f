#include "FakeDesktop.h"
#include "MateTree.h"
#include "Pictures.h"
#include "ProfileStore.h"
#include "QuillonPubStats.h"
#include "RosterCommands.h"
#include "SightingsSource.h"
#include "uAddEditMate.h"

#include "ServerListView.h"
#include "Sightings.h"
#include "TrackNaming.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>

// A real roster on a temporary groups folder, with the dialog on top of it.
struct Roster {
    QTemporaryDir dir;
    QString groupsDir = dir.filePath(QStringLiteral("groups")) + QLatin1Char('/');
    ProfileStore store{groupsDir};
    QuillonPubStats stats;
    HostList hosts;
    QTreeView tvMates;
    ServerListView lvServer;
    QLabel lMateInfo;
    QLabel lSvrMates;
    QAction onOffline;
    SightingsSource sightings{stats, hosts};
    FakeDesktop desktop;
    std::unique_ptr<MateTree> tree;
    std::unique_ptr<RosterCommands> commands;
    std::unique_ptr<TfAddEditMate> dialog;

    explicit Roster(const QStringList& groups) {
        QDir().mkpath(groupsDir);
        for (const QString& g : groups)
            store.CreateProfile(g);
        tree = std::make_unique<MateTree>(
            MateTree::Widgets{&tvMates, &lvServer, &lMateInfo, &lSvrMates, &onOffline}, stats,
            store, sightings);
        onOffline.trigger(); // all mates
        tree->setImages(Pictures::MateStatusImages());
        lvServer.setImages(Pictures::ServerStatusImages());
        tree->RebuildRoster();
        commands = std::make_unique<RosterCommands>(stats, store, desktop);
        tree->follow(*commands);
        dialog = std::make_unique<TfAddEditMate>(stats, *commands, desktop);
    }
    QStringList comboItems() const {
        QStringList items;
        for (int i = 0; i < dialog->cbGroups->count(); ++i)
            items << dialog->cbGroups->itemText(i);
        return items;
    }
    qint64 fileSize(const QString& group) const {
        return QFileInfo(store.ProfilePath(group)).size();
    }
    void open() {
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }
    void typeAndAdd(const QString& lfsName, const QString& nick = {}) {
        dialog->eLFSName->setText(lfsName);
        dialog->eNick->setText(nick);
        dialog->bAdd->click();
    }
};

class TestAddEditMate : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opening_refillsDropDownSorted() {
        Roster r({QStringLiteral("Beta"), QStringLiteral("alpha"), QStringLiteral("Charlie")});
        r.dialog->PrepareAdd(QStringLiteral("Beta"));
        r.open();
        QCOMPARE(r.comboItems(), QStringList({"alpha", "Beta", "Charlie"}));
        QCOMPARE(r.dialog->cbGroups->currentText(), QStringLiteral("Beta"));

        r.dialog->groupCreated(QStringLiteral("bravo"));
        QCOMPARE(r.comboItems(), QStringList({"alpha", "Beta", "bravo", "Charlie"}));
        r.dialog->groupDeleted(QStringLiteral("Beta"));
        QCOMPARE(r.comboItems(), QStringList({"alpha", "bravo", "Charlie"}));

        // A refresh changed the group list behind the dialog; the next opening shows it.
        r.dialog->hide();
        r.stats.assign(QStringList({"zulu", "Delta", "alpha"}), r.stats.mates());
        r.dialog->PrepareAdd(QStringLiteral("zulu"));
        r.open();
        QCOMPARE(r.comboItems(), QStringList({"alpha", "Delta", "zulu"}));
        QCOMPARE(r.dialog->cbGroups->currentIndex(), 2);
    }

    void prepareAdd_presetByExactName_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("index");
        QTest::newRow("present") << "Beta" << 1;
        QTest::newRow("other case") << "beta" << -1;
        QTest::newRow("missing") << "Gamma" << -1;
    }
    void prepareAdd_presetByExactName() {
        QFETCH(QString, group);
        QFETCH(int, index);
        Roster r({QStringLiteral("Alpha"), QStringLiteral("Beta")});
        r.dialog->PrepareAdd(group);
        r.open();
        QCOMPARE(r.dialog->cbGroups->currentIndex(), index);
        QVERIFY(r.dialog->cbGroups->isVisible());
        QVERIFY(!r.dialog->lGroup->isVisible());
        QCOMPARE(r.dialog->bAdd->text(), QStringLiteral("Add"));
        QCOMPARE(r.dialog->bAdd->property("Tag").toInt(), 0);
    }

    void editMode_showsGroupLabelInsteadOfDropDown() {
        Roster r({QStringLiteral("Alpha"), QStringLiteral("Beta")});
        r.dialog->PrepareEdit({QStringLiteral("Beta"), "racer", "Nick", "Team", "http://x"});
        r.open();
        QVERIFY(!r.dialog->cbGroups->isVisible());
        QVERIFY(r.dialog->lGroup->isVisible());
        QVERIFY(r.dialog->lGroup->font().bold());
        QCOMPARE(r.dialog->lGroup->text(), QStringLiteral("Beta"));
        QCOMPARE(r.dialog->bAdd->text(), QStringLiteral("Apply"));
        QCOMPARE(r.dialog->eLFSName->text(), QStringLiteral("racer"));
        QCOMPARE(r.dialog->eHomepage->text(), QStringLiteral("http://x"));
    }

    void escape_doesNothing() {
        Roster r({QStringLiteral("Alpha")});
        r.dialog->PrepareAdd(QStringLiteral("Alpha"));
        r.open();
        r.dialog->eLFSName->setText(QStringLiteral("kept"));
        QTest::keyClick(r.dialog->eLFSName, Qt::Key_Escape);
        QTest::keyClick(r.dialog.get(), Qt::Key_Escape);
        QVERIFY(r.dialog->isVisible());
        QCOMPARE(r.dialog->eLFSName->text(), QStringLiteral("kept"));
        r.dialog->bClose->click();
        QVERIFY(!r.dialog->isVisible());
    }

    void add_withoutGroup_beepsAndKeepsFields() {
        Roster r({QStringLiteral("Alpha")});
        r.dialog->PrepareAdd(QStringLiteral("Missing"));
        r.open();
        r.typeAndAdd(QStringLiteral("racer"));
        QCOMPARE(r.desktop.beeps, 1);
        QVERIFY(r.stats.mates().isEmpty());
        QCOMPARE(r.dialog->eLFSName->text(), QStringLiteral("racer"));
        QVERIFY(r.desktop.errors.isEmpty());
    }

    void add_emptyName_doesNothing() {
        Roster r({QStringLiteral("Alpha")});
        r.dialog->PrepareAdd(QStringLiteral("Alpha"));
        r.open();
        r.typeAndAdd(QString(), QStringLiteral("nick only"));
        QCOMPARE(r.desktop.beeps, 0);
        QVERIFY(r.stats.mates().isEmpty());
        QCOMPARE(r.dialog->eNick->text(), QStringLiteral("nick only"));
    }

    void add_twiceInARow_sameGroupFieldsEmptiedFocusInName() {
        Roster r({QStringLiteral("Alpha"), QStringLiteral("Beta")});
        r.dialog->PrepareAdd(QStringLiteral("Beta"));
        r.open();
        r.typeAndAdd(QStringLiteral("first"), QStringLiteral("One"));
        for (QLineEdit* e :
             {r.dialog->eLFSName, r.dialog->eNick, r.dialog->eTeam, r.dialog->eHomepage})
            QVERIFY(e->text().isEmpty());
        QVERIFY(r.dialog->eLFSName->hasFocus());
        QVERIFY(r.dialog->isVisible());
        // Enter is the Add button.
        QTest::keyClicks(r.dialog->eLFSName, QStringLiteral("second"));
        QTest::keyClick(r.dialog->eLFSName, Qt::Key_Return);
        QCOMPARE(r.stats.mates().size(), 2);
        for (const MateEntry& e : r.stats.mates())
            QCOMPARE(e.group, QStringLiteral("Beta"));
        QCOMPARE(r.stats.mates().at(1).record.lfsName(), QByteArray("second"));
        QCOMPARE(r.fileSize(QStringLiteral("Beta")), 2 * MateRecord::Size);
        QCOMPARE(r.fileSize(QStringLiteral("Alpha")), 0);
    }

    void enterOnClose_closesWithoutAdding() {
        Roster r({QStringLiteral("Alpha")});
        r.dialog->PrepareAdd(QStringLiteral("Alpha"));
        r.open();
        QTest::keyClicks(r.dialog->eLFSName, QStringLiteral("typed"));
        r.dialog->bClose->setFocus(Qt::TabFocusReason);
        QVERIFY(r.dialog->bClose->hasFocus());
        QTest::keyClick(r.dialog->bClose, Qt::Key_Return);
        QVERIFY(!r.dialog->isVisible());
        QVERIFY(r.stats.mates().isEmpty());
        QCOMPARE(r.fileSize(QStringLiteral("Alpha")), 0);
    }

    void add_duplicateBeepsOnceOtherCaseIsAccepted() {
        Roster r({QStringLiteral("Alpha")});
        r.dialog->PrepareAdd(QStringLiteral("Alpha"));
        r.open();
        r.typeAndAdd(QStringLiteral("racer"));
        r.typeAndAdd(QStringLiteral("racer"), QStringLiteral("typed"));
        QCOMPARE(r.desktop.beeps, 1);
        QCOMPARE(r.dialog->eNick->text(), QStringLiteral("typed"));
        r.typeAndAdd(QStringLiteral("RACER"));
        QCOMPARE(r.stats.mates().size(), 2);
        QCOMPARE(r.fileSize(QStringLiteral("Alpha")), 2 * MateRecord::Size);
    }

    void add_lfsNameLimitedTo24Characters() {
        Roster r({QStringLiteral("Alpha")});
        r.dialog->PrepareAdd(QStringLiteral("Alpha"));
        r.open();
        QTest::keyClicks(r.dialog->eLFSName, QString(30, QLatin1Char('x')));
        QCOMPARE(r.dialog->eLFSName->text().size(), 24);
    }

    void add_missingProfileFile_showsErrorAndKeepsFields() {
        Roster r({QStringLiteral("Alpha")});
        r.dialog->PrepareAdd(QStringLiteral("Alpha"));
        r.open();
        QVERIFY(QFile::remove(r.store.ProfilePath(QStringLiteral("Alpha"))));
        r.typeAndAdd(QStringLiteral("racer"));
        QCOMPARE(r.desktop.errors.size(), 1);
        QVERIFY(r.stats.mates().isEmpty());
        QCOMPARE(r.dialog->eLFSName->text(), QStringLiteral("racer"));
        QVERIFY(r.dialog->isVisible());
    }

    void apply_changedNickIsStoredInPlaceAndCloses() {
        Roster r({QStringLiteral("Alpha")});
        r.commands->AddMate(QStringLiteral("Alpha"), MateRecord::make("one", "", "", ""));
        r.commands->AddMate(QStringLiteral("Alpha"), MateRecord::make("two", "Old", "", ""));
        r.dialog->PrepareEdit({QStringLiteral("Alpha"), "two", "Old", "", ""});
        r.open();
        r.dialog->eNick->setText(QStringLiteral("New"));
        r.dialog->bAdd->click();
        QVERIFY(!r.dialog->isVisible());
        QList<MateEntry> onDisk;
        r.store.LoadProfile(r.store.ProfilePath(QStringLiteral("Alpha")), onDisk);
        QCOMPARE(onDisk.size(), 2);
        QCOMPARE(onDisk.at(1).record.nick(), QByteArray("New"));
        QCOMPARE(onDisk.at(0).record.lfsName(), QByteArray("one"));
    }

    void apply_changedLfsNameStoresNothingAndCloses() {
        Roster r({QStringLiteral("Alpha")});
        r.commands->AddMate(QStringLiteral("Alpha"), MateRecord::make("two", "Old", "", ""));
        r.dialog->PrepareEdit({QStringLiteral("Alpha"), "two", "Old", "", ""});
        r.open();
        r.dialog->eLFSName->setText(QStringLiteral("three"));
        r.dialog->eNick->setText(QStringLiteral("New"));
        r.dialog->bAdd->click();
        QVERIFY(!r.dialog->isVisible());
        QCOMPARE(r.stats.mates().at(0).record.nick(), QByteArray("Old"));
        QVERIFY(r.desktop.errors.isEmpty());
    }

    void apply_failedWrite_showsErrorAndStaysOpen() {
        Roster r({QStringLiteral("Alpha")});
        r.commands->AddMate(QStringLiteral("Alpha"), MateRecord::make("two", "Old", "", ""));
        r.dialog->PrepareEdit({QStringLiteral("Alpha"), "two", "Old", "", ""});
        r.open();
        QVERIFY(QFile::remove(r.store.ProfilePath(QStringLiteral("Alpha"))));
        r.dialog->eNick->setText(QStringLiteral("New"));
        r.dialog->bAdd->click();
        QCOMPARE(r.desktop.errors.size(), 1);
        QVERIFY(r.dialog->isVisible());
    }
};

QTEST_MAIN(TestAddEditMate)
#include "tst_addeditmate.moc"
