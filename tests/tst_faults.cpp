#include "FakeDesktop.h"
#include "HttpClient.h"
#include "MateRecord.h"
#include "MateTree.h"
#include "RosterCommands.h"
#include "StatSim.h"
#include "TemporaryHome.h"
#include "Tmpfs.h"
#include "WindowWaits.h"
#include "uAddEditMate.h"
#include "uMain.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// Nothing in these tests may reach the public service.
const QString DeadService = QStringLiteral("http://127.0.0.1:1");

// The simulator as a child process on a free loopback port.
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write fixture file");
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray records(const QList<MateRecord>& list) {
    QByteArray bytes;
    for (const MateRecord& r : list)
        bytes += r.bytes();
    return bytes;
}

// Every file below a folder, by relative path, with its bytes.
QMap<QString, QByteArray> snapshot(const QString& root) {
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(root).relativeFilePath(path), readFile(path));
    }
    return files;
}

// The roster lists in comparable form.
struct Lists {
    QStringList groups;
    QList<QPair<QString, QByteArray>> mates;
    bool operator==(const Lists&) const = default;
};

// Sorted: a command appends where a load goes by file name; only the content counts.
Lists lists(QuillonPubStats& stats) {
    Lists l;
    l.groups = stats.groups();
    for (const MateEntry& e : std::as_const(stats.mates()))
        l.mates.append({e.group, e.record.bytes()});
    std::sort(l.groups.begin(), l.groups.end());
    std::stable_sort(l.mates.begin(), l.mates.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return l;
}

enum class Condition { ReadOnly, DiskFull, MissingFolder };
enum class Command { CreateGroup, DeleteGroup, AddMate, EditMate, DeleteMate };

// Ten records (3830 bytes) fill most of one page: one more needs a second page.
QList<MateRecord> crewRecords() {
    QList<MateRecord> list;
    for (int i = 0; i < 10; ++i)
        list << MateRecord::make("racer" + QByteArray::number(i), "Racer " + QByteArray::number(i),
                                 "[TEAM]", {});
    return list;
}

const QString Crew = QStringLiteral("Crew");
const QString Solo = QStringLiteral("Solo");
const MateRecord SoloMate = MateRecord::make("loner", {}, {}, {});

// A main window in a program folder of its own, the roster loaded, the service dead.
struct ProgramFolder {
    TemporaryHome home; // a deleted group goes to its trash
    QTemporaryDir temp;
    QString root = temp.path() + QStringLiteral("/program");
    std::unique_ptr<Tmpfs> tmpfs;
    FakeDesktop desktop;
    std::unique_ptr<TfMain> window;
    TfAddEditMate* dialog = nullptr; // the window's own

    QString groupsDir() const { return root + QStringLiteral("/data/groups"); }
    QString configPath() const { return root + QStringLiteral("/Pelmark2.config"); }

    bool mount(const QByteArray& size) {
        QDir().mkpath(root);
        tmpfs = std::make_unique<Tmpfs>(root, size);
        return tmpfs->mounted();
    }

    void populate() {
        QDir().mkpath(groupsDir());
        writeFile(configPath(), "[SETTINGS]\r\nInterval=70000\r\n[SORT]\r\nColumnIndex=0\r\n"
                                "SortDirection=0\r\n[SERVICE]\r\nStatsServer=" +
                                    DeadService.toLatin1() +
                                    "\r\nHighlightsServer=" + DeadService.toLatin1() + "\r\n");
        writeFile(groupsDir() + QStringLiteral("/Crew.profile"), records(crewRecords()));
        writeFile(groupsDir() + QStringLiteral("/Solo.profile"), SoloMate.bytes());
    }

    void open() {
        window = std::make_unique<TfMain>(desktop, root + QStringLiteral("/Pelmark2"));
        window->defaultService = DeadService;
        window->config.statsServer = DeadService;
        window->config.highlightsServer = DeadService;
        window->tCheckLFS->stop(); // it would switch the refresh timer on again
        window->tAutoRefresh->stop();
        window->bOnOffline->click(); // every mate has a node
        window->mateTree().RebuildRoster();
        dialog = window->mateCommands().addEditMateDialog();
    }

    QModelIndex groupNode(const QString& group) const {
        return window->mateTree().FindGroupNode(group);
    }
    QModelIndex mateNode(const QString& group, int row) const {
        return window->tvMates->model()->index(row, 0, groupNode(group));
    }
    void choose(const QModelIndex& node) {
        window->tvMates->setCurrentIndex(node);
        window->mateTree().tvMatesMouseUp();
    }
};

} // namespace

