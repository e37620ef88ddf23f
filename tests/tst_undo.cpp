#include "MainWindowFixture.h"
#include "MatePresence.h"
#include "MateTree.h"
#include "RosterCommands.h"
#include "TemporaryHome.h"
#include "Tmpfs.h"
#include "TreeRows.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
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
QStringList nodeTexts(const QTreeView& tree) {
    QStringList texts;
    for (const QModelIndex& node : NodesInTreeOrder(*tree.model()))
        texts << (node.parent().isValid() ? QStringLiteral("  ") : QString()) +
                     TreeRows::text(node);
    return texts;
}

// Where the data folder lies: on the disk of the home, on a small file system of its own
// (with a trash of its own), or there with the home's data folder too.
enum class Disk { Home, Own, OwnWithHome };

struct UndoWindow {
    TemporaryHome home;
    MainWindowFixture f;
    std::unique_ptr<Tmpfs> disk;
    QString previousFolder = QDir::currentPath();

    explicit UndoWindow(Disk where = Disk::Home, const QByteArray& diskOptions = {}) {
        QDir::setCurrent(f.dir.path()); // where a lost trash would show
        if (where != Disk::Home) {
            disk =
                std::make_unique<Tmpfs>(f.dir.filePath(QStringLiteral("data")), "1m", diskOptions);
            QDir(f.dir.path()).mkpath(QStringLiteral("data/groups"));
            if (where == Disk::OwnWithHome)
                qputenv("XDG_DATA_HOME", QFile::encodeName(dataShare()));
        }
        f.writeFile(FriendsFile, friendsBytes());
        f.writeFile(QStringLiteral("data/groups/Work.profile"),
                    MateRecord::make("boss", {}, {}, {}).bytes());
        TfMain& w = f.create();
        w.bOnOffline->click(); // every mate has a node
        w.mateTree().RebuildRoster();
    }
    ~UndoWindow() {
        m_menu.reset();
        f.window.reset(); // before its data folder goes
        disk.reset();
        QDir::setCurrent(previousFolder);
    }
    bool mounted() const { return disk && disk->mounted(); }
    QString dataShare() const { return f.dir.filePath(QStringLiteral("data/share")); }
    QString groupPath(const QString& group) const {
        return f.dir.filePath(QStringLiteral("data/groups/%1.profile").arg(group));
    }
    // Deletes the group through its node and the tool bar, as a person would.
    // Ctrl+Z in the shown window.
    bool pressUndo() {
        window().show();
        if (!QTest::qWaitForWindowActive(&window()))
            return false;
        QTest::keyClick(window().tvMates, Qt::Key_Z, Qt::ControlModifier);
        return true;
    }
    bool deleteGroup(const QString& group) {
        window().mateTree().RebuildRoster();
        const QModelIndex node = window().mateTree().FindGroupNode(group);
        if (!node.isValid())
            return false;
        choose(node);
        window().bDelGroup->click();
        return true;
    }
    TfMain& window() { return *f.window; }
    void choose(const QModelIndex& node) {
        window().tvMates->setCurrentIndex(node);
        window().mateTree().tvMatesMouseUp();
    }
    QModelIndex friendsNode() { return window().mateTree().FindGroupNode(Friends); }
    QModelIndex firstFriend() { return window().tvMates->model()->index(0, 0, friendsNode()); }
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
    void undo_whereAFileTookThePlace_keepsBoth_data();
    void undo_whereAFileTookThePlace_keepsBoth();
    void deleteGroup_fullDisk_deletesPlainlyAndPromptly_data();
    void deleteGroup_fullDisk_deletesPlainlyAndPromptly();
    void trashedGroup_listedAndRestoredByTrashCli_data() { trashNames(); }
    void trashedGroup_listedAndRestoredByTrashCli();
    void trashedGroup_listedByGio_data() { trashNames(); }
    void trashedGroup_listedByGio();

private:
    static void trashNames();
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
    QVERIFY(!w.mateTree().FindGroupNode(Friends).isValid());
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
    // No stale copy in the trash, which a trash tool would refuse to restore over it.
    QVERIFY(!QFile::exists(trashed));
    QVERIFY(!QFile::exists(info));
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
        u.choose(u.firstFriend());
        w.bDelMate->click();
    } else if (change == QLatin1String("added")) {
        QCOMPARE(w.rosterCommands().AddMate(Friends, MateRecord::make("newbie", {}, {}, {})),
                 RosterCommands::AddResult::Added);
    } else {
        QVERIFY(w.rosterCommands().ApplyMate(Friends, MateRecord::make("racer2", "Bo", {}, {})));
    }
    QVERIFY(u.f.readFile(FriendsFile) != friendsBytes());
    QVERIFY(nodeTexts(*w.tvMates) != treeBefore);

    undo = u.menuUndo(TreeRows::text(u.firstFriend()));
    QCOMPARE(undo->text(), QStringLiteral("Undo"));
    QVERIFY(undo->isEnabled());
    undo->trigger();
    QCOMPARE(u.f.readFile(FriendsFile), friendsBytes());
    QCOMPARE(nodeTexts(*w.tvMates), treeBefore);
    QVERIFY(u.f.desktop.errors.isEmpty());
    QVERIFY(!u.menuUndo(QString())->isEnabled());
}

