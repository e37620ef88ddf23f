#pragma once

#include "HostRecord.h"
#include "ServerFilterOptions.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QStringView>
#include <QVariant>
#include <array>
#include <vector>

class TrackTable;

// Case-blind ordinal comparison: a-z count as A-Z, everything else by its code, a
// prefix sorts first. Negative, 0 or positive.
int CompareCaseBlind(QStringView a, QStringView b);

// The texts of a listed host's row: caption, Ver, Track, Rules*, Cars*, Players, Laps, Quali.
QStringList ServerRowTexts(const HostRecord& host, const TrackTable& tracks);

// The same texts for many rows of one refresh. Apart from the caption, a column's text
// follows from a few bytes of the record, and most rows repeat the same few values:
// those texts are made once and shared, which spares an allocation per cell.
class ServerRowTextMaker {
public:
    explicit ServerRowTextMaker(const TrackTable& tracks) : m_tracks(tracks) {}
    template <typename Out> void fill(const HostRecord& host, Out& texts);
    QStringList texts(const HostRecord& host);

private:
    template <typename Make> const QString& shared(int column, quint32 key, Make make);

    const TrackTable& m_tracks;
    QHash<quint64, QString> m_texts;
};

// The server list's rows: one per listed host of the last refresh, in host-list order,
// with the eight column texts and the row's status image (0 free, 1 occupied, 2 with
// mates, 3 not known). The pictures themselves are the view's, handed in as values.
class ServerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        NameColumn,
        VerColumn,
        TrackColumn,
        RulesColumn,
        CarsColumn,
        PlayersColumn,
        LapsColumn,
        QualiColumn,
    };
    static constexpr int ColumnCount = 8;
    enum Role {
        ImageIndexRole = Qt::UserRole + 1, // the status image's index
        HostIndexRole,                     // the host's index in the host list
        FavouriteRole,                     // the host is one of the user's favourites
        HasMateRole,                       // a mate races there
        WatchedRole,                       // a slot watch waits on the host
    };

    // How a racer who is the user's mate is named: each display name he has in the roster,
    // with the groups he has it in, in roster order.
    struct MateLabel {
        QList<std::pair<QByteArray, QStringList>> names;
        void add(const QByteArray& displayName, const QString& group);
        bool operator==(const MateLabel&) const = default;
    };

    // The racer line of a row: the host's index in the host list and the racer's slot.
    static quint64 RacerLine(qsizetype hostIndex, qsizetype slot) {
        return quint64(hostIndex) << 32 | quint32(slot);
    }
    // The mates the rows show, as the sightings of the roster on the host list say.
    struct RowMates {
        QSet<QByteArray> hosts;           // with mates: the standing filters never hide them
        QHash<quint64, MateLabel> racers; // by RacerLine: the lines that name a mate
        bool operator==(const RowMates&) const = default;
    };

    struct Counts {
        int rows = 0;
        int occupied = 0;
        int players = 0;
    };

    explicit ServerListModel(QObject* parent = nullptr);

    // The decoration of each image index (for example a QIcon in a QVariant).
    void setImages(QList<QVariant> images);
    // Replaces every row with the listed hosts, as one reset.
    Counts refill(const HostList& hosts, const TrackTable& tracks);
    // The mates on the hosts, for the racers' lines and the standing filters. Each tells
    // the views only when something changed; true when it did.
    bool setMates(RowMates mates);
    void setFavourites(QSet<QByteArray> hostNames);
    const QSet<QByteArray>& favourites() const { return m_favourites; }
    // The hosts joined lately, for the standing filters.
    void setRecent(QSet<QByteArray> hostNames) { m_recent = std::move(hostNames); }
    bool isRecent(int row) const { return m_recent.contains(host(row).name); }
    // The hosts a slot watch waits on, by name.
    void setWatched(QSet<QByteArray> hostNames);

    const QString& text(int row, int column) const { return m_rows[size_t(row)].texts[column]; }
    const QString& caption(int row) const { return text(row, 0); }
    int image(int row) const { return m_rows[size_t(row)].image; }
    int hostIndex(int row) const { return m_rows[size_t(row)].host; }
    const HostRecord& host(int row) const { return m_hosts.at(hostIndex(row)); }
    bool isFavourite(int row) const { return m_favourites.contains(host(row).name); }
    bool hasMate(int row) const { return m_mates.hosts.contains(host(row).name); }
    bool isWatched(int row) const { return m_watched.contains(host(row).name); }
    // The racers' trimmed names, in host order.
    QList<QByteArray> racers(int row) const;
    // The groups in which the racer in that slot is a mate, in roster order; none for a
    // racer who is nobody's mate.
    QStringList mateGroups(int row, qsizetype slot) const;
    // What the filter field searches in (made when first asked for, kept until the refill),
    // the names and groups of the mates racing there included.
    const QByteArray& filterText(int row) const;
    // Whether the row's text holds every word. A row's text is kept once made for the
    // keystrokes that follow; a new list's rows are searched without making it, until
    // the words change (keepFilterTexts).
    bool matchesWords(int row, const QList<QByteArray>& words) const;
    void keepFilterTexts() { m_keepFilterTexts = true; }
    // The row's tooltip, plain: name, track, cars, the flags (private, favourite, watched),
    // then one line per racer.
    QString toolTip(int row) const;
    // Rows whose image is 2.
    int rowsWithMates() const { return m_withMates; }
    // Gives image 2 to these rows (source rows), told to the views at once.
    void markWithMates(const QList<int>& rows);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        std::array<QString, ColumnCount> texts;
        int image = 0;
        int host = 0;
    };
    void allRowsChanged(const QList<int>& roles);
    void rowChanged(int row, const QList<int>& roles);

    std::vector<Row> m_rows;
    HostList m_hosts;
    mutable std::vector<QByteArray> m_filterTexts;
    mutable QHash<quint64, QByteArray> m_sharedFilterParts; // by track key and car mask
    bool m_keepFilterTexts = false;
    const QByteArray& sharedFilterPart(int row) const;
    RowMates m_mates;
    // The mates' part of each host's filter text, by host name: like the hosts with
    // mates, kept through a refill until the new list's sightings come.
    QHash<QByteArray, QByteArray> m_mateFilterTexts;
    QSet<QByteArray> m_favourites;
    QSet<QByteArray> m_recent;
    QSet<QByteArray> m_watched;
    QList<QVariant> m_images;
    int m_withMates = 0;
};

// The server list's order and filter. The order: the case-blind comparison of the sort
// column's texts, the operands swapped for descending order, stable, so equal rows keep
// host-list order. The filter: the rows whose texts hold every word of the filter field and
// that the standing filters leave. One proxy, so that every row the view lays out is
// mapped once, not through a chain.
class ServerSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ServerSortProxy(QObject* parent = nullptr);
    void setServerModel(ServerListModel* model);
    ServerListModel* serverModel() const { return m_model; }

    // The model row of a shown row.
    int sourceRow(int displayRow) const;
    // Image 2 for the first row, in the order every row (shown or hidden) would show,
    // of each host named; an empty name marks
    // nothing. Returns the number of rows that now carry image 2.
    int markMateHosts(const QSet<QByteArray>& hostNames);

    // The field's text, as the user typed it (Latin-1).
    void setFilterText(const QString& text);
    void setStanding(const ServerFilterOptions& options);
    // Favourites or mates changed: rows the standing filters judge may come or go.
    void standingInputsChanged();

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    bool rowBefore(int left, int right) const;

    ServerListModel* m_model = nullptr;
    QList<QByteArray> m_words;
    ServerFilterOptions m_standing;
};
