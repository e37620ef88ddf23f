#include "HostListBuilder.h"
#include "HostListDecoder.h"
#include "TrackNaming.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestNaming : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static HostRecord host(quint8 a, quint8 b, quint8 c, quint32 cars = 0) {
        HostList hosts;
        DecodeHostList(PackHost(FakeHost("h").at(a, b, c).cars(cars)), hosts);
        return hosts.first();
    }

private Q_SLOTS:
    void trackKey_data() {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("c");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("010") << 0 << 1 << 0 << QByteArray("010");
        QTest::newRow("231") << 2 << 3 << 1 << QByteArray("231");
        QTest::newRow("1000") << 10 << 0 << 0 << QByteArray("1000");
        QTest::newRow("1,11,0") << 1 << 11 << 0 << QByteArray("1110");
        QTest::newRow("11,1,0") << 11 << 1 << 0 << QByteArray("1110");
        QTest::newRow("255") << 255 << 255 << 255 << QByteArray("255255255");
    }
    void trackKey() {
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, c);
        QFETCH(QByteArray, key);
        QCOMPARE(TrackKey(host(quint8(a), quint8(b), quint8(c))), key);
    }

    void trackName() {
        const QString path = m_dir.filePath("Tracks.data");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[010]\nName=Blackwood GP Track\n[1110]\nname = Shared\n[231]\nOther=x\n");
        f.close();
        const TrackTable table = TrackTable::load(path);
        QCOMPARE(table.TrackName(host(0, 1, 0)), QByteArray("Blackwood GP Track"));
        QCOMPARE(table.TrackName(host(1, 11, 0)), QByteArray("Shared"));
        QCOMPARE(table.TrackName(host(11, 1, 0)), QByteArray("Shared"));
        QCOMPARE(table.TrackName(host(2, 3, 1)), QByteArray("n/a")); // section without Name
        QCOMPARE(table.TrackName(host(9, 9, 9)), QByteArray("n/a"));
        const TrackTable missing = TrackTable::load(m_dir.filePath("absent.data"));
        QCOMPARE(missing.TrackName(host(0, 1, 0)), QByteArray("n/a"));
    }

    // Far larger than a settings file may be, and read all the same up to its own bound.
    void trackName_sizeBound_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("2 MiB") << 2 * 1024 * 1024 << QByteArray("Blackwood");
        QTest::newRow("4 MiB") << 4 * 1024 * 1024 << QByteArray("Blackwood");
        QTest::newRow("one byte more") << 4 * 1024 * 1024 + 1 << QByteArray("n/a");
    }
    void trackName_sizeBound() {
        QFETCH(int, size);
        QFETCH(QByteArray, name);
        const QString path = m_dir.filePath("Large.data");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray head("[010]\nName=Blackwood\n;");
        f.write(head + QByteArray(size - head.size(), 'x'));
        f.close();
        QCOMPARE(TrackTable::load(path).TrackName(host(0, 1, 0)), name);
    }

    void cars_data() {
        QTest::addColumn<quint32>("mask");
        QTest::addColumn<QByteArray>("text");
        const quint32 street = 0x7F | (1u << 8) | (1u << 9) | (1u << 10);
        QTest::newRow("two") << 0x3u << QByteArray("XFG,XRG");
        QTest::newRow("FZR alone") << (1u << 17) << QByteArray("FZR");
        QTest::newRow("all") << 0x3FFFFu << QByteArray("All cars allowed");
        QTest::newRow("all and bit 20")
            << (0x3FFFFu | (1u << 20)) << QByteArray("All cars allowed");
        QTest::newRow("street") << street << QByteArray("Only street cars");
        QTest::newRow("street and MRT")
            << (street | (1u << 7)) << QByteArray("Only street cars with MRT5");
        QTest::newRow("street and FOX")
            << (street | (1u << 11)) << QByteArray("XFG,XRG,XRT,RB4,FXO,LX4,LX6,UF1,RAC,FZ5,FOX");
        QTest::newRow("no formula") << (0x3FFFFu & ~((1u << 11) | (1u << 14)))
                                    << QByteArray("All cars without formula cars");
        QTest::newRow("no formula, no MRT") << (0x3FFFFu & ~((1u << 11) | (1u << 14) | (1u << 7)))
                                            << QByteArray("All cars without formula cars and MRT5");
        QTest::newRow("none") << 0u << QByteArray("");
        QTest::newRow("upper bits only") << 0xFFFC0000u << QByteArray("");
    }
    void cars() {
        QFETCH(quint32, mask);
        QFETCH(QByteArray, text);
        QCOMPARE(CarsText(host(0, 0, 0, mask)), text);
    }
};

QTEST_GUILESS_MAIN(TestNaming)
#include "tst_naming.moc"
