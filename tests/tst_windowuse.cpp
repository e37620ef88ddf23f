#include "ColumnMemory.h"
#include "EmptyListNote.h"
#include "HostListBuilder.h"
#include "IniFile.h"
#include "MainCommands.h"
#include "MainWindowFixture.h"
#include "MatePresence.h"
#include "MateRecord.h"
#include "MateTray.h"
#include "MateTree.h"
#include "ServerFinder.h"
#include "TemporaryHome.h"
#include "uAddEditMate.h"
#include "uMoreSettings.h"
#include "uSettings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

namespace {

QByteArray threeHosts() {
    return PackHosts({FakeHost("Empty S2").limit(24),
                      FakeHost("Busy S2").limit(24).with({"a", "b", "c"}),
                      FakeHost("Other S2").limit(24).with({"x"})});
}

// The host-list requests the service has seen, their queries.
QStringList hostQueries(FakeService& service) {
    QStringList queries;
    for (const FakeService::Request& r : service.requests()) {
        if (r.path == "/pubstat/get_stat2.php")
            queries << QString::fromStdString(r.query);
    }
    return queries;
}

QModelIndex firstMate(const QTreeView* tree) {
    return tree->model()->index(0, 0, tree->model()->index(0, 0));
}

// Opens a menu through `open` and chooses the item of that text. The menu's item texts
// are returned; whileOpen runs while the menu is up; the modal window the item opened, if
// any, is passed to whileModal and closed.
QStringList chooseInOpenedMenu(const std::function<void()>& open, const QString& item,
                               std::function<void(QWidget*)> whileModal = {},
                               const std::function<void()>& whileOpen = {}) {
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        if (whileOpen)
            whileOpen();
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator())
                texts << action->text();
            if (action->text() == item)
                chosen = action;
        }
        menu->close();
        // Armed always: a wrong handler's dialog must fail the test, not hang it.
        QTimer::singleShot(0, [whileModal] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (whileModal)
                whileModal(modal);
            modal->close();
            QVERIFY2(whileModal, "a modal window opened");
        });
        if (chosen)
            chosen->trigger();
    });
    open();
    QCoreApplication::processEvents(); // no menu opened: the chooser must not outlive us
    return texts;
}

// Right-clicks the node (none: below the nodes).
QStringList chooseInMenu(TfMain& w, const QModelIndex& node, const QString& item,
                         std::function<void(QWidget*)> whileModal = {},
                         const std::function<void()>& whileOpen = {}) {
    return chooseInOpenedMenu(
        [&] {
            QWidget* viewport = w.tvMates->viewport();
            w.mateTree().tvMatesContextMenu(node.isValid() ? w.tvMates->visualRect(node).center()
                                                           : QPoint(5, viewport->height() - 3));
        },
        item, std::move(whileModal), whileOpen);
}

// The Menu key as the window delivers it: at the current node, in the tree's coordinates.
void pressMenuKey(QTreeView* tree) {
    const QPoint pos = tree->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, tree->mapToGlobal(pos));
    QApplication::sendEvent(tree, &event);
}

void writeFriendsAndWork(MainWindowFixture& f) {
    f.writeFile("data/groups/Friends.profile", MateRecord::make("a", "", "", "").bytes() +
                                                   MateRecord::make("b", "", "", "").bytes());
    f.writeFile("data/groups/Work.profile", MateRecord::make("c", "", "", "").bytes());
}

} // namespace

