#include "RosterFiles.h"

#include "PelmarkError.h"

#include <QElapsedTimer>
#include <QTemporaryFile>
#include <QTest>
#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <stop_token>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace RosterFixture;

namespace {

// Puts something under a profile's name that cannot be read as one.
bool MakeOddProfile(const QString& kind, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("FIFO"))
        return mkfifo(name.constData(), 0600) == 0;
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(path);
    if (kind == QLatin1String("device"))
        return QFile::link(QStringLiteral("/dev/null"), path);
    WriteFile(path, Mate("Hidden").bytes());
    return chmod(name.constData(), 0) == 0;
}

// Opens both ends of a FIFO now and then from a thread of its own, so that a call
// blocked in open() comes back and fails its time check instead of hanging the suite.
class FifoRescue {
public:
    explicit FifoRescue(const QString& path)
        : m_path(QFile::encodeName(path)), m_thread([this](std::stop_token stop) { run(stop); }) {}

private:
    void run(std::stop_token stop) {
        std::mutex mutex;
        std::condition_variable_any wake;
        std::unique_lock lock(mutex);
        while (!wake.wait_for(lock, stop, std::chrono::milliseconds(1500),
                              [&] { return stop.stop_requested(); })) {
            for (const int mode : {O_RDONLY, O_WRONLY}) {
                const int fd = ::open(m_path.constData(), mode | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0)
                    ::close(fd);
            }
        }
    }

    QByteArray m_path;
    std::jthread m_thread;
};

// The message of the file error the call throws; empty when it throws none.
template <typename Call> QString FileErrorOf(Call&& call) {
    try {
        call();
    } catch (const PelmarkError& e) {
        return e.kind() == PelmarkError::Kind::File ? e.message()
                                                    : QStringLiteral("not a file error");
    }
    return {};
}

} // namespace

class TestProfiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void makeRecord_layoutAndCuts_data();
    void makeRecord_layoutAndCuts();
    void displayName_nickOrLfsName_data();
    void displayName_nickOrLfsName();
    void damagedLengthByte_staysInsideField();
    void loadRoster_groupsAndEntriesInFileOrder();
    void loadProfile_trailingFragmentIgnored();
    void loadProfile_longGroupNameCutTo50();
    void loadRoster_missingFolder_emptyAndCreateThrows();
    void loadRoster_unreadableProfile_loadsTheRestThrowsFirst_data();
    void loadRoster_unreadableProfile_loadsTheRestThrowsFirst();
    void appendMateRecord_overwritesFragment();
    void appendMateRecord_missingFile_throws();
    void oddProfile_writesRefusedAtOnce_data();
    void oddProfile_writesRefusedAtOnce();
    void replaceMateRecord_inPlaceFirstMatchOnly();
    void rewriteProfile_keepsFillerDropsFragmentAndOtherGroups();
    void rewriteProfile_failedWrite_leavesOldFileWhole();
    void appendMateRecord_failedWrite_throws();
    void findMateIndex_groupTellsSameNameApart();
    void deleteProfile_missingFileIsQuiet();
    void removeStaleTemporaries_onlyLeftoversOfARewrite();
};

void TestProfiles::makeRecord_layoutAndCuts_data() {
    QTest::addColumn<QByteArray>("lfsName");
    QTest::addColumn<QByteArray>("homepage");
    QTest::addColumn<int>("lfsLength");
    QTest::addColumn<int>("homepageLength");
    QTest::newRow("short") << QByteArray("Alex") << QByteArray("x.org") << 4 << 5;
    QTest::newRow("cut to 24 and 255") << QByteArray(30, 'n') << QByteArray(300, 'h') << 24 << 255;
    QTest::newRow("exactly full") << QByteArray(24, 'n') << QByteArray(255, 'h') << 24 << 255;
}

