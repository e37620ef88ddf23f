#pragma once

#include "MateRecord.h"
#include "RosterCommands.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QSet>
#include <QString>
#include <optional>

class QAbstractButton;
class QKeyEvent;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class ProfileStore;
class QuillonPubStats;
class ServerListView;
class SightingsSource;
struct MateSighting;

// The mate tree: group nodes at the root, their mates as children, status images,
// the two views and the remembered node. It works on the main window's widgets and
// follows what the roster commands change.
class MateTree : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QTreeWidget* tvMates = nullptr;
        ServerListView* lvServer = nullptr;
        QLabel* lMateInfo = nullptr;
        QLabel* lSvrMates = nullptr;
        QAbstractButton* bOnOffline = nullptr; // its "Tag" property: 1 online-only, 0 all
    };

    // sightings: who races where; the tree has it made anew whenever it loads the roster.
    MateTree(Widgets widgets, QuillonPubStats& stats, const ProfileStore& store,
             SightingsSource& sightings, QObject* parent = nullptr);
    void setImages(QList<QIcon> mateImages);
    // Keeps the tree in step with what the commands change in the lists and files.
    void follow(const RosterCommands& commands);

    // The view: the Tag of bOnOffline. All-mates when it is not 1.
    bool allMates() const;

    // LoadRoster, the group nodes, BuildMateNodes, counters and lMateInfo. Throws the
    // first error of a profile file that cannot be read, after building the tree of all
    // the others (the unreadable group shows without mates).
    // Afterwards the node the user chose is found again by its group and, for a mate, its
    // LFS name, and selected; when it has no node any more the remembered values are
    // cleared and the choice counts as gone (chosenGone). In the online-only view a
    // rebuild that gives the same nodes keeps the expansion, selection and scrolling.
    void RebuildRoster();
    int FindGroupNode(const QString& group) const; // absolute row, or -1
    void AddGroupNode(const QString& group);
    int BuildMateNodes(bool allMates);
    void AddMateNode(const MateRecord& record, const QString& group, bool allMates);
    void RenameMateNode(const MateRecord& oldRecord, const MateRecord& newRecord,
                        const QString& group);

    // Handlers of the tree and the view switch.
    void bOnOfflineClick();
    void tvMatesMouseUp();
    void tvMatesKeyUp(int key); // Qt::Key
    void tvMatesDblClick();     // throws "Ungültiger Index" past the tree's end

    // The remembered node as plain values; throws "Ungültiger Index" when the position
    // names no node.
    RosterNode rememberedNode() const;
    // The remembered node when it is a mate's; nothing for an empty tree or a group.
    // Throws like rememberedNode when the position is past the end of a tree.
    std::optional<RosterNode> rememberedMate() const;
    // The node the user chose last was lost in a rebuild: the commands must act on nothing
    // rather than on whatever node the remembered position names now.
    bool chosenGone() const { return m_choice && m_choiceGone; }
    // After an undo: the user's choice stands when it still has its node; otherwise the
    // node the last delete removed is chosen where it came back, or else the group.
    void chooseRestored(const QString& group);
    // The text of the first node the tree shows for the person, in tree order.
    std::optional<QString> shownMateText(QByteArrayView lfsName) const;

    // Plain tree operations by absolute row (every node in tree order, expanded or not).
    int NodeCount() const;
    QTreeWidgetItem* NodeAt(int absoluteRow) const; // throws "Ungültiger Index"
    int AbsoluteRow(const QTreeWidgetItem* item) const;

    // Counters of the last build.
    int onlineMateCount = 0;
    int mateTotal = 0;

    // The remembered node.
    int rememberedPosition = 0;
    QString rememberedDisplayName;
    QString rememberedGroup;

    QTreeWidget* treeWidget() const { return m_w.tvMates; }

    // The mate entry a mate node stands for, by its group and text (also after a rename
    // in the dialog); -1 for a group node or when the roster has no such entry.
    int NodeEntry(const QTreeWidgetItem* node) const;
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a chosen node stands for, independent of rows: a rebuild makes all nodes anew.
    struct Choice {
        QString group;
        bool isMate = false;
        QString text;       // the node's text when chosen
        QByteArray lfsName; // trimmed; empty for a group or a node without an entry
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

    void removeGroupNode(const QString& group);
    void removeMateNode(const QString& group, const QString& text);
    void fillGroupNodes();
    void sortTree();
    QSet<QString> cutGroupNames() const;
    QTreeWidgetItem* groupNodeForEntry(const QString& entryGroup,
                                       const QSet<QString>& cutNames) const;
    bool addMateEntryNode(const std::optional<MateSighting>& seen, const MateRecord& record,
                          QTreeWidgetItem* groupNode, bool allMates);
    void markServers(const QSet<QByteArray>& hosts);
    void updateMateInfo();
    QTreeWidgetItem* rememberedItem() const; // nullptr when the position names no node
    void followNode(const QTreeWidgetItem* remembered);
    Choice choiceOf(const QTreeWidgetItem* node) const;
    QTreeWidgetItem* findChoice(const Choice& choice) const;
    void carryOver();
    void rememberNode(QTreeWidgetItem* node);
    void forgetChoice();
    ViewState viewState() const;
    void keepViewState(const ViewState& before);
    void openSelectedNodeMenu();
    void requestNodeMenu(QTreeWidgetItem* node, const QPoint& viewportPos);

    Widgets m_w;
    QuillonPubStats& m_stats;
    const ProfileStore& m_store;
    SightingsSource& m_sightings;
    QList<QIcon> m_mateImages;
    std::optional<Choice> m_choice;
    bool m_choiceGone = false;
    std::optional<Choice> m_lastRemoved; // what the last delete acted on, for its undo
};
