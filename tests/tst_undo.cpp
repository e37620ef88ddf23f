#include "MainWindowFixture.h"
#include "MatePresence.h"
#include "MateTree.h"
#include "RosterCommands.h"
#include "TemporaryHome.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include <unistd.h>

namespace {

enum class Trash { Usable, NoDataFolder, InfoIsAFile, InfoReadOnly };

const QString Friends = QStringLiteral("Friends");
const QString FriendsFile = QStringLiteral("data/groups/Friends.profile");

// Two mates and a cut record after them: the bytes must come back as they were, not as
// the lists would write them.
QByteArray friendsBytes() {
    return MateRecord::make("racer1", "Ann", "Red", {}).bytes() +
           MateRecord::make("racer2", {}, {}, "example.org").bytes() + QByteArray("\x01tail", 5);
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the tree shows, group by group.
QStringList nodeTexts(const QTreeWidget& tree) {
    QStringList texts;
    for (int g = 0; g < tree.topLevelItemCount(); ++g) {
        const QTreeWidgetItem* group = tree.topLevelItem(g);
        texts << group->text(0);
        for (int m = 0; m < group->childCount(); ++m)
            texts << QStringLiteral("  ") + group->child(m)->text(0);
    }
    return texts;
}

struct UndoWindow {
    TemporaryHome home;
    MainWindowFixture f;
    QString previousFolder = QDir::currentPath();

    UndoWindow() {
        QDir::setCurrent(f.dir.path()); // where a lost trash would show
        f.writeFile(FriendsFile, friendsBytes());
        f.writeFile(QStringLiteral("data/groups/Work.profile"),
                    MateRecord::make("boss", {}, {}, {}).bytes());
        TfMain& w = f.create();
        w.bOnOffline->setProperty("Tag", 0); // every mate has a node
        w.mateTree().RebuildRoster();
    }
    ~UndoWindow() { QDir::setCurrent(previousFolder); }
    TfMain& window() { return *f.window; }
    void choose(QTreeWidgetItem* node) {
        window().tvMates->setCurrentItem(node);
        window().mateTree().tvMatesMouseUp();
    }
    QTreeWidgetItem* friendsNode() {
        return window().mateTree().NodeAt(window().mateTree().FindGroupNode(Friends));
    }
    // The last item of a node's menu.
    QAction* menuUndo(const QString& mateText) {
        m_menu = window().presence().nodeMenu(Friends, mateText);
        return m_menu->actions().last();
    }

private:
    std::unique_ptr<QMenu> m_menu;
};

} // namespace

class TestUndo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void deleteGroup_toTrash_ctrlZBringsItBack_data();
    void deleteGroup_toTrash_ctrlZBringsItBack();
    void mateChange_undoInTreeMenu_restoresFile_data();
    void mateChange_undoInTreeMenu_restoresFile();
};

void TestUndo::deleteGroup_toTrash_ctrlZBringsItBack_data() {
    QTest::addColumn<Trash>("trash");
    QTest::newRow("trash") << Trash::Usable;
    // Where the trash cannot take the file it is deleted; Qt 6.4 would drop it into the
    // working folder, or try names for good.
    QTest::newRow("data folder is a file") << Trash::NoDataFolder;
    QTest::newRow("trash's info folder is a file") << Trash::InfoIsAFile;
    QTest::newRow("trash's info folder is read-only") << Trash::InfoReadOnly;
}

void TestUndo::deleteGroup_toTrash_ctrlZBringsItBack() {
    QFETCH(Trash, trash);
    const bool trashUsable = trash == Trash::Usable;
    UndoWindow u;
    if (trash == Trash::NoDataFolder) {
        u.f.writeFile(QStringLiteral("not-a-folder"), "x");
        qputenv("XDG_DATA_HOME", QFile::encodeName(u.f.dir.filePath("not-a-folder")));
    } else if (trash == Trash::InfoIsAFile) {
        QVERIFY(QDir().mkpath(u.home.trash()));
        QFile info(u.home.trash() + QStringLiteral("/info"));
        QVERIFY(info.open(QIODevice::WriteOnly));
    } else if (trash == Trash::InfoReadOnly) {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QVERIFY(QDir().mkpath(u.home.trash() + QStringLiteral("/info")));
        QVERIFY(QFile::setPermissions(u.home.trash() + QStringLiteral("/info"),
                                      QFile::ReadOwner | QFile::ExeOwner));
    }
    TfMain& w = u.window();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QStringList treeBefore = nodeTexts(*w.tvMates);
    const QString path = u.f.dir.filePath(FriendsFile);

    u.choose(u.friendsNode());
    w.bDelGroup->click();
    QVERIFY(!QFile::exists(path));
    QCOMPARE(w.mateTree().FindGroupNode(Friends), -1);
    QVERIFY(u.f.desktop.inputs.isEmpty()); // nothing asked
    QVERIFY(u.f.desktop.messages.isEmpty());
    QVERIFY(u.f.desktop.errors.isEmpty());
    const QString trashed = u.home.trash() + QStringLiteral("/files/Friends.profile");
    const QString info = u.home.trash() + QStringLiteral("/info/Friends.profile.trashinfo");
    if (trashUsable) {
        QCOMPARE(readBytes(trashed), friendsBytes());
        QVERIFY(readBytes(info).contains(
            "\nPath=" + QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/") + '\n'));
    } else {
        QVERIFY(!QFile::exists(trashed));
    }
    QVERIFY(!QFile::exists(u.f.dir.filePath(QStringLiteral("files/Friends.profile"))));

    QTest::keyClick(w.tvMates, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(u.f.readFile(FriendsFile), friendsBytes());
    QCOMPARE(nodeTexts(*w.tvMates), treeBefore);
    QVERIFY(!w.rosterCommands().canUndo()); // once
}

void TestUndo::mateChange_undoInTreeMenu_restoresFile_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("deleted") << QStringLiteral("deleted");
    QTest::newRow("added") << QStringLiteral("added");
    QTest::newRow("edited") << QStringLiteral("edited");
}

void TestUndo::mateChange_undoInTreeMenu_restoresFile() {
    QFETCH(QString, change);
    UndoWindow u;
    TfMain& w = u.window();
    const QStringList treeBefore = nodeTexts(*w.tvMates);
    QAction* undo = u.menuUndo(QString());
    QCOMPARE(undo->text(), QStringLiteral("Undo"));
    QVERIFY(!undo->isEnabled()); // nothing done yet

    if (change == QLatin1String("deleted")) {
        u.choose(u.friendsNode()->child(0));
        w.bDelMate->click();
    } else if (change == QLatin1String("added")) {
        QCOMPARE(w.rosterCommands().AddMate(Friends, MateRecord::make("newbie", {}, {}, {})),
                 RosterCommands::AddResult::Added);
    } else {
        QVERIFY(w.rosterCommands().ApplyMate(Friends, MateRecord::make("racer2", "Bo", {}, {})));
    }
    QVERIFY(u.f.readFile(FriendsFile) != friendsBytes());
    QVERIFY(nodeTexts(*w.tvMates) != treeBefore);

    undo = u.menuUndo(u.friendsNode()->child(0)->text(0));
    QCOMPARE(undo->text(), QStringLiteral("Undo"));
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(u.f.readFile(FriendsFile), friendsBytes());
    QCOMPARE(nodeTexts(*w.tvMates), treeBefore);
    QVERIFY(u.f.desktop.errors.isEmpty());
    QVERIFY(!u.menuUndo(QString())->isEnabled());
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
