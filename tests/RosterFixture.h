#pragma once

#include "MateTree.h"
#include "RosterCommands.h"
#include "RosterFiles.h"
#include "ServerListView.h"
#include "SightingsSource.h"
#include "TrackNaming.h"
#include "TreeRows.h"

#include <QAction>
#include <QLabel>
#include <QTreeView>
#include <memory>

// The roster suites' window side: the widgets the tree works on, over RosterFiles.
namespace RosterFixture {

struct Roster : RosterFiles {
    QTreeView tvMates;
    ServerListView lvServer;
    QLabel lMateInfo{QStringLiteral("Ready")};
    QLabel lSvrMates;
    QAction onOffline; // checked: all mates
    SightingsSource sightings{stats, hosts};
    std::unique_ptr<MateTree> tree;
    std::unique_ptr<RosterCommands> commands;

    explicit Roster(bool makeGroupsDir = true) : RosterFiles(makeGroupsDir) {
        tree = std::make_unique<MateTree>(
            MateTree::Widgets{&tvMates, &lvServer, &lMateInfo, &lSvrMates, &onOffline}, stats,
            store, sightings);
        commands = std::make_unique<RosterCommands>(stats, store, desktop);
        tree->follow(*commands);
    }

    // The view, switched as bOnOffline switches it.
    void showAllMates(bool all) {
        if (onOffline.isChecked() != all)
            onOffline.trigger();
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

    // What the view shows.
    const QAbstractItemModel& shown() const { return *tvMates.model(); }
    QModelIndex nodeAt(int row) const { return TreeRows::at(shown(), row); }
    int rememberedRow() const { return TreeRows::rowOf(tree->rememberedIndex()); }
    QModelIndex groupNode(const QString& name) const { return tree->FindGroupNode(name); }
    // Chooses the node as a mouse release would.
    void choose(const QModelIndex& node) {
        tvMates.setCurrentIndex(node);
        tree->tvMatesMouseUp();
    }
    void chooseMate(const QString& group, const QString& text) {
        const QModelIndex node = TreeRows::child(groupNode(group), text);
        if (!node.isValid())
            qFatal("no such mate node");
        choose(node);
    }
    // "Group[image](child[image] child[image])" for every root, in tree order.
    QString outline() const { return TreeRows::outline(tvMates); }
};

} // namespace RosterFixture