class tst_Faults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void serviceFault_keepsRows_data();
    void serviceFault_keepsRows();
    void rosterCommand_onBrokenFolder_losesNothing_data();
    void rosterCommand_onBrokenFolder_losesNothing();
    void columnClick_onBrokenFolder_keepsSettings_data();
    void columnClick_onBrokenFolder_keepsSettings();
};

// ---- the service ------------------------------------------------------------------

void tst_Faults::serviceFault_keepsRows_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("stallLimitMs"); // 0: the client's default
    QTest::addColumn<bool>("errorBox");    // else the plain "Could not refresh."
    QTest::addColumn<bool>("rebuildsRoster");

    QTest::newRow("refusal") << "fault=refuse" << 0 << false << true;
    QTest::newRow("error status") << "fault=status&value=503" << 0 << true << false;
    QTest::newRow("stalled reply") << "fault=stall&value=60" << 1500 << true << false;
    QTest::newRow("truncated reply") << "fault=truncate" << 0 << false << true;
    QTest::newRow("dropped mid-reply") << "fault=drop" << 0 << true << false;
    QTest::newRow("reply over the size limit") << "fault=oversize" << 0 << true << false;
}

void tst_Faults::serviceFault_keepsRows() {
    QFETCH(QString, fault);
    QFETCH(int, stallLimitMs);
    QFETCH(bool, errorBox);
    QFETCH(bool, rebuildsRoster);

    StatSim sim;
    QVERIFY2(sim.port() > 0, "the simulator did not start");
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/groups")));
    QVERIFY(QFile::copy(QStringLiteral(TRACKS_DATA_PATH),
                        dir.filePath(QStringLiteral("data/Tracks.data"))));
    writeFile(dir.filePath(QStringLiteral("Pelmark2.config")),
              "[SERVICE]\nStatsServer=" + sim.baseUrl().toLatin1() +
                  "\nHighlightsServer=" + sim.baseUrl().toLatin1() + "\n");
    writeFile(dir.filePath(QStringLiteral("data/groups/Crew.profile")), SoloMate.bytes());

    FakeDesktop desktop;
    TfMain window(desktop, dir.filePath(QStringLiteral("Pelmark2")));
    window.defaultService = DeadService;
    QVERIFY(StartUp(window));
    QCOMPARE(desktop.errors, QStringList());
    QVERIFY(window.lvServer->rowCount() > 0);
    if (stallLimitMs > 0)
        window.IdHTTP->setStallLimit(stallLimitMs);

    const auto rows = [&] {
        QStringList texts;
        for (int i = 0; i < window.lvServer->rowCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < ServerListModel::ColumnCount; ++c)
                cells << window.lvServer->rowText(i, c);
            texts << cells.join(QLatin1Char('|'));
        }
        return texts;
    };
    const QStringList rowsBefore = rows();
    const QString countersBefore =
        window.lSvrCount->text() + window.lOccupied->text() + window.lPlayersOnline->text();
    const qsizetype hostsBefore = window.refresh().hosts().size();
    // A group that only a roster rebuild brings into the tree.
    writeFile(dir.filePath(QStringLiteral("data/groups/Late.profile")), {});

    QVERIFY(sim.setFault(fault));
    QElapsedTimer clock;
    clock.start();
    Refresh(window);

    QVERIFY2(clock.elapsed() < 30'000, "the refresh waited too long");
    QCOMPARE(desktop.errors.size(), errorBox ? 1 : 0);
    QCOMPARE(desktop.messages,
             errorBox ? QStringList() : QStringList{QStringLiteral("Could not refresh.")});
    QCOMPARE(rows(), rowsBefore);
    QCOMPARE(window.lSvrCount->text() + window.lOccupied->text() + window.lPlayersOnline->text(),
             countersBefore);
    QCOMPARE(window.refresh().hosts().size(), hostsBefore);
    QCOMPARE(window.mateTree().FindGroupNode(QStringLiteral("Late")).isValid(), rebuildsRoster);
    QVERIFY(!window.refresh().isWaiting());

    // With the fault gone the next tick refreshes as usual.
    QVERIFY(sim.setFault(QStringLiteral("fault=none")));
    const QStringList errorsBefore = desktop.errors;
    const QStringList messagesBefore = desktop.messages;
    Refresh(window);
    QCOMPARE(desktop.errors, errorsBefore);
    QCOMPARE(desktop.messages, messagesBefore);
    QVERIFY(window.lvServer->rowCount() > 0);
    QCOMPARE(window.lSvrCount->text(),
             QStringLiteral("Servers online: %1").arg(window.lvServer->rowCount()));
    QVERIFY(window.mateTree().FindGroupNode(QStringLiteral("Late")).isValid());
}

