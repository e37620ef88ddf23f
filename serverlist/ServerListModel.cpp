#include "ServerListModel.h"

#include "HostListDecoder.h"
#include "ServerFilter.h"
#include "SingleByteText.h"
#include "TrackNaming.h"

namespace {

char16_t upper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

constexpr const char* ColumnCaptions[ServerListModel::ColumnCount] = {
    "Name", "Ver", "Track", "Rules*", "Cars*", "Players", "Laps", "Quali"};

// The key of a case-blind caption match: the same per-character folding as
// QString::compare with Qt::CaseInsensitive.
QString folded(QStringView caption) {
    QString text = caption.toString();
    for (QChar& c : text)
        c = c.toCaseFolded();
    return text;
}

} // namespace

int CompareCaseBlind(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ca = upper(a[i].unicode());
        const char16_t cb = upper(b[i].unicode());
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

QStringList ServerRowTexts(const HostRecord& host, const TrackTable& tracks) {
    return ServerRowTextMaker(tracks).texts(host);
}

template <typename Make>
const QString& ServerRowTextMaker::shared(int column, quint32 key, Make make) {
    const quint64 slot = (quint64(column) << 32) | key;
    auto it = m_texts.constFind(slot);
    if (it == m_texts.constEnd())
        it = m_texts.insert(slot, make());
    return *it;
}

template <typename Out> void ServerRowTextMaker::fill(const HostRecord& host, Out& texts) {
    const auto bytes = [](quint8 a, quint8 b = 0, quint8 c = 0, quint8 d = 0) {
        return quint32(a) | quint32(b) << 8 | quint32(c) << 16 | quint32(d) << 24;
    };
    texts[0] = ToDisplay(host.name);
    texts[1] = shared(1, host.versionType(), [&] { return ToDisplay(VersionText(host)); });
    texts[2] = shared(2, bytes(host.track[0], host.track[1], host.track[2]),
                      [&] { return ToDisplay(m_tracks.TrackName(host)); });
    texts[3] = shared(3, host.rules[0], [&] { return ToDisplay(RulesText(host)); });
    texts[4] = shared(4, bytes(host.carMask[0], host.carMask[1], host.carMask[2], host.carMask[3]),
                      [&] { return ToDisplay(CarsText(host)); });
    texts[5] = shared(5, bytes(host.racerCount, host.maxPlayers()),
                      [&] { return ToDisplay(PlayersText(host)); });
    texts[6] = shared(6, host.laps, [&] { return QString::number(host.laps); });
    texts[7] = shared(7, host.qualifying, [&] { return QString::number(host.qualifying); });
}

QStringList ServerRowTextMaker::texts(const HostRecord& host) {
    std::array<QString, ServerListModel::ColumnCount> cells;
    fill(host, cells);
    return QStringList(cells.begin(), cells.end());
}

// ---- model ------------------------------------------------------------------------

ServerListModel::ServerListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ServerListModel::setImages(QList<QVariant> images) {
    m_images = std::move(images);
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

ServerListModel::Counts ServerListModel::refill(const HostList& hosts, const TrackTable& tracks) {
    Counts counts;
    beginResetModel();
    m_hosts = hosts;
    m_filterTexts.clear();
    m_sharedFilterParts.clear();
    m_keepFilterTexts = false;
    m_rows.clear();
    m_rows.reserve(size_t(hosts.size()));
    m_withMates = 0;
    // The lines named racer slots of the list just replaced. The hosts with mates stay
    // until the sightings of the new list come, so that the row the refresh keeps selected
    // is not hidden meanwhile.
    m_mates.racers.clear();
    ServerRowTextMaker maker(tracks);
    for (qsizetype i = 0; i < hosts.size(); ++i) {
        const HostRecord& host = hosts.at(i);
        if (!host.isListed())
            continue;
        Row& row = m_rows.emplace_back();
        maker.fill(host, row.texts);
        row.image = host.racerCount > 0 ? 1 : 0;
        row.host = int(i);
        counts.players += host.racerCount;
        counts.occupied += row.image;
    }
    counts.rows = int(m_rows.size());
    endResetModel();
    return counts;
}

void ServerListModel::allRowsChanged(const QList<int>& roles) {
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1), roles);
}

