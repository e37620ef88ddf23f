#pragma once

#include <QHash>
#include <QStringView>
#include <QTreeWidgetItem>

class HostRecord;
class TrackTable;

// Case-blind ordinal comparison: a-z count as A-Z, everything else by its code, a
// prefix sorts first. Negative, 0 or positive.
int CompareCaseBlind(QStringView a, QStringView b);

// A row of the server list. The list's sort calls operator< with the operands
// swapped for descending order, and sorts stably, so equal rows keep their order.
class ServerRow : public QTreeWidgetItem {
public:
    static constexpr int ColumnCount = 8;
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override;
    // A row of an earlier refresh takes the texts of a new one (unchanged cells stay).
    void setTexts(const QStringList& texts);
};

// The texts of a listed host's row: caption, Ver, Track, Rules*, Cars*, Players, Laps, Quali.
QStringList ServerRowTexts(const HostRecord& host, const TrackTable& tracks);

// The same texts for many rows of one refresh. Apart from the caption, a column's text
// follows from a few bytes of the record, and most rows repeat the same few values:
// those texts are made once and shared, which spares an allocation per cell.
class ServerRowTextMaker {
public:
    explicit ServerRowTextMaker(const TrackTable& tracks) : m_tracks(tracks) {}
    QStringList texts(const HostRecord& host);

private:
    template <typename Make> const QString& shared(int column, quint32 key, Make make);

    const TrackTable& m_tracks;
    QHash<quint64, QString> m_texts;
};
