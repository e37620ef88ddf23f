#pragma once

#include "MateRecord.h"
#include "RosterCommands.h"
#include "SightingsSource.h"

#include <QIcon>
#include <QItemSelectionModel>
#include <QList>
#include <QModelIndex>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QTreeView;
class ProfileStore;
class QuillonPubStats;
class RosterModel;
class RosterViewProxy;
class ServerListView;

// The mate tree: a RosterModel of the roster, shown through the view switch's proxy in
// tvMates, the remembered node, and the counters and server marks of a build. It follows
// what the roster commands change. Nodes are addressed by the view's indexes.
class MateTree : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QTreeView* tvMates = nullptr;
        ServerListView* lvServer = nullptr;
        QLabel* lMateInfo = nullptr;
        QLabel* lSvrMates = nullptr;
        QAction* onOffline = nullptr; // checked: all mates; not checked: online only
    };
    // sightings: who of the roster races where; the tree remakes it after loading the
    // roster, and the commands' follower after each change (before the tree follows).
    MateTree(Widgets widgets, QuillonPubStats& stats, const ProfileStore& store,
             SightingsSource& sightings, QObject* parent = nullptr);
    void setImages(const QList<QIcon>& mateImages);
    // What a mate's node says to a screen reader, asked with the view's index when read.
    void describeMatesBy(std::function<QString(const QModelIndex&)> describer);
    // Keeps the tree in step with what the commands change in the lists and files.
    void follow(const RosterCommands& commands);

    // The view: all mates while onOffline is checked, online only otherwise.
    bool allMates() const;

    // LoadRoster, the sightings, BuildMateNodes, counters and lMateInfo. Throws the first
    // error of a profile file that cannot be read, after building the tree of all the
    // others (the unreadable group shows without mates).
    // Afterwards the node the user chose is found again by its group and, for a mate, its
    // LFS name, and selected; when it has no node any more the remembered values are
    // cleared and the choice counts as gone (chosenGone). In the online-only view a
    // rebuild that gives the same nodes keeps the expansion, selection and scrolling.
    void RebuildRoster();
    // The first group node of that name as the view shows it, or an invalid index.
    QModelIndex FindGroupNode(const QString& group) const;
    void AddGroupNode(const QString& group);
    // Every node anew from the lists, for the view's switch state. Returns the number of
    // mate entries found online.
    int BuildMateNodes();
    void AddMateNode(const MateRecord& record, const QString& group);
    void RenameMateNode(const MateRecord& oldRecord, const MateRecord& newRecord,
                        const QString& group);

    // Handlers of the tree and the view switch. A click on bOnOffline toggles onOffline,
    // and the tree follows its check.
    void bOnOfflineClick();
    void tvMatesMouseUp();
    void tvMatesKeyUp(int key); // Qt::Key
    void tvMatesDblClick();     // throws "Ungültiger Index" when the tree is empty

    // The node the commands act on, as the view's index: the one the user chose last, or
    // after a delete, a rebuild that lost it, or at start, the first node. Invalid in an
    // empty tree.
    QModelIndex rememberedIndex() const;
    // The remembered node as plain values; throws "Ungültiger Index" when it names no node.
    RosterNode rememberedNode() const;
    // The remembered node when it is a mate's; nothing for an empty tree or a group.
    std::optional<RosterNode> rememberedMate() const;
    // The node the user chose last was lost in a rebuild: the commands must act on nothing
    // rather than on whatever node stands first now.
    bool chosenGone() const { return m_choice && m_choiceGone; }
    // After an undo: the user's choice stands when it still has its node; otherwise the
    // node the last delete removed is chosen where it came back, or else the group.
    void chooseRestored(const QString& group);

    // Counters of the last build.
    int onlineMateCount = 0;
    int mateTotal = 0;

    // The remembered node's texts: the node's own, and the group of the last mate chosen.
    QString rememberedDisplayName;
    QString rememberedGroup;

    QTreeView* treeView() const { return m_w.tvMates; }

    // Right clicks on the tree, and the Menu key on its selected node, ask for a node's
    // menu through nodeMenuRequested.
    void enableNodeMenu();
    // The node under pos becomes the chosen one, as at any mouse release (the menu opens
    // before the button is released), then its menu is asked for.
    void tvMatesContextMenu(const QPoint& pos);

Q_SIGNALS:
    // By text, not by node: a refresh may rebuild the tree while the menu is open.
    // mateText is empty for a group node.
    void nodeMenuRequested(const QString& group, const QString& mateText, const QPoint& globalPos);
    // The count below the tree changed: the entries online and in all.
    void mateCountsChanged(int online, int total);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a chosen node stands for, independent of rows: a rebuild makes all nodes anew.
    struct Choice {
        QString group;
        bool isMate = false;
        QString text;       // the node's text when chosen
        QByteArray lfsName; // trimmed; empty for a group
    };
    // What a refresh must not disturb when it brings the same nodes again.
    struct NodeShape {
        bool isMate = false;
        QString text;
        int image = -1;
        bool operator==(const NodeShape&) const = default;
    };
    struct ViewState {
        QList<NodeShape> shape; // every node, in tree order
        QList<bool> expanded;
        int current = -1;
        bool selected = false;
        int scroll = 0;
    };

    void showView(bool allMates);
    void removeGroupNode(const QString& group);
    void removeMateNode(const QString& group, const QString& text);
    QModelIndex childWithText(const QModelIndex& group, const QString& text) const;
    void expandOnlineGroups();
    void markServers(const QSet<QByteArray>& hosts);
    void updateMateInfo();
    void rememberFirstNode();
    void holdRemembered();
    Choice choiceOf(const QModelIndex& node) const;
    QModelIndex findChoice(const Choice& choice) const;
    // After a build: the chosen node found again and, with `select`, made current.
    void carryOver(bool select = true);
    void rememberNode(const QModelIndex& node, bool select = true);
    void keepBuild();
    void makeCurrent(const QModelIndex& node, QItemSelectionModel::SelectionFlags how);
    void forgetChoice();
    ViewState viewState() const;
    void keepViewState(const ViewState& before);
    void openSelectedNodeMenu();
    void requestNodeMenu(const QModelIndex& node, const QPoint& viewportPos);

    Widgets m_w;
    QuillonPubStats& m_stats;
    const ProfileStore& m_store;
    SightingsSource& m_sightings;
    RosterModel* m_model;
    RosterViewProxy* m_proxy;
    // The model's row of the node the commands act on; none: the first node.
    QPersistentModelIndex m_remembered;
    std::optional<Choice> m_choice;
    bool m_choiceGone = false;
    std::optional<Choice> m_lastRemoved; // what the last delete acted on, for its undo
};