void ServerListModel::rowChanged(int row, const QList<int>& roles) {
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1), roles);
}

bool ServerListModel::setMates(RowMates mates) {
    if (mates == m_mates)
        return false;
    // Only the rows whose mates came or went are told: the sightings change with every
    // refresh, and a change of every row has the proxies look at every row again.
    QSet<int> hostsTouched;
    for (const QHash<quint64, MateLabel>* lines : {&m_mates.racers, &mates.racers}) {
        for (auto it = lines->cbegin(); it != lines->cend(); ++it)
            hostsTouched.insert(int(it.key() >> 32));
    }
    const QSet<QByteArray> namesTouched =
        (m_mates.hosts - mates.hosts) | (mates.hosts - m_mates.hosts);
    m_mates = std::move(mates);
    QHash<QByteArray, QByteArray> mateTexts;
    for (auto it = m_mates.racers.cbegin(); it != m_mates.racers.cend(); ++it) {
        const qsizetype index = qsizetype(it.key() >> 32);
        if (index >= m_hosts.size())
            continue;
        QByteArray& text = mateTexts[m_hosts.at(index).name];
        for (const auto& [name, groups] : it->names)
            text += FilterMateText(name, groups);
    }
    // In place before the views are told: the proxy filters each row it hears of again at
    // once, so the words meet the new names. Every row with a mate, then or now, is told.
    const QHash<QByteArray, QByteArray> oldMateTexts =
        std::exchange(m_mateFilterTexts, std::move(mateTexts));
    const bool filterTextsKept = m_filterTexts.size() == m_rows.size();
    for (int row = 0; row < rowCount(); ++row) {
        const QByteArray& name = host(row).name;
        if (filterTextsKept && m_mateFilterTexts.value(name) != oldMateTexts.value(name))
            m_filterTexts[size_t(row)] = QByteArray(); // made again when next asked for
        if (hostsTouched.contains(hostIndex(row)) || namesTouched.contains(name))
            rowChanged(row, {HasMateRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
    }
    return true;
}

void ServerListModel::setFavourites(QSet<QByteArray> hostNames) {
    if (hostNames == m_favourites)
        return;
    m_favourites = std::move(hostNames);
    allRowsChanged({FavouriteRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
}

void ServerListModel::setWatched(QSet<QByteArray> hostNames) {
    if (hostNames == m_watched)
        return;
    const QSet<QByteArray> touched = (m_watched - hostNames) | (hostNames - m_watched);
    m_watched = std::move(hostNames);
    for (int row = 0; row < rowCount(); ++row) {
        if (touched.contains(host(row).name))
            rowChanged(row, {WatchedRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole});
    }
}

QList<QByteArray> ServerListModel::racers(int row) const {
    const HostRecord& h = host(row);
    QList<QByteArray> names;
    names.reserve(h.racerCount);
    for (qsizetype i = 0; i < h.racerCount; ++i)
        names.append(TrimBytes(h.racerSlot(i)));
    return names;
}

QStringList ServerListModel::mateGroups(int row, qsizetype slot) const {
    QStringList groups;
    const auto mate = m_mates.racers.constFind(RacerLine(hostIndex(row), slot));
    if (mate == m_mates.racers.constEnd())
        return groups;
    for (const auto& [name, inGroups] : mate->names) {
        for (const QString& group : inGroups) {
            if (!groups.contains(group))
                groups.append(group);
        }
    }
    return groups;
}

const QByteArray& ServerListModel::sharedFilterPart(int row) const {
    // Thousands of hosts share a few tracks and car sets: that part is made once each.
    const HostRecord& h = host(row);
    const quint64 key = quint64(h.track[0]) | quint64(h.track[1]) << 8 | quint64(h.track[2]) << 16 |
                        quint64(h.carMask[0]) << 24 | quint64(h.carMask[1]) << 32 |
                        quint64(h.carMask[2]) << 40 | quint64(h.carMask[3]) << 48;
    auto shared = m_sharedFilterParts.constFind(key);
    if (shared == m_sharedFilterParts.constEnd())
        shared =
            m_sharedFilterParts.insert(key, FilterCarsAndTrack(h, FromDisplay(this->text(row, 2)),
                                                               FromDisplay(this->text(row, 4))));
    return *shared;
}

const QByteArray& ServerListModel::filterText(int row) const {
    if (m_filterTexts.size() != m_rows.size())
        m_filterTexts.assign(m_rows.size(), QByteArray());
    QByteArray& text = m_filterTexts[size_t(row)];
    if (!text.isNull())
        return text;
    const HostRecord& h = host(row);
    text = FilterText(h, sharedFilterPart(row));
    text += m_mateFilterTexts.value(h.name); // folded already
    return text;
}

bool ServerListModel::matchesWords(int row, const QList<QByteArray>& words) const {
    if (words.isEmpty())
        return true;
    const bool made = size_t(row) < m_filterTexts.size() && !m_filterTexts[size_t(row)].isNull();
    if (made || m_keepFilterTexts)
        return MatchesWords(filterText(row), words);
    const HostRecord& h = host(row);
    return HostMatchesWords(h, sharedFilterPart(row), m_mateFilterTexts.value(h.name), words);
}

void ServerListModel::MateLabel::add(const QByteArray& displayName, const QString& group) {
    for (auto& [name, groups] : names) {
        if (name == displayName) {
            if (!groups.contains(group))
                groups.append(group);
            return;
        }
    }
    names.append({displayName, {group}});
}

namespace {
// "Alex \u2014 mate in Friends, Work", and a part of its own for each other display name.
QString mateLine(const ServerListModel::MateLabel& label) {
    QStringList parts;
    for (const auto& [name, groups] : label.names)
        parts << QStringLiteral("%1 \u2014 mate in %2")
                     .arg(ToDisplay(name), groups.join(QStringLiteral(", ")));
    return parts.join(QStringLiteral("; "));
}
} // namespace

QString ServerListModel::toolTip(int row) const {
    const HostRecord& h = host(row);
    QStringList lines{caption(row), text(row, 2), text(row, 4)};
    if (h.isPrivate())
        lines << QStringLiteral("Private host");
    if (isFavourite(row))
        lines << QStringLiteral("Favourite host");
    if (isWatched(row))
        lines << QStringLiteral("Waiting for a free slot");
    const QList<QByteArray> names = racers(row);
    for (qsizetype slot = 0; slot < names.size(); ++slot) {
        const auto mate = m_mates.racers.constFind(RacerLine(hostIndex(row), slot));
        lines << (mate == m_mates.racers.constEnd() ? ToDisplay(names.at(slot)) : mateLine(*mate));
    }
    return lines.join(QLatin1Char('\n'));
}

void ServerListModel::markWithMates(const QList<int>& rows) {
    for (const int row : rows) {
        if (row < 0 || row >= rowCount() || m_rows[size_t(row)].image == 2)
            continue;
        m_rows[size_t(row)].image = 2;
        ++m_withMates;
        // One row at a time: the marked rows are few, and one range over the whole list
        // has the proxies look at every row between.
        Q_EMIT dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole, ImageIndexRole});
    }
}

int ServerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ServerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ServerListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    const Row& row = m_rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.texts[index.column()];
    case Qt::DecorationRole:
        return index.column() == 0 ? m_images.value(row.image) : QVariant();
    case ImageIndexRole:
        return row.image;
    case HostIndexRole:
        return row.host;
    case FavouriteRole:
        return isFavourite(index.row());
    case HasMateRole:
        return hasMate(index.row());
    case WatchedRole:
        return isWatched(index.row());
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return toolTip(index.row());
    default:
        return {};
    }
}

