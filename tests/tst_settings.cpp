#include "AppSettings.h"
#include "FakeDesktop.h"
#include "IniFile.h"
#include "ProgramSettings.h"
#include "uMoreSettings.h"
#include "uSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString configPath() const { return m_dir.filePath(QStringLiteral("Pelmark2.config")); }
    QString stored(const QString& key) const {
        return IniFile(configPath())
            .readString(QStringLiteral("SETTINGS"), key, QStringLiteral("<missing>"));
    }

private Q_SLOTS:
    void init() { QFile::remove(configPath()); }

    void countryList_hasFixedEntries() {
        const QStringList& list = TfSettings::CountryList();
        QCOMPARE(list.size(), 238);
        QCOMPARE(list.first(), QStringLiteral("All countries"));
        QCOMPARE(list.last(), QStringLiteral("Other"));
        QCOMPARE(list.at(111), QStringLiteral("Korea"));
        QCOMPARE(list.at(112), QStringLiteral("Korea"));
        QCOMPARE(list.indexOf(QStringLiteral("Cote D'Ivoire (Ivory Coast)")), 52);
    }

    void interval_shownInSecondsHalfToEven_data() {
        QTest::addColumn<quint32>("milliseconds");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("storedBack");
        QTest::newRow("2500 down to even") << 2500u << "2"
                                           << "2000";
        QTest::newRow("3500 up to even") << 3500u << "4"
                                         << "4000";
        QTest::newRow("just below half") << 1499u << "1"
                                         << "1000";
        QTest::newRow("just above half") << 1501u << "2"
                                         << "2000";
        QTest::newRow("default") << 70000u << "70"
                                 << "70000";
        QTest::newRow("zero") << 0u << "0"
                              << "0";
        QTest::newRow("largest, cut to what the file carries") << 4294967295u << "4294967"
                                                               << "2147483647";
    }
    void interval_shownInSecondsHalfToEven() {
        QFETCH(quint32, milliseconds);
        QFETCH(QString, shown);
        QFETCH(QString, storedBack);
        ProgramSettings config(configPath());
        AppSettings& s = config.app;
        s.interval = milliseconds;
        FakeDesktop desktop;
        TfSettings dialog(config, desktop);
        dialog.show();
        QCOMPARE(dialog.eInterval->text(), shown);
        dialog.bOk->click();
        QVERIFY(desktop.errors.isEmpty());
        QCOMPARE(stored(QStringLiteral("Interval")), storedBack);
        QCOMPARE(QString::number(s.interval), storedBack);
    }

    void ok_badNumber_showsErrorAndStaysOpen_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty interval") << "eInterval"
                                        << "";
        QTest::newRow("interval beyond int") << "eInterval"
                                             << "2147483648";
        QTest::newRow("empty lines") << "eNumHighlights"
                                     << "";
        QTest::newRow("lines beyond int") << "eNumHighlights"
                                          << "99999999999";
    }
    void ok_badNumber_showsErrorAndStaysOpen() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        ProgramSettings config(configPath());
        AppSettings& s = config.app;
        FakeDesktop desktop;
        TfSettings dialog(config, desktop);
        dialog.show();
        dialog.eLFSPath->setText(QStringLiteral("/games/LFS.exe"));
        dialog.findChild<QLineEdit*>(field)->setText(text);
        dialog.bOk->click();
        QCOMPARE(desktop.errors,
                 QStringList{QStringLiteral("'%1' ist kein gültiger Integerwert.").arg(text)});
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.accepted());
        QVERIFY(!QFile::exists(configPath()));
        // Values before the failing field are already taken.
        QCOMPARE(s.lfsPath, QStringLiteral("/games/LFS.exe"));
    }

    void ok_unwritableFile_showsErrorAndStaysOpen() {
        const QString path = m_dir.filePath(QStringLiteral("missing/Pelmark2.config"));
        ProgramSettings config(path);
        AppSettings& s = config.app;
        FakeDesktop desktop;
        TfSettings dialog(config, desktop);
        dialog.show();
        dialog.eNumHighlights->setText(QStringLiteral("7"));
        dialog.bOk->click();
        QCOMPARE(desktop.errors,
                 QStringList{QStringLiteral("In %1 kann nicht geschrieben werden.").arg(path)});
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.accepted());
        QCOMPARE(s.numHighlights, 7);
    }

    void secondKorea_storesKoreaAndReopensOnFirst() {
        ProgramSettings config(configPath());
        AppSettings& s = config.app;
        FakeDesktop desktop;
        TfSettings dialog(config, desktop);
        dialog.show();
        dialog.cbCountry->setCurrentIndex(112);
        dialog.bOk->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(s.country, QStringLiteral("Korea"));
        QCOMPARE(stored(QStringLiteral("Country")), QStringLiteral("Korea"));
        dialog.show();
        QCOMPARE(dialog.cbCountry->currentIndex(), 111);
    }

    void country_matchedIgnoringCaseOrNotAtAll_data() {
        QTest::addColumn<QString>("country");
        QTest::addColumn<int>("index");
        QTest::newRow("exact") << "Germany" << 82;
        QTest::newRow("other case") << "gERMANY" << 82;
        QTest::newRow("not in list") << "Atlantis" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void country_matchedIgnoringCaseOrNotAtAll() {
        QFETCH(QString, country);
        QFETCH(int, index);
        ProgramSettings config(configPath());
        AppSettings& s = config.app;
        s.country = country;
        FakeDesktop desktop;
        TfSettings dialog(config, desktop);
        dialog.show();
        QCOMPARE(dialog.cbCountry->currentIndex(), index);
        dialog.bOk->click();
        const QString expected = index < 0 ? QString() : TfSettings::CountryList().at(index);
        QCOMPARE(s.country, expected);
        QCOMPARE(stored(QStringLiteral("Country")), expected);
    }

    void numberFields_rejectOtherCharactersWithBeep_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<char>("key");
        for (const char* field : {"eInterval", "eNumHighlights"})
            for (char key : {'a', '-', '.', ' ', '+'})
                QTest::addRow("%s %c", field, key) << QString::fromLatin1(field) << key;
    }
    void numberFields_rejectOtherCharactersWithBeep() {
        QFETCH(QString, field);
        QFETCH(char, key);
        ProgramSettings config(configPath());
        FakeDesktop desktop;
        TfSettings dialog(config, desktop);
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>(field);
        const QString before = edit->text();
        QTest::keyClick(edit, key);
        QCOMPARE(edit->text(), before);
        QCOMPARE(desktop.beeps, 1);
        QTest::keyClick(edit, '5');
        QCOMPARE(edit->text(), before + QLatin1Char('5'));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), before);
        QCOMPARE(desktop.beeps, 1);
        // Pasted text does not pass the key filter; the field still refuses it.
        edit->insert(QStringLiteral("1x"));
        QCOMPARE(edit->text(), before);
    }

    void browseThenClose_changesNothing() {
        ProgramSettings config(configPath());
        AppSettings& s = config.app;
        s.lfsPath = QStringLiteral("/old/LFS.exe");
        FakeDesktop desktop;
        desktop.nextFileName = QStringLiteral("/new/LFS.exe");
        TfSettings dialog(config, desktop);
        dialog.show();
        dialog.bBrowse->click();
        QTRY_COMPARE(dialog.eLFSPath->text(), QStringLiteral("/new/LFS.exe"));
        dialog.bClose->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(s.lfsPath, QStringLiteral("/old/LFS.exe"));
        QVERIFY(!QFile::exists(configPath()));
        // The next showing starts again from memory.
        dialog.show();
        QCOMPARE(dialog.eLFSPath->text(), QStringLiteral("/old/LFS.exe"));
    }

    void run_outcomeKeptUntilOkOrClose() {
        ProgramSettings config(configPath());
        FakeDesktop desktop;
        TfSettings dialog(config, desktop);
        auto runWith = [&](const std::function<void()>& action) {
            QTimer::singleShot(0, &dialog, action);
            return dialog.Run();
        };
        QVERIFY(!runWith([&] { dialog.close(); }));
        QVERIFY(runWith([&] { dialog.bOk->click(); }));
        QVERIFY(runWith([&] { dialog.close(); }));
        QVERIFY(runWith([&] { QTest::keyClick(&dialog, Qt::Key_Escape); }));
        QVERIFY(!runWith([&] { dialog.bClose->click(); }));
        QVERIFY(!runWith([&] { dialog.close(); }));
        QVERIFY(desktop.errors.isEmpty());
    }

    void ok_writesFourKeysInOrder() {
        ProgramSettings config(configPath());
        AppSettings& s = config.app;
        s.lfsPath = QStringLiteral("C:/LFS/LFS.exe");
        FakeDesktop desktop;
        TfSettings dialog(config, desktop);
        dialog.show();
        dialog.bOk->click();
        QFile file(configPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.indexOf("LFSPath=C:/LFS/LFS.exe") < text.indexOf("Interval=70000"));
        QVERIFY(text.indexOf("Interval=") < text.indexOf("Country=All countries"));
        QVERIFY(text.indexOf("Country=") < text.indexOf("NumHighlights=20"));
    }

    // What the More... button opens writes its own key and leaves every other byte.
    void moreSettings_okWritesOnlyIdentKey_closeNothing() {
        const QByteArray before = "; hand-made\r\n[SETTINGS]\r\nInterval = 5000\r\n"
                                  "[service]\r\nStatsServer=http://127.0.0.1:1\r\n[SORT]\r\n"
                                  "ColumnIndex=2\r\n";
        QFile file(configPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        file.close();
        ProgramSettings config(configPath());
        config.app = ReadAppSettings(IniFile(configPath()));
        AppSettings& s = config.app;
        FakeDesktop desktop;
        TfSettings dialog(config, desktop);
        dialog.show();
        dialog.eInterval->setText(QStringLiteral("9")); // not this dialog's to write
        TfMoreSettings* more = dialog.fMoreSettings;
        const auto runMore = [&](const std::function<void()>& action) {
            QTimer::singleShot(0, more, action);
            dialog.bMore->click();
        };
        runMore([&] {
            QTest::keyClicks(more->eIdentKey, QStringLiteral("Ab3"));
            more->bOk->click();
        });
        QVERIFY(desktop.errors.isEmpty());
        QCOMPARE(s.identKey, QStringLiteral("Ab3"));
        const auto content = [&] {
            QFile f(configPath());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QByteArray expected = before;
        expected.insert(expected.indexOf("[SORT]"), "IdentKey=Ab3\r\n");
        // Other rows of the dialog keep to a section of their own, added at the end.
        const QByteArray written = content();
        QCOMPARE(written.left(expected.size()), expected);
        QVERIFY(written.size() == expected.size() ||
                written.mid(expected.size()).startsWith("[OPTIONS]"));

        runMore([&] {
            QCOMPARE(more->eIdentKey->text(), QStringLiteral("Ab3"));
            more->eIdentKey->clear();
            more->bClose->click();
        });
        QCOMPARE(s.identKey, QStringLiteral("Ab3"));
        QCOMPARE(content(), written);
        QCOMPARE(s.interval, 5000u);
    }

    // The dialog shows what the program holds, not what a hand edit left in the file
    // since; its OK writes the rows and tells the options' followers once.
    void moreSettings_filledFromMemory_okTellsOptionsOnce() {
        const auto writeFile = [&](const QByteArray& text) {
            QFile file(configPath());
            return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
        };
        QVERIFY(writeFile("[OPTIONS]\nDesktopNotifications=0\nOnlineAlertDamping=30\n"
                          "KeepInTray=1\n"));
        ProgramSettings config(configPath());
        config.readAll(QStringLiteral("http://127.0.0.1:1"));
        FakeDesktop desktop;
        TfMoreSettings more(config, desktop);
        QVERIFY(writeFile("[OPTIONS]\nDesktopNotifications=1\nOnlineAlertDamping=5\n"
                          "KeepInTray=0\n"));
        QSignalSpy options(&config, &ProgramSettings::optionsChanged);
        more.show();
        QVERIFY(!more.cbNotifications->isChecked());
        QCOMPARE(more.eAlertDamping->value(), 30);
        QVERIFY(more.cbKeepInTray->isChecked());
        more.eAlertDamping->setValue(45);
        more.bOk->click();
        QVERIFY(desktop.errors.isEmpty());
        QCOMPARE(options.count(), 1);
        QVERIFY(!config.options.notifications);
        QCOMPARE(config.options.dampingMinutes, 45);
        QVERIFY(config.options.keepInTray);
        const auto option = [&](const char* key) {
            return IniFile(configPath())
                .readInteger(QStringLiteral("OPTIONS"), QString::fromLatin1(key), -1);
        };
        QCOMPARE(option("DesktopNotifications"), 0);
        QCOMPARE(option("OnlineAlertDamping"), 45);
        QCOMPARE(option("KeepInTray"), 1);
    }

    void identKey_refusesOtherCharactersTypedOrPasted() {
        ProgramSettings config(configPath());
        AppSettings& s = config.app;
        FakeDesktop desktop;
        TfMoreSettings more(config, desktop);
        more.show();
        QTest::keyClicks(more.eIdentKey, QStringLiteral("a-b c"));
        QCOMPARE(more.eIdentKey->text(), QStringLiteral("abc"));
        QCOMPARE(desktop.beeps, 2);
        for (const QString& paste : {QStringLiteral("x&idk=y"), QStringLiteral("\u00e4")}) {
            more.eIdentKey->insert(paste);
            QCOMPARE(more.eIdentKey->text(), QStringLiteral("abc"));
        }
        more.eIdentKey->insert(QString(70, u'k'));
        QCOMPARE(more.eIdentKey->text().size(), 64);
        // A key that the field could not hold is not shown, so OK clears it.
        s.identKey = QStringLiteral("bad-key");
        more.hide();
        more.show();
        QCOMPARE(more.eIdentKey->text(), QString());
    }
};

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
