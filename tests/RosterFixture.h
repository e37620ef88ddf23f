#pragma once

#include "FakeDesktop.h"
#include "HostFixture.h"
#include "ItemImages.h"
#include "MateTree.h"
#include "ProfileStore.h"
#include "QuillonPubStats.h"
#include "RosterCommands.h"
#include "SingleByteText.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>

// Shared set-up of the roster suites: a groups folder in a temporary directory, the
// widgets the tree works on, and host records built in memory.
namespace RosterFixture {

inline MateRecord Mate(QByteArrayView lfsName, QByteArrayView nick = {}) {
    return MateRecord::make(lfsName, nick, {}, {});
}

inline QByteArray RecordsBytes(const QList<MateRecord>& records) {
    QByteArray bytes;
    for (const MateRecord& r : records)
        bytes += r.bytes();
    return bytes;
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write fixture file");
    file.write(bytes);
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

struct Roster {
    QTemporaryDir temp;
    QString groupsDir = temp.path() + QStringLiteral("/groups/");
    QuillonPubStats stats;
    ProfileStore store{groupsDir};
    QTreeWidget tvMates;
    QTreeWidget lvServer;
    QLabel lMateInfo{QStringLiteral("Ready")};
    QLabel lSvrMates;
    QPushButton bOnOffline;
    FakeDesktop desktop;
    std::unique_ptr<MateTree> tree;
    std::unique_ptr<RosterCommands> commands;

    explicit Roster(bool makeGroupsDir = true) {
        if (makeGroupsDir)
            QDir().mkpath(groupsDir);
        bOnOffline.setProperty("Tag", 1);
        tree = std::make_unique<MateTree>(
            MateTree::Widgets{&tvMates, &lvServer, &lMateInfo, &lSvrMates, &bOnOffline}, stats,
            store);
        commands = std::make_unique<RosterCommands>(stats, store, *tree, desktop);
    }

    QString path(const QString& group) const { return store.ProfilePath(group); }
    void group(const QString& name, const QList<MateRecord>& records = {}) {
        WriteFile(path(name), RecordsBytes(records));
    }
    void servers(const QList<QByteArray>& captions) {
        lvServer.clear();
        for (const QByteArray& c : captions) {
            auto* row = new QTreeWidgetItem(&lvServer, QStringList{ToDisplay(c)});
            SetItemImage(row, 1, {});
        }
    }
    QList<int> serverImages() const {
        QList<int> images;
        for (int i = 0; i < lvServer.topLevelItemCount(); ++i)
            images << ItemImage(lvServer.topLevelItem(i));
        return images;
    }
    QTreeWidgetItem* groupNode(const QString& name) const {
        const int row = tree->FindGroupNode(name);
        return row < 0 ? nullptr : tree->NodeAt(row);
    }
    // Chooses the node as a mouse release would.
    void choose(QTreeWidgetItem* node) {
        tvMates.setCurrentItem(node);
        tree->tvMatesMouseUp();
    }
    void chooseMate(const QString& group, const QString& text) {
        QTreeWidgetItem* g = groupNode(group);
        for (int i = 0; g && i < g->childCount(); ++i) {
            if (g->child(i)->text(0) == text)
                return choose(g->child(i));
        }
        qFatal("no such mate node");
    }
    // "Group[image](child[image] child[image])" for every root, in tree order.
    QString outline() const {
        QStringList parts;
        for (int i = 0; i < tvMates.topLevelItemCount(); ++i) {
            const QTreeWidgetItem* g = tvMates.topLevelItem(i);
            QString s = QStringLiteral("%1[%2]").arg(g->text(0)).arg(ItemImage(g));
            if (g->isExpanded())
                s += QLatin1Char('+');
            QStringList children;
            for (int j = 0; j < g->childCount(); ++j)
                children << QStringLiteral("%1[%2]")
                                .arg(g->child(j)->text(0))
                                .arg(ItemImage(g->child(j)));
            if (!children.isEmpty())
                s += QLatin1Char('(') + children.join(QLatin1Char(' ')) + QLatin1Char(')');
            parts << s;
        }
        return parts.join(QLatin1Char(' '));
    }
};

} // namespace RosterFixture
