#pragma once

#include "HostRecord.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

class TrackTable;
struct MateEntry;

// A roster entry's identity: its group and its trimmed LFS name. No edit changes either,
// and two entries with the same nick in different groups stay two.
struct MateKey {
    QString group;
    QByteArray lfsName; // trimmed
    bool operator==(const MateKey&) const = default;
};
size_t qHash(const MateKey& key, size_t seed = 0);

// Where one roster entry races now.
struct Sighting {
    // The last host in the list that lists the entry's stored LFS name among its racers
    // (any version type), and its track as the server list shows it. Empty for an entry
    // whose stored name has blanks around it: it is online, but no host lists it as such.
    QByteArray host;
    QByteArray track;
};

// Who of the roster races where, made once per refresh from the roster and the host
// list, and the only place that matches the roster's names with the hosts' racers.
// Every reader (the tree, the server list's picture and counters, its tooltips and
// standing filters, the alerts, last seen, the tray, "Join mate") takes it from here.
class Sightings {
public:
    Sightings() = default;
    // roster: every group's entries, group by group. An entry is online when an S1 or S2
    // host lists its trimmed LFS name among its racers (slots trimmed).
    static Sightings make(const QList<MateEntry>& roster, const HostList& hosts,
                          const TrackTable& tracks);

    // The entry's host, or nothing while it is not online.
    std::optional<Sighting> find(const MateKey& key) const;
    bool isOnline(const MateKey& key) const { return find(key).has_value(); }
    // The names of the hosts with at least one online entry.
    const QSet<QByteArray>& hostsWithMates() const { return m_hostsWithMates; }
    // The online entries on that host, in roster order.
    QList<MateKey> matesOn(const QByteArray& host) const;
    // Entries of the roster and those of them online (the tree's "Online mates: x/y").
    int entryCount() const { return m_entryCount; }
    int onlineEntryCount() const { return m_onlineEntries; }
    // Persons online: entries with the same trimmed LFS name count once.
    int onlinePersonCount() const { return m_onlinePersons; }

private:
    QHash<MateKey, Sighting> m_hosts;
    QList<MateKey> m_order; // the online entries, in roster order, each once
    QSet<QByteArray> m_hostsWithMates;
    int m_entryCount = 0;
    int m_onlineEntries = 0;
    int m_onlinePersons = 0;
};
