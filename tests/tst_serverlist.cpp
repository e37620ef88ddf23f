#include "HostFixture.h"
#include "ServerListModel.h"
#include "TrackNaming.h"

#include <QAbstractItemModelTester>
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
        QCOMPARE(proxy.findCaption(QStringLiteral("BETA")), 1);

        model.refill(hostsNamed({"gamma"}), TrackTable());
        QCOMPARE(model.rowsWithMates(), 0);
        QCOMPARE(captions(proxy), QStringList{"gamma"});
    }
};

QTEST_GUILESS_MAIN(TestServerList)
#include "tst_serverlist.moc"
