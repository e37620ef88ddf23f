#include "RosterModel.h"

#include "QuillonPubStats.h"

#include "MateRecord.h"
#include "Sightings.h"
#include "SingleByteText.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

namespace {

const QCollator& collator() {
    static const QCollator c = [] {
        // The C locale would sort by character code, every capital before every small
        // letter; users expect a dictionary order.
        const QLocale system;
        QCollator made(system.language() == QLocale::C ? QLocale(QLocale::English) : system);
        made.setCaseSensitivity(Qt::CaseSensitive);
        return made;
    }();
    return c;
}

template <typename Group> QString onlineText(const Group& group) {
    if (group.mates.empty())
        return QStringLiteral("No mates");
    const auto online = std::count_if(group.mates.begin(), group.mates.end(),
                                      [](const auto& mate) { return mate.online; });
    return QStringLiteral("%1 of %2 mates online").arg(online).arg(group.mates.size());
}

bool sortsBefore(const QString& a, const QString& b) {
    return collator().compare(a, b) < 0;
}

// Where a new row goes among sorted siblings: after every one that does not sort after
// it, as appending it and sorting stably would put it.
template <typename Rows, typename TextOf>
int insertionRow(const Rows& rows, const QString& text, TextOf textOf) {
    const auto at =
        std::upper_bound(rows.begin(), rows.end(), text, [&](const QString& t, const auto& row) {
            return sortsBefore(t, textOf(row));
        });
    return int(at - rows.begin());
}

} // namespace

RosterModel::RosterModel(QObject* parent) : QAbstractItemModel(parent) {}

RosterModel::~RosterModel() = default;

void RosterModel::setImages(QList<QVariant> images) {
    m_images = std::move(images);
    if (!m_groups.empty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_groups.size()) - 1, 0), {Qt::DecorationRole});
    for (int row = 0; row < int(m_groups.size()); ++row) {
        const QModelIndex parent = index(row, 0);
        if (const int count = rowCount(parent))
            Q_EMIT dataChanged(index(0, 0, parent), index(count - 1, 0, parent),
                               {Qt::DecorationRole});
    }
}

// An entry of a group whose name was cut to 50 characters cannot tell its group apart from
// one that is named by the cut text, so it gets no row at all rather than one under a
// foreign group. Such groups show without mates.
RosterModel::Group* RosterModel::placeFor(const Groups& groups, const QString& entryGroup) {
    if (entryGroup.size() > MateEntry::GroupNameMax)
        return nullptr;
    Group* found = nullptr;
    for (const std::unique_ptr<Group>& group : groups) {
        if (group->name.size() > MateEntry::GroupNameMax &&
            QStringView(group->name).left(MateEntry::GroupNameMax) == entryGroup)
            return nullptr;
        if (!found && group->name == entryGroup)
            found = group.get();
    }
    return found;
}

// A group's image only rises: 1 once an entry of it is seen, 2 once one is online.
void RosterModel::place(Group& group, const MateRecord& record, const Sightings& seen) {
    Mate mate;
    mate.text = ToDisplay(record.displayName());
    mate.lfsName = TrimBytes(record.lfsName());
    mate.online = seen.isOnline({group.name, mate.lfsName});
    group.mates.push_back(std::move(mate));
    if (group.mates.back().online)
        group.image = MatesOnline;
    else if (group.image != MatesOnline)
        group.image = NoMateOnline;
}

bool RosterModel::sameRoster(const QuillonPubStats& roster) const {
    return !m_edited && m_builtFrom == &roster && m_builtRevision == roster.revision();
}

// Where the last build placed an entry the sightings see online; nothing for one offline
// or without a row.
const RosterModel::Placed* RosterModel::placedOnline(const SeenEntry& entry) const {
    if (!entry.sighting.online || entry.entry >= qsizetype(m_placed.size()))
        return nullptr;
    const Placed& at = m_placed[size_t(entry.entry)];
    return at.group ? &at : nullptr;
}

// The same rows as the last build, sorted as they were; only who is online is new.
int RosterModel::setOnline(const Sightings& seen) {
    for (const std::unique_ptr<Group>& group : m_groups) {
        group->image = group->mates.empty() ? GroupNotKnown : NoMateOnline;
        for (Mate& mate : group->mates)
            mate.online = false;
    }
    int online = 0;
    for (const SeenEntry& entry : seen.seenEntries()) {
        if (const Placed* at = placedOnline(entry)) {
            at->group->mates[at->mate].online = true;
            at->group->image = MatesOnline;
            ++online;
        }
    }
    return online;
}