void TestUndo::undo_whereAFileTookThePlace_keepsBoth_data() {
    QTest::addColumn<bool>("groupDeleted");
    QTest::addColumn<bool>("restoredNameTaken");
    QTest::addColumn<QString>("keptAs");
    QTest::newRow("group deleted, a file copied in") << true << false << "Friends (restored)";
    QTest::newRow("group deleted, the restored name taken too")
        << true << true << "Friends (restored 2)";
    QTest::newRow("mate deleted, the file written since") << false << false << "Friends (restored)";
}

void TestUndo::undo_whereAFileTookThePlace_keepsBoth() {
    QFETCH(bool, groupDeleted);
    QFETCH(bool, restoredNameTaken);
    QFETCH(QString, keptAs);
    UndoWindow u;
    TfMain& w = u.window();
    const QByteArray taken = "an older undo's bytes";
    if (restoredNameTaken)
        u.f.writeFile(QStringLiteral("data/groups/Friends (restored).profile"), taken);
    if (groupDeleted) {
        QVERIFY(u.deleteGroup(Friends));
    } else {
        u.choose(u.firstFriend());
        w.bDelMate->click();
    }
    const QByteArray newer = MateRecord::make("newcomer", {}, {}, {}).bytes();
    u.f.writeFile(FriendsFile, newer);

    QVERIFY(u.pressUndo());
    QCOMPARE(u.f.readFile(FriendsFile), newer);
    QCOMPARE(readBytes(u.groupPath(keptAs)), friendsBytes());
    if (restoredNameTaken)
        QCOMPARE(readBytes(u.groupPath(QStringLiteral("Friends (restored)"))), taken);
    QCOMPARE(u.f.desktop.messages,
             QStringList(QStringLiteral("\"Friends.profile\" has changed since, so it stays as "
                                        "it is; the undone version is saved as \"%1.profile\".")
                             .arg(keptAs)));
    QVERIFY(u.f.desktop.errors.isEmpty());
    QVERIFY(w.mateTree().FindGroupNode(keptAs).isValid());
    QVERIFY(!w.rosterCommands().canUndo());
    QVERIFY(QDir(u.home.trash() + QStringLiteral("/files")).isEmpty());
}

void TestUndo::deleteGroup_fullDisk_deletesPlainlyAndPromptly_data() {
    QTest::addColumn<bool>("noInodes");
    // Qt 6.4 tried names for good without inodes, and left an empty description without
    // blocks.
    QTest::newRow("no free inodes") << true;
    QTest::newRow("no free blocks") << false;
}

