#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class MateRecord;
class QuillonPubStats;
class Sightings;
struct SeenEntry;
struct MateEntry;
struct MateKey;

// The mate tree's nodes: one root row per group, its entries as its children, each level
// in the tree's order (the locale's collation, case-sensitive; equal texts keep the order
// in which they came). A row's picture is its status image: 0 group state not known (no
// entry seen), 1 no mate of the group online, 2 mate(s) online, 3 mate offline, 4 mate
// online (5, mate state not known, is given to none). A group's accessible description
// says how many of its mates are online. The model holds every entry it could place,
// online or not; which of them a view shows is RosterViewProxy's matter.
class RosterModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        ImageIndexRole = Qt::UserRole + 1, // the status image's index
        GroupRole,                         // the group's name, for a group and for its mates
        LfsNameRole,                       // a mate's trimmed LFS name; nothing for a group
    };
    enum Image { GroupNotKnown, NoMateOnline, MatesOnline, MateOffline, MateOnline };

    explicit RosterModel(QObject* parent = nullptr);
    ~RosterModel() override;

    // The decoration of each image index (for example a QIcon in a QVariant).
    void setImages(QList<QVariant> images);

    // A tree made anew, as one reset: a row per group name, and under it each entry of
    // that group, online as the sightings say. An entry whose group name cannot be told
    // apart (cut to 50 characters, or equal to another group's cut name) gets no row.
    // Returns the number of entries placed that are online.
    int rebuild(const QuillonPubStats& roster, const Sightings& seen);
    // True when rebuild() would give the rows, texts and pictures held now: the roster
    // unchanged since the last build, no command since, and the same entries online.
    bool wouldKeep(const QuillonPubStats& roster, const Sightings& seen) const;
    QModelIndex addGroup(const QString& name);
    // The entry's row under its group, its group's image raised as a build would; nothing
    // when the entry cannot be placed.
    QModelIndex addMate(const QString& group, const MateRecord& record, const Sightings& seen);
    // A mate row's new text; it moves to its sorted place among its siblings.
    void renameMate(const QModelIndex& mate, const QString& text);
    void removeNode(const QModelIndex& node);
    void setGroupImage(const QModelIndex& group, int image);

    // The first group row of that name, or an invalid index.
    QModelIndex group(const QString& name) const;
    static bool isMate(const QModelIndex& index) { return index.parent().isValid(); }
    bool isOnline(const QModelIndex& mate) const;
    // What a row stands for; a group's key has no LFS name.
    MateKey key(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Mate {
        QString text;
        QByteArray lfsName; // trimmed
        bool online = false;
        qsizetype entry = -1; // its place in the roster of the last build
    };
    struct Group {
        QString name;
        int image = GroupNotKnown;
        std::vector<Mate> mates;
    };
    using Groups = std::vector<std::unique_ptr<Group>>;

    Group* groupOf(const QModelIndex& index) const;
    const Mate& mateAt(const QModelIndex& mate) const;
    int groupRow(const Group* group) const;
    static Group* placeFor(const Groups& groups, const QString& entryGroup);
    static void place(Group& group, const MateRecord& record, const Sightings& seen);
    void raiseImage(Group& group, int image);
    void countChanged(const QModelIndex& group);

    // The roster the last build placed, and where each of its entries went (no group for
    // one that got no row): a build from the same roster only sets the pictures again.
    struct Placed {
        Group* group = nullptr;
        size_t mate = 0;
    };
    bool sameRoster(const QuillonPubStats& roster) const;
    int setOnline(const Sightings& seen);
    const Placed* placedOnline(const SeenEntry& entry) const;

    Groups m_groups; // child rows point at their group, which keeps its address
    QList<QVariant> m_images;
    const QuillonPubStats* m_builtFrom = nullptr;
    quint64 m_builtRevision = 0;
    std::vector<Placed> m_placed;
    bool m_edited = true; // a command changed the rows since the last build
    int m_online = 0;     // what the last build counted online
};

// Every row of a two-level model, each group followed by its children, expanded or not.
QModelIndexList NodesInTreeOrder(const QAbstractItemModel& model);

// The mate tree's two views of a RosterModel: every entry, or only the online ones. Every
// group shows in both. The order is the model's. A mate's accessible description is what
// the describer says of its row (an index of this proxy), asked when it is read.
class RosterViewProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using Describer = std::function<QString(const QModelIndex&)>;

    explicit RosterViewProxy(QObject* parent = nullptr);
    void setRosterModel(RosterModel* model);
    RosterModel* rosterModel() const { return m_model; }

    bool allMates() const { return m_allMates; }
    void setAllMates(bool allMates);
    void setMateDescriber(Describer describer) { m_describeMate = std::move(describer); }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    RosterModel* m_model = nullptr;
    bool m_allMates = false;
    Describer m_describeMate;
};