int RosterModel::rebuild(const QuillonPubStats& roster, const Sightings& seen) {
    // Every refresh builds the tree again from the files, which mostly hold what they
    // held: then the sorting and the texts of the last build still stand.
    if (sameRoster(roster)) {
        beginResetModel();
        m_online = setOnline(seen);
        endResetModel();
        return m_online;
    }
    const QStringList& groups = roster.groups();
    const QList<MateEntry>& mates = roster.mates();
    Groups made;
    made.reserve(size_t(groups.size()));
    for (const QString& name : groups) {
        made.push_back(std::make_unique<Group>());
        made.back()->name = name;
    }
    int online = 0;
    Group* group = nullptr;
    std::vector<Placed> placed(size_t(mates.size()));
    for (qsizetype i = 0; i < mates.size(); ++i) {
        const MateEntry& entry = mates.at(i);
        // Entries of one group stand together, so the group is looked up per run.
        if (i == 0 || entry.group != mates.at(i - 1).group)
            group = placeFor(made, entry.group);
        if (!group)
            continue;
        place(*group, entry.record, seen);
        group->mates.back().entry = i;
        if (group->mates.back().online)
            ++online;
    }
    std::stable_sort(made.begin(), made.end(),
                     [](const auto& a, const auto& b) { return sortsBefore(a->name, b->name); });
    for (const std::unique_ptr<Group>& g : made) {
        std::stable_sort(g->mates.begin(), g->mates.end(),
                         [](const Mate& a, const Mate& b) { return sortsBefore(a.text, b.text); });
        for (size_t m = 0; m < g->mates.size(); ++m)
            placed[size_t(g->mates[m].entry)] = {g.get(), m};
    }
    beginResetModel();
    m_groups = std::move(made);
    m_builtFrom = &roster;
    m_builtRevision = roster.revision();
    m_placed = std::move(placed);
    m_edited = false;
    m_online = online;
    endResetModel();
    return online;
}

bool RosterModel::wouldKeep(const QuillonPubStats& roster, const Sightings& seen) const {
    if (!sameRoster(roster))
        return false;
    // Every entry online now was online then, and as many: then none went offline either,
    // and each group's picture follows from its mates.
    int online = 0;
    for (const SeenEntry& entry : seen.seenEntries()) {
        if (const Placed* at = placedOnline(entry)) {
            if (!at->group->mates[at->mate].online)
                return false;
            ++online;
        }
    }
    return online == m_online;
}

QModelIndex RosterModel::addGroup(const QString& name) {
    m_edited = true;
    const int row =
        insertionRow(m_groups, name, [](const std::unique_ptr<Group>& g) { return g->name; });
    beginInsertRows({}, row, row);
    auto group = std::make_unique<Group>();
    group->name = name;
    m_groups.insert(m_groups.begin() + row, std::move(group));
    endInsertRows();
    return index(row, 0);
}

QModelIndex RosterModel::addMate(const QString& groupName, const MateRecord& record,
                                 const Sightings& seen) {
    m_edited = true;
    Group* group = placeFor(m_groups, groupName);
    if (!group)
        return {};
    const QModelIndex parent = index(groupRow(group), 0);
    // Made aside first, so that the group's image changes after the row is in.
    Group made;
    made.name = group->name;
    made.image = group->image;
    place(made, record, seen);
    Mate& mate = made.mates.back();
    const int row = insertionRow(group->mates, mate.text, [](const Mate& m) { return m.text; });
    beginInsertRows(parent, row, row);
    group->mates.insert(group->mates.begin() + row, std::move(mate));
    endInsertRows();
    setGroupImage(parent, made.image);
    countChanged(parent);
    return index(row, 0, parent);
}

void RosterModel::renameMate(const QModelIndex& mate, const QString& text) {
    m_edited = true;
    Group* group = groupOf(mate);
    if (!group)
        return;
    const int from = mate.row();
    std::vector<Mate>& mates = group->mates;
    mates[size_t(from)].text = text;
    Q_EMIT dataChanged(mate, mate, {Qt::DisplayRole});
    // Its place in a stable sort of the rows as they stand: after every sibling that sorts
    // before it, and after the equal ones that stood before it.
    int to = 0;
    for (int i = 0; i < int(mates.size()); ++i) {
        if (i != from && (sortsBefore(mates[size_t(i)].text, text) ||
                          (i < from && !sortsBefore(text, mates[size_t(i)].text))))
            ++to;
    }
    if (to == from)
        return;
    const QModelIndex parent = mate.parent();
    beginMoveRows(parent, from, from, parent, to > from ? to + 1 : to);
    if (to > from)
        std::rotate(mates.begin() + from, mates.begin() + from + 1, mates.begin() + to + 1);
    else
        std::rotate(mates.begin() + to, mates.begin() + from, mates.begin() + from + 1);
    endMoveRows();
}

