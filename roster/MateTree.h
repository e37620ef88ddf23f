#pragma once

#include "MateRecord.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QSet>
#include <QString>

class QAbstractButton;
class QKeyEvent;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class MateMatcher;
class ProfileStore;
class QuillonPubStats;

// The mate tree: group nodes at the root, their mates as children, status images,
// the two views and the remembered node. It works on the main window's widgets.
class MateTree : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QTreeWidget* tvMates = nullptr;
        QTreeWidget* lvServer = nullptr;
        QLabel* lMateInfo = nullptr;
        QLabel* lSvrMates = nullptr;
        QAbstractButton* bOnOffline = nullptr; // its "Tag" property: 1 online-only, 0 all
    };

    MateTree(Widgets widgets, QuillonPubStats& stats, const ProfileStore& store,
             QObject* parent = nullptr);
    void setImages(QList<QIcon> mateImages, QList<QIcon> serverImages);

    // The view: the Tag of bOnOffline. All-mates when it is not 1.
    bool allMates() const;

    // LoadRoster, LoadGroupNodes, BuildMateNodes, counters and lMateInfo. Throws when
    // a profile file cannot be read (the tree then stays empty, labels unchanged).
    // Afterwards the remembered node is carried over to the node of the same text
    // under the group of the same name and selected, or cleared when there is none.
    void RebuildRoster();
    void LoadGroupNodes();
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

    const QList<QIcon>& mateImages() const { return m_mateImages; }

    // The mate entry a mate node stands for, by its group and text (also after a rename
    // in the dialog); -1 for a group node or when the roster has no such entry.
    int NodeEntry(const QTreeWidgetItem* node) const;
    // Right clicks on the tree ask for a node's menu through nodeMenuRequested.
    void enableNodeMenu();
    // The node under pos becomes the chosen one, as at any mouse release (the menu opens
    // before the button is released), then its menu is asked for.
    void tvMatesContextMenu(const QPoint& pos);

Q_SIGNALS:
    // By text, not by node: a refresh may rebuild the tree while the menu is open.
    // mateText is empty for a group node.
    void nodeMenuRequested(const QString& group, const QString& mateText, const QPoint& globalPos);

private:
    struct RememberedNode {
        bool valid = false;
        bool isMate = false;
        QString text;
        QString group;
    };

    void fillGroupNodes();
    void sortTree();
    QSet<QString> cutGroupNames() const;
    QTreeWidgetItem* groupNodeForEntry(const QString& entryGroup,
                                       const QSet<QString>& cutNames) const;
    bool addMateEntryNode(const MateMatcher& matcher, const MateRecord& record,
                          QTreeWidgetItem* groupNode, bool allMates);
    void updateServersWithMates();
    void updateMateInfo();
    QTreeWidgetItem* rememberedNode() const; // nullptr when the position names no node
    void followNode(const QTreeWidgetItem* remembered);
    RememberedNode captureRememberedNode() const;
    void carryOver(const RememberedNode& before);
    void restoreRememberedNode(const QString& displayName, const QString& group, bool wasMate);

    Widgets m_w;
    QuillonPubStats& m_stats;
    const ProfileStore& m_store;
    QList<QIcon> m_mateImages;
    QList<QIcon> m_serverImages;
};