void TestUndo::deleteGroup_fullDisk_deletesPlainlyAndPromptly() {
    QFETCH(bool, noInodes);
    UndoWindow u(Disk::OwnWithHome, noInodes ? "nr_inodes=64" : QByteArray());
    if (!u.mounted())
        QSKIP("mounting a tmpfs was refused");
    const QString trash = u.dataShare() + QStringLiteral("/Trash");
    QVERIFY(QDir().mkpath(trash + QStringLiteral("/files")));
    QVERIFY(QDir().mkpath(trash + QStringLiteral("/info")));
    QVERIFY(noInodes ? u.disk->fillInodes() : u.disk->fill());

    QElapsedTimer timer;
    timer.start();
    QVERIFY(u.deleteGroup(Friends));
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!QFile::exists(u.groupPath(Friends)));
    const auto entries = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;
    QCOMPARE(QDir(trash + QStringLiteral("/info")).entryList(entries), QStringList());
    QCOMPARE(QDir(trash + QStringLiteral("/files")).entryList(entries), QStringList());
    QVERIFY(u.f.desktop.errors.isEmpty());

    QVERIFY(u.pressUndo());
    QCOMPARE(u.f.readFile(FriendsFile), friendsBytes());
    QVERIFY(u.f.desktop.errors.isEmpty());
}

void TestUndo::trashNames() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<Disk>("disk");
    QTest::newRow("percent and space") << QStringLiteral("100% Racing") << Disk::Home;
    QTest::newRow("percent code") << QStringLiteral("Team%41") << Disk::Home;
    QTest::newRow("line break") << QStringLiteral("Night\nShift") << Disk::Home;
    QTest::newRow("percent code, the disk's own trash") << QStringLiteral("Team%41") << Disk::Own;
}

namespace {

QString run(const QString& program, const QStringList& arguments, const QByteArray& input = {},
            const QString& folder = {}, int* exitCode = nullptr) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(program, arguments);
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(20000))
        p.kill();
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
}

} // namespace

void TestUndo::trashedGroup_listedAndRestoredByTrashCli() {
    QFETCH(QString, group);
    QFETCH(Disk, disk);
    if (QStandardPaths::findExecutable(QStringLiteral("trash-list")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("trash-restore")).isEmpty())
        QSKIP("trash-cli is not installed");
    UndoWindow u(disk);
    if (disk != Disk::Home && !u.mounted())
        QSKIP("mounting a tmpfs was refused");
    const QString original = u.groupPath(group);
    const QByteArray bytes = MateRecord::make("racer9", {}, {}, {}).bytes();
    u.f.writeFile(QStringLiteral("data/groups/%1.profile").arg(group), bytes);
    QVERIFY(u.deleteGroup(group));
    QVERIFY(!QFile::exists(original));
    const QString trash = disk == Disk::Own
                              ? u.f.dir.filePath(QStringLiteral("data/.Trash-%1")).arg(::getuid())
                              : u.home.trash();
    QVERIFY(QFile::exists(trash + QStringLiteral("/info/%1.profile.trashinfo").arg(group)));

    const QString listed = run(QStringLiteral("trash-list"), {});
    QVERIFY2(listed.contains(QLatin1Char(' ') + original + QLatin1Char('\n')), qPrintable(listed));
    const QString restored =
        run(QStringLiteral("trash-restore"), {}, "0\n", QFileInfo(original).path());
    QVERIFY2(readBytes(original) == bytes, qPrintable(restored));

    // The user's restore stays, the undo keeps its bytes beside it, and the trash is empty.
    QVERIFY(u.pressUndo());
    QCOMPARE(readBytes(original), bytes);
    QCOMPARE(readBytes(u.groupPath(group + QStringLiteral(" (restored)"))), bytes);
    QCOMPARE(run(QStringLiteral("trash-list"), {}), QString());
}

void TestUndo::trashedGroup_listedByGio() {
    QFETCH(QString, group);
    QFETCH(Disk, disk);
    if (QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
        QSKIP("gio is not installed");
    UndoWindow u(disk);
    if (disk != Disk::Home && !u.mounted())
        QSKIP("mounting a tmpfs was refused");
    const QString original = u.groupPath(group);
    u.f.writeFile(QStringLiteral("data/groups/%1.profile").arg(group), "x");
    QVERIFY(u.deleteGroup(group));

    int exitCode = 0;
    const QString listed =
        run(QStringLiteral("gio"), {QStringLiteral("trash"), QStringLiteral("--list")}, {}, {},
            &exitCode);
    // Listing goes through GVfs's trash backend and a session bus.
    if (exitCode != 0)
        QSKIP(qPrintable(QStringLiteral("gio cannot list the trash here: ") + listed.trimmed()));
    QVERIFY2(listed.contains(QLatin1Char('\t') + original + QLatin1Char('\n')), qPrintable(listed));
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
