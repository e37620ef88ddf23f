#pragma once

#include "HostRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

class TrackTable;

// A host as a notification names it: name, track as the server list shows it, racers.
struct HostSeen {
    QByteArray host;
    QByteArray track;
    int racers = 0;
    int limit = 0;
    static HostSeen of(const HostRecord& record, const TrackTable& tracks);
};

// The full hosts the user waits on for a free slot, a few at a time and for this run only.
// A watch tells once when its host has a free slot, and again only after the host has
// been full in between; it ends when the user ends it or its host leaves the list.
class SlotWatch {
public:
    static constexpr int MaxWatches = 3;

    struct Change {
        QList<HostSeen> freed;  // watched hosts with a free slot now, not told before
        QList<QByteArray> left; // watched hosts the list no longer has: their watches ended
    };

    // False when the host is watched already, the name is empty or MaxWatches run.
    bool start(const QByteArray& host);
    // False when the host was not watched.
    bool cancel(const QByteArray& host);
    void clear();

    bool isWatched(const QByteArray& host) const;
    bool canStartMore() const { return m_watches.size() < MaxWatches; }
    // The watched hosts, oldest first.
    QList<QByteArray> hosts() const;

    // After each refresh that brought a host list.
    Change update(const HostList& hosts, const TrackTable& tracks);

private:
    struct Watch {
        QByteArray host;
        bool told = false; // the free slot of now has been told
    };
    QList<Watch> m_watches;
};

// The texts of the notifications, plain; the host and track as the server list shows them.
QString SlotFreeText(const HostSeen& seen);
QString SlotWatchLeftText(const QByteArray& host);
QString FavouriteWokeText(const HostSeen& seen);
inline QString SlotWatchTitle() {
    return QStringLiteral("Slot watch");
}
inline QString FavouriteWokeTitle() {
    return QStringLiteral("Favourite host");
}