void TestProfiles::makeRecord_layoutAndCuts() {
    QFETCH(QByteArray, lfsName);
    QFETCH(QByteArray, homepage);
    QFETCH(int, lfsLength);
    QFETCH(int, homepageLength);
    const MateRecord r = MateRecord::make(lfsName, QByteArray(60, 'k'), " [T] ", homepage);
    const QByteArray& b = r.bytes();
    QCOMPARE(b.size(), 383);
    QCOMPARE(int(quint8(b[0])), lfsLength);
    QCOMPARE(b.mid(1, lfsLength), lfsName.left(lfsLength));
    QCOMPARE(int(quint8(b[25])), 50);
    QCOMPARE(b.mid(26, 50), QByteArray(50, 'k'));
    QCOMPARE(int(quint8(b[76])), 5);
    QCOMPARE(b.mid(77, 5), QByteArray(" [T] "));
    QCOMPARE(int(quint8(b[127])), homepageLength);
    QCOMPARE(b.mid(128, homepageLength), homepage.left(homepageLength));
    // Everything after a field's text is zero in a record the program makes.
    QCOMPARE(b.mid(1 + lfsLength, 24 - lfsLength), QByteArray(24 - lfsLength, '\0'));
    QCOMPARE(b.mid(82, 45), QByteArray(45, '\0'));
    QCOMPARE(r.lfsName(), lfsName.left(lfsLength));
    QCOMPARE(r.team(), QByteArray(" [T] "));
    QCOMPARE(r.homepage(), homepage.left(homepageLength));
}

void TestProfiles::displayName_nickOrLfsName_data() {
    QTest::addColumn<QByteArray>("lfsName");
    QTest::addColumn<QByteArray>("nick");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("trimmed");
    QTest::newRow("nick") << QByteArray("Robert") << QByteArray("Bob") << QByteArray("Bob")
                          << QByteArray("Bob");
    QTest::newRow("no nick") << QByteArray("Robert") << QByteArray() << QByteArray("Robert")
                             << QByteArray("Robert");
    QTest::newRow("blank nick") << QByteArray(" Rob ") << QByteArray("  ") << QByteArray("  ")
                                << QByteArray("Rob");
    QTest::newRow("padded nick") << QByteArray("Rob") << QByteArray(" Bo\tb\x01")
                                 << QByteArray(" Bo\tb\x01") << QByteArray("Bo\tb");
}

void TestProfiles::displayName_nickOrLfsName() {
    QFETCH(QByteArray, lfsName);
    QFETCH(QByteArray, nick);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, trimmed);
    const MateRecord r = Mate(lfsName, nick);
    QCOMPARE(r.displayName(), display);
    QCOMPARE(r.trimmedDisplayName(), trimmed);
}

void TestProfiles::damagedLengthByte_staysInsideField() {
    QByteArray bytes = Mate("Alex", "Al").bytes();
    bytes[25] = char(200); // nick length beyond its 50 bytes
    const MateRecord r = MateRecord::fromBytes(bytes);
    QCOMPARE(r.nick().size(), 50);
    QCOMPARE(r.lfsName(), QByteArray("Alex"));
}

void TestProfiles::loadRoster_groupsAndEntriesInFileOrder() {
    RosterFiles f;
    f.group(QStringLiteral("a"), {Mate("A1"), Mate("A2", "Two")});
    f.group(QStringLiteral("b"));
    f.group(QStringLiteral("Team.A"), {Mate("T1")});
    WriteFile(f.groupsDir + QStringLiteral("notes.txt"), "x");
    f.store.LoadRoster(f.stats);
    QCOMPARE(f.stats.groups(), (QStringList{"Team.A", "a", "b"}));
    QCOMPARE(f.stats.mates().size(), 3);
    QCOMPARE(f.stats.mates()[0].group, QStringLiteral("Team.A"));
    QCOMPARE(f.stats.mates()[1].group, QStringLiteral("a"));
    QCOMPARE(f.stats.mates()[1].record.lfsName(), QByteArray("A1"));
    QCOMPARE(f.stats.mates()[2].record.nick(), QByteArray("Two"));

    // A second load replaces, never adds; a file changed meanwhile (even to the same size)
    // is read anew, and a group whose file went is gone.
    f.group(QStringLiteral("a"), {Mate("A1"), Mate("A3", "Two")});
    QFile::remove(f.path(QStringLiteral("Team.A")));
    f.store.LoadRoster(f.stats);
    QCOMPARE(f.stats.groups(), (QStringList{"a", "b"}));
    QCOMPARE(f.stats.mates().size(), 2);
    QCOMPARE(f.stats.mates()[1].record.lfsName(), QByteArray("A3"));
}

