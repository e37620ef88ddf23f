#pragma once

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
};

// The texts of a listed host's row: caption, Ver, Track, Rules*, Cars*, Players, Laps, Quali.
QStringList ServerRowTexts(const HostRecord& host, const TrackTable& tracks);