// ---- the file system --------------------------------------------------------------

void tst_Faults::rosterCommand_onBrokenFolder_losesNothing_data() {
    QTest::addColumn<Condition>("condition");
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("fails");

    const struct {
        const char* name;
        Condition condition;
    } conditions[] = {{"read-only", Condition::ReadOnly},
                      {"disk full", Condition::DiskFull},
                      {"groups folder missing", Condition::MissingFolder}};
    const struct {
        const char* name;
        Command command;
        bool failsWhenFull; // an empty file and an in-place write need no new page
    } commands[] = {{"create group", Command::CreateGroup, false},
                    {"delete group", Command::DeleteGroup, false},
                    {"add mate", Command::AddMate, true},
                    {"edit mate", Command::EditMate, false},
                    {"delete mate", Command::DeleteMate, true}};
    for (const auto& c : conditions) {
        for (const auto& m : commands) {
            // Deleting a file that cannot be deleted goes unnoticed.
            const bool fails = m.command != Command::DeleteGroup &&
                               (c.condition != Condition::DiskFull || m.failsWhenFull);
            QTest::addRow("%s, %s", c.name, m.name) << c.condition << m.command << fails;
        }
    }
}

void tst_Faults::rosterCommand_onBrokenFolder_losesNothing() {
    QFETCH(Condition, condition);
    QFETCH(Command, command);
    QFETCH(bool, fails);

    ProgramFolder f;
    if (condition != Condition::MissingFolder && !f.mount("64k"))
        QSKIP("cannot mount a tmpfs here (needs root)");
    f.populate();
    f.open();
    QCOMPARE(f.window->stats().groups(), (QStringList{Crew, Solo}));
    QCOMPARE(f.window->stats().mates().size(), 11);

    // The folder whose files must survive; the missing one is moved out of the way.
    QString filesDir = f.groupsDir();
    switch (condition) {
    case Condition::ReadOnly:
        QVERIFY(f.tmpfs->makeReadOnly());
        break;
    case Condition::DiskFull:
        QVERIFY(f.tmpfs->fill());
        break;
    case Condition::MissingFolder:
        filesDir = f.root + QStringLiteral("/data/groups.away");
        QVERIFY(QDir().rename(f.groupsDir(), filesDir));
        break;
    }
    const QMap<QString, QByteArray> filesBefore = snapshot(filesDir);
    const Lists listsBefore = lists(f.window->stats());
    QMap<QString, QByteArray> filesAfterSuccess = filesBefore;
    const MateRecord edited = MateRecord::make("racer3", "Renamed", "Blue", "example.org");

    TfAddEditMate& dialog = *f.dialog;
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    switch (command) {
    case Command::CreateGroup:
        f.desktop.answers.enqueue(QStringLiteral("Newcomers"));
        f.window->mateCommands().bAddGroupClick();
        filesAfterSuccess.insert(QStringLiteral("Newcomers.profile"), {});
        break;
    case Command::DeleteGroup:
        f.choose(f.groupNode(Solo));
        f.window->mateCommands().bDelGroupClick();
        if (condition == Condition::DiskFull)
            filesAfterSuccess.remove(QStringLiteral("Solo.profile"));
        break;
    case Command::AddMate: {
        f.choose(f.groupNode(Crew));
        const QString group = RosterCommands::AddMateGroup(f.window->mateTree().rememberedNode());
        dialog.PrepareAdd(group);
        dialog.cbGroups->setCurrentIndex(dialog.cbGroups->findText(group));
        dialog.eLFSName->setText(QStringLiteral("newbie"));
        dialog.eNick->setText(QStringLiteral("New Kid"));
        dialog.bAdd->click();
        break;
    }
    case Command::EditMate: {
        f.choose(f.mateNode(Crew, 3));
        const MateTree& tree = f.window->mateTree();
        const auto preset = f.window->rosterCommands().EditMatePreset(tree.rememberedDisplayName,
                                                                      tree.rememberedGroup);
        QVERIFY(preset);
        QCOMPARE(preset->lfsName, QByteArray("racer3"));
        dialog.PrepareEdit(*preset);
        dialog.eNick->setText(QStringLiteral("Renamed"));
        dialog.eTeam->setText(QStringLiteral("Blue"));
        dialog.eHomepage->setText(QStringLiteral("example.org"));
        dialog.bAdd->click();
        QByteArray& crew = filesAfterSuccess[QStringLiteral("Crew.profile")];
        crew.replace(3 * MateRecord::Size, MateRecord::Size, edited.bytes());
        break;
    }
    case Command::DeleteMate:
        f.choose(f.mateNode(Crew, 0));
        f.window->mateCommands().bDelMateClick();
        break;
    }

    QCOMPARE(f.desktop.errors.size(), fails ? 1 : 0);
    QCOMPARE(f.desktop.messages, QStringList());
    QCOMPARE(snapshot(filesDir), fails ? filesBefore : filesAfterSuccess);
    if (condition == Condition::MissingFolder)
        QVERIFY2(!QDir(f.groupsDir()).exists(), "a command made the groups folder again");
    if (fails)
        QCOMPARE(lists(f.window->stats()), listsBefore);
    if (command == Command::AddMate) // a failed add keeps the fields for another try
        QCOMPARE(dialog.eLFSName->text(), fails ? QStringLiteral("newbie") : QString());
    if (command == Command::EditMate) // a failed apply keeps the dialog open
        QCOMPARE(accepted.size(), fails ? 0 : 1);

    // What the lists hold is what the files say, except after a delete that went
    // unnoticed: then the group is back.
    if (condition == Condition::MissingFolder)
        return;
    const Lists listsAfter = lists(f.window->stats());
    f.window->mateTree().RebuildRoster();
    QCOMPARE(f.desktop.errors.size(), fails ? 1 : 0);
    if (command == Command::DeleteGroup && condition == Condition::ReadOnly)
        QCOMPARE(lists(f.window->stats()), listsBefore);
    else
        QCOMPARE(lists(f.window->stats()), listsAfter);
}

void tst_Faults::columnClick_onBrokenFolder_keepsSettings_data() {
    QTest::addColumn<Condition>("condition");
    QTest::newRow("read-only") << Condition::ReadOnly;
    QTest::newRow("disk full") << Condition::DiskFull;
}

void tst_Faults::columnClick_onBrokenFolder_keepsSettings() {
    QFETCH(Condition, condition);

    ProgramFolder f;
    if (!f.mount("64k"))
        QSKIP("cannot mount a tmpfs here (needs root)");
    f.populate();
    f.open();
    QVERIFY(condition == Condition::ReadOnly ? f.tmpfs->makeReadOnly() : f.tmpfs->fill());
    const QMap<QString, QByteArray> before = snapshot(f.root);

    f.window->lvServerColumnClick(5);

    QCOMPARE(f.desktop.errors.size(), 1);
    QVERIFY2(f.desktop.errors.first().contains(f.configPath()),
             qPrintable(f.desktop.errors.first()));
    QCOMPARE(snapshot(f.root), before); // the settings whole, no temporary file left
}

QTEST_MAIN(tst_Faults)
#include "tst_faults.moc"