QVariant ServerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return QString::fromLatin1(ColumnCaptions[section]);
}

Qt::ItemFlags ServerListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

// ---- order ------------------------------------------------------------------------

ServerSortProxy::ServerSortProxy(QObject* parent) : QSortFilterProxyModel(parent) {}

void ServerSortProxy::setServerModel(ServerListModel* model) {
    m_model = model;
    setSourceModel(model);
}

bool ServerSortProxy::rowBefore(int left, int right) const {
    int column = sortColumn();
    if (column < 0 || column >= ServerListModel::ColumnCount)
        column = 0;
    return CompareCaseBlind(m_model->text(left, column), m_model->text(right, column)) < 0;
}

bool ServerSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    return rowBefore(left.row(), right.row());
}

int ServerSortProxy::sourceRow(int displayRow) const {
    return mapToSource(index(displayRow, 0)).row();
}

int ServerSortProxy::markMateHosts(const QSet<QByteArray>& hostNames) {
    QSet<QString> wanted;
    QSet<qsizetype> lengths; // most captions are ruled out by their length alone
    for (const QByteArray& name : hostNames) {
        if (name.isEmpty())
            continue;
        const QString caption = ToDisplay(name);
        wanted.insert(folded(caption));
        lengths.insert(caption.size());
    }
    QList<int> marked;
    const auto take = [&](int source) {
        const QString& caption = m_model->caption(source);
        if (lengths.contains(caption.size()) && wanted.remove(folded(caption)))
            marked.append(source);
        return !wanted.isEmpty();
    };
    if (wanted.isEmpty()) {
        // nothing to mark
    } else if (rowCount() == m_model->rowCount()) {
        for (int row = 0; row < rowCount() && take(sourceRow(row)); ++row) {
        }
    } else {
        // Some rows are hidden: of the rows of one name, the one the full sorted list
        // would show first, found without sorting them all. Equal rows keep the order in
        // which they came, as the stable sort keeps them.
        QHash<QString, int> first;
        const bool sorted = sortColumn() >= 0;
        const bool ascending = sortOrder() == Qt::AscendingOrder;
        for (int source = 0; source < m_model->rowCount(); ++source) {
            const QString& caption = m_model->caption(source);
            if (!lengths.contains(caption.size()))
                continue;
            const QString name = folded(caption);
            if (!wanted.contains(name))
                continue;
            const auto known = first.find(name);
            if (known == first.end())
                first.insert(name, source);
            else if (sorted && (ascending ? rowBefore(source, *known) : rowBefore(*known, source)))
                *known = source;
        }
        for (const int source : std::as_const(first))
            marked.append(source);
    }
    m_model->markWithMates(marked);
    return m_model->rowsWithMates();
}

void ServerSortProxy::setFilterText(const QString& text) {
    QList<QByteArray> words = FilterWords(FromDisplay(text));
    if (words == m_words)
        return;
    m_words = std::move(words);
    // Typing searches the same rows again and again: their texts are worth keeping.
    if (m_model)
        m_model->keepFilterTexts();
    invalidateFilter();
}

void ServerSortProxy::setStanding(const ServerFilterOptions& options) {
    if (options == m_standing)
        return;
    m_standing = options;
    invalidateFilter();
}

void ServerSortProxy::standingInputsChanged() {
    if (m_standing.any())
        invalidateFilter();
}

bool ServerSortProxy::filterAcceptsRow(int row, const QModelIndex&) const {
    if (!m_words.isEmpty() && !m_model->matchesWords(row, m_words))
        return false;
    return !m_standing.any() ||
           PassesStandingFilters(m_model->host(row), m_model->hasMate(row),
                                 m_model->isFavourite(row), m_standing, m_model->isRecent(row));
}