void TestProfiles::loadProfile_trailingFragmentIgnored() {
    RosterFiles f;
    QByteArray bytes = RecordsBytes({Mate("One"), Mate("Two")});
    bytes += QByteArray(34, 'z');
    QCOMPARE(bytes.size(), 800);
    WriteFile(f.path(QStringLiteral("g")), bytes);
    QList<MateEntry> mates;
    f.store.LoadProfile(f.path(QStringLiteral("g")), mates);
    QCOMPARE(mates.size(), 2);
    QCOMPARE(mates[1].record.lfsName(), QByteArray("Two"));
}

void TestProfiles::loadProfile_longGroupNameCutTo50() {
    RosterFiles f;
    const QString name(60, QLatin1Char('L'));
    f.group(name, {Mate("X")});
    f.store.LoadRoster(f.stats);
    QCOMPARE(f.stats.groups(), QStringList{name});
    QCOMPARE(f.stats.mates().size(), 1);
    QCOMPARE(f.stats.mates()[0].group, name.left(50));
}

void TestProfiles::loadRoster_missingFolder_emptyAndCreateThrows() {
    RosterFiles f(false);
    f.stats.assign({QStringLiteral("stale")},
                   {MateEntry::make(QStringLiteral("stale"), Mate("S"))});
    f.store.LoadRoster(f.stats);
    QVERIFY(f.stats.groups().isEmpty());
    QVERIFY(f.stats.mates().isEmpty());
    QVERIFY_THROWS_EXCEPTION(PelmarkError, f.store.CreateProfile(QStringLiteral("new")));
    QVERIFY_THROWS_EXCEPTION(PelmarkError,
                             f.store.RewriteProfile(QStringLiteral("new"), f.stats.mates()));
    QVERIFY(!QDir(f.groupsDir).exists());
}

// A profile that cannot be read shows as an empty group beside the whole rest of the
// roster, and the first such file's error comes once, after the load.
void TestProfiles::loadRoster_unreadableProfile_loadsTheRestThrowsFirst_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "FIFO";
    QTest::newRow("folder") << "folder";
    QTest::newRow("no read permission") << "unreadable";
}

void TestProfiles::loadRoster_unreadableProfile_loadsTheRestThrowsFirst() {
    QFETCH(QString, kind);
    if (kind == QLatin1String("unreadable") && geteuid() == 0)
        QSKIP("root reads a file without read permission all the same");
    RosterFiles f;
    f.group(QStringLiteral("a"), {Mate("A1"), Mate("A2")});
    QVERIFY(MakeOddProfile(kind, f.path(QStringLiteral("m"))));
    QVERIFY(QDir().mkdir(f.path(QStringLiteral("y"))));
    f.group(QStringLiteral("z"), {Mate("Z1")});
    f.stats.appendMate(MateEntry::make(QStringLiteral("stale"), Mate("S")));

    FifoRescue rescue(f.path(QStringLiteral("m")));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(FileErrorOf([&] { f.store.LoadRoster(f.stats); }),
             ErrorText::CannotOpen(f.path(QStringLiteral("m"))));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(f.stats.groups(), (QStringList{"a", "m", "y", "z"}));
    QStringList mates;
    for (const MateEntry& entry : std::as_const(f.stats.mates()))
        mates << entry.group + u'/' + QString::fromLatin1(entry.record.lfsName());
    QCOMPARE(mates, (QStringList{"a/A1", "a/A2", "z/Z1"}));
}

void TestProfiles::appendMateRecord_overwritesFragment() {
    RosterFiles f;
    WriteFile(f.path(QStringLiteral("g")), Mate("One").bytes() + QByteArray(34, 'z'));
    f.store.AppendMateRecord(QStringLiteral("g"), Mate("Two"));
    QCOMPARE(ReadFile(f.path(QStringLiteral("g"))), RecordsBytes({Mate("One"), Mate("Two")}));
}

void TestProfiles::appendMateRecord_missingFile_throws() {
    RosterFiles f;
    QVERIFY_THROWS_EXCEPTION(PelmarkError,
                             f.store.AppendMateRecord(QStringLiteral("nope"), Mate("A")));
    QVERIFY_THROWS_EXCEPTION(
        PelmarkError, f.store.ReplaceMateRecord(QStringLiteral("nope"), Mate("A"), Mate("B")));
    QVERIFY(!QFile::exists(f.path(QStringLiteral("nope"))));
}

