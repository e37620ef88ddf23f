#include "AppSettings.h"
#include "ErrorHandler.h"
#include "IniFile.h"
#include "QuillonTools.h"
#include "SafeWrite.h"
#include "SingleByteText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

class TestTools : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& content) {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private Q_SLOTS:
    void stripColorCodes_data() {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("colours and asterisk")
            << QByteArray("^1Fast ^7Racers^a\0\0\0", 20) << QByteArray("Fast Racers*\0\0\0", 15);
        QTest::newRow("vertical bar") << QByteArray("Team^vOne") << QByteArray("Team|One");
        QTest::newRow("unknown code kept") << QByteArray("50^%") << QByteArray("50^%");
        QTest::newRow("caret nine kept") << QByteArray("^9x") << QByteArray("^9x");
        QTest::newRow("two carets then 1") << QByteArray("^^1") << QByteArray("^");
        QTest::newRow("caret at end dropped") << QByteArray("abc^") << QByteArray("abc");
        QTest::newRow("only codes") << QByteArray("^1^2^8") << QByteArray("");
        QTest::newRow("32 carets") << QByteArray(32, '^') << QByteArray(31, '^');
    }
    void stripColorCodes() {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QCOMPARE(StripColorCodes(in), out);
    }

    void isAllowedChar_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("allowed");
        QTest::addColumn<QString>("refused");
        QTest::newRow("digits") << 0 << QStringLiteral("0189\b\t\r") << QStringLiteral("a-.\x1b ");
        QTest::newRow("digits and point") << 1 << QStringLiteral("09.\b") << QStringLiteral("a-,");
        QTest::newRow("file names")
            << 2 << QStringLiteral("aZ 9-.\x01") << QStringLiteral("\\/:*?\"<>|");
        QTest::newRow("unknown mode") << 7 << QString() << QStringLiteral("a0\b");
    }
    void isAllowedChar() {
        QFETCH(int, mode);
        QFETCH(QString, allowed);
        QFETCH(QString, refused);
        for (QChar c : allowed)
            QVERIFY2(IsAllowedChar(c, mode), qPrintable(QString(c)));
        for (QChar c : refused)
            QVERIFY2(!IsAllowedChar(c, mode), qPrintable(QString(c)));
    }

    void extractField() {
        const QByteArray text("a\nb\n\nc");
        QCOMPARE(ExtractField(text, 1, '\n'), QByteArray("a"));
        QCOMPARE(ExtractField(text, 2, '\n'), QByteArray("b"));
        QCOMPARE(ExtractField(text, 3, '\n'), QByteArray(""));
        QCOMPARE(ExtractField(text, 4, '\n'), QByteArray("c"));
        QCOMPARE(ExtractField(text, 5, '\n'), QByteArray());
        QCOMPARE(ExtractField(text, 0, '\n'), QByteArray());
        QCOMPARE(ReplaceChar(QStringLiteral("United Arab Emirates"), u' ', u'_'),
                 QStringLiteral("United_Arab_Emirates"));
    }

    void singleByteRoundTrip() {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        QCOMPARE(FromDisplay(ToDisplay(all)), all);
        QCOMPARE(FromDisplay(QStringLiteral("a\u20ACb")), QByteArray("a?b"));
        QCOMPARE(TrimBytes(QByteArray("\0 \tAlex \r\n", 10)), QByteArray("Alex"));
    }

    void errorText_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter gets a stop") << "Ungültiger Index"
                                            << "Ungültiger Index.";
        QTest::newRow("stop stays") << "Done."
                                    << "Done.";
        QTest::newRow("bang sorts before stop") << "Oops!"
                                                << "Oops!";
        QTest::newRow("digit sorts after stop") << "Error 404"
                                                << "Error 404.";
        QTest::newRow("empty") << ""
                               << "";
    }
    void errorText() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(StandardErrorText(message), shown);
    }

    void iniRead_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("country");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("lines");
        QTest::newRow("missing keys")
            << QByteArray("[SETTINGS]\n") << "All countries" << 70000 << 20;
        QTest::newRow("only SORT")
            << QByteArray("[SORT]\nColumnIndex=5\n") << "All countries" << 70000 << 20;
        QTest::newRow("any case, blanks")
            << QByteArray("[settings]\n  country =  Germany \ninterval=0x10\nNUMHIGHLIGHTS=-3\n")
            << "Germany" << 16 << -3;
        QTest::newRow("garbage numbers")
            << QByteArray("[SETTINGS]\nInterval=12abc\nNumHighlights=0x\n") << "All countries"
            << 70000 << 20;
        QTest::newRow("too large") << QByteArray("[SETTINGS]\nNumHighlights=2147483648\n")
                                   << "All countries" << 70000 << 20;
        QTest::newRow("quoted, CRLF")
            << QByteArray("[SETTINGS]\r\nCountry=\"United Kingdom\"\r\nInterval=5000\r\n")
            << "United Kingdom" << 5000 << 20;
    }
    void iniRead() {
        QFETCH(QByteArray, content);
        QFETCH(QString, country);
        QFETCH(int, interval);
        QFETCH(int, lines);
        const AppSettings s = ReadAppSettings(IniFile(write("read.config", content)));
        QCOMPARE(s.country, country);
        QCOMPARE(int(s.interval), interval);
        QCOMPARE(s.numHighlights, lines);
    }

    void iniMissingFile_givesDefaultsAndCreatesNothing() {
        const QString path = m_dir.filePath("none.config");
        const AppSettings s = ReadAppSettings(IniFile(path));
        QCOMPARE(s.lfsPath, QString());
        QCOMPARE(s.interval, 70000u);
        QVERIFY(!QFile::exists(path));
    }

    void iniWrite_replacesOnlyItsLine() {
        const QByteArray before("; my settings\r\n[Other]\r\nCountry=Keep\r\n\r\n[SETTINGS]\r\n"
                                "  LFSPath = C:\\LFS\\LFS.exe \r\nCountry=Germany\r\n"
                                "X=\xE4\xF6\xFC\r\n\r\n[SORT]\r\nColumnIndex=1\r\n");
        const QString path = write("keep.config", before);
        IniFile(path).writeString("settings", "country", "France");
        QByteArray expected = before;
        expected.replace("Country=Germany", "country=France");
        QCOMPARE(read(path), expected);
    }

    void iniWrite_addsKeyAndSection() {
        const QString path = write("add.config", QByteArray("[SETTINGS]\nLFSPath=x\n\n[B]\nk=v"));
        IniFile file(path);
        file.writeInteger("SETTINGS", "Interval", 5000);
        file.writeInteger("SORT", "ColumnIndex", 5);
        QCOMPARE(read(path), QByteArray("[SETTINGS]\nLFSPath=x\nInterval=5000\n\n[B]\nk=v\n"
                                        "[SORT]\nColumnIndex=5\n"));
        QCOMPARE(file.readInteger("sort", "columnindex", 0), 5);
    }

    void iniWrite_createsMissingFile() {
        const QString path = m_dir.filePath("new.config");
        IniFile(path).writeInteger("SORT", "SortDirection", 1);
        QCOMPARE(read(path), QByteArray("[SORT]\nSortDirection=1\n"));
    }

    void iniWrite_failureNamesThePath() {
        const QString path = m_dir.filePath("missing-folder/x.config");
        try {
            IniFile(path).writeString("S", "K", "V");
            QFAIL("no error");
        } catch (const PelmarkError& e) {
            QCOMPARE(e.message(), QStringLiteral("In %1 kann nicht geschrieben werden").arg(path));
            QCOMPARE(e.kind(), PelmarkError::Kind::File);
        }
    }

    // Whatever stands under the settings file's name that is not a settings file reads
    // as a missing file at once, and a write neither reads nor replaces it.
    void iniOddFile_readsAsMissingAndIsNotReplaced_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to /dev/zero") << "zero";
        QTest::newRow("beyond the size bound") << "large";
    }
    void iniOddFile_readsAsMissingAndIsNotReplaced() {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(kind + QStringLiteral(".config"));
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == QLatin1String("zero")) {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        } else {
            const QByteArray head("[SETTINGS]\nCountry=Germany\n;");
            QByteArray text = head + QByteArray(IniFile::MaxSettingsBytes - head.size(), 'x');
            write(QFileInfo(path).fileName(), text);
            QCOMPARE(IniFile(path).readString("SETTINGS", "Country", {}),
                     QStringLiteral("Germany"));
            write(QFileInfo(path).fileName(), text + 'x');
        }
        IniFile file(path);
        QCOMPARE(file.readString("SETTINGS", "Country", "All countries"), "All countries");
        QCOMPARE(file.load().content(), QByteArray());
        try {
            file.writeString("SETTINGS", "Country", "France");
            QFAIL("no error");
        } catch (const PelmarkError& e) {
            QCOMPARE(e.message(), QStringLiteral("In %1 kann nicht geschrieben werden").arg(path));
        }
        QCOMPARE(QFileInfo(path).isFile(), kind == QLatin1String("large"));
    }

    void iniWrite_valueCannotBreakTheFile() {
        const QString path = m_dir.filePath("nl.config");
        IniFile file(path);
        file.writeString("SETTINGS", "LFSPath", "a\n[SORT]\nColumnIndex=7");
        QCOMPARE(file.readInteger("SORT", "ColumnIndex", 0), 0);
    }

    // What the writer leaves under each kind of name, and a write that fails part way
    // (a file size limit stands in for a device that fails after N bytes).
    void writeFileSafely_writesOnlyRegularFiles_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("written");
        QTest::newRow("new name") << "new" << true;
        QTest::newRow("regular file") << "regular" << true;
        QTest::newRow("symlink to a regular file") << "link" << true;
        QTest::newRow("symlink to /dev/null") << "null" << false;
        QTest::newRow("symlink to nothing") << "dangling" << false;
        QTest::newRow("folder") << "folder" << false;
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("fails after 4 KiB") << "limit" << false;
    }
    void writeFileSafely_writesOnlyRegularFiles() {
        QFETCH(QString, kind);
        QFETCH(bool, written);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("side.json"));
        const QString target = dir.filePath(QStringLiteral("target.json"));
        const QByteArray old("old bytes");
        const QByteArray bytes(10000, 'n');
        const auto writeOld = [&](const QString& to) {
            QFile f(to);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
        };
        if (kind == QLatin1String("regular") || kind == QLatin1String("limit"))
            writeOld(path);
        else if (kind == QLatin1String("link"))
            writeOld(target);
        if (kind == QLatin1String("link") || kind == QLatin1String("dangling"))
            QVERIFY(QFile::link(target, path));
        else if (kind == QLatin1String("null"))
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), path));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(path));
        else if (kind == QLatin1String("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        const QStringList before =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);

        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit unlimited = limit;
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN); // EFBIG instead
        if (kind == QLatin1String("limit")) {
            limit.rlim_cur = 4096;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        }
        const bool result = WriteFileSafely(path, bytes);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &unlimited), 0);
        std::signal(SIGXFSZ, oldSignal);

        QCOMPARE(result, written);
        const QFileInfo info(path);
        if (kind == QLatin1String("link") || kind == QLatin1String("dangling")) {
            QVERIFY(info.isSymLink());
            QCOMPARE(info.symLinkTarget(), target);
        }
        if (kind == QLatin1String("null"))
            QCOMPARE(info.symLinkTarget(), QStringLiteral("/dev/null"));
        if (kind == QLatin1String("folder") || kind == QLatin1String("fifo"))
            QVERIFY(!info.isFile() && !info.isSymLink());
        if (written)
            QCOMPARE(read(path), bytes);
        else if (kind == QLatin1String("limit"))
            QCOMPARE(read(path), old);
        // Nothing else appears: no temporary file left, no target made for a dangling link.
        QStringList after =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        if (kind == QLatin1String("new"))
            after.removeOne(QStringLiteral("side.json"));
        QCOMPARE(after, before);
    }

    void versionInfo() {
        QByteArray exe("\x7f"
                       "ELF junk");
        exe += QByteArrayLiteral("\x01"
                                 "PELMARK-VERSIONINFO\x01"
                                 "FileVersion\0"
                                 "1.2.3.4\0"
                                 "legalcopyright\0(C) us\0\x01"
                                 "PELMARK-VERSIONEND\x01");
        const TFileVersionInfo info = ParseFileVersionInfo(exe);
        QCOMPARE(info.FileVersion, QStringLiteral("1.2.3.4"));
        QCOMPARE(info.LegalCopyRight, QStringLiteral("(C) us"));
        const TFileVersionInfo none = ReadFileVersionInfo(write("plain.bin", "no block here"));
        QVERIFY(none.FileVersion.isEmpty());
        QVERIFY(ReadFileVersionInfo(m_dir.filePath("absent")).LegalCopyRight.isEmpty());
        // A block without its end marker yields nothing rather than reading on.
        QVERIFY(ParseFileVersionInfo(exe.left(40)).FileVersion.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestTools)
#include "tst_tools.moc"