class TestWindowUse : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // F5 takes the tick's path and its skip rule; Enter acts as a double click does.
    void keys_f5RefreshesNow_enterActsAsADoubleClick() {
        MainWindowFixture f("[SETTINGS]\nLFSPath=/games/lfs/LFS.exe\n");
        f.writeFile("data/groups/Friends.profile", MateRecord::make("a", "", "", "").bytes());
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        f.hostsReply = PackHosts(
            {FakeHost("Busy S2").limit(24).with({"a"}), FakeHost("New S2").limit(24).with({"n"})});
        const auto before = f.service.requests().size();
        QSignalSpy refreshed(&w.refresh(), &RefreshController::refreshed);
        QTest::keyClick(&w, Qt::Key_F5);
        QVERIFY(refreshed.wait());
        QCOMPARE(f.service.requests().size() - before, 1);
        QCOMPARE(f.column(0), (QStringList{"Busy S2", "New S2"}));

        // While the box of a failed refresh is up, F5 asks nothing more.
        f.serviceDown = true;
        qsizetype whileUp = -1;
        f.desktop.duringBox = [&] {
            QSignalSpy asked(&w.refresh(), &RefreshController::refreshStarted);
            QTest::keyClick(&w, Qt::Key_F5);
            whileUp = asked.size();
        };
        QTest::keyClick(&w, Qt::Key_F5);
        QVERIFY(refreshed.wait());
        QCOMPARE(whileUp, 0);
        QCOMPARE(f.desktop.errors.size(), 1);
        f.serviceDown = false;

        w.lvServer->selectRow(1);
        w.lvServer->setFocus();
        QTest::keyClick(w.lvServer, Qt::Key_Return);
        QCOMPARE(f.desktop.messages, QStringList{"LFS.exe not found. Please check settings!"});

        const QModelIndex mate = firstMate(w.tvMates);
        QVERIFY(mate.isValid());
        w.tvMates->setFocus();
        w.tvMates->setCurrentIndex(mate.parent());
        QTest::keyClick(w.tvMates, Qt::Key_Down); // the tree remembers the node at its key up
        QCOMPARE(w.tvMates->currentIndex(), mate);
        QCOMPARE(w.lvServer->selectedCaption(), QStringLiteral("New S2"));
        QTest::keyClick(w.tvMates, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(w.lvServer->selectedCaption(), QStringLiteral("Busy S2"));
        QCOMPARE(f.desktop.messages.size(), 1); // Enter joined nothing here
    }

    // Each command is one action: its key is bound once (a key bound twice does nothing at
    // all), and disabling it disables its button and its items in every menu.
    void commands_eachKeyBoundOnce_disablingReachesButtonsAndMenus() {
        MainWindowFixture f("[SETTINGS]\nLFSPath=/games/lfs/LFS.exe\n");
        writeFriendsAndWork(f);
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        MateTray* tray = w.presence().tray();

        QSet<QObject*> seen;
        QMap<QString, int> bound;
        const auto count = [&](QObject* owner, const QList<QKeySequence>& keys) {
            if (seen.contains(owner))
                return;
            seen.insert(owner);
            for (const QKeySequence& key : keys)
                bound[key.toString(QKeySequence::PortableText)] += 1;
        };
        QList<QAction*> actions = w.findChildren<QAction*>() + tray->menu()->actions();
        for (QWidget* widget : QApplication::allWidgets())
            actions += widget->actions();
        for (QAction* action : std::as_const(actions))
            count(action, action->shortcuts());
        for (QShortcut* shortcut : w.findChildren<QShortcut*>())
            count(shortcut, shortcut->keys());
        for (const char* key : {"F5", "Ctrl+Q", "Ctrl+Z", "Ctrl+F"})
            QCOMPARE(bound.value(QString::fromLatin1(key)), 1);
        for (auto it = bound.cbegin(); it != bound.cend(); ++it)
            QVERIFY2(it.value() == 1, qPrintable(it.key()));
        QTest::keyClick(w.tvMates, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), w.finder().eFilter);

        const auto itemEnabled = [](const QMenu& menu, const QString& text) {
            for (const QAction* action : menu.actions()) {
                if (action->text() == text)
                    return std::optional<bool>(action->isEnabled());
            }
            return std::optional<bool>();
        };
        MainCommands& c = w.commands();
        for (const bool on : {false, true}) {
            c.join->setEnabled(on);
            c.deleteGroup->setEnabled(on);
            c.refresh->setEnabled(on);
            w.lvServer->selectRow(1);
            QCOMPARE(w.bJoinSvr->isEnabled(), on);
            QVERIFY(itemEnabled(*w.finder().rowMenu(1), "Join") == on);
            QCOMPARE(w.bDelGroup->isEnabled(), on);
            QVERIFY(itemEnabled(*w.presence().nodeMenu("Work", {}), "Delete group") == on);
            QVERIFY(itemEnabled(*tray->menu(), "Refresh now") == on);
            QCOMPARE(w.bJoinMate->isEnabled(), true);
            w.lvServer->setFocus();
            QTest::keyClick(w.lvServer, Qt::Key_Return); // Enter joins as the command does
            QCOMPARE(f.desktop.messages.size(), on ? 1 : 0);
        }
        QVERIFY(f.desktop.errors.isEmpty());
    }

    void moreSettingsOk_aNewIdentKeyRefreshesAtOnce() {
        MainWindowFixture f;
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        TfMoreSettings* more = w.settingsDialog()->fMoreSettings;
        const auto okWithKey = [&](const QString& key) {
            more->show();
            more->eIdentKey->setText(key);
            QTest::mouseClick(more->bOk, Qt::LeftButton);
            QVERIFY(!more->isVisible());
        };
        QCOMPARE(hostQueries(f.service).size(), 1);
        okWithKey(QStringLiteral("Key123"));
        QTRY_COMPARE(hostQueries(f.service).size(), 2);
        QTRY_VERIFY(!w.refresh().isWaiting());
        QVERIFY(hostQueries(f.service).last().contains(QStringLiteral("idk=Key123")));
        okWithKey(QStringLiteral("Key123")); // the same key: nothing new to ask
        QCOMPARE(hostQueries(f.service).size(), 2);

        // While the box of a refresh is up, a new key waits for the next tick.
        f.serviceDown = true;
        f.desktop.duringBox = [&] { okWithKey(QStringLiteral("Other9")); };
        Refresh(w);
        QCOMPARE(f.desktop.errors.size(), 1);
        QCOMPARE(hostQueries(f.service).size(), 3);
        f.serviceDown = false;
        Refresh(w);
        QVERIFY(hostQueries(f.service).last().contains(QStringLiteral("idk=Other9")));
    }

    void treeMenus_eachItemRunsItsButtonsHandlerOnTheClickedNode() {
        TemporaryHome home; // a deleted group goes to this home's trash
        MainWindowFixture f("[SETTINGS]\nLFSPath=/games/lfs/LFS.exe\n");
        f.writeFile("data/groups/Friends.profile", MateRecord::make("a", "", "", "").bytes() +
                                                       MateRecord::make("b", "", "", "").bytes());
        f.writeFile("data/groups/Work.profile", MateRecord::make("c", "", "", "").bytes());
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        w.resize(900, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto group = [&](const QString& name) { return w.mateTree().FindGroupNode(name); };
        const QAbstractItemModel& nodes = *w.tvMates->model();
        QCOMPARE(nodes.rowCount(group("Friends")), 2);
        const QModelIndex mateB = nodes.index(1, 0, group("Friends"));
        QCOMPARE(mateB.data().toString(), QStringLiteral("b"));

        const QStringList mateItems{"Join mate",
                                    "Join mate with server password...",
                                    "Edit mate...",
                                    "Delete mate",
                                    "Notify when this mate comes online",
                                    "Notify when this mate has changed host",
                                    "Create group...",
                                    "Undo"};
        QCOMPARE(chooseInMenu(w, mateB, "Join mate"), mateItems);
        QCOMPARE(f.desktop.messages, QStringList{"LFS.exe not found. Please check settings!"});
        chooseInMenu(w, mateB, "Join mate with server password...");
        QCOMPARE(f.desktop.inputs.size(), 1);
        QCOMPARE(f.desktop.inputs.last().caption,
                 QStringLiteral("Enter passwort for server: Busy S2"));
        QString editedName;
        chooseInMenu(w, mateB, "Edit mate...", [&](QWidget* modal) {
            QCOMPARE(modal, w.mateCommands().addEditMateDialog());
            editedName = w.mateCommands().addEditMateDialog()->eLFSName->text();
        });
        QCOMPARE(editedName, QStringLiteral("b"));

        QString addGroup;
        QCOMPARE(chooseInMenu(w, group("Work"), "Add mate...",
                              [&](QWidget* modal) {
                                  QCOMPARE(modal, w.mateCommands().addEditMateDialog());
                                  addGroup =
                                      w.mateCommands().addEditMateDialog()->cbGroups->currentText();
                              }),
                 (QStringList{"Add mate...", "Delete group",
                              "Notify when a mate of this group comes online",
                              "Notify when a mate of this group has changed host",
                              "Create group...", "Undo"}));
        QCOMPARE(addGroup, QStringLiteral("Work"));

        QCOMPARE(chooseInMenu(w, {}, "Create group..."), (QStringList{"Create group...", "Undo"}));
        QCOMPARE(f.desktop.inputs.size(), 2);
        QCOMPARE(f.desktop.inputs.last().caption, QStringLiteral("Create a new group"));

        chooseInMenu(w, nodes.index(1, 0, group("Friends")), "Delete mate");
        QCOMPARE(f.readFile("data/groups/Friends.profile"),
                 MateRecord::make("a", "", "", "").bytes());
        chooseInMenu(w, group("Work"), "Delete group");
        QVERIFY(!QFile::exists(f.dir.filePath("data/groups/Work.profile")));
        QVERIFY(!w.mateTree().FindGroupNode("Work").isValid());
        QVERIFY(f.desktop.errors.isEmpty());
    }

    // A refresh while the menu is open took Work away: its items act on nothing, never on
    // the node that now stands where Work stood.
    void treeMenu_nodeGoneUnderTheOpenMenu_beepsAndChangesNothing_data() {
        QTest::addColumn<QString>("item");
        QTest::newRow("delete group") << "Delete group";
        QTest::newRow("add mate") << "Add mate...";
        QTest::newRow("alerts") << "Notify when a mate of this group comes online";
    }
    void treeMenu_nodeGoneUnderTheOpenMenu_beepsAndChangesNothing() {
        QFETCH(QString, item);
        TemporaryHome home;
        MainWindowFixture f;
        writeFriendsAndWork(f);
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        w.resize(900, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QByteArray friends = f.readFile("data/groups/Friends.profile");
        const QModelIndex work = w.mateTree().FindGroupNode("Work");
        chooseInMenu(w, work, item, {}, [&] {
            QVERIFY(QFile::rename(f.dir.filePath("data/groups/Work.profile"),
                                  f.dir.filePath("Work.profile")));
            Refresh(w);
        });
        QCOMPARE(f.desktop.beeps, 1);
        QCOMPARE(f.readFile("data/groups/Friends.profile"), friends);
        QCOMPARE(w.tvMates->model()->index(0, 0).data().toString(), QStringLiteral("Friends"));
        QVERIFY(!QFile::exists(w.presence().choicesPath())); // no alert choice written
        QVERIFY(!w.rosterCommands().canUndo());
        QVERIFY(f.desktop.errors.isEmpty());
    }

    // After an undo the restored node is the selected one: the Menu key opens its menu,
    // and with nothing selected no menu at all.
    void menuKey_opensTheSelectedNodesMenuOnly() {
        TemporaryHome home;
        MainWindowFixture f;
        writeFriendsAndWork(f);
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        w.resize(900, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w)); // Ctrl+Z is the window's shortcut
        const auto group = [&](const QString& name) { return w.mateTree().FindGroupNode(name); };
        chooseInMenu(w, group("Work"), "Delete group");
        QVERIFY(!group("Work").isValid());
        w.activateWindow(); // the menu took it
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(w.tvMates, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(group("Work").isValid());
        QCOMPARE(w.tvMates->selectionModel()->selectedIndexes(), QModelIndexList{group("Work")});

        const QByteArray friends = f.readFile("data/groups/Friends.profile");
        QCOMPARE(chooseInOpenedMenu([&] { pressMenuKey(w.tvMates); }, "Delete group").first(),
                 QStringLiteral("Add mate..."));
        QVERIFY(!group("Work").isValid());
        QCOMPARE(f.readFile("data/groups/Friends.profile"), friends);

        w.tvMates->clearSelection();
        QCOMPARE(chooseInOpenedMenu([&] { pressMenuKey(w.tvMates); }, "Delete group"),
                 QStringList());
        QVERIFY(group("Friends").isValid());
        QVERIFY(f.desktop.errors.isEmpty());
    }

    // A fresh file gives the layout's widths; a user's widths come back at the next run,
    // written once the dragging stopped.
    void columnWidths_keptAcrossRuns() {
        MainWindowFixture f;
        f.hostsReply = threeHosts();
        const auto widths = [&] {
            QList<int> w;
            for (int i = 0; i < f.window->lvServer->header()->count(); ++i)
                w << f.window->lvServer->header()->sectionSize(i);
            return w;
        };
        f.start();
        const QList<int> layout{120, 33, 120, 60, 150, 50, 50, 50};
        QCOMPARE(widths(), layout);
        f.window->resize(900, 500);
        f.window->show(); // laying out is no user's resizing
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QTest::qWait(ColumnMemory::SaveDelayMs + 100);
        QVERIFY(!f.readFile("Pelmark2.config").contains("[COLUMNS]"));
        QHeaderView* header = f.window->lvServer->header();
        for (int px = 121; px <= 200; ++px) // a drag, pixel by pixel
            header->resizeSection(2, px);
        header->resizeSection(5, 77);
        QVERIFY(!f.readFile("Pelmark2.config").contains("[COLUMNS]")); // not while dragging
        QTRY_VERIFY(f.readFile("Pelmark2.config").contains("[COLUMNS]"));
        QCOMPARE(IniFile(f.configPath()).readInteger("COLUMNS", "Width2", 0), 200);

        f.window.reset();
        f.start();
        QList<int> kept = layout;
        kept[2] = 200;
        kept[5] = 77;
        QCOMPARE(widths(), kept);

        // A hand-edited width beyond reason is ignored, the others still hold.
        f.window.reset();
        IniFile(f.configPath()).writeInteger("COLUMNS", "Width2", 99999);
        f.start();
        kept[2] = 120;
        QCOMPARE(widths(), kept);
    }

    // Each state of an empty list has its line; a list with rows has none.
    void emptyList_saysWhyAndTheNextStep() {
        MainWindowFixture f("[SETTINGS]\nLFSPath=/games/lfs/LFS.exe\n");
        f.serviceDown = true;
        const QTime before = QTime::currentTime();
        TfMain& w = f.create();
        EmptyListNote& note = w.emptyListNote();
        QCOMPARE(note.shownText(), QStringLiteral("Fetching the list of hosts..."));

        // A failed request: its reason and when the next tick tries again.
        StartUp(w);
        const QTime after = QTime::currentTime();
        QCOMPARE(f.desktop.errors.size(), 1); // the box stays
        const QRegularExpressionMatch next =
            QRegularExpression(QStringLiteral("^(.+) Next try at (\\d\\d:\\d\\d)\\.$"))
                .match(note.shownText());
        QVERIFY2(next.hasMatch(), qPrintable(note.shownText()));
        QCOMPARE(next.captured(1), f.desktop.errors.first());
        const QTime said = QTime::fromString(next.captured(2), QStringLiteral("HH:mm"));
        // The tick is due 70 s after the timer started, somewhere between the two clocks;
        // the line says its minute.
        const auto dueMinute = [](QTime started) {
            const QTime due = started.addMSecs(70000);
            return QTime(due.hour(), due.minute());
        };
        QVERIFY(said >= dueMinute(before) && said <= dueMinute(after));
        QVERIFY(note.textLabel()->textFormat() == Qt::PlainText);

        // The service's text answer, and the way to the key.
        f.serviceDown = false;
        f.hostsReply = "Please <b>set</b> an ident key\n";
        Refresh(w);
        QCOMPARE(f.desktop.messages.size(), 1);
        QCOMPARE(note.shownText(), QStringLiteral("The statistics service answered: Please "
                                                  "<b>set</b> an ident key\n"
                                                  "Enter your ident key..."));
        QWidget* focused = nullptr;
        QWidget* modal = nullptr;
        QTimer::singleShot(0, [&] {
            modal = QApplication::activeModalWidget();
            focused = modal ? modal->focusWidget() : nullptr;
            if (modal)
                modal->close();
        });
        Q_EMIT note.linkLabel()->linkActivated(QStringLiteral("#identkey"));
        QCOMPARE(modal, w.settingsDialog()->fMoreSettings);
        QCOMPARE(focused, w.settingsDialog()->fMoreSettings->eIdentKey);

        f.desktop.processes = {"/games/lfs/LFS.exe"};
        w.gameWatch().check();
        QCOMPARE(note.shownText(), QStringLiteral("Refreshes pause while the game runs"));
        f.desktop.processes.clear();
        w.gameWatch().check();

        f.hostsReply = threeHosts();
        Refresh(w);
        QCOMPARE(w.lvServer->rowCount(), 3);
        QCOMPARE(note.shownText(), QString());
        f.desktop.processes = {"/games/lfs/LFS.exe"};
        w.gameWatch().check(); // rows to show: no line over them
        QCOMPARE(note.shownText(), QString());
    }

    // Texts from outside cannot reorder themselves, and a host whose name is colour codes
    // only keeps its row but cannot become a favourite that the next load would drop.
    void hostileTexts_showInTheirOrder_blankHostIsNoFavourite() {
        MainWindowFixture f;
        f.hostsReply = "missing \xE2\x80\xAEtxt.exe\xE2\x80\xAC \xE2\x81\xA6now\xE2\x81\xA9\n";
        TfMain& w = f.start();
        QCOMPARE(w.emptyListNote().shownText(),
                 QStringLiteral("The statistics service answered: missing txt.exe now\n"
                                "Enter your ident key..."));
        QCOMPARE(f.desktop.messages.value(0),
                 QStringLiteral("The statistics service answered: missing txt.exe now"));

        f.hostsReply = PackHosts({FakeHost("^1^7").limit(24), FakeHost("Busy S2").limit(24)});
        Refresh(w);
        QCOMPARE(w.lvServer->rowCount(), 2);
        for (int row = 0; row < 2; ++row) {
            const std::unique_ptr<QMenu> menu = w.finder().rowMenu(row);
            QAction* favourite = nullptr;
            for (QAction* action : menu->actions())
                if (action->text() == QStringLiteral("Favourite host"))
                    favourite = action;
            QVERIFY(favourite);
            QCOMPARE(favourite->isEnabled(), !w.lvServer->rowText(row, 0).isEmpty());
        }
    }

    // A tray that comes after the start gets the icon; closed to it, a failed refresh
    // tells the tray instead of a box, until the window shows again.
    void tray_comesLater_andTellsFailuresWhileTheWindowIsHidden() {
        MainWindowFixture f("[OPTIONS]\nKeepInTray=1\n");
        f.hostsReply = threeHosts();
        TfMain& w = f.start();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        MateTray* tray = w.presence().tray();
        bool trayUp = false;
        tray->setAvailabilityProbe([&] { return trayUp; }, 20);
        QTest::qWait(100);
        QVERIFY(!tray->isVisible());
        TfMoreSettings* more = w.settingsDialog()->fMoreSettings;
        const auto keepInTrayOffered = [&] {
            more->show();
            const bool offered = more->cbKeepInTray->isEnabled() && more->lNoTray->isHidden();
            more->close();
            return offered;
        };
        QVERIFY(!keepInTrayOffered());

        trayUp = true;
        QTRY_VERIFY(tray->isVisible());
        QVERIFY(keepInTrayOffered());
        const QImage onlinePicture = tray->shownIcon().pixmap(32, 32).toImage();

        QCloseEvent close; // as the window manager's close button sends it
        QSpontaneKeyEvent::setSpontaneous(&close);
        qApp->notify(&w, &close); // sendEvent would make it the program's own
        QVERIFY(w.isHidden());
        QVERIFY(w.presence().hiddenInTray());
        f.serviceDown = true;
        const QTime before = QTime::currentTime();
        Refresh(w);
        f.serviceDown = false;
        f.hostsReply = "can't";
        Refresh(w); // a refusal: no box either
        QVERIFY(f.desktop.errors.isEmpty());
        QVERIFY(f.desktop.messages.isEmpty());
        const QStringList sinces{QLocale::c().toString(before, "HH:mm"),
                                 QLocale::c().toString(QTime::currentTime(), "HH:mm")};
        QVERIFY2(tray->toolTip() ==
                         "Pelmark II: Offline since " + sinces.first() + ": Could not refresh." ||
                     tray->toolTip() ==
                         "Pelmark II: Offline since " + sinces.last() + ": Could not refresh.",
                 qPrintable(tray->toolTip()));
        QVERIFY(tray->shownIcon().pixmap(32, 32).toImage() != onlinePicture);

        Q_EMIT tray->showRequested(); // the window shows: the boxes come back
        QVERIFY(!w.isHidden());
        Refresh(w);
        QCOMPARE(f.desktop.messages, QStringList{"Could not refresh."});
        f.hostsReply = threeHosts();
        Refresh(w);
        QVERIFY(!tray->isOffline());
        QVERIFY(tray->toolTip().endsWith(w.lMateInfo->text()));
        QCOMPARE(tray->shownIcon().pixmap(32, 32).toImage(), onlinePicture);

        trayUp = false;
        QTRY_VERIFY(!tray->isVisible());
    }
};

QTEST_MAIN(TestWindowUse)
#include "tst_windowuse.moc"