// Never blocked by a FIFO, never writing into a device or folder.
void TestProfiles::oddProfile_writesRefusedAtOnce_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("FIFO") << "FIFO";
    QTest::newRow("folder") << "folder";
    QTest::newRow("link to /dev/null") << "device";
}

void TestProfiles::oddProfile_writesRefusedAtOnce() {
    QFETCH(QString, kind);
    RosterFiles f;
    const QString g = QStringLiteral("odd");
    const QString path = f.path(g);
    QVERIFY(MakeOddProfile(kind, path));
    FifoRescue rescue(path);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(FileErrorOf([&] { f.store.AppendMateRecord(g, Mate("A")); }),
             ErrorText::CannotOpen(path));
    QCOMPARE(FileErrorOf([&] { f.store.ReplaceMateRecord(g, Mate("A"), Mate("B")); }),
             ErrorText::CannotOpen(path));
    QCOMPARE(FileErrorOf([&] { f.store.CreateProfile(g); }), ErrorText::CannotWrite(path));
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
}

void TestProfiles::replaceMateRecord_inPlaceFirstMatchOnly() {
    RosterFiles f;
    const QString g = QStringLiteral("g");
    f.group(g, {Mate("A"), Mate("Bob"), Mate("Bob", "second"), Mate("C")});
    f.store.ReplaceMateRecord(g, Mate("Bob", "ignored"), Mate("Bob", "Bobby"));
    QCOMPARE(ReadFile(f.path(g)),
             RecordsBytes({Mate("A"), Mate("Bob", "Bobby"), Mate("Bob", "second"), Mate("C")}));
    const QByteArray before = ReadFile(f.path(g));
    f.store.ReplaceMateRecord(g, Mate("bob"), Mate("X")); // case matters: no match
    QCOMPARE(ReadFile(f.path(g)), before);
}

void TestProfiles::rewriteProfile_keepsFillerDropsFragmentAndOtherGroups() {
    RosterFiles f;
    const QString g = QStringLiteral("g");
    QByteArray dirty = Mate("Dirty").bytes();
    dirty.replace(10, 5, "junk!"); // filler after the LFS name
    dirty[300] = 'q';              // filler after the homepage
    WriteFile(f.path(g), dirty + Mate("Gone").bytes() + QByteArray(10, 'f'));
    f.group(QStringLiteral("other"), {Mate("O")});
    f.store.LoadRoster(f.stats);
    QCOMPARE(f.stats.mates()[0].record.lfsName(), QByteArray("Dirty"));

    f.stats.RemoveMate(MateEntry::make(g, Mate("Gone")));
    f.store.RewriteProfile(g, f.stats.mates());
    QCOMPARE(ReadFile(f.path(g)), dirty);
    QCOMPARE(ReadFile(f.path(QStringLiteral("other"))), Mate("O").bytes());
}

// Caps the size of files this process writes, so that writes fail part-way as on a
// full disk; unlike permissions this binds root too. SIGXFSZ would end the test
// instead of failing the write, so it is ignored meanwhile.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    bool ok() const { return m_ok; }

private:
    void (*m_handler)(int);
    rlimit m_old{};
    bool m_ok = false;
};

void TestProfiles::rewriteProfile_failedWrite_leavesOldFileWhole() {
    RosterFiles f;
    const QString g = QStringLiteral("g");
    f.group(g, {Mate("A"), Mate("B"), Mate("C")});
    const QByteArray before = ReadFile(f.path(g));
    QList<MateEntry> mates;
    for (int i = 0; i < 4; ++i)
        mates << MateEntry::make(g, Mate(QByteArray::number(i)));
    {
        FileSizeLimit limit(500);
        QVERIFY(limit.ok());
        QVERIFY_THROWS_EXCEPTION(PelmarkError, f.store.RewriteProfile(g, mates));
    }
    QCOMPARE(ReadFile(f.path(g)), before);
    QCOMPARE(QDir(f.groupsDir).entryList(QDir::Files | QDir::Hidden), QStringList{"g.profile"});
}

