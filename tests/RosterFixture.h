#pragma once

#include "ItemImages.h"
#include "MateTree.h"
#include "RosterCommands.h"
#include "RosterFiles.h"
#include "ServerListView.h"
#include "SightingsSource.h"
#include "TrackNaming.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

// The roster suites' window side: the widgets the tree works on, over RosterFiles.
namespace RosterFixture {

struct Roster : RosterFiles {
    QTreeWidget tvMates;
    ServerListView lvServer;
    QLabel lMateInfo{QStringLiteral("Ready")};
    QLabel lSvrMates;
    QPushButton bOnOffline;
    SightingsSource sightings{stats, hosts};
    std::unique_ptr<MateTree> tree;
    std::unique_ptr<RosterCommands> commands;

    explicit Roster(bool makeGroupsDir = true) : RosterFiles(makeGroupsDir) {
        bOnOffline.setProperty("Tag", 1);
        tree = std::make_unique<MateTree>(
            MateTree::Widgets{&tvMates, &lvServer, &lMateInfo, &lSvrMates, &bOnOffline}, stats,
            store, sightings);
        commands = std::make_unique<RosterCommands>(stats, store, desktop);
        sightings.follow(*commands); // first, as the main window has it
        tree->follow(*commands);
    }

    // Occupied rows with these captions, in this order.
    void servers(const QList<QByteArray>& captions) {
        HostList hosts;
        for (const QByteArray& c : captions)
            hosts << Host(c, {"someone"});
        lvServer.rows().refill(hosts, TrackTable());
    }
    QList<int> serverImages() const {
        QList<int> images;
        for (int i = 0; i < lvServer.rowCount(); ++i)
            images << lvServer.rowImage(i);
        return images;
    }
    // The tool bar's commands on the chosen node, as the main window hands it over.
    void DeleteGroup() { commands->DeleteGroup(tree->rememberedNode()); }
    void DeleteMate() { commands->DeleteMate(tree->rememberedNode()); }
    QString AddMateGroup() const { return RosterCommands::AddMateGroup(tree->rememberedNode()); }
    std::optional<RosterCommands::EditPreset> EditMatePreset() const {
        if (!tree->rememberedMate())
            return std::nullopt;
        return commands->EditMatePreset(tree->rememberedDisplayName, tree->rememberedGroup);
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
