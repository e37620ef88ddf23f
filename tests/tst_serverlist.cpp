#include "FavouriteHosts.h"
#include "HostFixture.h"
#include "ServerFilter.h"
#include "ServerListModel.h"
#include "SingleByteText.h"
#include "TrackNaming.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

HostList hostsNamed(const QList<QByteArray>& names) {
    HostList hosts;
    for (const QByteArray& name : names)
        hosts << Host(name, name.startsWith('e') ? QList<QByteArray>{} : QList<QByteArray>{"x"});
    return hosts;
}

QStringList captions(const ServerSortProxy& proxy) {
    QStringList texts;
    for (int row = 0; row < proxy.rowCount(); ++row)
        texts << proxy.index(row, 0).data().toString();
    return texts;
}

} // namespace

class TestServerList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Qt's tester watches every signal of the model and its proxy through refills, sorts
    // and marks, and fails on any inconsistency between them.
    void modelAndProxy_passQtsModelTester() {
        ServerListModel model;
        ServerSortProxy proxy;
        proxy.setServerModel(&model);
        QAbstractItemModelTester modelTester(
            &model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester proxyTester(
            &proxy, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setImages({QStringLiteral("free"), QStringLiteral("full"), QStringLiteral("mates")});

        HostList hosts = hostsNamed({"beta", "Alpha", "empty", "ALPHA"});
        hosts << Host("S3 host", {"y"}, 3); // no row: only S1 and S2 hosts are listed
        const ServerListModel::Counts counts = model.refill(hosts, TrackTable());
        QCOMPARE(counts.rows, 4);
        QCOMPARE(counts.occupied, 3);
        QCOMPARE(counts.players, 3);
        QCOMPARE(model.hostIndex(3), 3);
        QCOMPARE(model.index(1, 0).data(Qt::DecorationRole).toString(), QStringLiteral("full"));
        QCOMPARE(model.index(2, 0).data(ServerListModel::ImageIndexRole).toInt(), 0);

        proxy.sort(0, Qt::AscendingOrder);
        QCOMPARE(captions(proxy), (QStringList{"Alpha", "ALPHA", "beta", "empty"}));
        // Descending swaps the operands, so equal rows keep host-list order here too.
        proxy.sort(0, Qt::DescendingOrder);
        QCOMPARE(captions(proxy), (QStringList{"empty", "beta", "Alpha", "ALPHA"}));

        // The first row of the display order is marked, whatever the letter case.
        QCOMPARE(proxy.markMateHosts({"alpha", "nobody", ""}), 1);
        QCOMPARE(proxy.index(2, 0).data(ServerListModel::ImageIndexRole).toInt(), 2);
        QCOMPARE(proxy.index(3, 0).data(ServerListModel::ImageIndexRole).toInt(), 1);
        QCOMPARE(proxy.index(2, 0).data(Qt::DecorationRole).toString(), QStringLiteral("mates"));

        model.refill(hostsNamed({"gamma"}), TrackTable());
        QCOMPARE(model.rowsWithMates(), 0);
        QCOMPARE(captions(proxy), QStringList{"gamma"});

        // The filter, through a typed word and a standing filter. A hidden row is still
        // the one marked when it comes first in the order.
        model.refill(hosts, TrackTable());
        proxy.setFilterText(QStringLiteral("bet"));
        QCOMPARE(captions(proxy), QStringList{"beta"});
        QCOMPARE(proxy.markMateHosts({"ALPHA"}), 1);
        QCOMPARE(model.image(1), 2); // "Alpha" comes before "ALPHA" in either direction
        proxy.setStanding({true, false, false, false});
        proxy.setFilterText({});
        QCOMPARE(proxy.rowCount(), 3); // "empty" has no racer
        QCOMPARE(model.rowCount(), 4);
    }

    void filter_matchesEveryWordSomewhere_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("matches");
        QTest::newRow("empty field") << "" << true;
        QTest::newRow("blanks only") << "   " << true;
        QTest::newRow("host, part of a word") << "ue Sk" << true;
        QTest::newRow("host, other case") << "BLUE" << true;
        QTest::newRow("track") << "blackwood" << true;
        QTest::newRow("car-set text") << "allowed" << true;
        QTest::newRow("car code behind a set's name") << "fxr" << true;
        QTest::newRow("racer") << "VROLIJK" << true;
        QTest::newRow("several words, each somewhere") << "sky fxr tessa" << true;
        QTest::newRow("one word nowhere") << "sky nowhere" << false;
        QTest::newRow("no word across two parts") << "skyblackwood" << false;
        QTest::newRow("byte above 127, same byte") << QString::fromLatin1("\xE9t\xE9") << true;
        QTest::newRow("byte above 127 has no case here")
            << QString::fromLatin1("\xC9T\xC9") << false;
        QTest::newRow("colour codes are gone from the name") << "^1" << false;
        QTest::newRow("mate's group") << "FRIENDS" << true;
        QTest::newRow("no word across the racers and the mates") << "friendsteam" << false;
    }
    void filter_matchesEveryWordSomewhere() {
        QFETCH(QString, field);
        QFETCH(bool, matches);
        HostRecord host = Host("Blue Sky", {"Tessa Vrolijk", "\xE9t\xE9"});
        host.carMask = {0xFF, 0xFF, 0x03, 0}; // every car: the text names the set
        const QByteArray shared = FilterCarsAndTrack(host, "Blackwood GP Track", CarsText(host));
        const QByteArray mates = FilterMateText("Tess", {QStringLiteral("Friends")}) +
                                 FilterMateText("V", {QStringLiteral("Team")});
        const QByteArray text = FilterText(host, shared) + mates;
        QCOMPARE(CarsText(host), QByteArray("All cars allowed"));
        const QList<QByteArray> words = FilterWords(FromDisplay(field));
        QCOMPARE(MatchesWords(text, words), matches);
        // A new list's rows are searched without their text being made: the same answer.
        QCOMPARE(HostMatchesWords(host, shared, mates, words), matches);
    }

    void standingFilters_neverHideAMatesHost_data() {
        QTest::addColumn<int>("racers");
        QTest::addColumn<bool>("isPrivate");
        QTest::addColumn<bool>("favourite");
        QTest::addColumn<bool>("hasMate");
        QTest::addColumn<int>("filter"); // 0 empty, 1 full, 2 private, 3 favourites and mates
        QTest::addColumn<bool>("passes");
        QTest::newRow("empty hidden") << 0 << false << false << false << 0 << false;
        QTest::newRow("occupied kept") << 3 << false << false << false << 0 << true;
        QTest::newRow("full hidden") << 4 << false << false << false << 1 << false;
        QTest::newRow("not full kept") << 3 << false << false << false << 1 << true;
        QTest::newRow("private hidden") << 1 << true << false << false << 2 << false;
        QTest::newRow("plain host not a favourite") << 1 << false << false << false << 3 << false;
        QTest::newRow("favourite kept") << 0 << false << true << false << 3 << true;
        QTest::newRow("full with a mate kept") << 4 << false << false << true << 1 << true;
        QTest::newRow("private with a mate kept") << 4 << true << false << true << 2 << true;
        QTest::newRow("mate's host kept") << 2 << false << false << true << 3 << true;
    }
    void standingFilters_neverHideAMatesHost() {
        QFETCH(int, racers);
        QFETCH(bool, isPrivate);
        QFETCH(bool, favourite);
        QFETCH(bool, hasMate);
        QFETCH(int, filter);
        QFETCH(bool, passes);
        QList<QByteArray> names;
        for (int i = 0; i < racers; ++i)
            names << "r" + QByteArray::number(i);
        HostRecord host = Host("H", names, 2, isPrivate);
        host.track[3] = 4; // room for four
        ServerFilterOptions options;
        bool* flags[] = {&options.hideEmpty, &options.hideFull, &options.hidePrivate,
                         &options.onlyFavouritesAndMates};
        *flags[filter] = true;
        QCOMPARE(PassesStandingFilters(host, hasMate, favourite, options), passes);
    }

    void favouritesFile_roundTripDamagedOversizedUnwritable() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("FavouriteHosts.json"));
        FavouriteHosts saved(path);
        QVERIFY(saved.set("Blue Sky", true));
        QVERIFY(saved.set("Caf\xE9 ^1Racing", true));
        QVERIFY(saved.save());
        FavouriteHosts loaded(path);
        loaded.load();
        QCOMPARE(loaded.hosts(), saved.hosts());

        const auto loadedFrom = [&](const QByteArray& bytes) {
            QFile file(path);
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write(bytes);
            file.close();
            FavouriteHosts f(path);
            f.load();
            return f.hosts();
        };
        QVERIFY(loadedFrom("{\"hosts\": [\"Blue").isEmpty()); // cut
        QVERIFY(loadedFrom("[\"not an object\"]").isEmpty()); // damaged
        QVERIFY(loadedFrom(QByteArray(FavouriteHosts::MaxFileBytes + 1, ' ')).isEmpty());

        FavouriteHosts nowhere(dir.filePath(QStringLiteral("missing/FavouriteHosts.json")));
        nowhere.load();
        QVERIFY(nowhere.hosts().isEmpty());
        QVERIFY(nowhere.set("Blue Sky", true));
        QVERIFY(!nowhere.save());
    }
};

QTEST_GUILESS_MAIN(TestServerList)
#include "tst_serverlist.moc"