void RosterModel::removeNode(const QModelIndex& node) {
    m_edited = true;
    if (!node.isValid())
        return;
    Q_ASSERT(checkIndex(node));
    if (Group* group = groupOf(node)) {
        const QModelIndex parent = node.parent();
        beginRemoveRows(parent, node.row(), node.row());
        group->mates.erase(group->mates.begin() + node.row());
        endRemoveRows();
        countChanged(parent);
        return;
    }
    beginRemoveRows({}, node.row(), node.row());
    m_groups.erase(m_groups.begin() + node.row());
    endRemoveRows();
}

void RosterModel::setGroupImage(const QModelIndex& group, int image) {
    m_edited = true;
    if (!group.isValid() || isMate(group))
        return;
    Q_ASSERT(checkIndex(group));
    Group& g = *m_groups[size_t(group.row())];
    if (g.image == image)
        return;
    g.image = image;
    Q_EMIT dataChanged(group, group, {ImageIndexRole, Qt::DecorationRole});
}

void RosterModel::countChanged(const QModelIndex& group) {
    Q_EMIT dataChanged(group, group, {Qt::AccessibleDescriptionRole});
}

QModelIndex RosterModel::group(const QString& name) const {
    for (size_t row = 0; row < m_groups.size(); ++row) {
        if (m_groups[row]->name == name)
            return index(int(row), 0);
    }
    return {};
}

bool RosterModel::isOnline(const QModelIndex& mate) const {
    return groupOf(mate) && mateAt(mate).online;
}

MateKey RosterModel::key(const QModelIndex& index) const {
    if (const Group* group = groupOf(index))
        return {group->name, mateAt(index).lfsName};
    if (index.isValid())
        return {m_groups[size_t(index.row())]->name, {}};
    return {};
}

RosterModel::Group* RosterModel::groupOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Group*>(index.internalPointer()) : nullptr;
}

const RosterModel::Mate& RosterModel::mateAt(const QModelIndex& mate) const {
    return groupOf(mate)->mates[size_t(mate.row())];
}

int RosterModel::groupRow(const Group* group) const {
    for (size_t row = 0; row < m_groups.size(); ++row) {
        if (m_groups[row].get() == group)
            return int(row);
    }
    return -1;
}

QModelIndex RosterModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, nullptr);
    return createIndex(row, column, m_groups[size_t(parent.row())].get());
}

QModelIndex RosterModel::parent(const QModelIndex& child) const {
    const Group* group = groupOf(child);
    return group ? createIndex(groupRow(group), 0, nullptr) : QModelIndex();
}

int RosterModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return int(m_groups.size());
    if (parent.column() != 0 || isMate(parent))
        return 0;
    return int(m_groups[size_t(parent.row())]->mates.size());
}

int RosterModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant RosterModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    Q_ASSERT(checkIndex(index));
    const Group* parent = groupOf(index);
    const Group& group = parent ? *parent : *m_groups[size_t(index.row())];
    const Mate* mate = parent ? &mateAt(index) : nullptr;
    const int image = mate ? (mate->online ? MateOnline : MateOffline) : group.image;
    switch (role) {
    case Qt::DisplayRole:
        return mate ? mate->text : group.name;
    case Qt::DecorationRole:
        return image < m_images.size() ? m_images.at(image) : QVariant();
    case ImageIndexRole:
        return image;
    case GroupRole:
        return group.name;
    case LfsNameRole:
        return mate ? QVariant(mate->lfsName) : QVariant();
    case Qt::AccessibleDescriptionRole:
        return mate ? QVariant() : QVariant(onlineText(group));
    default:
        return {};
    }
}

Qt::ItemFlags RosterModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return isMate(index) ? flags | Qt::ItemNeverHasChildren : flags;
}

QModelIndexList NodesInTreeOrder(const QAbstractItemModel& model) {
    QModelIndexList nodes;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex group = model.index(row, 0);
        nodes.append(group);
        for (int child = 0; child < model.rowCount(group); ++child)
            nodes.append(model.index(child, 0, group));
    }
    return nodes;
}

RosterViewProxy::RosterViewProxy(QObject* parent) : QSortFilterProxyModel(parent) {}

void RosterViewProxy::setRosterModel(RosterModel* model) {
    m_model = model;
    setSourceModel(model);
}

void RosterViewProxy::setAllMates(bool allMates) {
    if (allMates == m_allMates)
        return;
    m_allMates = allMates;
    invalidateFilter();
}

QVariant RosterViewProxy::data(const QModelIndex& index, int role) const {
    if (role == Qt::AccessibleDescriptionRole && m_describeMate && RosterModel::isMate(index))
        return m_describeMate(index);
    return QSortFilterProxyModel::data(index, role);
}

bool RosterViewProxy::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (!sourceParent.isValid() || m_allMates)
        return true;
    return m_model && m_model->isOnline(m_model->index(sourceRow, 0, sourceParent));
}