void TestProfiles::appendMateRecord_failedWrite_throws() {
    RosterFiles f;
    const QString g = QStringLiteral("g");
    f.group(g, {Mate("A")});
    FileSizeLimit limit(500);
    QVERIFY(limit.ok());
    QVERIFY_THROWS_EXCEPTION(PelmarkError, f.store.AppendMateRecord(g, Mate("B")));
}

void TestProfiles::findMateIndex_groupTellsSameNameApart() {
    QuillonPubStats stats;
    stats.setMates({MateEntry::make(QStringLiteral("A"), Mate("Sam", "one")),
                    MateEntry::make(QStringLiteral("B"), Mate("Sam", "two")),
                    MateEntry::make(QStringLiteral("B"), Mate("sam"))});
    QCOMPARE(stats.FindMateIndex(QStringLiteral("A"), Mate("Sam")), 0);
    QCOMPARE(stats.FindMateIndex(QStringLiteral("B"), Mate("Sam")), 1);
    QCOMPARE(stats.FindMateIndex(QStringLiteral("B"), Mate("sam")), 2);
    QCOMPARE(stats.FindMateIndex(QStringLiteral("b"), Mate("Sam")), -1);
    QCOMPARE(stats.FindMateIndex(QStringLiteral("A"), Mate("Sam ")), -1);

    stats.RemoveMate(MateEntry::make(QStringLiteral("B"), Mate("Sam")));
    QCOMPARE(stats.mates().size(), 2);
    QCOMPARE(stats.mates()[1].record.lfsName(), QByteArray("sam"));
    stats.RemoveMate(MateEntry::make(QStringLiteral("C"), Mate("Sam")));
    QCOMPARE(stats.mates().size(), 2);
}

void TestProfiles::deleteProfile_missingFileIsQuiet() {
    RosterFiles f;
    f.group(QStringLiteral("g"));
    f.store.DeleteProfile(QStringLiteral("g"));
    QVERIFY(!QFile::exists(f.path(QStringLiteral("g"))));
    f.store.DeleteProfile(QStringLiteral("g"));
}

void TestProfiles::removeStaleTemporaries_onlyLeftoversOfARewrite() {
    RosterFiles f;
    f.group(QStringLiteral("Friends"), {Mate("A")});
    // Named by Qt itself, as QSaveFile names the file it renames over the profile.
    QTemporaryFile leftover(f.path(QStringLiteral("Friends")));
    leftover.setAutoRemove(false);
    QVERIFY(leftover.open());
    QVERIFY(QFile::exists(leftover.fileName()));
    leftover.close();
    const QStringList stale{".hidden.profile.QwErTy", "Gone.profile.zzzzzz"};
    const QStringList kept{"Friends.json.AbCdEf",     "Friends.profile",
                           "Friends.profile.Ab1dEf",  "Friends.profile.AbCdE",
                           "Friends.profile.AbCdEfG", "Friends.profile.AbCdEf.profile",
                           "Friends.profile.AbCdEf~", "Named.profile.AbCdEf (1)"};
    for (const QString& name : stale + kept)
        WriteFile(f.groupsDir + name, "x");
    // Not regular files, under a leftover's name.
    const QString outside = f.temp.filePath(QStringLiteral("outside"));
    WriteFile(outside, "keep");
    QVERIFY(QFile::link(outside, f.groupsDir + QStringLiteral("Link.profile.AbCdEf")));
    QVERIFY(MakeOddProfile(QStringLiteral("folder"),
                           f.groupsDir + QStringLiteral("Folder.profile.AbCdEf")));
    QVERIFY(MakeOddProfile(QStringLiteral("FIFO"),
                           f.groupsDir + QStringLiteral("Fifo.profile.AbCdEf")));

    f.store.RemoveStaleTemporaries();
    QStringList expected = kept;
    expected << "Fifo.profile.AbCdEf"
             << "Folder.profile.AbCdEf"
             << "Link.profile.AbCdEf";
    expected.sort();
    QCOMPARE(QDir(f.groupsDir)
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDir::Name),
             expected);
    QCOMPARE(ReadFile(outside), QByteArray("keep"));
}

QTEST_MAIN(TestProfiles)
#include "tst_profiles.moc"
